// The server under the faults of a real classroom: a message that pauses on the way, one
// very long entry, a client that resets, a process out of descriptors.
#include "common/messages.h"
#include "platform/codec.h"
#include "server_fixture.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTextBlock>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace server_tests;

namespace {

const QByteArray M = common::MessageMarker();

QByteArray cp(const QString& s) { return plat::toCp1251(s); }

// A blocking client on 127.0.0.1 that the test can reset (SO_LINGER 0).
int rawConnect(quint16 port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void reset(int fd) {
    const linger l{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    ::close(fd);
}

// "socket:[inode]" of the accepted server end of the connection from 127.0.0.1:peer to
// port; empty while it waits to be accepted (no inode yet) or is not there.
QString serverSocketOf(quint16 port, quint16 peer) {
    QFile f(QStringLiteral("/proc/net/tcp"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QString localEnd = QStringLiteral(":%1").arg(port, 4, 16, QChar('0')).toUpper();
    const QString remoteEnd = QStringLiteral(":%1").arg(peer, 4, 16, QChar('0')).toUpper();
    for (const QByteArray& line : f.readAll().split('\n')) {
        const QStringList cols = QString::fromLatin1(line).simplified().split(' ');
        if (cols.size() < 10) continue;
        if (cols[1].endsWith(localEnd) && cols[2].endsWith(remoteEnd) && cols[9] != "0")
            return QStringLiteral("socket:[%1]").arg(cols[9]);
    }
    return {};
}

qint64 threadMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

// The saved log's text.
QString savedLog(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? plat::fromCp1251(f.readAll()) : QString();
}

// A result report that pauses longer than the quiet time, once in the middle of a line and
// once between CR and LF: one entry in the window and in the saved log.
TEST_F(ServerTest, MessageThatPausesIsOneEntryInTheWindowAndTheSavedLog) {
    startServer();
    auto client = connectClient();
    const QString text =
        QStringLiteral("127.0.0.1 Иванов Иван 10А\r\nВерных ответов: 7 из 9\r\nконец");
    const QByteArray msg = M + cp(text);
    const qsizetype cut1 = msg.indexOf("\r\n") + 1;  // between CR and LF
    const qsizetype cut2 = msg.size() - 3;           // inside the last line
    send(*client, msg.left(cut1));
    settle(500);
    send(*client, msg.mid(cut1, cut2 - cut1));
    settle(500);
    send(*client, msg.mid(cut2));
    settle(lisgar::TForm1::kQuietMs + 100);
    // Another client's message arriving meanwhile stays a separate entry after it.
    auto other = connectClient();
    send(*other, M + cp(QStringLiteral("127.0.0.2 другой")));
    settle(lisgar::TForm1::kQuietMs + 100);
    send(*client, cp(QStringLiteral(" и ещё")));  // still no marker: the first message goes on
    settle(lisgar::TForm1::kQuietMs + 100);

    // Only an entry's first line carries its time.
    const QStringList want = {kAt + "127.0.0.1 - Подключился.", kAt + "127.0.0.1 Иванов Иван 10А",
                              "Верных ответов: 7 из 9",         "конец и ещё",
                              kAt + "127.0.0.1 - Подключился.", kAt + "127.0.0.2 другой"};
    EXPECT_EQ(linesAfter(1), want);
    EXPECT_EQ(form->Memo1->document()->blockCount(), form->log().lines().size());
    EXPECT_EQ(form->Memo1->toPlainText(), form->log().lines().join('\n'));

    const QString path = inWork("protocol.txt");
    ui.expectSave(path).expect(plat::BoxKind::Plain, "протокол тестирования сохранен!");
    form->btSaveFile->click();
    EXPECT_EQ(savedLog(path), form->log().lines().join("\r\n") + "\r\n");
}

// The largest message the server takes, on one line: shown in pieces short enough that laying
// one out costs little, so the append grows with the length, and saved whole. The time is this
// thread's processor time, the best of three runs; its bound is far above what the append
// takes (about 10 ms in a release build) and far below what one unbroken line cost (28 s), so
// neither a sanitizer build nor a busy machine decides it.
TEST_F(ServerTest, LongestMessageIsAppendedQuicklyAndSavedAsOneLine) {
    startServer();
    form->show();
    const QByteArray body = "127.0.0.1 " + QByteArray(lisgar::MessageAssembler::kLimit - 10, 'x');
    qint64 best = 1 << 30;
    for (int run = 0; run < 3; ++run) {
        const qsizetype before = form->log().lines().size();
        auto client = connectClient();
        send(*client, M + body);
        settle(50);  // every byte has arrived and is held
        const qint64 start = threadMs();
        client->disconnectFromHost();  // ends the message at once
        ASSERT_TRUE(waitFor([&] { return form->log().lines().size() == before + 3; }, 10000));
        form->Memo1->viewport()->repaint();
        best = std::min(best, threadMs() - start);
        EXPECT_EQ(plat::toCp1251(form->log().lines()[before + 1]), plat::toCp1251(kAt) + body);
    }
    EXPECT_LT(best, 1000);
    EXPECT_GT(form->Memo1->document()->blockCount(),
              form->log().lines().size());  // laid out in pieces
    for (QTextBlock b = form->Memo1->document()->begin(); b.isValid(); b = b.next())
        ASSERT_LE(b.length() - 1, lisgar::TForm1::kShownPiece);
    EXPECT_EQ(form->shownLines().join(QString()), form->log().lines().join(QString()));
}

// A reset by the client's computer: the box of the socket layer, and the connection is
// logged and counted as closed; the log goes on under the box.
TEST_F(ServerTest, ResetConnectionShowsTheBoxAndCountsItClosed) {
    startServer();
    auto keep = connectClient();
    const int fd = rawConnect(port);
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(waitFor([&] { return form->ServerSocket1.connectionCount() == 2; }));
    QString countUnderBox;
    ui.onShow = [&](const plat::Box&) { countUnderBox = form->Label2->text(); };
    ui.expect(plat::BoxKind::StandardError,
              QStringLiteral("Asynchronous socket error %1").arg(ECONNRESET));
    reset(fd);
    ASSERT_TRUE(waitFor([&] { return form->ServerSocket1.connectionCount() == 1; }));
    EXPECT_EQ(countUnderBox, "1");
    EXPECT_EQ(linesAfter(3), QStringList({kAt + "127.0.0.1 - Отключился."}));
    EXPECT_EQ(ui.boxes().size(), 1);
}

// A thousand computers reset one after the other while orderly ones send between them, and
// each box stands a while before the teacher closes it: one box at a time, the errors that
// come meanwhile counted in it, nothing left to dismiss once the resets stop, and every
// orderly message in the saved log once.
TEST_F(ServerTest, FloodOfResetsShowsOneBoxAtATimeAndLosesNoMessage) {
    constexpr int kResets = 1000, kEvery = 50, kStandMs = 150;
    startServer();
    const QByteArray half = M + cp(QStringLiteral("127.0.0.1 Обрыв на полу"));
    auto orderly = [](int k) {
        return QStringLiteral("127.0.0.1 Ученик %1. Старт на оценку.").arg(k);
    };
    std::atomic<bool> flooding = true;
    std::atomic<int> refused = 0;
    std::thread classroom([&] {
        for (int i = 0; i < kResets; ++i) {
            const int fd = rawConnect(port);
            if (fd < 0 || ::send(fd, half.constData(), size_t(half.size()), 0) < 0) ++refused;
            if (fd >= 0) reset(fd);
            if (i % kEvery == 0) {
                const QByteArray whole = M + cp(orderly(i / kEvery));
                const int good = rawConnect(port);
                if (good < 0 || ::send(good, whole.constData(), size_t(whole.size()), 0) < 0)
                    ++refused;
                if (good >= 0) ::close(good);
            }
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        flooding = false;
    });
    // Each box stands kStandMs, then is closed; the folded count is read off its last text.
    int errors = 0;
    ui.onShow = [&](const plat::Box& b) {
        ui.expect(plat::BoxKind::StandardError);
        ++errors;
        if (ui.standing() > 1) return;  // a box inside a box: counted, closed at once
        const qsizetype before = ui.amendments().size();
        settle(kStandMs);
        if (ui.amendments().size() > before) {
            static const QRegularExpression more(QStringLiteral("ещё ошибок: (\\d+)"));
            errors += more.match(ui.amendments().last()).captured(1).toInt();
        }
        EXPECT_EQ(b.text, QStringLiteral("Asynchronous socket error %1").arg(ECONNRESET));
    };
    const int orderlyCount = kResets / kEvery;
    const int all = kResets + orderlyCount;
    const bool handled = waitFor(
        [&] {
            return !flooding && ui.standing() == 0 && form->ServerSocket1.connectionCount() == 0 &&
                   form->log().lines().count(kAt + "127.0.0.1 - Отключился.") == all;
        },
        60000);
    classroom.join();
    ASSERT_TRUE(handled);
    const qsizetype boxes = ui.boxes().size();
    settle(300);
    ui.onShow = nullptr;

    EXPECT_EQ(refused, 0);
    EXPECT_EQ(ui.mostStanding(), 1);
    EXPECT_EQ(ui.boxes().size(), boxes) << "a box came after the last was closed";
    EXPECT_EQ(errors, kResets);
    EXPECT_LT(boxes, kResets / 20) << "one box per error, or nearly";
    EXPECT_EQ(form->Label2->text(), "0");
    EXPECT_EQ(form->log().lines().count(kAt + "127.0.0.1 - Подключился."), all);

    const QString path = inWork("protocol.txt");
    ui.expectSave(path).expect(plat::BoxKind::Plain, "протокол тестирования сохранен!");
    form->btSaveFile->click();
    const QStringList saved = savedLog(path).split("\r\n");
    for (int k = 0; k < orderlyCount; ++k) EXPECT_EQ(saved.count(kAt + orderly(k)), 1) << k;
}

// Connected and reset before the window handles it: both entries still show the address.
TEST_F(ServerTest, ClientThatResetsBeforeItIsHandledIsLoggedWithItsAddress) {
    startServer();
    ui.expect(plat::BoxKind::StandardError,
              QStringLiteral("Asynchronous socket error %1").arg(ECONNRESET));
    const int fd = rawConnect(port);  // no event loop runs until after the reset
    ASSERT_GE(fd, 0);
    reset(fd);
    ASSERT_TRUE(waitFor([&] { return form->log().lines().size() == 3; }));
    EXPECT_EQ(linesAfter(1),
              QStringList({kAt + "127.0.0.1 - Подключился.", kAt + "127.0.0.1 - Отключился."}));
    EXPECT_EQ(form->Label2->text(), "0");
}

// The real program with 64 descriptors: 100 computers at once run it out of them, the
// ones it cannot take are closed, and the next computer is still taken.
TEST_F(ServerTest, ProgramOutOfDescriptorsKeepsListening) {
    const quint16 p = freePort();
    QProcess lisgar;
    startProgram(lisgar, p, [] {
        const rlimit lim{64, 64};
        setrlimit(RLIMIT_NOFILE, &lim);
    });
    int probe = -1;
    ASSERT_TRUE(waitFor([&] { return (probe = rawConnect(p)) >= 0; }, 10000));
    ::close(probe);

    std::vector<int> crowd;
    for (int i = 0; i < 100; ++i) {
        const int fd = rawConnect(p);
        ASSERT_GE(fd, 0);
        crowd.push_back(fd);
    }
    // Every connection is taken or closed by the server; none stays waiting unanswered.
    auto closedByServer = [](int fd) {
        char b;
        const ssize_t n = recv(fd, &b, 1, MSG_DONTWAIT);
        return n == 0 || (n < 0 && errno != EAGAIN);
    };
    int turnedAway = 0;
    waitFor(
        [&] {
            turnedAway = 0;
            for (int fd : crowd) turnedAway += closedByServer(fd);
            return turnedAway >= 30;
        },
        15000);
    EXPECT_GE(turnedAway, 30);
    for (int fd : crowd) ::close(fd);

    // The next computer is accepted: the server holds a socket for it.
    settle(500);
    const int next = rawConnect(p);
    ASSERT_GE(next, 0);
    sockaddr_in me{};
    socklen_t n = sizeof me;
    getsockname(next, reinterpret_cast<sockaddr*>(&me), &n);
    const QString link =
        waitFor([&] { return !serverSocketOf(p, ntohs(me.sin_port)).isEmpty(); }, 5000)
            ? serverSocketOf(p, ntohs(me.sin_port))
            : QString();
    ASSERT_FALSE(link.isEmpty()) << "never accepted";
    bool held = false;
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(lisgar.processId()));
    for (const QFileInfo& fi : fds.entryInfoList(QDir::System))
        held = held || fi.symLinkTarget().endsWith(link) ||
               QFile::symLinkTarget(fi.filePath()) == link;
    EXPECT_TRUE(held) << link.toStdString();
    EXPECT_FALSE(closedByServer(next));
    ::close(next);
    EXPECT_EQ(lisgar.state(), QProcess::Running);
    lisgar.kill();
    lisgar.waitForFinished(5000);
}

}  // namespace
