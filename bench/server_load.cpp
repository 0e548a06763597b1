// A classroom on the results server: clients on loopback connect, each sends a start
// message and the result message of a 999-question run, and disconnects. The same load
// runs twice in one process: first against a minimal server that only reads the bytes and
// appends them to a file (the floor any server stands on), then against the server's own
// window, shown on the display, whose log is then saved and checked line by line.
//
//   DISPLAY=:NN bench_server_load [clients=2000] [in-flight=clients]
//
// Prints both times, their ratio, the window's memory per logged byte, and whether every
// client has exactly one start entry and one whole result entry in the saved log.
#include "bench/bench.h"
#include "common/messages.h"
#include "platform/codec.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "server/Unit1.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <optional>
#include <sys/socket.h>

namespace {

// Boxes would stop a benchmark: each one is printed and answered at once; the save dialog
// chooses savePath.
class NoBoxUi : public plat::UiServices {
public:
    plat::BoxReply show(const plat::Box& b) override {
        if (b.text != QStringLiteral("протокол тестирования сохранен!")) {
            std::fprintf(stderr, "box: %s\n", qPrintable(b.text));
            ++shown;
        }
        return {plat::Answer::Ok, {}};
    }
    std::optional<QString> openFile(const plat::FileDialogSpec&) override { return {}; }
    std::optional<QString> saveFile(const plat::FileDialogSpec&) override { return savePath; }
    std::optional<plat::FontChoice> chooseFont(const plat::FontChoice&) override { return {}; }
    int shown = 0;
    QString savePath;
};

long rssKb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& l : f.readAll().split('\n'))
        if (l.startsWith("VmRSS:")) return l.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::AnyIPv4, 0);
    return probe.serverPort();
}

// The floor: reads every connection and appends what it reads to one file.
class MinimalServer : public QObject {
public:
    explicit MinimalServer(const QString& path) : out_(path) {
        out_.open(QIODevice::WriteOnly);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, this, [this, s] { out_.write(s->readAll()); });
                connect(s, &QTcpSocket::disconnected, this, [this, s] {
                    out_.write(s->readAll());
                    ++closed;
                    s->deleteLater();
                });
            }
        });
    }
    quint16 listen() {
        server_.setListenBacklogSize(SOMAXCONN);
        server_.listen(QHostAddress::AnyIPv4, 0);
        return server_.serverPort();
    }
    qint64 written() {
        out_.flush();
        return out_.size();
    }
    int closed = 0;

private:
    QTcpServer server_;
    QFile out_;
};

QString learner(int i) { return QStringLiteral("Ученик%1 Имя").arg(i); }
const QString kGroup = QStringLiteral("10А");
const QString kLabel = QStringLiteral("Тест Физика.DB");

QString resultReport(int i) {
    const int n = 999;
    QString r = learner(i) + " " + kGroup +
                QStringLiteral(
                    "\r\nОтвечал на вопросы теста Физика.DB\r\nВерных ответов: %1 из %2"
                    "\r\nВремя тестирования 1:05:07\r\nПятибальный коэффициент: "
                    "4,5\r\nНомера заданных вопросов:\r\n")
                    .arg(n - i % 100)
                    .arg(n);
    for (int k = 1; k <= n; ++k) {
        r += QStringLiteral("%1[%2%3] ").arg(k).arg(k * 7 % 1000 + 1).arg(k % 3 ? '+' : '-');
        if (k % 10 == 0) r += QStringLiteral("\r\n");
    }
    return r;
}

// Runs on the client thread: keeps up to inFlight clients connected at a time.
class Clients : public QObject {
public:
    Clients(quint16 port, int total, int inFlight)
        : port_(port), total_(total), inFlight_(inFlight) {}
    void start() {
        for (int k = 0; k < inFlight_ && next_ < total_; ++k) launch();
    }
    std::atomic<int> finished{0};
    std::atomic<qint64> sent{0};

private:
    void launch() {
        const int i = next_++;
        auto* s = new QTcpSocket(this);
        connect(s, &QTcpSocket::connected, s, [this, s, i] {
            const QString me = common::ClientAddress(s->localAddress());
            const QByteArray a = common::TestStartMessage(me, learner(i), kGroup, kLabel);
            const QByteArray b = common::TestResultMessage(me, resultReport(i));
            s->write(a);
            s->write(b);
            sent += a.size() + b.size();
            s->disconnectFromHost();
        });
        connect(s, &QTcpSocket::disconnected, this, [this, s] {
            s->deleteLater();
            ++finished;
            if (next_ < total_) launch();
        });
        connect(s, &QTcpSocket::errorOccurred, s, [s, i](QAbstractSocket::SocketError e) {
            if (e != QAbstractSocket::RemoteHostClosedError)
                std::fprintf(stderr, "client %d: %s\n", i, qPrintable(s->errorString()));
        });
        s->connectToHost(QHostAddress::LocalHost, port_);
    }
    quint16 port_;
    int total_, inFlight_, next_ = 0;
};

