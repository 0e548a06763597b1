// The socket layer on 127.0.0.1: error numbers and texts, the client socket's
// notifications and sends, the listener's list of connections.
#include "platform/net/client_socket.h"
#include "platform/net/server_socket.h"
#include "tests/harness/harness.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>

using namespace plat::net;
using testing_support::waitFor;

namespace {

TEST(SocketErrorText, LayerTextsCarryTheSystemText) {
    EXPECT_EQ(asyncErrorText(10061), "Asynchronous socket error 10061");
    EXPECT_EQ(apiErrorText(ECONNREFUSED, "connect"),
              QStringLiteral("Windows socket error: %1 (111), on API 'connect'")
                  .arg(QString::fromLocal8Bit(std::strerror(ECONNREFUSED))));
    EXPECT_FALSE(systemText(EADDRINUSE).isEmpty());
}

class ClientSocketTest : public testing_support::SuiteTest {
protected:
    void SetUp() override {
        SuiteTest::SetUp();
        ASSERT_TRUE(server.listen(QHostAddress::AnyIPv4, 0));
        client.setAddress("127.0.0.1");
        client.setPort(server.serverPort());
        client.onConnect = [&] { events << "connect"; };
        client.onDisconnect = [&] { events << "disconnect"; };
        client.onError = [&](ErrorEvent e, int& code) {
            events << QStringLiteral("error %1 %2").arg(int(e)).arg(code);
            if (clearCode) code = 0;
        };
    }
    // Connects and returns the server's end.
    QTcpSocket* connectBoth() {
        client.activate();
        EXPECT_TRUE(client.connecting());
        EXPECT_FALSE(client.active()) << "active only once connected";
        EXPECT_TRUE(waitFor([&] { return client.active(); }));
        EXPECT_TRUE(server.hasPendingConnections() || server.waitForNewConnection(3000));
        return server.nextPendingConnection();
    }
    static quint16 closedPort() {
        QTcpServer probe;
        probe.listen(QHostAddress::AnyIPv4, 0);
        return probe.serverPort();
    }

