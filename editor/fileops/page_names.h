#pragma once
// A web page names its test in two places: the picture references src="N + GrV + k + .jpg"
// and the script variable qq. When the page is copied or renamed under a new name, these
// must follow, or the page shows the old test's pictures (or none).
#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace korvel {

// The name as the page holds it: ASCII as it is, the Windows-1251 letters as numeric
// references without ";", any other byte from 0x80 to 0xBF as "?".
QByteArray PageName(const QString& name);

// The page with its references pointed from test oldName to test newName: qq, and each
// picture reference whose picture newName + "GrV" + k + ".jpg" is there by hasPicture (the
// file name alone). Everything else stays byte for byte. Nullopt when nothing changes.
std::optional<QByteArray> PageWithRenamedReferences(
    const QByteArray& page, const QString& oldName, const QString& newName,
    const std::function<bool(const QString& picture)>& hasPicture);

}  // namespace korvel
