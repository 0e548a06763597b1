// The client's end of the link to the results server, against a real listener on 127.0.0.1.
#include "platform/codec.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "tests/client/client_fixture.h"
#include "tests/client/texts.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTcpServer>
#include <QTcpSocket>
#include <cerrno>
#include <sys/socket.h>

using namespace client_test;
using pandrel::TForm1;
using plat::BoxKind;

namespace {

class Link : public ClientTest {
protected:
    void SetUp() override {
        ClientTest::SetUp();
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = server.nextPendingConnection()) peers.push_back(s);
        });
    }
    void lineFile(const QString& text) {
        plat::fs::writeBytes(inWork("line.txt"), plat::toCp1251(text));
    }
    QString port() const { return QString::number(server.serverPort()); }
    bool offline() const { return !form->imOffline->isHidden(); }
    // Runs the event loop until the scripted boxes are all answered.
    bool settle() {
        return testing_support::waitFor([&] { return ui.finished(); }, 5000);
    }
    // Connects f through "line.txt" to the listener, which holds the connection in peers[0].
    void connectToListener(TForm1& f) {
        lineFile("1\r\n127.0.0.1\r\n" + port());
        ui.expect(BoxKind::Plain, texts::kConnectedText);
        f.ConnectFromLineFile();
        ASSERT_TRUE(settle());
        ASSERT_TRUE(testing_support::waitFor([&] { return !peers.empty(); }));
    }

    QTcpServer server;
    std::vector<QTcpSocket*> peers;
};

struct SwitchCase {
    const char* first;
    bool connects;
};

class LineSwitch : public Link, public ::testing::WithParamInterface<SwitchCase> {};

// Only a first line of exactly "1" connects at a graded start; the offline sign's click
// connects whatever the first line says.
TEST_P(LineSwitch, FirstLineDecidesTheAutomaticStartOnly) {
    TForm1& f = makeForm();
    lineFile(QString::fromLatin1(GetParam().first) + "\r\n127.0.0.1\r\n" + port() + "\r\n");
    f.ConnectFromLineFile();
    EXPECT_EQ(offline(), !GetParam().connects);
    if (GetParam().connects) {
        ui.expect(BoxKind::Plain, texts::kConnectedText);
        ASSERT_TRUE(settle());
        EXPECT_TRUE(f.ClientSocket1->active());
        EXPECT_EQ(peers.size(), 1u);
        return;
    }
    EXPECT_FALSE(f.ClientSocket1->connecting());
    EXPECT_TRUE(ui.boxes().isEmpty());
    ui.expect(BoxKind::Plain, texts::kConnectedText);
    f.imOfflineClick();
    EXPECT_FALSE(offline());  // online sign before the attempt has succeeded
    ASSERT_TRUE(settle());
    EXPECT_TRUE(f.ClientSocket1->active());
}

INSTANTIATE_TEST_SUITE_P(FirstLines, LineSwitch,
                         ::testing::Values(SwitchCase{"1", true}, SwitchCase{"1 ", false},
                                           SwitchCase{"01", false}, SwitchCase{"yes", false},
                                           SwitchCase{"0", false}, SwitchCase{"", false}));

TEST_F(Link, MissingLineFileIsReportedAndStaysOffline) {
    TForm1& f = makeForm();
    ui.expect(BoxKind::Plain, texts::kLineFileUnreadable);
    f.ConnectFromLineFile();
    ui.expect(BoxKind::Plain, texts::kLineFileUnreadable);
    f.imOfflineClick();
    EXPECT_TRUE(offline());
    EXPECT_FALSE(f.ClientSocket1->connecting());
}

TEST_F(Link, PortThatIsNoNumberEndsTheCallerOffline) {
    TForm1& f = makeForm();
    lineFile("1\r\n127.0.0.1\r\n10x\r\n");
    EXPECT_THROW(f.ConnectFromLineFile(), plat::ConvertError);
    EXPECT_TRUE(offline());
    EXPECT_EQ(f.ClientSocket1->address(), "127.0.0.1");
    // Through the sign's click the standard error box shows the conversion's text.
    ui.expect(BoxKind::StandardError, "'10x' is not a valid integer value");
    f.imOfflineClick();
    EXPECT_TRUE(offline());
}

TEST_F(Link, EmptyAddressIsRefusedAtOnce) {
    TForm1& f = makeForm();
    lineFile("1\r\n\r\n" + port());
    ui.expect(BoxKind::Plain, "Произошло отключение от протокольного сервера!")
        .expect(BoxKind::Plain,
                "Ошибка соединения c протокольным сервером №" + QString::number(EDESTADDRREQ))
        .expect(BoxKind::StandardError);
    f.imOfflineClick();
    EXPECT_TRUE(offline());
    EXPECT_TRUE(ui.boxes().last().text.contains("on API 'connect'"));
}

