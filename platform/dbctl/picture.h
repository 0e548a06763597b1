#pragma once
// The stored picture form: a blob holds the bytes of a BMP file; a reader also accepts the
// 8-byte prefix form (16-bit 1, 16-bit 256, 32-bit length of the rest, little-endian).
#include <QByteArray>
#include <QImage>

namespace plat {

// The BMP file bytes inside a blob; empty when the blob is neither form.
QByteArray bitmapFromBlob(const QByteArray& blob);
// The picture of a blob; a null image when it holds no bitmap. The pixels of reuse are
// written over when it has the picture's size and no other holder.
QImage imageFromBlob(const QByteArray& blob, QImage reuse = {});
// A picture as BMP file bytes, no prefix; empty for a null image.
QByteArray bmpBytes(const QImage& image);

}  // namespace plat
