#include "platform/dbctl/picture.h"

#include <QBuffer>

namespace plat {

namespace {
quint32 le32(const QByteArray& b, int at) {
    quint32 v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | quint8(b[at + i]);
    return v;
}
quint16 le16(const QByteArray& b, int at) { return quint16(quint8(b[at]) | (quint8(b[at + 1]) << 8)); }
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

QImage imageFromBlob(const QByteArray& blob) {
    const QByteArray bmp = bitmapFromBlob(blob);
    if (bmp.isEmpty()) return {};
    return QImage::fromData(bmp, "BMP");
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
