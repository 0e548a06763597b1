#include "disk.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

namespace {
constexpr int kStoppedStatus = 77;
}

FailingSteps::FailingSteps(std::optional<plat::fs::Change> change, int err, int nth) {
    plat::fs::setChangeHook([this, change, err, nth](const plat::fs::ChangeStep& s) {
        if (change && s.change != *change) return 0;
        ++seen_;
        if (nth != 0 && seen_ != nth) return 0;
        ++failed_;
        return err;
    });
}

FailingSteps::~FailingSteps() { plat::fs::setChangeHook({}); }

bool StoppedAtChange(int n, const std::function<void()>& f) {
    const pid_t pid = ::fork();
    if (pid < 0) {
        ADD_FAILURE() << "fork: " << std::strerror(errno);
        return false;
    }
    if (pid == 0) {
        int count = 0;
        plat::fs::setChangeHook([&count, n](const plat::fs::ChangeStep&) {
            if (++count == n) ::_exit(kStoppedStatus);
            return 0;
        });
        f();
        ::_exit(0);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status)) {
        ADD_FAILURE() << "the child ended with status " << status;
        return false;
    }
    return WEXITSTATUS(status) == kStoppedStatus;
}

SmallDisk::SmallDisk(const QString& dir, int kilobytes) : dir_(dir) {
    QDir().mkpath(dir);
    const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k";
    if (::mount("tmpfs", QFile::encodeName(dir).constData(), "tmpfs", 0, options.constData()) == 0)
        mounted_ = true;
    else
        why_ = QStringLiteral("cannot mount a tmpfs here (%1); run as root to test a full disk")
                   .arg(QString::fromLocal8Bit(std::strerror(errno)));
}

SmallDisk::~SmallDisk() {
    if (mounted_) ::umount2(QFile::encodeName(dir_).constData(), MNT_DETACH);
}

void SmallDisk::fill(int leave) {
    const int fd = ::open(QFile::encodeName(QDir(dir_).filePath("filler")).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0) << std::strerror(errno);
    char block[4096] = {};
    while (::write(fd, block, sizeof block) > 0) {
    }
    // The last block may hold a few bytes less.
    while (::write(fd, block, 1) > 0) {
    }
    if (leave > 0) {
        const off_t size = ::lseek(fd, 0, SEEK_END);
        ASSERT_EQ(::ftruncate(fd, size > leave ? size - leave : 0), 0) << std::strerror(errno);
    }
    ::close(fd);
}

}  // namespace testing_support
