// What reaches the log from the wire: connects, disconnects and marked messages.
#include "common/messages.h"
#include "platform/codec.h"
#include "platform/net/client_socket.h"
#include "platform/net/socket_errors.h"
#include "server_fixture.h"

#include <QThread>
#include <cerrno>

using namespace server_tests;

namespace {

const QByteArray M = common::MessageMarker();
const QString kConnected = QStringLiteral("9:05:07 127.0.0.1 - Подключился.");
const QString kLeft = QStringLiteral("9:05:07 127.0.0.1 - Отключился.");

QByteArray cp(const char* utf8) { return plat::toCp1251(QString::fromUtf8(utf8)); }

// The result report of a run of n questions, as the client builds it.
QString resultReport(int n) {
    QString r = QStringLiteral(
                    "Иванов Иван 10А\r\nОтвечал на вопросы теста Физика.DB\r\nВерных ответов: "
                    "%1 из %2\r\nВремя тестирования 0:12:05\r\nПятибальный коэффициент: 5\r\n"
                    "Номера заданных вопросов:\r\n")
                    .arg(n)
                    .arg(n);
    for (int i = 1; i <= n; ++i) {
        r += QStringLiteral("%1[%2+] ").arg(i).arg(i);
        if (i % 10 == 0) r += QStringLiteral("\r\n");
    }
    return r;
}

TEST_F(ServerTest, CountsConnectsAndDisconnects) {
    startServer();
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    for (int i = 1; i <= 3; ++i) {
        clients.push_back(connectClient());
        EXPECT_EQ(form->Label2->text(), QString::number(i));
    }
    EXPECT_EQ(linesAfter(1), QStringList({kConnected, kConnected, kConnected}));

    clients[1]->disconnectFromHost();
    ASSERT_TRUE(waitFor([&] { return form->ServerSocket1.connectionCount() == 2; }));
    EXPECT_EQ(form->Label2->text(), "2");
    EXPECT_EQ(linesAfter(4), QStringList({kLeft}));

    // Clearing the log touches neither the count nor the connections.
    form->btDelete->click();
    EXPECT_TRUE(form->log().lines().isEmpty());
    EXPECT_TRUE(form->Memo1->toPlainText().isEmpty());
    EXPECT_EQ(form->Label2->text(), "2");
    clients[0]->disconnectFromHost();
    ASSERT_TRUE(waitFor([&] { return form->Label2->text() == "1"; }));
    EXPECT_EQ(linesAfter(0), QStringList({kLeft}));
}

// A class starting together while the window is busy: every connection still gets through
// at once, none waits for the system's retry after a dropped handshake.
TEST_F(ServerTest, BurstOfConnectionsWhileBusyIsAcceptedAtOnce) {
    startServer();
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    for (int i = 0; i < 40; ++i) {
        clients.push_back(std::make_unique<QTcpSocket>());
        clients.back()->connectToHost(QHostAddress::LocalHost, port);
    }
    QThread::msleep(300);  // the main thread does something else meanwhile
    EXPECT_TRUE(waitFor([&] { return form->ServerSocket1.connectionCount() == 40; }, 800))
        << form->ServerSocket1.connectionCount();
    EXPECT_EQ(form->Label2->text(), "40");
}

struct WireCase {
    const char* name;
    QList<QByteArray> sends;     // one write each, the line quiet in between
    QList<QStringList> entries;  // the lines of each entry after the connect entry
};

void PrintTo(const WireCase& c, std::ostream* os) { *os << c.name; }

class WireTest : public ServerTest, public ::testing::WithParamInterface<WireCase> {};

TEST_P(WireTest, LogsMarkedMessagesOnly) {
    const WireCase& c = GetParam();
    startServer();
    auto client = connectClient();
    for (const QByteArray& b : c.sends) {
        send(*client, b);
        settle(lisgar::TForm1::kQuietMs + 100);
    }
    // Each entry opens with its time; its further lines carry none.
    QStringList lines;
    for (const QStringList& e : c.entries)
        for (qsizetype i = 0; i < e.size(); ++i) lines.append(i == 0 ? kAt + e[i] : e[i]);
    EXPECT_EQ(linesAfter(2), lines);
    EXPECT_EQ(form->ServerSocket1.connectionCount(), 1) << "the connection stays open";
}

const WireCase kWireCases[] = {
    {"NoMarker", {"hello server"}, {}},
    {"EmptyBlock", {""}, {}},
    {"ShorterThanMarker", {"\xA9\x08"}, {}},
    {"MarkerAlone", {M}, {{""}}},
    {"StartMessage",
     {common::TestStartMessage("127.0.0.1", "Иванов Иван", "10А", "Тест Физика.DB")},
     {{"127.0.0.1 Иванов Иван 10А. Старт на оценку. Тест Физика.DB."}}},
    {"TwoMessagesInOneBlock",
     {M + cp("10.0.0.7 первое") + M + cp("10.0.0.7 второе")},
     {{"10.0.0.7 первое"}, {"10.0.0.7 второе"}}},
    {"BytesBeforeMarkerIgnored", {"noise" + M + "text"}, {{"text"}}},
    {"MarkerSplitAcrossReads", {"\xA9\x08", "\xA9\x08" + cp("целое")}, {{"целое"}}},
    {"ResultReportOfTwelve",
     {common::TestResultMessage("127.0.0.1", resultReport(12))},
     {resultReport(12).prepend("127.0.0.1 ").split("\r\n")}},
    // A run of ten ends its report with CR LF: the entry ends with an empty line.
    {"ResultReportOfTen",
     {common::TestResultMessage("127.0.0.1", resultReport(10))},
     {resultReport(10).prepend("127.0.0.1 ").split("\r\n")}},
};

INSTANTIATE_TEST_SUITE_P(Server, WireTest, ::testing::ValuesIn(kWireCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ServerTest, MessageClosedByDisconnectComesBeforeDisconnectEntry) {
    startServer();
    auto client = connectClient();
    send(*client, M + cp("127.0.0.1 без паузы"));
    client->disconnectFromHost();  // sooner than the quiet time
    ASSERT_TRUE(waitFor([&] { return form->ServerSocket1.connectionCount() == 0; }));
    EXPECT_EQ(linesAfter(2), QStringList({"9:05:07 127.0.0.1 без паузы", kLeft}));
}

// The example message of the wire format: 66 bytes, marker first; the server logs every
// byte after the marker unchanged.
TEST_F(ServerTest, StartMessageBytesReachTheLogUnchanged) {
    const QByteArray msg =
        common::TestStartMessage("192.168.0.12", "Иванов Иван", "10А", "Тест Физика.DB");
    ASSERT_EQ(msg.size(), 66);
    EXPECT_TRUE(msg.startsWith(QByteArray("\xA9\x08\xA9\x08", 4)));
    EXPECT_TRUE(msg.contains(QByteArray::fromHex("2E20D1F2E0F0F220EDE020EEF6E5EDEAF32E20")));
    EXPECT_TRUE(msg.endsWith("DB."));

    startServer();
    auto client = connectClient();
    send(*client, msg);
    ASSERT_TRUE(waitFor([&] { return form->log().lines().size() == 3; }));
    const QString entry = form->log().lines()[2];
    ASSERT_TRUE(entry.startsWith(kAt));
    EXPECT_EQ(plat::toCp1251(entry.mid(kAt.size())), msg.mid(4));
}

// The client's own socket and message layouts, end to end: a start message and, right
// behind it, a result message give two entries with the client's address.
TEST_F(ServerTest, ClientSocketMessagesReachTheLog) {
    startServer();
    plat::net::ClientSocket client(ui);
    client.setAddress("127.0.0.1");
    client.setPort(port);
    client.onConnect = [&] {
        const QString me = client.localAddress();
        client.sendText(common::TestStartMessage(me, "Петров Пётр", "9Б", "Тест Химия.DB"));
        client.sendText(common::TestResultMessage(me, resultReport(20)));
    };
    client.activate();
    ASSERT_TRUE(waitFor([&] { return form->log().lines().size() >= 3 + 9; }));
    settle(lisgar::TForm1::kQuietMs + 100);
    QStringList expected = {kConnected,
                            "9:05:07 127.0.0.1 Петров Пётр 9Б. Старт на оценку. Тест Химия.DB."};
    expected += ("9:05:07 127.0.0.1 " + resultReport(20)).split("\r\n");
    EXPECT_EQ(linesAfter(1), expected);
    client.deactivate();
    ASSERT_TRUE(waitFor([&] { return form->Label2->text() == "0"; }));
    EXPECT_EQ(form->log().lines().last(), kLeft);
}

// A long report arrives in many reads; it is still one entry.
TEST_F(ServerTest, ReportSentInPiecesIsOneEntry) {
    startServer();
    auto client = connectClient();
    const QString report = resultReport(999);
    const QByteArray msg = common::TestResultMessage("127.0.0.1", report);
    for (qsizetype at = 0; at < msg.size(); at += 700) {
        send(*client, msg.mid(at, 700));
        settle(10);
    }
    settle(lisgar::TForm1::kQuietMs + 100);
    const QStringList expected = ("9:05:07 127.0.0.1 " + report).split("\r\n");
    EXPECT_EQ(linesAfter(2), expected);
}

// Past its bound a message is logged as held and the rest dropped up to the next marker.
TEST_F(ServerTest, OverlongMessageIsCutAtTheBound) {
    startServer();
    auto client = connectClient();
    const qsizetype limit = lisgar::MessageAssembler::kLimit;
    send(*client, M + QByteArray(limit + 5000, 'x') + M + "next");
    ASSERT_TRUE(waitFor([&] { return form->log().lines().size() == 4; }, 10000));
    settle(100);
    const QStringList entries = linesAfter(2);
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0], kAt + QString(limit, 'x'));
    EXPECT_EQ(entries[1], "9:05:07 next");
}

