#include "platform/dbctl/picture.h"

#include <QBuffer>
#include <QtEndian>

namespace plat {

namespace {
quint32 le32(const QByteArray& b, int at) {
    quint32 v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | quint8(b[at + i]);
    return v;
}
quint16 le16(const QByteArray& b, int at) {
    return quint16(quint8(b[at]) | (quint8(b[at + 1]) << 8));
}
bool isBmp(const QByteArray& b) { return b.size() >= 14 && b[0] == 'B' && b[1] == 'M'; }
}  // namespace

QByteArray bitmapFromBlob(const QByteArray& blob) {
    if (isBmp(blob)) return blob;
    if (blob.size() >= 8 && le16(blob, 0) == 1 && le16(blob, 2) == 256 &&
        qint64(le32(blob, 4)) + 8 == blob.size()) {
        QByteArray rest = blob.mid(8);
        if (isBmp(rest)) return rest;
    }
    return {};
}

namespace {

// The common uncompressed 24- and 32-bit forms, read straight into the picture: the
// general image reader costs as much again as reading a megabyte from the table. A null
// image for any other form, or for one whose pixels do not fit in the file.
QImage directBitmap(const QByteArray& bmp, QImage&& reuse) {
    if (bmp.size() < 54 || le32(bmp, 14) < 40) return {};
    const qint64 offset = le32(bmp, 10);
    const qint32 w = qint32(le32(bmp, 18));
    const qint32 h = qint32(le32(bmp, 22));
    const int bits = le16(bmp, 28);
    const quint32 compression = le32(bmp, 30);
    if (le16(bmp, 26) != 1 || compression != 0 || (bits != 24 && bits != 32)) return {};
    if (w <= 0 || w > 32767 || h == 0 || h < -32767 || h > 32767) return {};
    const int rows = h < 0 ? -h : h;
    const qint64 stride = (qint64(w) * bits / 8 + 3) & ~qint64(3);
    if (offset < 54 || offset + stride * rows > bmp.size()) return {};

    // The previous picture's memory, when nobody else holds it: no fresh pages to fault in.
    QImage img = reuse.size() == QSize(w, rows) && reuse.format() == QImage::Format_RGB32 &&
                         reuse.isDetached()
                     ? std::move(reuse)
                     : QImage(w, rows, QImage::Format_RGB32);
    if (img.isNull()) return {};
    const auto* src = reinterpret_cast<const uchar*>(bmp.constData()) + offset;
    for (int y = 0; y < rows; ++y) {
        // Rows run bottom-up unless the height is negative.
        const uchar* p = src + stride * (h > 0 ? rows - 1 - y : y);
        auto* out = reinterpret_cast<QRgb*>(img.scanLine(y));
        int x = 0;
        if (bits == 32) {
            for (; x < w; ++x, p += 4) out[x] = 0xFF000000u | qFromLittleEndian<quint32>(p);
            continue;
        }
        // Four pixels from three little-endian words: b g r b | g r b g | r b g r.
        for (; x + 4 <= w; x += 4, p += 12) {
            const quint32 a = qFromLittleEndian<quint32>(p), b = qFromLittleEndian<quint32>(p + 4),
                          c = qFromLittleEndian<quint32>(p + 8);
            out[x] = 0xFF000000u | a;
            out[x + 1] = 0xFF000000u | (a >> 24) | (b << 8);
            out[x + 2] = 0xFF000000u | (b >> 16) | (c << 16);
            out[x + 3] = 0xFF000000u | (c >> 8);
        }
        for (; x < w; ++x, p += 3) out[x] = 0xFF000000u | (p[2] << 16) | (p[1] << 8) | p[0];
    }
    return img;
}

}  // namespace

QImage imageFromBlob(const QByteArray& blob, QImage reuse) {
    const QByteArray bmp = bitmapFromBlob(blob);
    if (bmp.isEmpty()) return {};
    QImage img = directBitmap(bmp, std::move(reuse));
    return img.isNull() ? QImage::fromData(bmp, "BMP") : img;
}

QByteArray bmpBytes(const QImage& image) {
    if (image.isNull()) return {};
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    image.save(&buf, "BMP");
    return out;
}

}  // namespace plat
