#include "platform/dbctl/picture.h"

#include <QBuffer>
#include <QtEndian>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#endif

namespace plat {

namespace {
quint32 le32(QByteArrayView b, qsizetype at) { return qFromLittleEndian<quint32>(b.data() + at); }
quint16 le16(QByteArrayView b, qsizetype at) { return qFromLittleEndian<quint16>(b.data() + at); }
bool isBmp(QByteArrayView b) { return b.size() >= 14 && b[0] == 'B' && b[1] == 'M'; }

// The BMP file bytes inside a blob, without copying them; empty when the blob is neither form.
QByteArrayView bitmapIn(const QByteArray& blob) {
    if (isBmp(blob)) return blob;
    if (blob.size() >= 8 && le16(blob, 0) == 1 && le16(blob, 2) == 256 &&
        qint64(le32(blob, 4)) + 8 == blob.size()) {
        const QByteArrayView rest = QByteArrayView(blob).sliced(8);
        if (isBmp(rest)) return rest;
    }
    return {};
}
}  // namespace

QByteArray bitmapFromBlob(const QByteArray& blob) {
    const QByteArrayView bmp = bitmapIn(blob);
    if (bmp.isEmpty()) return {};
    return bmp.size() == blob.size() ? blob : bmp.toByteArray();
}

namespace {

// One row of 24-bit pixels (blue, green, red) as opaque RGB32.
void row24(const uchar* p, QRgb* out, int w) {
    int x = 0;
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

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
// The same with one byte shuffle per four pixels: a third of the time of the words above.
__attribute__((target("ssse3"))) void row24Ssse3(const uchar* p, QRgb* out, int w) {
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m128i opaque = _mm_set1_epi32(int(0xFF000000u));
    int x = 0;
    // A load takes 16 bytes for the 12 it uses: stop while 16 are left in the row.
    for (; x + 6 <= w; x += 4, p += 12) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x),
                         _mm_or_si128(_mm_shuffle_epi8(v, spread), opaque));
    }
    row24(p, out + x, w - x);
}

using RowFn = void (*)(const uchar*, QRgb*, int);
RowFn bestRow24() {
    static const RowFn fn = __builtin_cpu_supports("ssse3") ? row24Ssse3 : row24;
    return fn;
}
#else
using RowFn = void (*)(const uchar*, QRgb*, int);
RowFn bestRow24() { return row24; }
#endif

QImage directBitmap(QByteArrayView bmp, QImage&& reuse) {
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
    const auto* src = reinterpret_cast<const uchar*>(bmp.data()) + offset;
    const RowFn rowOf24 = bestRow24();
    for (int y = 0; y < rows; ++y) {
        // Rows run bottom-up unless the height is negative.
        const uchar* p = src + stride * (h > 0 ? rows - 1 - y : y);
        auto* out = reinterpret_cast<QRgb*>(img.scanLine(y));
        if (bits == 24) {
            rowOf24(p, out, w);
            continue;
        }
        for (int x = 0; x < w; ++x, p += 4) out[x] = 0xFF000000u | qFromLittleEndian<quint32>(p);
    }
    return img;
}

}  // namespace

QImage imageFromBlob(const QByteArray& blob, QImage reuse) {
    const QByteArrayView bmp = bitmapIn(blob);
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
