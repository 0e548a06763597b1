// The real pandrel program, twice on one desktop: the second copy refuses and ends with
// exit code 0; the first runs on; a killed first copy leaves nothing that blocks the next.
#include "tests/harness/harness.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString pandrelPath() { return QCoreApplication::applicationDirPath() + "/../pandrel/pandrel"; }

class Process : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QFile::exists(pandrelPath())) << pandrelPath().toStdString();
        ASSERT_TRUE(driveC_.isValid() && runtime_.isValid());
        QFile::setPermissions(runtime_.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ExeOwner);
    }
    void TearDown() override {
        for (QProcess* p : started_) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
            delete p;
        }
    }

    QProcessEnvironment env(const char* platform) const {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("TESTSUITE_DRIVE_C", driveC_.path());
        e.insert("XDG_RUNTIME_DIR", runtime_.path());
        e.insert("QT_QPA_PLATFORM", platform);
        return e;
    }

    QProcess* startOffscreen() {
        auto* p = new QProcess;
        started_.push_back(p);
        p->setProcessEnvironment(env("offscreen"));
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(pandrelPath(), {});
        EXPECT_TRUE(p->waitForStarted(5000));
        return p;
    }

    // The pid written in the single-copy lock, 0 while there is none.
    qint64 lockOwner() const {
        QFile f(QDir(runtime_.path()).filePath("pandrel.lock"));
        if (!f.open(QIODevice::ReadOnly)) return 0;
        return f.readLine().trimmed().toLongLong();
    }

    QTemporaryDir driveC_;
    QTemporaryDir runtime_;
    std::vector<QProcess*> started_;
};

TEST_F(Process, SecondCopyRefusesAndTheFirstRunsOn) {
    // The refusal box of the second copy is answered on a virtual screen.
    for (const char* tool : {"xvfb-run", "xdotool"})
        if (QStandardPaths::findExecutable(tool).isEmpty()) GTEST_SKIP() << tool << " missing";
    QProcess* first = startOffscreen();
    ASSERT_TRUE(testing_support::waitFor([&] { return lockOwner() == first->processId(); }, 10000));

    // The second copy on a virtual screen, where its refusal box can be answered with
    // Return. It must show no main window.
    const QString script = QStringLiteral(
        "\"$0\" & pid=$!\n"
        "box=$(timeout 20 xdotool search --sync --onlyvisible --name '^pandrel$' | head -n1)\n"
        "[ -n \"$box\" ] || { kill $pid; echo nobox; exit 90; }\n"
        "main=$(xdotool search --onlyvisible --name '^PANDREL .' | wc -l)\n"
        "echo main=$main\n"
        "xdotool windowfocus --sync $box key Return\n"
        "wait $pid\n");
    QProcess second;
    second.setProcessEnvironment(env("xcb"));
    second.start("xvfb-run",
                 {"-a", "-s", "-screen 0 1280x1024x24", "sh", "-c", script, pandrelPath()});
    ASSERT_TRUE(second.waitForStarted(5000));
    ASSERT_TRUE(second.waitForFinished(40000));
    const QString out = QString::fromUtf8(second.readAllStandardOutput());
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0)
        << out.toStdString() << second.readAllStandardError().toStdString();
    EXPECT_TRUE(out.contains("main=0")) << out.toStdString();

    // The first copy is untouched: still running, still the owner of the lock.
    QCoreApplication::processEvents();
    EXPECT_EQ(first->state(), QProcess::Running);
    EXPECT_EQ(lockOwner(), first->processId());
}

TEST_F(Process, KilledCopyDoesNotBlockTheNext) {
    QProcess* first = startOffscreen();
    ASSERT_TRUE(testing_support::waitFor([&] { return lockOwner() == first->processId(); }, 10000));
    first->kill();
    ASSERT_TRUE(first->waitForFinished(5000));

    QProcess* next = startOffscreen();
    EXPECT_TRUE(testing_support::waitFor([&] { return lockOwner() == next->processId(); }, 10000));
    EXPECT_EQ(next->state(), QProcess::Running);
}

}  // namespace