    QTcpServer server;
    ClientSocket client{ui};
    QStringList events;
    bool clearCode = false;
};

TEST_F(ClientSocketTest, ConnectsSendsAndClosesInOrder) {
    QTcpSocket* peer = connectBoth();
    ASSERT_NE(peer, nullptr);
    EXPECT_EQ(events, QStringList({"connect"}));
    EXPECT_EQ(client.localAddress(), "127.0.0.1");

    const QByteArray msg = QByteArray("\xA9\x08\xA9\x08", 4) + "127.0.0.1 " + QByteArray(5000, 'z');
    qint64 sent = 0;
    client.onSent = [&](qint64 n) { sent += n; };
    EXPECT_EQ(client.sendText(msg), msg.size());
    EXPECT_EQ(sent, msg.size()) << "the send went out before sendText returned";
    client.deactivate();
    EXPECT_EQ(events, QStringList({"connect", "disconnect"})) << "notified during the call";
    EXPECT_FALSE(client.active());
    EXPECT_TRUE(client.localAddress().isEmpty());

    // What was sent just before the close still arrives whole.
    QByteArray got;
    EXPECT_TRUE(waitFor([&] {
        got += peer->readAll();
        return peer->state() == QAbstractSocket::UnconnectedState && got.size() >= msg.size();
    }));
    EXPECT_EQ(got, msg);
    EXPECT_EQ(client.sendText("late"), 0) << "nothing is sent while not active";
}

// The server's end closing gives the disconnect notification only; its reset gives the
// error notification with the code, then the disconnect, then the layer's own box.
TEST_F(ClientSocketTest, ServerClosingAndResettingAreToldApart) {
    for (bool reset : {false, true}) {
        SCOPED_TRACE(reset ? "reset" : "closed");
        events.clear();
        QTcpSocket* peer = connectBoth();
        ASSERT_NE(peer, nullptr);
        if (reset) {
            ui.expect(plat::BoxKind::StandardError, asyncErrorText(ECONNRESET));
            const linger now{1, 0};
            setsockopt(int(peer->socketDescriptor()), SOL_SOCKET, SO_LINGER, &now, sizeof now);
            peer->abort();
        } else {
            peer->disconnectFromHost();
        }
        ASSERT_TRUE(waitFor([&] { return !client.active(); }));
        waitFor([] { return false; }, 100);
        QStringList want = {"connect"};
        if (reset)
            want << QStringLiteral("error %1 %2").arg(int(ErrorEvent::Receive)).arg(ECONNRESET);
        want << "disconnect";
        EXPECT_EQ(events, want);
        EXPECT_EQ(ui.boxes().size(), reset ? 1 : 0);
        EXPECT_FALSE(client.connecting());
    }
}

// A refused connection arrives later through the event loop; a code the handler leaves set
// goes on to the layer's own box, a cleared one does not.
TEST_F(ClientSocketTest, RefusedConnectionReportsTheCode) {
    for (bool clear : {false, true}) {
        SCOPED_TRACE(clear ? "code cleared" : "code left set");
        events.clear();
        clearCode = clear;
        client.setPort(closedPort());
        if (!clear) ui.expect(plat::BoxKind::StandardError, asyncErrorText(ECONNREFUSED));
        client.activate();
        EXPECT_TRUE(events.isEmpty()) << "not reported inside activate()";
        ASSERT_TRUE(waitFor([&] { return !events.isEmpty(); }));
        EXPECT_EQ(
            events,
            QStringList(
                {QStringLiteral("error %1 %2").arg(int(ErrorEvent::Connect)).arg(ECONNREFUSED)}));
        EXPECT_FALSE(client.active());
        EXPECT_FALSE(client.connecting());
        EXPECT_TRUE(ui.finished());
    }
}

TEST_F(ClientSocketTest, AddressThatIsNoIPv4IsRefusedAtOnce) {
    for (const char* address : {"", "server.local", "::1"}) {
        SCOPED_TRACE(address);
        events.clear();
        client.setAddress(address);
        try {
            client.activate();
            ADD_FAILURE() << "activate() did not throw";
        } catch (const plat::SocketError& e) {
            EXPECT_EQ(e.code(), EDESTADDRREQ);
            EXPECT_EQ(e.text(), apiErrorText(EDESTADDRREQ, "connect"));
        }
        // With no address at all the disconnect notification comes first.
        QStringList want = {
            QStringLiteral("error %1 %2").arg(int(ErrorEvent::Connect)).arg(EDESTADDRREQ)};
        if (!*address) want.prepend(QStringLiteral("disconnect"));
        EXPECT_EQ(events, want);
        EXPECT_FALSE(client.connecting());
    }
}

// The listener's list: a new connection is in it during its connect notification, a
// closing one during its disconnect notification; deactivating notifies nobody.
TEST(ServerSocket, ListHoldsConnectionDuringItsNotifications) {
    testing_support::ScriptedUi ui;
    ServerSocket listener(ui);
    {
        QTcpServer probe;
        probe.listen(QHostAddress::AnyIPv4, 0);
        listener.setPort(probe.serverPort());
    }
    listener.activate();
    QList<int> counts;
    QStringList peers;
    listener.onClientConnect = [&](ServerConnection* c) {
        counts << listener.connectionCount();
        peers << c->remoteAddress() + " " + c->localAddress();
    };
    listener.onClientDisconnect = [&](ServerConnection*) { counts << -listener.connectionCount(); };

    QTcpSocket a, b;
    for (QTcpSocket* s : {&a, &b}) {
        s->connectToHost(QHostAddress::LocalHost, listener.boundPort());
        ASSERT_TRUE(s->waitForConnected(3000));
        ASSERT_TRUE(waitFor([&] { return counts.size() == (s == &a ? 1 : 2); }));
    }
    a.disconnectFromHost();
    ASSERT_TRUE(waitFor([&] { return listener.connectionCount() == 1; }));
    EXPECT_EQ(counts, QList<int>({1, 2, -2}));
    EXPECT_EQ(peers, QStringList({"127.0.0.1 127.0.0.1", "127.0.0.1 127.0.0.1"}));

    listener.deactivate();
    EXPECT_TRUE(b.state() == QAbstractSocket::UnconnectedState || b.waitForDisconnected(3000));
    EXPECT_EQ(counts.size(), 3);
    EXPECT_EQ(listener.connectionCount(), 0);
    EXPECT_FALSE(listener.active());
}

}  // namespace
