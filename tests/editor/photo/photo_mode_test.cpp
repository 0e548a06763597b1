// Photo mode of the question editor, against a recording screen: what is copied, the size
// the picture area returns to, the controls of the mode, and what the table keeps.
#include "platform/dbctl/picture.h"
#include "tests/editor/editor_fixture.h"

using namespace testing_support;

namespace {

class PhotoMode : public editor_tests::QuestionEditor {
protected:
    // One picture question, with this stored picture, open in the editor in browse mode.
    void open(const QImage& picture = QImage()) {
        makeTest({{{common::field::VoprStyle, "3"},
                   {common::field::VoprBMP, QString::fromLatin1(plat::bmpBytes(picture))}}});
        edit();
        ASSERT_TRUE(f().isVisible());
        ASSERT_TRUE(f().Foto_1->isVisibleTo(&f()));
    }
    korvel::TForm1& f() { return *frame->Form1; }
    QSize area() { return f().DBVoprBMP->size(); }
    // The picture area's top-left corner on the screen, from where the window lies.
    QPoint areaOnScreen() { return f().geometry().topLeft() + f().DBVoprBMP->pos(); }

    // Photo mode's controls as the state table gives them for on or off.
    void expectMode(bool on) {
        EXPECT_EQ(f().TransparentColor(), on);
        EXPECT_EQ(screen.seeThrough, on);
        EXPECT_EQ(f().Foto_1->isVisibleTo(&f()), !on);
        EXPECT_EQ(f().Foto_2->isVisibleTo(&f()), on);
        EXPECT_EQ(f().Foto_3->isVisibleTo(&f()), on);
        EXPECT_EQ(f().TrackBar1->isVisibleTo(&f()), on);
        EXPECT_EQ(f().TrackBar2->isVisibleTo(&f()), on);
        EXPECT_EQ(f().Exit_Edit->isVisibleTo(&f()), !on);
        EXPECT_EQ(f().DBNavigator1->isVisibleTo(&f()), !on);
    }
    void expectRestored(int height) {
        EXPECT_EQ(area(), QSize(993, height));
        EXPECT_EQ(f().TrackBar1->value(), height);
        EXPECT_EQ(f().TrackBar2->value(), 993);
        EXPECT_EQ(frame->unit.SavedPictureHeight, height);
    }
    // The picture of record n as stored in the table file.
    QImage storedPicture(int n = 1) {
        return plat::imageFromBlob(storedBytes(n, common::field::VoprBMP));
    }
    // The picture is a copy of the screen at r.
    static void expectScreenAt(const QImage& picture, const QRect& r) {
        ASSERT_EQ(picture.size(), r.size());
        for (const QPoint p : {QPoint(0, 0), QPoint(r.width() - 1, r.height() - 1),
                               QPoint(r.width() / 2, r.height() / 3)})
            EXPECT_EQ(picture.pixel(p) & 0xffffff,
                      RecordingScreen::screenPixel(r.x() + p.x(), r.y() + p.y()) & 0xffffff)
                << p.x() << "," << p.y();
    }
};

struct CaptureCase {
    const char* name;
    bool enlarged;
    QPoint window;  // where the window lies; the centred place when null
    QSize sizedTo;  // track bar positions in photo mode; none when empty
    QSize copied;
};

void PrintTo(const CaptureCase& c, std::ostream* os) { *os << c.name; }

class Capture : public PhotoMode, public ::testing::WithParamInterface<CaptureCase> {};

TEST_P(Capture, CopiesTheHoleWhileSeeThroughAndRestoresTheArea) {
    const CaptureCase& c = GetParam();
    open();
    if (!c.window.isNull()) f().move(c.window);
    if (c.enlarged) f().PictogrClick();
    const int height = c.enlarged ? 620 : 169;
    f().Foto_1Click();
    expectMode(true);
    EXPECT_EQ(area(), QSize(993, height));
    if (!c.sizedTo.isEmpty()) {
        f().TrackBar1->setValue(c.sizedTo.height());
        f().TrackBar2->setValue(c.sizedTo.width());
        ASSERT_EQ(area(), c.sizedTo);
    }
    const QRect expected(areaOnScreen(), c.copied);

    f().Foto_3Click();

    ASSERT_EQ(screen.captures, QList<QRect>{expected});
    EXPECT_EQ(screen.seeThroughAtCapture, QList<bool>{true});
    expectScreenAt(f().DBVoprBMP->picture(), expected);
    expectMode(false);
    expectRestored(height);
}

INSTANTIATE_TEST_SUITE_P(
    Views, Capture,
    ::testing::Values(CaptureCase{"Centred", false, {}, {}, {990, 166}},
                      // No fixed frame offsets: the copy starts where the area is.
                      CaptureCase{"MovedElsewhere", false, {100, 50}, {}, {990, 166}},
                      CaptureCase{"SizedByTheTrackBars", false, {}, {500, 100}, {497, 97}},
                      CaptureCase{"Enlarged", true, {}, {}, {990, 617}},
                      CaptureCase{"EnlargedMoved", true, {100, 50}, {}, {990, 617}},
                      CaptureCase{"EnlargedSized", true, {}, {700, 400}, {697, 397}}),
    [](const auto& info) { return std::string(info.param.name); });

class Sizing : public PhotoMode, public ::testing::WithParamInterface<bool> {};

TEST_P(Sizing, TrackBarsSizeTheAreaZeroLeavesTheLastSizeAndLeavingRestoresTheView) {
    const bool enlarged = GetParam();
    open();
    if (enlarged) f().PictogrClick();
    f().Foto_1Click();
    f().TrackBar1->setValue(120);
    f().TrackBar2->setValue(400);
    EXPECT_EQ(area(), QSize(400, 120));
    f().TrackBar1->setValue(0);
    f().TrackBar2->setValue(0);
    EXPECT_EQ(area(), QSize(400, 120));
    // Kept within the range.
    f().TrackBar1->setValue(5000);
    EXPECT_EQ(area(), QSize(400, enlarged ? 620 : 169));

    f().Foto_2Click();
    expectMode(false);
    expectRestored(enlarged ? 620 : 169);
    EXPECT_TRUE(screen.captures.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Views, Sizing, ::testing::Bool(), [](const auto& info) {
    return std::string(info.param ? "Enlarged" : "Normal");
});

TEST_F(PhotoMode, EnlargingInPhotoModeCarriesTheAreaAndLeavingRestoresTheViewThen) {
    open();
    f().Foto_1Click();
    f().PictogrClick();
    EXPECT_EQ(f().DBVoprBMP->geometry(), QRect(8, 8, 993, 620));
    EXPECT_EQ(f().TrackBar1->value(), 169) << "a raised maximum keeps the position";
    f().Foto_2Click();
    expectRestored(620);

    // Restored in photo mode: the lowered maximum moves the bar down with it.
    f().Foto_1Click();
    ASSERT_EQ(f().TrackBar1->value(), 620);
    f().PictogrClick();
    EXPECT_EQ(f().TrackBar1->value(), 169);
    f().Foto_3Click();
    EXPECT_EQ(screen.captures, QList<QRect>{QRect(areaOnScreen(), QSize(990, 166))});
    expectRestored(169);
}

TEST_F(PhotoMode, EachButtonActsOnlyInItsOwnState) {
    open();
    f().Foto_2Click();  // not see-through: nothing
    expectMode(false);
    EXPECT_TRUE(screen.switches.isEmpty());

    f().Foto_1Click();
    f().TrackBar1->setValue(100);
    f().Foto_1Click();  // already see-through: the size stays too
    expectMode(true);
    EXPECT_EQ(area(), QSize(993, 100));
    EXPECT_EQ(screen.switches, QList<bool>{true});

    f().Foto_2Click();
    f().Foto_2Click();
    EXPECT_EQ(screen.switches, (QList<bool>{true, false}));
}

TEST_F(PhotoMode, AViewRefreshLeavesPhotoModeAsTheOffButtonDoes) {
    open();
    f().Foto_1Click();
    f().TrackBar2->setValue(300);
    f().DBVoprStyle->choose(2);  // "3" again: a refresh, the record into edit mode
    expectMode(false);
    expectRestored(169);
    EXPECT_TRUE(f().DBVoprBMP->isVisibleTo(&f()));
    // The way back in works.
    f().Foto_1Click();
    expectMode(true);
}

TEST_F(PhotoMode, ACaptureOnANewRecordIsStoredByThePost) {
    open();
    f().DBNavigator1->btnClick(plat::nbInsert);
    f().DBVoprStyle->choose(2);
    f().Foto_1Click();
    const QRect r(areaOnScreen(), QSize(990, 166));
    f().Foto_3Click();
    f().DBNavigator1->btnClick(plat::nbPost);

    EXPECT_TRUE(storedPicture().isNull()) << "the first record keeps its empty picture";
    EXPECT_EQ(f().Label13->text(), QStringLiteral("из 2"));
    expectScreenAt(storedPicture(2), r);
}

TEST_F(PhotoMode, ACaptureInBrowseModeIsShownAndLostAtTheNextEdit) {
    QImage red(10, 10, QImage::Format_RGB32);
    red.fill(Qt::red);
    open(red);
    f().Foto_1Click();
    f().Foto_3Click();
    EXPECT_EQ(f().DBVoprBMP->picture().size(), QSize(990, 166));
    EXPECT_FALSE(f().DBNavigator1->button(plat::nbPost)->isEnabled()) << "still browsing";

    f().DBNavigator1->btnClick(plat::nbEdit);
    EXPECT_EQ(f().DBVoprBMP->picture().size(), QSize(10, 10));
    f().DBNavigator1->btnClick(plat::nbPost);
    EXPECT_EQ(storedPicture().size(), QSize(10, 10));
    EXPECT_EQ(storedPicture().pixel(5, 5), qRgb(255, 0, 0));
}

TEST_F(PhotoMode, ACaptureInEditModeIsWrittenWhenMovingOn) {
    open();
    f().DBNavigator1->btnClick(plat::nbEdit);
    f().Foto_1Click();
    const QRect r(areaOnScreen(), QSize(990, 166));
    f().Foto_3Click();
    f().DBNavigator1->btnClick(plat::nbInsert);  // writes the changed record first
    f().DBNavigator1->btnClick(plat::nbCancel);
    expectScreenAt(storedPicture(), r);
}

}  // namespace
