// The real pandrel on a virtual screen, killed while its result report is on screen: the
// result file is already written.
#include "platform/codec.h"
#include "platform/files.h"
#include "tests/client/client_fixture.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace client_test;

namespace {

class KilledAtReport : public ClientTest {};

TEST_F(KilledAtReport, LeavesTheResultFile) {
    for (const char* tool : {"xvfb-run", "xdotool"})
        if (QStandardPaths::findExecutable(tool).isEmpty()) GTEST_SKIP() << tool << " missing";
    const QString pandrel = QCoreApplication::applicationDirPath() + "/../pandrel/pandrel";
    ASSERT_TRUE(QFile::exists(pandrel));
    Q q;
    q.MaxOtv = "2";
    q.Vopr = "?";
    q.Otv = {"a", "b"};
    q.RO[0] = true;
    const QString table = writeTest(inWork("tests"), "lesson", {q, q});
    plat::fs::writeBytes(inWork("tests/line.txt"), "0\r\n127.0.0.1\r\n1024\r\n");  // offline
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    // Places are the window's own (client area): Edit2, Edit4, button5 and Button3.
    const QString script = QStringLiteral(
        "\"$0\" & pid=$!\n"
        "timeout 20 xdotool search --sync --onlyvisible --name 'PANDREL' >/dev/null || { kill "
        "$pid; exit 90; }\n"
        "sleep 1; xdotool type --delay 20 \"$1\"; xdotool key Return; sleep 1\n"
        "eval $(xdotool getwindowgeometry --shell $(xdotool search --onlyvisible --name '^PANDREL' "
        "| head -n1))\n"
        "xdotool mousemove $((X+400)) $((Y+117)) click 1; xdotool type --delay 60 'Ivan Petrov'\n"
        "xdotool mousemove $((X+940)) $((Y+117)) click 1; xdotool type --delay 60 '9'\n"
        "answer() { b=$(timeout 10 xdotool search --sync --onlyvisible --name \"$1\" | head -n1); "
        "[ -n \"$b\" ] || { echo \"no box $1\"; kill $pid; exit 92; }; xdotool windowfocus --sync "
        "$b key Return; sleep 0.5; }\n"
        "xdotool mousemove $((X+490)) $((Y+660)) click 1\n"
        "answer '^Confirm$'; answer 'число вопросов'\n"  // sure: Yes; count: the preset 2
        "xdotool mousemove $((X+476)) $((Y+660)) click 1; sleep 0.7\n"
        "xdotool mousemove $((X+476)) $((Y+660)) click 1\n"
        "timeout 10 xdotool search --sync --onlyvisible --name '^pandrel$' >/dev/null || { kill "
        "$pid; exit 91; }\n"
        "kill -9 $pid; wait $pid; exit 0\n");
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TESTSUITE_DRIVE_C", driveC());
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.insert("QT_QPA_PLATFORM", "xcb");
    run.setProcessEnvironment(env);
    run.setWorkingDirectory(work());
    run.start("xvfb-run",
              {"-a", "-s", "-screen 0 1280x1024x24", "sh", "-c", script, pandrel, table});
    ASSERT_TRUE(run.waitForStarted(5000));
    ASSERT_TRUE(run.waitForFinished(60000));
    ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardOutput().toStdString()
                                 << run.readAllStandardError().toStdString();

    const QString file = QDir(driveC()).filePath("Test/9/Ivan Petrov.txt");
    ASSERT_TRUE(QFile::exists(file));
    const QString report = plat::fromCp1251(plat::fs::readBytes(file));
    EXPECT_TRUE(report.startsWith("Ivan Petrov 9\r\nОтвечал на вопросы теста lesson.DB\r\n"))
        << report.toStdString();
    EXPECT_TRUE(report.endsWith("] ")) << report.toStdString();
}

}  // namespace
