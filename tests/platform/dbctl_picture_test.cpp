// Stored pictures read as the general image reader reads them, and the picture control
// following its record.
#include "platform/db/create.h"
#include "platform/db/session.h"
#include "platform/dbctl/controls.h"
#include "platform/dbctl/picture.h"
#include "tests/harness/harness.h"

#include <QtEndian>

using namespace plat;

namespace {

// A BMP file written by hand: a 40-byte header, rows padded to four bytes, bottom-up unless
// the height is negative.
QByteArray handBmp(int w, int h, int bits) {
    const int rows = std::abs(h);
    const int stride = (w * bits / 8 + 3) & ~3;
    QByteArray b(54 + stride * rows, '\0');
    auto put32 = [&](int at, quint32 v) { qToLittleEndian(v, b.data() + at); };
    auto put16 = [&](int at, quint16 v) { qToLittleEndian(v, b.data() + at); };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, quint32(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, quint32(w));
    put32(22, quint32(h));
    put16(26, 1);
    put16(28, quint16(bits));
    for (int r = 0; r < rows; ++r)
        for (int x = 0; x < w; ++x) {
            char* p = b.data() + 54 + r * stride + x * bits / 8;
            p[0] = char(10 + 40 * x);                       // blue
            p[1] = char(20 + 50 * r);                       // green
            p[2] = char(200 - 30 * x - 20 * r);             // red
            if (bits == 32) p[3] = char(x % 2 ? 0 : 0x80);  // unused byte
        }
    return b;
}

QByteArray qtBmp(const QImage& img) { return testing_support::encoded(img, "BMP"); }

QByteArray indexedBmp() {
    QImage img(5, 3, QImage::Format_Indexed8);
    img.setColorTable({qRgb(255, 0, 0), qRgb(0, 0, 255)});
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) img.setPixel(x, y, (x + y) % 2);
    return qtBmp(img);
}

struct Form {
    const char* name;
    QByteArray bmp;
};

class PictureForms : public ::testing::TestWithParam<Form> {};

TEST_P(PictureForms, ReadAsTheImageReaderReadsThem) {
    const QByteArray& bmp = GetParam().bmp;
    const QImage expected = QImage::fromData(bmp, "BMP");
    const QImage got = imageFromBlob(bmp);
    ASSERT_EQ(got.isNull(), expected.isNull());
    if (expected.isNull()) return;
    ASSERT_EQ(got.size(), expected.size());
    const QImage a = got.convertToFormat(QImage::Format_RGB32);
    const QImage b = expected.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            ASSERT_EQ(QColor(a.pixel(x, y)), QColor(b.pixel(x, y))) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(
    Bmp, PictureForms,
    ::testing::Values(
        Form{"Rgb24PaddedRows", handBmp(5, 3, 24)}, Form{"Rgb24WholeRows", handBmp(8, 2, 24)},
        Form{"Rgb24TopDown", handBmp(3, -4, 24)}, Form{"Rgb32", handBmp(3, 2, 32)},
        Form{"OneByOne", handBmp(1, 1, 24)},
        // Rows long enough for the four-pixel steps, and one left over.
        Form{"Rgb24ShortestStepped", handBmp(6, 2, 24)}, Form{"Rgb24LongRows", handBmp(13, 3, 24)},
        Form{"AsQtWritesIt", qtBmp(QImage(7, 5, QImage::Format_RGB32))},
        Form{"Palette", indexedBmp()}, Form{"HeaderOnly", handBmp(4, 4, 24).left(54)}),
    [](const auto& info) { return std::string(info.param.name); });

class PictureControl : public testing_support::SuiteTest {};

TEST_F(PictureControl, FollowsRecordsWhosePicturesHaveTheSameSize) {
    db::Session s;
    s.setNetFileDir(driveC());
    s.addPassword("pw");
    db::createTableFile(inWork("P.DB"), "pw",
                        {{"Number", db::FieldType::AutoInc, 0}, {"Pic", db::FieldType::Blob, 0}});
    db::Table t(s);
    t.setTableName(inWork("P.DB"));
    DataSource ds(&t, &ui);
    t.open();
    DBImage image;
    image.setDataSource(&ds);
    image.setDataField("Pic");
    for (QColor c : {QColor(Qt::red), QColor(Qt::blue), QColor(Qt::red)}) {
        QImage img(6, 4, QImage::Format_RGB32);
        img.fill(c);
        t.insert();
        t.fieldByName("Pic").setAsBytes(bmpBytes(img));
        t.post();
    }
    const QColor expected[] = {Qt::red, Qt::blue, Qt::red};
    for (int n : {1, 2, 3, 2, 1}) {
        t.setRecNo(n);
        EXPECT_EQ(image.picture().pixelColor(0, 0), expected[n - 1]) << n;
    }
    t.edit();
    t.fieldByName("Pic").clear();
    EXPECT_TRUE(image.picture().isNull());
    t.cancel();
    EXPECT_EQ(image.picture().pixelColor(0, 0), QColor(Qt::red));
}

}  // namespace
