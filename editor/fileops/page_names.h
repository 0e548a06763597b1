#pragma once
// A web page names its test in two places: the picture references src="N + GrV + k + .jpg"
// and the script variable qq. When the page is copied or renamed under a new name, these
// must follow, or the page shows the old test's pictures (or none).
#include <QByteArray>
#include <QString>
#include <optional>

namespace korvel {

// The name as the page holds it: ASCII as it is, the Windows-1251 letters as numeric
// references without ";", any other byte from 0x80 to 0xBF as "?".
QByteArray PageName(const QString& name);

// Points the page's references from test oldName to test newName: qq, and each picture
// reference whose picture newName + "GrV" + k + ".jpg" exists in folder (the page's own).
// Everything else stays byte for byte. Returns why the page could not be rewritten.
std::optional<QString> RenamePageReferences(const QString& page, const QString& oldName,
                                            const QString& newName, const QString& folder);

}  // namespace korvel
