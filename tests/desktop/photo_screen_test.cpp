// Photo mode on a real X screen, over another program's window that fills the screen with a
// pattern: every point its own colour, so a pixel from a wrong place cannot match. What the
// editor shows after each order of its buttons, and what a capture copies.
#include "platform/dbctl/picture.h"
#include "platform/screen.h"
#include "tests/editor/editor_fixture.h"

#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace {

using editor_tests::QuestionEditor;
using testing_support::waitFor;

QRgb patternAt(int x, int y) { return qRgb(x % 256, y % 256, 8 * (x / 256) + 64 * (y / 256)); }

class PhotoOnScreen : public QuestionEditor {
protected:
    void SetUp() override {
        QuestionEditor::SetUp();
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            GTEST_SKIP() << "no virtual display (Xvfb missing)";
        if (QStandardPaths::findExecutable("display").isEmpty())
            GTEST_SKIP() << "ImageMagick's display missing";
        showPattern();
    }
    void TearDown() override {
        if (pattern_.state() != QProcess::NotRunning) {
            pattern_.kill();
            pattern_.waitForFinished(5000);
        }
        QuestionEditor::TearDown();
    }

    // The other program's window over the whole screen, beneath the editor to come.
    void showPattern() {
        const QSize size = QGuiApplication::primaryScreen()->size();
        QImage image(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) image.setPixel(x, y, patternAt(x, y));
        const QString file = inWork("pattern.png");
        ASSERT_TRUE(image.save(file));
        pattern_.start("display", {"-borderwidth", "0", "-geometry", "+0+0", file});
        const QPoint probe(size.width() / 3, size.height() / 3);
        ASSERT_TRUE(
            waitFor([&] { return screenAt(probe) == patternAt(probe.x(), probe.y()); }, 20000))
            << "the pattern window did not show";
    }

    static QRgb screenAt(QPoint p) {
        return plat::qtScreen().CaptureScreenRect(QRect(p, QSize(1, 1))).pixel(0, 0) | 0xff000000;
    }

    // The editor on a picture question with this picture, over the pattern, through this
    // screen, the record in edit mode so that a capture is kept.
    void openEditor(plat::Screen& real, const QImage& picture = QImage()) {
        screen.passTo = &real;
        makeTest({{{common::field::VoprStyle, "3"},
                   {common::field::VoprBMP, QString::fromLatin1(plat::bmpBytes(picture))}}});
        edit();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor()));
        editor().DBNavigator1->btnClick(plat::nbEdit);
    }
    QRect areaOnScreen() {
        return editor().DBVoprBMP->geometry().translated(editor().geometry().topLeft());
    }

    // The buttons and track bars as an author uses them, one after another, each drawn
    // before the next: E enlarge or restore, N photo mode on, F off, S capture, h and w the
    // track bars down to a height of 80 and a width of 500, R a view refresh.
    void press(const std::string& steps) {
        korvel::TForm1& e = editor();
        for (const char step : steps) {
            switch (step) {
                case 'E': e.PictogrClick(); break;
                case 'N': e.Foto_1Click(); break;
                case 'F': e.Foto_2Click(); break;
                case 'S': e.Foto_3Click(); break;
                case 'h': e.TrackBar1->setValue(80); break;
                case 'w': e.TrackBar2->setValue(500); break;
                case 'R': e.DBVoprStyle->choose(2); break;
                default: ADD_FAILURE() << "no step " << step;
            }
            waitFor([] { return false; }, 150);
        }
    }

    // The pixels of the editor's place on the screen that are not what the editor stands
    // for: itself where its shape has it, the pattern beneath wherever it is cut out.
    int wrongPixels() {
        korvel::TForm1& e = editor();
        const QRect g = e.geometry();
        const QImage shown = plat::qtScreen().CaptureScreenRect(g);
        const QImage drawn = e.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QImage inShape(g.size(), QImage::Format_Grayscale8);
        inShape.fill(0);
        {
            QPainter p(&inShape);
            if (!e.mask().isEmpty()) p.setClipRegion(e.mask());
            p.fillRect(inShape.rect(), Qt::white);
        }
        if (shown.size() != g.size() || drawn.size() != g.size()) return g.width() * g.height();
        int wrong = 0;
        for (int y = 0; y < g.height(); ++y) {
            const uchar* cut = inShape.constScanLine(y);
            for (int x = 0; x < g.width(); ++x) {
                const QRgb want = cut[x] ? drawn.pixel(x, y) : patternAt(g.x() + x, g.y() + y);
                wrong += (shown.pixel(x, y) | 0xff000000) != (want | 0xff000000);
            }
        }
        return wrong;
    }

    QProcess pattern_;
};