// Runs the load against port on a thread of its own until done() says so; returns ms.
template <typename Done>
qint64 runLoad(QApplication& app, quint16 port, int total, int inFlight, qint64* sent, Done done) {
    QThread thread;
    Clients clients(port, total, inFlight);
    clients.moveToThread(&thread);
    thread.start();
    QElapsedTimer clock;
    clock.start();
    QMetaObject::invokeMethod(&clients, [&] { clients.start(); });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done() || clock.elapsed() > 600000) app.quit();
    });
    poll.start(5);
    app.exec();
    const qint64 ms = clock.elapsed();
    QMetaObject::invokeMethod(&clients, [&] { thread.quit(); });
    thread.wait();
    *sent = clients.sent;
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    if (qgetenv("DISPLAY").isEmpty() && qgetenv("QT_QPA_PLATFORM").isEmpty()) {
        std::fprintf(stderr,
                     "bench_server_load draws the window: run it with DISPLAY set (Xvfb)\n");
        return 2;
    }
    QApplication app(argc, argv);
    const int total = argc > 1 ? std::atoi(argv[1]) : 2000;
    const int inFlight = argc > 2 ? std::atoi(argv[2]) : total;

    QTemporaryDir dir;
    QDir::setCurrent(dir.path());

    // 1. The floor.
    qint64 floorSent = 0;
    qint64 floorMs = 0;
    qint64 floorWritten = 0;
    {
        MinimalServer minimal(dir.filePath("minimal.bin"));
        const quint16 port = minimal.listen();
        floorMs = runLoad(app, port, total, inFlight, &floorSent,
                          [&] { return minimal.closed == total; });
        floorWritten = minimal.written();
    }

    // 2. The server's window, shown.
    const quint16 port = freePort();
    QFile f("port.txt");
    f.open(QIODevice::WriteOnly);
    f.write(QByteArray::number(port) + "\r\n");
    f.close();
    NoBoxUi ui;
    ui.setTitle("Server");
    ui.savePath = dir.filePath("protocol.txt");
    plat::Services services{&ui, &plat::qtShell(), &plat::qtPrinter(), &plat::qtSystem()};
    lisgar::TForm1 form(services);
    if (!form.ServerSocket1.active()) return 2;
    form.show();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 300) app.processEvents();
    const long rssBefore = rssKb();

    int disconnects = 0;
    const QString left = QStringLiteral(" - Отключился.");
    qsizetype seen = 0;
    qint64 sent = 0;
    const qint64 ms = runLoad(app, port, total, inFlight, &sent, [&] {
        for (; seen < form.log().lines().size(); ++seen)
            if (form.log().lines()[seen].endsWith(left)) ++disconnects;
        return disconnects == total;
    });
    const long rssAfter = rssKb();
    QElapsedTimer saveClock;
    saveClock.start();
    form.btSaveFileClick();
    const qint64 saveMs = saveClock.elapsed();

    // The saved log: every client with one start entry and one whole result entry.
    QFile saved(ui.savePath);
    saved.open(QIODevice::ReadOnly);
    const QByteArray savedBytes = saved.readAll();
    QStringList log = plat::fromCp1251(savedBytes).split(QStringLiteral("\r\n"));
    if (!log.isEmpty() && log.last().isEmpty()) log.removeLast();
    const bool sameAsWindow = log == form.log().lines();
    // Every client: one start entry, one result entry with all its lines, in order.
    static const QRegularExpression time(QStringLiteral("^\\d{1,2}:\\d{2}:\\d{2} "));
    std::vector<int> starts(total), results(total);
    int broken = 0;
    for (qsizetype k = 0; k < log.size(); ++k) {
        const auto m = time.match(log[k]);
        if (!m.hasMatch()) continue;
        const QString text = log[k].mid(m.capturedLength());
        static const QRegularExpression who(QStringLiteral("^127\\.0\\.0\\.1 Ученик(\\d+) Имя"));
        const auto w = who.match(text);
        if (!w.hasMatch()) continue;
        const int i = w.captured(1).toInt();
        if (text == "127.0.0.1 " + common::TestStartText(learner(i), kGroup, kLabel)) {
            ++starts[i];
            continue;
        }
        const QStringList expected = ("127.0.0.1 " + resultReport(i)).split("\r\n");
        if (log.mid(k, expected.size()).join("\n").mid(m.capturedLength()) == expected.join("\n"))
            ++results[i];
        else
            ++broken;
    }
    int startOk = 0, resultOk = 0;
    for (int i = 0; i < total; ++i) {
        startOk += starts[i] == 1;
        resultOk += results[i] == 1;
    }
    std::printf("clients %d, in flight at most %d, %lld bytes sent\n", total, inFlight,
                static_cast<long long>(sent));
    std::printf("minimal server (read, append to a file): %lld ms, %lld of %lld bytes written\n",
                static_cast<long long>(floorMs), static_cast<long long>(floorWritten),
                static_cast<long long>(floorSent));
    std::printf(
        "server window, shown:                   %lld ms to the last disconnect entry "
        "(%.1f clients/s), %.2f x the minimal server\n",
        static_cast<long long>(ms), total * 1000.0 / qMax<qint64>(ms, 1),
        double(ms) / double(qMax<qint64>(floorMs, 1)));
    bench::report("server, " + std::to_string(total) + " clients vs minimal server", double(ms),
                  double(floorMs));
    std::printf("saving the log: %lld ms, %lld bytes, %lld lines; same lines as the window: %s\n",
                static_cast<long long>(saveMs), static_cast<long long>(savedBytes.size()),
                static_cast<long long>(log.size()), sameAsWindow ? "yes" : "NO");
    std::printf("memory: %ld KiB more after the run, %.1f bytes per logged byte\n",
                rssAfter - rssBefore,
                (rssAfter - rssBefore) * 1024.0 / double(qMax<qint64>(savedBytes.size(), 1)));
    std::printf("disconnect entries %d\n", disconnects);
    std::printf(
        "clients with exactly one start entry: %d, one whole result entry: %d, "
        "broken entries: %d, boxes: %d\n",
        startOk, resultOk, broken, ui.shown);
    const bool ok = disconnects == total && startOk == total && resultOk == total && broken == 0 &&
                    ui.shown == 0 && sameAsWindow && floorWritten == floorSent;
    std::printf("%s\n", ok ? "OK" : "FAILED");
    return ok ? 0 : 1;
}
