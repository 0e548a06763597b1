#pragma once
// What the server tests share: a window started on a free port, raw TCP clients on
// 127.0.0.1, and the log read back under a clock that stands still.
#include "server/Unit1.h"
#include "tests/harness/harness.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QLabel>
#include <QLockFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>
#include <memory>

namespace server_tests {

using testing_support::waitFor;

// A port nothing listens on right now.
inline quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::AnyIPv4, 0);
    return probe.serverPort();
}

// What opens every entry under the harness's clock (9:05:07).
inline const QString kAt = QStringLiteral("9:05:07 ");

// Runs the event loop for ms, so late entries would show.
inline void settle(int ms) {
    waitFor([] { return false; }, ms);
}

// Port 1024 is the one fixed port: tests of several processes that need it take turns.
inline std::unique_ptr<QLockFile> lockPort1024() {
    auto lock = std::make_unique<QLockFile>(QDir::temp().filePath("suite-port-1024.lock"));
    lock->setStaleLockTime(0);
    lock->lock();
    return lock;
}

class ServerTest : public testing_support::SuiteTest {
protected:
    void writePortFile(const QByteArray& bytes) {
        QFile f(inWork("port.txt"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    // A window listening on a free port, its start-up done without a box.
    void startServer() {
        port = freePort();
        writePortFile(QByteArray::number(port) + "\r\n");
        form = std::make_unique<lisgar::TForm1>(services());
        ASSERT_TRUE(form->ServerSocket1.active());
        ASSERT_EQ(form->log().lines().size(), 1);
    }

    // The real lisgar program started headless in the work folder, listening on port p
    // (its "port.txt" written); modify runs in the child before it starts.
    void startProgram(QProcess& lisgar, quint16 p, std::function<void()> modify = {}) {
        const QString program = QCoreApplication::applicationDirPath() + "/../lisgar/lisgar";
        ASSERT_TRUE(QFileInfo::exists(program)) << program.toStdString();
        writePortFile(QByteArray::number(p) + "\r\n");
        lisgar.setWorkingDirectory(work());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        lisgar.setProcessEnvironment(env);
        if (modify) lisgar.setChildProcessModifier(modify);
        lisgar.start(program, {});
        ASSERT_TRUE(lisgar.waitForStarted(5000));
    }

    // A raw client that the server has counted.
    std::unique_ptr<QTcpSocket> connectClient() {
        auto s = std::make_unique<QTcpSocket>();
        const int before = form->ServerSocket1.connectionCount();
        s->connectToHost(QHostAddress::LocalHost, port);
        EXPECT_TRUE(s->waitForConnected(3000));
        EXPECT_TRUE(waitFor([&] { return form->ServerSocket1.connectionCount() == before + 1; }));
        return s;
    }

    static void send(QTcpSocket& s, const QByteArray& bytes) {
        s.write(bytes);
        s.flush();
        while (s.bytesToWrite() > 0) s.waitForBytesWritten(1000);
    }

    // The log lines after the first n.
    QStringList linesAfter(qsizetype n) const { return form->log().lines().mid(n); }

    quint16 port = 0;
    std::unique_ptr<lisgar::TForm1> form;
};

}  // namespace server_tests
