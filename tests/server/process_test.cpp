// The real lisgar program, started headless in a folder with its "port.txt".
#include "common/messages.h"
#include "server_fixture.h"

#include <QCoreApplication>
#include <QProcess>

using namespace server_tests;

namespace {

TEST_F(ServerTest, ProgramListensOnItsPortAndTakesAMessage) {
    const quint16 p = freePort();
    QProcess lisgar;
    startProgram(lisgar, p);

    QTcpSocket client;
    const bool up = waitFor(
        [&] {
            client.abort();
            client.connectToHost(QHostAddress::LocalHost, p);
            return client.waitForConnected(200);
        },
        10000);
    ASSERT_TRUE(up) << "lisgar does not listen on " << p;
    send(client, common::TestStartMessage(common::ClientAddress(client.localAddress()),
                                          "Иванов Иван", "10А", "Тест Физика.DB"));
    // The server only receives: no byte comes back and the connection stays open.
    EXPECT_FALSE(client.waitForReadyRead(500));
    EXPECT_EQ(client.state(), QAbstractSocket::ConnectedState);
    EXPECT_EQ(lisgar.state(), QProcess::Running);

    lisgar.terminate();
    if (!lisgar.waitForFinished(5000)) {
        lisgar.kill();
        lisgar.waitForFinished(5000);
    }
}

}  // namespace
