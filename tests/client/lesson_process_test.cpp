// The client window against the real results server program on 127.0.0.1: it connects from
// "line.txt", takes a graded run, and the server stays up with the connection open.
#include "platform/codec.h"
#include "platform/files.h"
#include "tests/client/client_fixture.h"
#include "tests/client/texts.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

using namespace client_test;
using plat::Answer;
using plat::BoxKind;

namespace {

QString lisgarPath() { return QCoreApplication::applicationDirPath() + "/../lisgar/lisgar"; }

quint16 freePort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost)) return 0;
    return probe.serverPort();
}

class RealServer : public ClientTest {
protected:
    void TearDown() override {
        form.reset();  // the client goes first, so the server sees it leave
        if (server.state() != QProcess::NotRunning) {
            server.kill();
            server.waitForFinished(5000);
        }
        ClientTest::TearDown();
    }
    QProcess server;
    QTemporaryDir serverDir;
};

TEST_F(RealServer, AcceptsTheClientAndItsMessages) {
    ASSERT_TRUE(QFile::exists(lisgarPath())) << lisgarPath().toStdString();
    const quint16 port = freePort();
    ASSERT_NE(port, 0);
    plat::fs::writeBytes(QDir(serverDir.path()).filePath("port.txt"),
                         QByteArray::number(port) + "\r\n");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("TESTSUITE_DRIVE_C", serverDir.path());
    server.setProcessEnvironment(env);
    server.setWorkingDirectory(serverDir.path());
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.start(lisgarPath(), {});
    ASSERT_TRUE(server.waitForStarted(5000));
    // Listening once a connection is taken (the server counts this probe as a client too).
    ASSERT_TRUE(testing_support::waitFor(
        [&] {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, port);
            return probe.waitForConnected(200);
        },
        5000));

    pandrel::TForm1& f = makeForm();
    f.runSeed = [] { return 7u; };
    Q q;
    q.MaxOtv = "2";
    q.Vopr = "?";
    q.RO[0] = true;
    openTest(writeTest(work(), "lesson", {q}));
    plat::fs::writeBytes(inWork("line.txt"),
                         "1\r\n127.0.0.1\r\n" + QByteArray::number(port) + "\r\n");
    f.Edit2->setText("Ivan");
    f.Edit4->setText("9");
    ui.expect(BoxKind::Confirmation, {}, Answer::Yes)
        .expect(BoxKind::Plain, texts::kConnectedText)
        .expect(BoxKind::Input, texts::kCountPrompt, Answer::Ok, "1");
    // The connection completes under the count box, as it does for a learner: its box
    // comes while the count box is open.
    ui.onShow = [&](const plat::Box& b) {
        if (b.kind == BoxKind::Input)
            testing_support::waitFor([&] { return f.ClientSocket1->active(); });
    };
    f.button5->click();
    ui.onShow = nullptr;
    ASSERT_TRUE(ui.finished());
    ASSERT_TRUE(f.ClientSocket1->active());

    ui.expect(BoxKind::Plain);  // the report
    f.checkBox(1)->setChecked(true);
    f.Button3->click();
    ASSERT_TRUE(ui.finished());
    EXPECT_TRUE(plat::fs::fileExists(pandrel::ResultFilePath("9", "Ivan")));
    // Some time for the server to take both messages; it is still up and the link too.
    testing_support::waitFor([] { return false; }, 500);
    EXPECT_EQ(server.state(), QProcess::Running);
    EXPECT_TRUE(f.ClientSocket1->active());
}

}  // namespace
