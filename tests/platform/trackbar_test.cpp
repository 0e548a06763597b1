// The track bar look on a slider: the groove, the thumb and the ticks drawn where the bar puts
// them, and the thumb taken by the mouse where it is drawn.
#include "platform/trackbar.h"

#include "tests/harness/harness.h"

#include <QSlider>
#include <QTest>

namespace {

struct Bar {
    const char* name;
    Qt::Orientation orientation;
    QSize size;
    int maximum;
    int tickInterval;
    int thumbLength;
    int ticks;  // both ends and the multiples between
};

void PrintTo(const Bar& b, std::ostream* os) { *os << b.name; }

class TrackBar : public ::testing::TestWithParam<Bar> {
protected:
    void SetUp() override {
        const Bar& b = GetParam();
        bar.setOrientation(b.orientation);
        // The picture height's bar has its 0 at the top.
        bar.setInvertedAppearance(b.orientation == Qt::Vertical);
        bar.setTickPosition(b.orientation == Qt::Vertical ? QSlider::TicksLeft
                                                          : QSlider::TicksAbove);
        bar.setRange(0, b.maximum);
        bar.setTickInterval(b.tickInterval);
        bar.resize(b.size);
        plat::drawAsTrackBar(&bar, b.thumbLength);
    }
    bool vertical() const { return GetParam().orientation == Qt::Vertical; }
    // Along the bar and across it, as the bar's coordinates.
    QPoint at(int along, int across) const {
        return vertical() ? QPoint(across, along) : QPoint(along, across);
    }
    QRgb drawnAt(const QImage& image, int along, int across) const {
        return image.pixel(at(along, across)) | 0xff000000;
    }

    QSlider bar;
};

TEST_P(TrackBar, DrawsASunkenGrooveARaisedThumbAndItsTicks) {
    bar.setValue(0);
    const plat::TrackBarParts parts = plat::trackBarParts(&bar);
    const QImage image = bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb face = bar.palette().color(QPalette::Button).rgb();
    auto alongOf = [&](QPoint p) { return vertical() ? p.y() : p.x(); };
    auto acrossOf = [&](QPoint p) { return vertical() ? p.x() : p.y(); };

    // A thumb of the platform's size, at the 0 end: the top, or the left.
    const QRect thumb = parts.thumb;
    EXPECT_EQ(vertical() ? thumb.height() : thumb.width(), 11);
    EXPECT_GE(vertical() ? thumb.width() : thumb.height(), 18);
    EXPECT_LE(alongOf(thumb.topLeft()), 3);
    EXPECT_EQ(image.pixel(thumb.center()) | 0xff000000, face);
    // Lit on its top and left, in shadow on its bottom and right: its square part's edges.
    const int start = alongOf(thumb.topLeft()), end = alongOf(thumb.bottomRight());
    const int square = acrossOf(thumb.bottomRight()) - 2;
    EXPECT_GT(qGray(drawnAt(image, start, square)), qGray(face));
    EXPECT_LT(qGray(drawnAt(image, end, square)), qGray(face) / 2);
    EXPECT_LT(qGray(drawnAt(image, (start + end) / 2, square + 2)), qGray(face) / 2);

    // The groove past the thumb: two shadow lines, then two light ones.
    const int along = alongOf(parts.channel.center()) + 40;
    const int first = acrossOf(parts.channel.topLeft());
    ASSERT_EQ(vertical() ? parts.channel.width() : parts.channel.height(), 4);
    EXPECT_LT(qGray(drawnAt(image, along, first)), qGray(face));
    EXPECT_LT(qGray(drawnAt(image, along, first + 1)), qGray(drawnAt(image, along, first)));
    EXPECT_GE(qGray(drawnAt(image, along, first + 3)), qGray(face));

    // A dark tick at each end and at each multiple of the interval, on the ticks' side.
    ASSERT_EQ(parts.ticks.size(), GetParam().ticks);
    EXPECT_LT(parts.ticks.front(), parts.ticks.back());
    for (const int t : parts.ticks) {
        const int across = acrossOf(parts.tickBand.center());
        EXPECT_LT(qGray(drawnAt(image, t, across)), 64) << t;
        EXPECT_EQ(drawnAt(image, t + 2, across), face) << t;
        EXPECT_LT(across, acrossOf(thumb.topLeft()));
    }
}

TEST_P(TrackBar, TheThumbIsDraggedWhereItIsDrawn) {
    bar.setValue(0);
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    const QPoint from = plat::trackBarParts(&bar).thumb.center();
    const int length = vertical() ? bar.height() : bar.width();
    QTest::mousePress(&bar, Qt::LeftButton, {}, from);
    QTest::mouseMove(&bar, from + at(length, 0));
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, from + at(length, 0));
    EXPECT_EQ(bar.value(), GetParam().maximum) << "dragged to the far end: the bottom, or right";
    const QRect thumb = plat::trackBarParts(&bar).thumb;
    EXPECT_GE(vertical() ? thumb.bottom() : thumb.right(), length - 3);

    // Half way back.
    const QPoint end = thumb.center();
    const int halfWay = (vertical() ? end.y() : end.x()) - (length - 4 - 11) / 2;
    QTest::mousePress(&bar, Qt::LeftButton, {}, end);
    QTest::mouseMove(&bar, vertical() ? QPoint(end.x(), halfWay) : QPoint(halfWay, end.y()));
    QTest::mouseRelease(&bar, Qt::LeftButton, {},
                        vertical() ? QPoint(end.x(), halfWay) : QPoint(halfWay, end.y()));
    EXPECT_NEAR(bar.value(), GetParam().maximum / 2, GetParam().maximum / 50 + 1);
}

INSTANTIATE_TEST_SUITE_P(
    PhotoModeBars, TrackBar,
    ::testing::Values(Bar{"Height", Qt::Vertical, {25, 145}, 169, 569, 30, 2},
                      Bar{"HeightEnlarged", Qt::Vertical, {25, 145}, 620, 569, 30, 3},
                      Bar{"Width", Qt::Horizontal, {193, 25}, 993, 873, 20, 3}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
