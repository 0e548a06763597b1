#pragma once
// The web test's pictures: JPEG at quality 90, baseline, 24-bit colour, libjpeg's defaults
// otherwise.
#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QSet>
#include <QString>

namespace korvel::web {

// The JPEG bytes of image; empty for an image of width or height 0.
QByteArray EncodeJpeg(const QImage& image);

// The picture files that one page may overwrite, listed once: a picture's name is matched
// to an existing file without regard to letter case (the exact name wins), as
// plat::fs::resolve does, without listing the folder again for every new picture.
class PictureFolder {
public:
    explicit PictureFolder(const QString& webTestName);
    // The existing file that names path, which lies beside the page; path when none does.
    QString target(const QString& path) const;

private:
    QString folder_;                  // the page's folder as it exists; empty when it does not
    QSet<QString> exact_;             // the names found
    QHash<QString, QString> folded_;  // case-folded name -> the first name found
};

// Creates path, or replaces it, with EncodeJpeg(image) (0 bytes for an empty picture).
// An existing file is found through folder when given, else looked up anew.
// Throws plat::FileError when the file cannot be written; the old picture then stays.
void WriteJpeg(const QString& path, const QImage& image, const PictureFolder* folder = nullptr);

}  // namespace korvel::web