struct Order {
    const char* name;
    const char* steps;
    bool photoMode;  // at the end
};

void PrintTo(const Order& o, std::ostream* os) { *os << o.steps; }

class ButtonOrder : public PhotoOnScreen, public ::testing::WithParamInterface<Order> {};

TEST_P(ButtonOrder, EndsWithTheEditorDrawnAsItsModeSays) {
    openEditor(plat::qtScreen());
    press(GetParam().steps);
    EXPECT_EQ(editor().TransparentColor(), GetParam().photoMode);
    EXPECT_EQ(editor().mask().isEmpty(), !GetParam().photoMode);
    int wrong = -1;
    waitFor([&] { return (wrong = wrongPixels()) == 0; }, 5000);
    EXPECT_EQ(wrong, 0) << "pixels of the editor's place on the screen";
}

INSTANTIATE_TEST_SUITE_P(
    Orders, ButtonOrder,
    ::testing::Values(
        Order{"On", "N", true},
        // The strips that a smaller area leaves are the window's again.
        Order{"Shrunk", "Nhw", true}, Order{"ShrunkOff", "NhwF", false},
        Order{"EnlargedOnRestoredOff", "ENEF", false}, Order{"EnlargedOnRestored", "ENE", true},
        Order{"EnlargedOnRestoredOffOnAgain", "ENEFN", true}, Order{"OnEnlargedOff", "NEF", false},
        Order{"OnEnlargedShrunkCaptured", "NEhwS", false},
        Order{"EnlargedOnCapturedRestored", "ENSE", false}, Order{"OnRefreshed", "NR", false}),
    [](const auto& info) { return std::string(info.param.name); });

struct View {
    const char* name;
    const char* steps;  // from photo mode on, up to the capture
    bool picture;       // the record has a picture, drawn over the middle of the area
    QSize copied;
};

void PrintTo(const View& v, std::ostream* os) { *os << v.name; }

class CaptureOnScreen : public PhotoOnScreen, public ::testing::WithParamInterface<View> {};

// The picture holds what lies beneath the area and nothing of the editor: not its controls
// over an enlarged area, not its cream, not the picture it showed.
TEST_P(CaptureOnScreen, ThePictureIsTheScreenBeneathTheAreaPixelByPixel) {
    const View& v = GetParam();
    QImage blue(200, 100, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    openEditor(plat::qtScreen(), v.picture ? blue : QImage());
    press(v.steps);
    const QRect expected(areaOnScreen().topLeft(), v.copied);
    press("S");
    editor().DBNavigator1->btnClick(plat::nbPost);

    ASSERT_EQ(screen.captures, QList<QRect>{expected});
    const QImage picture = plat::imageFromBlob(storedBytes(1, common::field::VoprBMP));
    ASSERT_EQ(picture.size(), expected.size());
    int wrong = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            wrong +=
                (picture.pixel(x, y) | 0xff000000) != patternAt(expected.x() + x, expected.y() + y);
    EXPECT_EQ(wrong, 0) << "of " << picture.width() * picture.height() << " pixels";
    EXPECT_TRUE(editor().mask().isEmpty()) << "the whole window is back";
    waitFor([&] { return wrongPixels() == 0; }, 5000);
    EXPECT_EQ(wrongPixels(), 0) << "the editor drawn whole again";
}

INSTANTIATE_TEST_SUITE_P(
    Views, CaptureOnScreen,
    ::testing::Values(View{"Normal", "N", false, {990, 166}},
                      View{"NormalOverAPicture", "N", true, {990, 166}},
                      // The track bars, the picture buttons and the web button lie over it.
                      View{"Enlarged", "EN", false, {990, 617}},
                      View{"EnlargedOverAPicture", "EN", true, {990, 617}},
                      View{"EnlargedSized", "ENhw", false, {497, 77}},
                      // Restored while in photo mode: the copy follows the area back to its place.
                      View{"EnlargedThenRestored", "ENE", false, {990, 166}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PhotoOnScreen, WithoutTheHoleThePictureIsTheEditorsOwnCream) {
    const std::unique_ptr<plat::Screen> unshaped = plat::makeQtScreen(false);
    openEditor(*unshaped);
    press("NS");
    editor().DBNavigator1->btnClick(plat::nbPost);
    const QImage picture = plat::imageFromBlob(storedBytes(1, common::field::VoprBMP));
    ASSERT_EQ(picture.size(), QSize(990, 166));
    int cream = 0;
    for (int v = 0; v < picture.height(); ++v)
        for (int u = 0; u < picture.width(); ++u)
            cream += (picture.pixel(u, v) | 0xff000000) == plat::DBImage::clCream().rgb();
    EXPECT_EQ(cream, picture.width() * picture.height());
}

}  // namespace
