// Load on the results server: clients on loopback connect, each sends a start message and
// the result message of a 999-question run, and disconnects. The server window runs on the
// main thread as in the program; the clients run on a thread of their own.
//
//   bench_server_load [clients=500] [in-flight=500]
//
// Prints the time until the last disconnect entry and checks that the log holds exactly one
// start entry and one whole result entry per client.
#include "common/messages.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "server/Unit1.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <optional>

namespace {

// Boxes would stop a benchmark: each one is printed and answered at once.
class NoBoxUi : public plat::UiServices {
public:
    plat::BoxReply show(const plat::Box& b) override {
        std::fprintf(stderr, "box: %s\n", qPrintable(b.text));
        ++shown;
        return {plat::Answer::Ok, {}};
    }
    std::optional<QString> openFile(const plat::FileDialogSpec&) override { return {}; }
    std::optional<QString> saveFile(const plat::FileDialogSpec&) override { return {}; }
    std::optional<plat::FontChoice> chooseFont(const plat::FontChoice&) override { return {}; }
    int shown = 0;
};

QString learner(int i) { return QStringLiteral("Ученик%1 Имя").arg(i); }
const QString kGroup = QStringLiteral("10А");
const QString kLabel = QStringLiteral("Тест Физика.DB");

QString resultReport(int i) {
    const int n = 999;
    QString r = learner(i) + " " + kGroup +
                QStringLiteral("\r\nОтвечал на вопросы теста Физика.DB\r\nВерных ответов: %1 из %2"
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

private:
    void launch() {
        const int i = next_++;
        auto* s = new QTcpSocket(this);
        connect(s, &QTcpSocket::connected, s, [s, i] {
            const QString me = common::ClientAddress(s->localAddress());
            s->write(common::TestStartMessage(me, learner(i), kGroup, kLabel));
            s->write(common::TestResultMessage(me, resultReport(i)));
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

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen"
                                                                    : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int total = argc > 1 ? std::atoi(argv[1]) : 500;
    const int inFlight = argc > 2 ? std::atoi(argv[2]) : total;

    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    quint16 port;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::AnyIPv4, 0);
        port = probe.serverPort();
    }
    QFile f("port.txt");
    f.open(QIODevice::WriteOnly);
    f.write(QByteArray::number(port) + "\r\n");
    f.close();

    NoBoxUi ui;
    ui.setTitle("Server");
    plat::Services services{&ui, &plat::qtShell(), &plat::qtPrinter(), &plat::qtSystem()};
    lisgar::TForm1 form(services);
    if (!form.ServerSocket1.active()) return 2;

    QThread thread;
    Clients clients(port, total, inFlight);
    clients.moveToThread(&thread);
    thread.start();

    int disconnects = 0;
    const QString left = QStringLiteral(" - Отключился.");
    QElapsedTimer clock;
    clock.start();
    QMetaObject::invokeMethod(&clients, [&] { clients.start(); });
    QTimer poll;
    qsizetype seen = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (; seen < form.logLines.size(); ++seen)
            if (form.logLines[seen].endsWith(left)) ++disconnects;
        if (disconnects == total || clock.elapsed() > 300000) app.quit();
    });
    poll.start(5);
    app.exec();
    const qint64 ms = clock.elapsed();
    QMetaObject::invokeMethod(&clients, [&] { thread.quit(); });
    thread.wait();

    // Every client: one start entry, one result entry with all its lines, in order.
    static const QRegularExpression time(QStringLiteral("^\\d{1,2}:\\d{2}:\\d{2} "));
    const QStringList& log = form.logLines;
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
        if (log.mid(k, expected.size()).join("\n").mid(m.capturedLength()) ==
            expected.join("\n"))
            ++results[i];
        else
            ++broken;
    }
    int startOk = 0, resultOk = 0;
    for (int i = 0; i < total; ++i) {
        startOk += starts[i] == 1;
        resultOk += results[i] == 1;
    }
    std::printf("clients %d, in flight at most %d\n", total, inFlight);
    std::printf("time to the last disconnect entry: %lld ms (%.1f clients/s)\n",
                static_cast<long long>(ms), total * 1000.0 / qMax<qint64>(ms, 1));
    std::printf("disconnect entries %d, log lines %lld\n", disconnects,
                static_cast<long long>(log.size()));
    std::printf("clients with exactly one start entry: %d, one whole result entry: %d, "
                "broken entries: %d, boxes: %d\n",
                startOk, resultOk, broken, ui.shown);
    const bool ok = disconnects == total && startOk == total && resultOk == total &&
                    broken == 0 && ui.shown == 0;
    std::printf("%s\n", ok ? "OK" : "FAILED");
    return ok ? 0 : 1;
}
