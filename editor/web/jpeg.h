#pragma once
// The web test's pictures: JPEG at quality 90, baseline, 24-bit colour, libjpeg's defaults
// otherwise.
#include <QByteArray>
#include <QImage>
#include <QString>

namespace korvel::web {

// The JPEG bytes of image; empty for an image of width or height 0.
QByteArray EncodeJpeg(const QImage& image);
// Creates path, or overwrites it, with EncodeJpeg(image) (0 bytes for an empty picture).
// Throws plat::FileError when the file cannot be written.
void WriteJpeg(const QString& path, const QImage& image);

}  // namespace korvel::web
