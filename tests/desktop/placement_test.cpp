// Every window of the three programs on an 800 x 600 screen, smaller than most of them: its
// top left corner, and so its title bar, on the screen, in each of its modes.
#include "client/TForm1.h"
#include "server/Unit1.h"
#include "tests/desktop/desktop.h"
#include "tests/editor/editor_fixture.h"
#include "tests/server/server_fixture.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

namespace {

class SmallScreen : public editor_tests::QuestionEditor {
protected:
    // The windows place themselves by the real screen.
    plat::Services editorServices() override {
        plat::Services s = services();
        s.system = &plat::qtSystem();
        return s;
    }
    // Where the window's frame stands once it is on the screen.
    static QPoint shownAt(QWidget& w) {
        w.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
        return w.frameGeometry().topLeft();
    }
};

TEST_F(SmallScreen, EveryWindowHasItsTopLeftCornerOnTheScreen) {
    if (qgetenv("DISPLAY").isEmpty()) GTEST_SKIP() << "no virtual display (Xvfb missing)";
    if (desktop_tests::screenSize() != QSize(800, 600))
        return desktop_tests::runOnScreenOf({800, 600});
    ASSERT_EQ(QGuiApplication::primaryScreen()->availableGeometry(), QRect(0, 0, 800, 600));

    // korvel: the start window fits and is centred; the editor does not, in either way.
    makeTest({{{common::field::VoprStyle, "3"}}});
    EXPECT_EQ(shownAt(*frame->Form3), QPoint((800 - 484) / 2, (600 - 368) / 2));
    edit();
    korvel::TForm1& e = editor();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&e));
    EXPECT_EQ(e.frameGeometry().topLeft(), QPoint(0, 0)) << "not at (-110, -67)";
    e.PictogrClick();
    e.Foto_1Click();
    QCoreApplication::processEvents();
    EXPECT_EQ(e.frameGeometry().topLeft(), QPoint(0, 0)) << "enlarged, in photo mode";
    e.Foto_2Click();
    e.PictogrClick();
    e.Exit_EditClick();
    edit();
    EXPECT_EQ(shownAt(e), QPoint(0, 0)) << "shown again";
    e.Exit_EditClick();

    // pandrel: too large too; shown and activated, it asks for a test, and is declined.
    ui.expectOpen(std::nullopt).expect(plat::BoxKind::Confirmation, {}, plat::Answer::No);
    pandrel::ClientState state;
    pandrel::TForm1 client(editorServices(), state, [](const QString&) { return true; });
    client.endProcess = [] {};
    EXPECT_EQ(shownAt(client), QPoint(0, 0));
    client.activateWindow();
    EXPECT_TRUE(testing_support::waitFor([&] { return client.ended(); }, 5000));
    EXPECT_EQ(client.frameGeometry().topLeft(), QPoint(0, 0));

    // lisgar: its designed place lies on this screen and is kept.
    QFile port(inWork("port.txt"));
    ASSERT_TRUE(port.open(QIODevice::WriteOnly));
    port.write(QByteArray::number(server_tests::freePort()) + "\r\n");
    port.close();
    lisgar::TForm1 server(editorServices());
    EXPECT_EQ(shownAt(server), QPoint(16, 57));
}

}  // namespace