// An error on one connection closes it: it leaves the count and the log says so, once.
TEST_F(ServerTest, ErrorOnConnectionCountsItClosed) {
    startServer();
    auto keep = connectClient();
    auto failing = connectClient();
    ASSERT_EQ(form->ServerSocket1.connectionCount(), 2);
    plat::net::ServerConnection* c = form->ServerSocket1.connections().last();
    QString countUnderBox;
    ui.onShow = [&](const plat::Box&) { countUnderBox = form->Label2->text(); };
    ui.expect(plat::BoxKind::StandardError, plat::net::asyncErrorText(ENETUNREACH));

    form->ServerSocket1.clientFailed(c, plat::net::ErrorEvent::General, ENETUNREACH);

    EXPECT_EQ(countUnderBox, "1");
    EXPECT_EQ(form->ServerSocket1.connectionCount(), 1);
    EXPECT_EQ(linesAfter(3), QStringList({kLeft}));
    EXPECT_TRUE(failing->waitForDisconnected(3000));
    settle(100);
    EXPECT_EQ(linesAfter(3), QStringList({kLeft}));
    EXPECT_EQ(form->Label2->text(), "1");
}

// Exit closes the listener and every connection without disconnect entries.
TEST_F(ServerTest, ExitClosesEverythingSilently) {
    startServer();
    form->show();
    auto client = connectClient();
    const QStringList before = form->log().lines();
    form->btExit->click();
    EXPECT_FALSE(form->ServerSocket1.active());
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(client->state() == QAbstractSocket::UnconnectedState ||
                client->waitForDisconnected(3000));
    settle(100);
    EXPECT_EQ(form->log().lines(), before);
    QTcpSocket late;
    late.connectToHost(QHostAddress::LocalHost, port);
    EXPECT_FALSE(late.waitForConnected(1000));
}

}  // namespace
