// Photo mode on a real X screen: another program's window lies under the empty picture
// area, and the posted picture must hold that window's pixels, copied through the hole.
//
// Run headless (offscreen), each test starts its own Xvfb on a free display and runs itself
// again there on the xcb platform, where it does the work.
#include "platform/dbctl/picture.h"
#include "platform/screen.h"
#include "tests/editor/editor_fixture.h"

#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTest>

namespace {

using editor_tests::QuestionEditor;
using testing_support::waitFor;

// The other program's window, and the colour it shows at each screen point: every point
// its own colour, so a copy from a wrong place cannot match.
const QRect kPatternWindow(100, 150, 1100, 400);
QRgb patternAt(int x, int y) { return qRgb(x % 256, y % 256, 16 * (x / 256) + 64 * (y / 256)); }

class PhotoOnScreen : public QuestionEditor {
protected:
    void TearDown() override {
        if (pattern_.state() != QProcess::NotRunning) {
            pattern_.kill();
            pattern_.waitForFinished(5000);
        }
        QuestionEditor::TearDown();
    }

    static bool onX() { return QGuiApplication::platformName() == QStringLiteral("xcb"); }

    // Starts an Xvfb of its own and runs this test again on it.
    void runOnOwnXvfb() {
        for (const char* tool : {"Xvfb", "display"})
            if (QStandardPaths::findExecutable(tool).isEmpty()) GTEST_SKIP() << tool << " missing";
        QProcess xvfb;
        int display = 0;
        for (int tries = 0; tries < 20; ++tries) {
            display = 300 + int(QRandomGenerator::global()->bounded(600));
            if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(display))) continue;
            xvfb.start(QStringLiteral("Xvfb"), {QStringLiteral(":%1").arg(display), "-screen", "0",
                                                "1280x1024x24", "-nolisten", "tcp"});
            if (!xvfb.waitForStarted(5000)) continue;
            const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(display);
            waitFor([&] { return QFile::exists(socket) || xvfb.state() != QProcess::Running; },
                    10000);
            if (xvfb.state() == QProcess::Running && QFile::exists(socket)) break;
            xvfb.kill();
            xvfb.waitForFinished(1000);
        }
        ASSERT_EQ(xvfb.state(), QProcess::Running) << "no free display for Xvfb";

        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        QProcess self;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", QStringLiteral(":%1").arg(display));
        env.insert("QT_QPA_PLATFORM", "xcb");
        self.setProcessEnvironment(env);
        self.setProcessChannelMode(QProcess::MergedChannels);
        self.start(
            QCoreApplication::applicationFilePath(),
            {QStringLiteral("--gtest_filter=%1.%2").arg(test->test_suite_name(), test->name())});
        const bool finished = self.waitForFinished(90000);
        if (!finished) self.kill();
        const QString out = QString::fromLocal8Bit(self.readAll());
        xvfb.terminate();
        xvfb.waitForFinished(5000);
        ASSERT_TRUE(finished) << out.toStdString();
        EXPECT_EQ(self.exitCode(), 0) << out.toStdString();
        EXPECT_TRUE(out.contains("[  PASSED  ] 1 test")) << out.toStdString();
    }

    // The pattern window of another program, started and on the screen.
    void showPattern() {
        QImage image(kPatternWindow.size(), QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, patternAt(kPatternWindow.x() + x, kPatternWindow.y() + y));
        const QString file = inWork("pattern.png");
        ASSERT_TRUE(image.save(file));
        pattern_.start(
            QStringLiteral("display"),
            {"-borderwidth", "0", "-geometry",
             QStringLiteral("+%1+%2").arg(kPatternWindow.x()).arg(kPatternWindow.y()), file});
        const QPoint probe = kPatternWindow.center();
        ASSERT_TRUE(
            waitFor([&] { return screenAt(probe) == patternAt(probe.x(), probe.y()); }, 20000))
            << "the pattern window did not show";
    }

    static QRgb screenAt(QPoint p) {
        return plat::qtScreen().CaptureScreenRect(QRect(p, QSize(1, 1))).pixel(0, 0) | 0xff000000;
    }

    // The editor on a picture question with an empty picture, over the pattern window,
    // through this screen.
    void openEditorOver(plat::Screen& real) {
        screen.passTo = &real;
        makeTest({{{common::field::VoprStyle, "3"}}});
        edit();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor()));
        ASSERT_TRUE(kPatternWindow.contains(areaOnScreen()));
    }
    QRect areaOnScreen() {
        return editor().DBVoprBMP->geometry().translated(editor().geometry().topLeft());
    }

    // Photo mode on a new record: on, wait until the screen shows what it will show,
    // capture, post. Returns the stored picture and where it was copied from.
    QImage captureAndPost(const std::function<bool()>& screenReady, QRect* copied) {
        editor().DBNavigator1->btnClick(plat::nbEdit);
        editor().Foto_1Click();
        EXPECT_TRUE(waitFor(screenReady, 10000)) << "the screen did not settle";
        editor().Foto_3Click();
        editor().DBNavigator1->btnClick(plat::nbPost);
        *copied = screen.captures.value(0);
        return plat::imageFromBlob(storedBytes(1, common::field::VoprBMP));
    }

    QProcess pattern_;
};

TEST_F(PhotoOnScreen, ThePictureHoldsTheWindowBeneathTheHole) {
    if (!onX()) return runOnOwnXvfb();
    showPattern();
    openEditorOver(plat::qtScreen());
    const QPoint inHole = areaOnScreen().center();
    QRect copied;
    const QImage picture = captureAndPost(
        [&] { return screenAt(inHole) == patternAt(inHole.x(), inHole.y()); }, &copied);

    ASSERT_EQ(copied, QRect(areaOnScreen().topLeft(), QSize(990, 166)));
    ASSERT_EQ(picture.size(), copied.size());
    int wrong = 0;
    for (int v = 0; v < picture.height(); ++v)
        for (int u = 0; u < picture.width(); ++u)
            wrong +=
                (picture.pixel(u, v) | 0xff000000) != patternAt(copied.x() + u, copied.y() + v);
    EXPECT_EQ(wrong, 0) << "of " << picture.width() * picture.height() << " pixels";
    EXPECT_TRUE(editor().mask().isEmpty()) << "the whole window is back";
}

TEST_F(PhotoOnScreen, WithoutTheHoleThePictureIsTheEditorsOwnCream) {
    if (!onX()) return runOnOwnXvfb();
    showPattern();
    const std::unique_ptr<plat::Screen> unshaped = plat::makeQtScreen(false);
    openEditorOver(*unshaped);
    const QPoint inArea = areaOnScreen().center();
    QRect copied;
    const QImage picture =
        captureAndPost([&] { return screenAt(inArea) == plat::DBImage::clCream().rgb(); }, &copied);

    ASSERT_EQ(picture.size(), QSize(990, 166));
    int cream = 0;
    for (int v = 0; v < picture.height(); ++v)
        for (int u = 0; u < picture.width(); ++u)
            cream += (picture.pixel(u, v) | 0xff000000) == plat::DBImage::clCream().rgb();
    EXPECT_EQ(cream, picture.width() * picture.height());
}

}  // namespace
