#include "platform/db/locks.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat::db {

namespace {
const char* const kLockFile = "tablelocks.lck";
// Each table gets a window of 2^31 keys; the window is chosen by a hash of the file's
// identity (device, inode), so copies and renames of a table keep distinct locks.
constexpr int kKeyBits = 31;

// Why the lock file cannot be used, as the user can act on it.
QString reasonOf(int err) {
    switch (err) {
        case ENOENT:
        case ENOTDIR: return QStringLiteral("папки нет. Создайте её или укажите другую");
        case EACCES:
        case EPERM:
        case EROFS: return QStringLiteral("запись в эту папку запрещена. Разрешите запись в неё");
        case ENOSPC:
        case EDQUOT: return QStringLiteral("диск переполнен. Освободите место на диске");
        default: return QStringLiteral("системная ошибка %1").arg(err);
    }
}
}  // namespace

RecordLocks::~RecordLocks() { detach(); }

QString RecordLocks::attach(const QString& folder, const QString& tablePath) {
    detach();
    struct stat st {};
    if (::stat(QFile::encodeName(tablePath).constData(), &st) != 0) return reasonOf(errno);
    std::uint64_t h = 1469598103934665603ull;  // FNV-1a over device and inode
    for (std::uint64_t v : {std::uint64_t(st.st_dev), std::uint64_t(st.st_ino)})
        for (int i = 0; i < 8; ++i) {
            h ^= (v >> (8 * i)) & 0xff;
            h *= 1099511628211ull;
        }
    tableId_ = h & 0x7fffffffull;
    const QString path = QDir(folder).filePath(kLockFile);
    fd_ = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0) return reasonOf(errno);
    return {};
}

void RecordLocks::detach() {
    if (fd_ >= 0) ::close(fd_);  // frees every lock of this description
    fd_ = -1;
}

std::int64_t RecordLocks::offsetOf(std::int64_t key) const {
    return (std::int64_t(tableId_) << kKeyBits) + (key & ((std::int64_t(1) << kKeyBits) - 1));
}

bool RecordLocks::lock(std::int64_t key) {
    if (fd_ < 0) return false;
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = offsetOf(key);
    fl.l_len = 1;
    return ::fcntl(fd_, F_OFD_SETLK, &fl) == 0;
}

void RecordLocks::unlock(std::int64_t key) {
    if (fd_ < 0) return;
    struct flock fl {};
    fl.l_type = F_UNLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = offsetOf(key);
    fl.l_len = 1;
    ::fcntl(fd_, F_OFD_SETLK, &fl);
}

}  // namespace plat::db
