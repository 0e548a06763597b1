// The Qt screen: copies of screen pixels, and the see-through hole cut out of a window where
// a picture control is drawn in cream.
#include "platform/screen.h"

#include "platform/dbctl/controls.h"
#include "tests/harness/harness.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPainter>
#include <QWidget>

using testing_support::waitFor;

namespace {

// A window with a picture control and a label lying over part of it.
class SeeThrough : public ::testing::Test {
protected:
    void SetUp() override {
        window.setGeometry(40, 40, 300, 200);
        picture = new plat::DBImage(&window);
        picture->setGeometry(10, 20, 200, 100);
        label = new QLabel(QStringLiteral("над"), &window);
        label->setGeometry(150, 100, 100, 40);
        window.show();
    }
    // The window has the shape of the window less the cream, less what the label covers.
    bool shapedAround(const QRegion& cream) const {
        const QRegion shape = QRegion(window.rect()) - (cream - QRegion(label->geometry()));
        return window.mask().xored(shape).isEmpty() && !shape.isEmpty();
    }

    QWidget window;
    plat::DBImage* picture = nullptr;
    QLabel* label = nullptr;
    std::unique_ptr<plat::Screen> screen = plat::makeQtScreen(true);
};

TEST_F(SeeThrough, CutsTheCreamAndFollowsTheControl) {
    screen->setSeeThrough(picture, true);
    EXPECT_TRUE(shapedAround(QRect(10, 20, 200, 100)));

    // A picture leaves only the cream margin around it.
    QImage blue(40, 20, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    picture->assignPicture(blue);
    const QRegion margin = QRegion(10, 20, 200, 100) - QRegion(10 + 80, 20 + 40, 40, 20);
    ASSERT_TRUE(waitFor([&] { return shapedAround(margin); }));

    // Moved and resized (the track bars, the enlarged area): the hole goes along.
    picture->assignPicture(QImage());
    picture->setGeometry(8, 8, 120, 60);
    ASSERT_TRUE(waitFor([&] { return shapedAround(QRect(8, 8, 120, 60)); }));
    label->move(150, 150);  // off the control now
    ASSERT_TRUE(waitFor([&] {
        return window.mask().xored(QRegion(window.rect()) - QRegion(8, 8, 120, 60)).isEmpty();
    }));

    screen->setSeeThrough(picture, false);
    EXPECT_TRUE(window.mask().isEmpty());
    picture->setGeometry(10, 20, 200, 100);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.mask().isEmpty()) << "off stays off";
}

TEST_F(SeeThrough, WithoutShapedWindowsNothingIsCut) {
    auto flat = plat::makeQtScreen(false);
    flat->setSeeThrough(picture, true);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.mask().isEmpty());
}

TEST(ScreenCopy, HoldsTheScreenAtTheRectangleAndBlackBeyondIt) {
    // A window of one colour on the screen, and a rectangle that runs off the screen's left.
    QWidget w;
    w.setAutoFillBackground(true);
    QPalette p = w.palette();
    p.setColor(QPalette::Window, QColor(10, 200, 30));
    w.setPalette(p);
    w.setGeometry(0, 100, 80, 60);
    w.show();
    QCoreApplication::processEvents();

    const QImage copy = plat::qtScreen().CaptureScreenRect(QRect(-20, 110, 50, 30));
    ASSERT_EQ(copy.size(), QSize(50, 30));
    EXPECT_EQ(copy.pixel(5, 5), qRgb(0, 0, 0));
    EXPECT_EQ(copy.pixel(30, 10), qRgb(10, 200, 30));
    EXPECT_TRUE(plat::qtScreen().CaptureScreenRect(QRect(5, 5, 0, 10)).isNull());
}

}  // namespace