TEST_F(Link, RefusedConnectionShowsTheCodeThenTheLayersReport) {
    const QString freePort = port();
    server.close();
    TForm1& f = makeForm();
    lineFile("1\r\n127.0.0.1\r\n" + freePort);
    ui.expect(BoxKind::Plain, texts::kLinkErrorText + QString::number(ECONNREFUSED))
        .expect(BoxKind::StandardError,
                QStringLiteral("Asynchronous socket error %1").arg(ECONNREFUSED));
    f.ConnectFromLineFile();
    EXPECT_FALSE(offline());
    ASSERT_TRUE(settle());
    EXPECT_TRUE(offline());
    EXPECT_FALSE(f.ClientSocket1->active() || f.ClientSocket1->connecting());
}

TEST_F(Link, ServerClosingShowsTheOfflineSignFirst) {
    TForm1& f = makeForm();
    lineFile("1\r\n127.0.0.1\r\n" + port());
    ui.expect(BoxKind::Plain, texts::kConnectedText);
    f.ConnectFromLineFile();
    ASSERT_TRUE(settle());
    bool signUnderBox = false;
    ui.onShow = [&](const plat::Box&) { signUnderBox = offline(); };
    ui.expect(BoxKind::Plain, texts::kDisconnectedText);
    ASSERT_TRUE(testing_support::waitFor([&] { return !peers.empty(); }));
    peers[0]->close();
    ASSERT_TRUE(settle());
    EXPECT_TRUE(signUnderBox);
    EXPECT_TRUE(offline());
    EXPECT_FALSE(f.ClientSocket1->active());
}

// A reset of the live connection is an error, not a close: the disconnect message, the
// error message with its code, then the socket layer's own box, once.
TEST_F(Link, ResetOfTheLiveConnectionShowsTheErrorOnce) {
    TForm1& f = makeForm();
    connectToListener(f);
    ui.expect(BoxKind::Plain, texts::kDisconnectedText)
        .expect(BoxKind::Plain, texts::kLinkErrorText + QString::number(ECONNRESET))
        .expect(BoxKind::StandardError,
                QStringLiteral("Asynchronous socket error %1").arg(ECONNRESET));
    const linger now{1, 0};
    setsockopt(int(peers[0]->socketDescriptor()), SOL_SOCKET, SO_LINGER, &now, sizeof now);
    peers[0]->abort();
    ASSERT_TRUE(settle());
    testing_support::waitFor([] { return false; }, 200);
    EXPECT_EQ(ui.boxes().size(), 4);
    EXPECT_TRUE(offline());
    EXPECT_FALSE(f.ClientSocket1->active() || f.ClientSocket1->connecting());
}

TEST_F(Link, DisconnectUnderTheConnectBoxLeavesTheSignTrue) {
    TForm1& f = makeForm();
    lineFile("1\r\n127.0.0.1\r\n" + port());
    // The server drops the connection while the connect message is still open.
    ui.onShow = [&](const plat::Box& b) {
        if (b.text != texts::kConnectedText) return;
        ui.onShow = nullptr;
        ASSERT_TRUE(testing_support::waitFor([&] { return !peers.empty(); }));
        peers[0]->close();
        testing_support::waitFor([&] { return !f.ClientSocket1->active(); });
    };
    // The inner box is answered first.
    ui.expect(BoxKind::Plain, texts::kDisconnectedText)
        .expect(BoxKind::Plain, texts::kConnectedText);
    f.ConnectFromLineFile();
    ASSERT_TRUE(settle());
    EXPECT_TRUE(offline());
}

TEST_F(Link, SendsMarkerOwnAddressAndTextOnlyWhileConnected) {
    TForm1& f = makeForm();
    f.SendToServer(QStringLiteral("не отправится"));  // offline: nothing, no box
    EXPECT_TRUE(ui.boxes().isEmpty());

    connectToListener(f);
    const QString text = QStringLiteral("Иванов  Иван 10А. Старт на оценку. Тест Физика.DB.");
    f.SendToServer(text);
    QByteArray got;
    ASSERT_TRUE(testing_support::waitFor([&] {
        got += peers[0]->readAll();
        return got.size() >= 4 + 10 + plat::toCp1251(text).size();
    }));
    EXPECT_EQ(got, QByteArray("\xA9\x08\xA9\x08") + "127.0.0.1 " + plat::toCp1251(text));
}

TEST_F(Link, ClosingTheWindowEndsTheLinkSilently) {
    TForm1& f = makeForm();
    connectToListener(f);
    const qsizetype boxes = ui.boxes().size();
    form.reset();
    QTcpSocket* peer = peers[0];
    EXPECT_TRUE(
        testing_support::waitFor([&] { return peer->state() != QAbstractSocket::ConnectedState; }));
    EXPECT_EQ(ui.boxes().size(), boxes);
}

TEST_F(Link, ClickOnTheOfflineSignConnects) {
    TForm1& f = makeForm();
    lineFile("0\r\n127.0.0.1\r\n" + port());
    ui.expect(BoxKind::Plain, texts::kConnectedText);
    const QPointF at(10, 10);
    QMouseEvent press(QEvent::MouseButtonPress, at, f.imOffline->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, f.imOffline->mapToGlobal(at),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(f.imOffline, &press);
    QApplication::sendEvent(f.imOffline, &release);
    ASSERT_TRUE(settle());
    EXPECT_TRUE(f.ClientSocket1->active());
}

}  // namespace
