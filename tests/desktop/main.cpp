// The main of the tests that need a real desktop: a virtual X display of their own (Xvfb on
// a display number it finds free), the application on it through xcb, the display ended
// with the tests. The screen is 1280 x 1024 unless the test is run again on another
// (tests/desktop/desktop.h).
#include "tests/desktop/desktop.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Starts Xvfb; its pid and display number, or pid 0 when it cannot start.
std::pair<pid_t, std::string> startXvfb(const std::string& screen) {
    int fds[2];
    if (pipe(fds) != 0) return {0, {}};
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
               "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string display;
    pollfd p{fds[0], POLLIN, 0};
    char c = 0;
    while (poll(&p, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') display += c;
    close(fds[0]);
    if (pid < 0 || display.empty()) {
        if (pid > 0) kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
        return {0, {}};
    }
    return {pid, ":" + display};
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();

    const auto [xvfb, display] = startXvfb(desktop_tests::screenGeometry());
    if (xvfb) {
        setenv("DISPLAY", display.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    } else {
        unsetenv("DISPLAY");  // the tests see no display and skip
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QTemporaryDir runtime(QDir::tempPath() + "/suite-runtime-XXXXXX");
    QFile::setPermissions(runtime.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    setenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit().constData(), 1);

    int rc = 0;
    {
        QApplication app(argc, argv);
        rc = RUN_ALL_TESTS();
    }
    if (xvfb) {
        kill(xvfb, SIGTERM);
        waitpid(xvfb, nullptr, 0);
    }
    return rc;
}
