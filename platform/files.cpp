#include "files.h"

#include "codec.h"
#include "errors.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace plat::fs {

namespace {

// Every entry of a folder (hidden ones too), without "." and "..", in name order so that
// a lookup among names that differ only in case always picks the same one.
QStringList entriesOf(const QString& dir) {
    QDir d(dir.isEmpty() ? QStringLiteral(".") : dir);
    return d.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name);
}

struct Split {
    QString root;  // "/" for an absolute path, "" for a relative one
    QStringList parts;
};

Split split(const QString& path) {
    const QString p = QDir::fromNativeSeparators(path);
    Split s;
    if (p.startsWith(u'/')) s.root = QStringLiteral("/");
    s.parts = p.split(u'/', Qt::SkipEmptyParts);
    return s;
}

QString join(const QString& base, const QString& name) {
    if (base.isEmpty()) return name;
    if (base.endsWith(u'/')) return base + name;
    return base + u'/' + name;
}

std::filesystem::path nativePath(const QString& path) {
#ifdef _WIN32
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

// Matches as many leading components as exist, ignoring letter case; the rest stay as
// written. matched tells whether every component was found.
QString resolvePrefix(const QString& path, bool* matched) {
    const Split s = split(path);
    QString cur = s.root;
    bool found = true;
    for (const QString& part : s.parts) {
        if (!found || part == u"." || part == u"..") {
            cur = join(cur, part);
            continue;
        }
        const QString exact = join(cur, part);
        if (QFileInfo::exists(exact) || QFileInfo(exact).isSymLink()) {
            cur = exact;
            continue;
        }
        QString hit;
        for (const QString& e : entriesOf(cur)) {
            if (QString::compare(e, part, Qt::CaseInsensitive) == 0) {
                hit = e;
                break;
            }
        }
        if (hit.isEmpty()) {
            found = false;
            cur = exact;
        } else {
            cur = join(cur, hit);
        }
    }
    if (matched) *matched = found;
    if (cur.isEmpty()) cur = QStringLiteral(".");
    return QDir::toNativeSeparators(cur);
}

QString systemReason(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

[[noreturn]] void cannotOpen(const QString& path, const QString& reason) {
    throw FileError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason));
}

bool isDiskFull(int err) { return err == ENOSPC || err == EDQUOT; }

// A full disk is what a user can act on, so it is said in the user's language.
[[noreturn]] void cannotWrite(const QString& path, const char* what, int err) {
    if (isDiskFull(err))
        throw FileError(
            QStringLiteral("Файл \"%1\" не записан: диск заполнен, на нём нет свободного места.")
                .arg(path),
            err);
    throw FileError(
        QStringLiteral("%1 file \"%2\". %3").arg(QLatin1String(what), path, systemReason(err)),
        err);
}

ChangeHook& changeHook() {
    static ChangeHook hook;
    return hook;
}

thread_local int lastErrno = 0;

// Asks the hook about a step; a value it returns is the step's failure.
int gate(Change change, const QString& path, const QString& target = {}) {
    const ChangeHook& hook = changeHook();
    return hook ? hook(ChangeStep{change, path, target}) : 0;
}

// For the bool calls: remembers why they failed.
bool failed(int err) {
    lastErrno = err;
    return false;
}

QString folderOfFile(const QString& path) {
    const QString dir = QFileInfo(path).path();
    return dir.isEmpty() ? QStringLiteral(".") : dir;
}

// Writes all of data, a piece at a time through the hook. 0 or the errno of the failure.
int writeAll(int fd, const QString& path, const char* data, qsizetype size) {
    constexpr qsizetype kPiece = 1 << 16;
    for (qsizetype done = 0; done < size;) {
        if (const int e = gate(Change::Write, path)) return e;
        const qsizetype piece = std::min(kPiece, size - done);
        const ssize_t w = ::write(fd, data + done, size_t(piece));
        if (w < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (w == 0) return EIO;
        done += w;
    }
    return 0;
}

// fsync and close, both checked: a write the system put off fails here on some systems.
int syncAndClose(int fd, const QString& path) {
    int err = gate(Change::Sync, path);
    if (!err && ::fsync(fd) != 0) err = errno;
    const int closeErr = gate(Change::Close, path);
    if (::close(fd) != 0 && !err) err = errno;
    if (!err) err = closeErr;
    return err;
}

int syncDir(const QString& dir) {
    if (const int e = gate(Change::SyncFolder, dir)) return e;
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    int err = 0;
    // Some file systems cannot sync a folder; their entries are as durable as they get.
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) err = errno;
    ::close(fd);
    return err;
}

// Puts a finished partial file in place; replace: over an existing target.
int putInPlace(const QString& part, const QString& target, bool replace) {
    if (const int e = gate(Change::Rename, part, target)) return e;
    const QByteArray p = QFile::encodeName(part);
    const QByteArray t = QFile::encodeName(target);
    if (replace) return ::rename(p.constData(), t.constData()) == 0 ? 0 : errno;
    if (::renameat2(AT_FDCWD, p.constData(), AT_FDCWD, t.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // A file system without the flag: link() also refuses an existing target.
    if (::link(p.constData(), t.constData()) != 0) return errno;
    ::unlink(p.constData());
    return 0;
}

// Creates the partial file of target afresh: one left by an interrupted write goes first.
int createPartial(const QString& part, mode_t mode) {
    const QByteArray name = QFile::encodeName(part);
    ::unlink(name.constData());
    if (const int e = gate(Change::Create, part)) {
        errno = e;
        return -1;
    }
    return ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
}

// Windows mask rules beyond '*' and '?': a run of '?' that ends at a '.' or at the end of
// the mask also matches fewer characters when the name has its '.' or its end there, and a
// '.' followed by '*' or '?' also matches the end of the name ("new.*" takes "new").
bool maskMatchesFolded(const QString& m, const QString& n) {
    const qsizetype M = m.size(), N = n.size();
    // memo[i][j]: 0 unknown, 1 no, 2 yes for m[i..] against n[j..].
    std::vector<char> memo(size_t((M + 1) * (N + 1)), 0);
    std::function<bool(qsizetype, qsizetype)> match = [&](qsizetype i, qsizetype j) -> bool {
        char& slot = memo[size_t(i * (N + 1) + j)];
        if (slot) return slot == 2;
        bool r;
        if (i == M) {
            r = j == N;
        } else if (m[i] == u'*') {
            r = match(i + 1, j) || (j < N && match(i, j + 1));
        } else if (m[i] == u'?') {
            qsizetype k = i;
            while (k < M && m[k] == u'?') ++k;
            const bool dosQm = k == M || m[k] == u'.';
            if (dosQm && (j == N || n[j] == u'.'))
                r = match(i + 1, j);
            else
                r = j < N && match(i + 1, j + 1);
        } else if (m[i] == u'.' && i + 1 < M && (m[i + 1] == u'*' || m[i + 1] == u'?')) {
            r = (j < N && n[j] == u'.' && match(i + 1, j + 1)) || (j == N && match(i + 1, j));
        } else {
            r = j < N && n[j] == m[i] && match(i + 1, j + 1);
        }
        slot = r ? 2 : 1;
        return r;
    };
    return match(0, 0);
}

}  // namespace

QChar separator() { return QDir::separator(); }

QString driveC() {
    const QString env = qEnvironmentVariable("TESTSUITE_DRIVE_C");
    return QDir::toNativeSeparators(env.isEmpty() ? QDir::homePath() : env);
}

QString mapWindowsPath(const QString& windowsPath) {
#ifdef Q_OS_WIN
    return windowsPath;
#else
    QString p = windowsPath;
    p.replace(u'\\', u'/');
    if (p.size() >= 2 && p[1] == u':' && p[0].isLetter()) {
        // Only drive C: exists here; the others have no place of their own.
        p = QDir::fromNativeSeparators(driveC()) + u'/' + p.mid(2);
    }
    return resolvePrefix(p, nullptr);
#endif
}

QString resolve(const QString& path) {
    if (path.isEmpty()) return {};
    bool matched = false;
    const QString r = resolvePrefix(path, &matched);
    return matched ? r : QString();
}

bool exists(const QString& path) { return !resolve(path).isEmpty(); }

bool fileExists(const QString& path) {
    const QString r = resolve(path);
    return !r.isEmpty() && QFileInfo(r).isFile();
}

bool dirExists(const QString& path) {
    const QString r = resolve(path);
    return !r.isEmpty() && QFileInfo(r).isDir();
}

bool sameFile(const QString& a, const QString& b) {
    const QString ra = resolve(a);
    const QString rb = resolve(b);
    if (ra.isEmpty() || rb.isEmpty()) return false;
    std::error_code ec;
    const bool same = std::filesystem::equivalent(nativePath(ra), nativePath(rb), ec);
    return !ec && same;
}

bool sameFolder(const QString& a, const QString& b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    const QString cb = QFileInfo(b).canonicalFilePath();
    return !ca.isEmpty() && ca == cb;
}

bool maskMatches(const QString& mask, const QString& name) {
    const QString m = mask.toCaseFolded();
    const QString n = name.toCaseFolded();
    if (m == u"*.*" || m == u"*") return true;
    return maskMatchesFolded(m, n);
}

QStringList findFiles(const QString& dir, const QString& mask) {
    const QString d = resolve(dir.isEmpty() ? QStringLiteral(".") : dir);
    if (d.isEmpty()) return {};
    QStringList out;
    const QDir qd(d);
    for (const QString& e : entriesOf(d)) {
        if (!QFileInfo(qd.filePath(e)).isFile()) continue;
        if (maskMatches(mask, e)) out.append(e);
    }
    std::sort(out.begin(), out.end(), [](const QString& a, const QString& b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return out;
}

bool copyFile(const QString& from, const QString& to) {
    const QString src = resolve(from);
    if (src.isEmpty() || !QFileInfo(src).isFile()) return failed(ENOENT);
    if (exists(to)) return failed(EEXIST);
    const QString dst = resolvePrefix(to, nullptr);
    const QString part = partialPath(dst);

    const int in = ::open(QFile::encodeName(src).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return failed(errno);
    struct stat st {};
    if (::fstat(in, &st) != 0) {
        const int e = errno;
        ::close(in);
        return failed(e);
    }
    const int out = createPartial(part, st.st_mode & 07777);
    if (out < 0) {
        const int e = errno;
        ::close(in);
        return failed(e);
    }
    int err = 0;
    qint64 copied = 0;
    char buf[65536];
    while (!err) {
        const ssize_t r = ::read(in, buf, sizeof buf);
        if (r == 0) break;
        if (r < 0) {
            if (errno != EINTR) err = errno;
            continue;
        }
        err = writeAll(out, part, buf, r);
        copied += r;
    }
    ::close(in);
    // A source that changed size under the copy gives no whole copy.
    if (!err && copied != qint64(st.st_size)) err = EIO;
    if (!err) {
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        ::futimens(out, times);  // the copy keeps the source's time, as on Windows
    }
    const int closeErr = syncAndClose(out, part);
    if (!err) err = closeErr;
    // O_EXCL's twin: a target that appeared meanwhile is never overwritten.
    if (!err) err = putInPlace(part, dst, false);
    if (err) {
        ::unlink(QFile::encodeName(part).constData());  // no half-written copy left behind
        return failed(err);
    }
    if (const int e = syncDir(folderOfFile(dst))) return failed(e);
    return true;
}

bool renameFile(const QString& from, const QString& to) {
    const QString src = resolve(from);
    if (src.isEmpty()) return failed(ENOENT);
    const QString existing = resolve(to);
    // A change of letter case only is a rename of the same entry, which Windows allows.
    const bool sameEntry =
        !existing.isEmpty() &&
        QFileInfo(existing).canonicalFilePath() == QFileInfo(src).canonicalFilePath() &&
        QString::compare(QFileInfo(existing).fileName(), QFileInfo(to).fileName(),
                         Qt::CaseInsensitive) == 0;
    if (!existing.isEmpty() && !sameEntry) return failed(EEXIST);
    QString dst = resolvePrefix(to, nullptr);
    if (sameEntry) dst = QFileInfo(src).dir().filePath(QFileInfo(to).fileName());
    if (dst == src) return true;
    if (const int e = gate(Change::Rename, src, dst)) return failed(e);
    const QByteArray s = QFile::encodeName(src);
    const QByteArray d = QFile::encodeName(dst);
    if (::renameat2(AT_FDCWD, s.constData(), AT_FDCWD, d.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return failed(errno);
    // A file system without the flag: link() also refuses an existing target.
    if (QFileInfo(src).isFile()) {
        if (::link(s.constData(), d.constData()) != 0) return failed(errno);
        ::unlink(s.constData());
        return true;
    }
    return failed(EXDEV);
}

bool deleteFile(const QString& path) {
    const QString r = resolve(path);
    if (r.isEmpty()) return failed(ENOENT);
    if (QFileInfo(r).isDir()) return failed(EISDIR);
    if (const int e = gate(Change::Delete, r)) return failed(e);
    return ::unlink(QFile::encodeName(r).constData()) == 0 || failed(errno);
}

bool createDir(const QString& path) {
    if (path.isEmpty() || exists(path)) return failed(EEXIST);
    const QString target = resolvePrefix(path, nullptr);
    if (const int e = gate(Change::MakeFolder, target)) return failed(e);
    return ::mkdir(QFile::encodeName(target).constData(), 0777) == 0 || failed(errno);
}

bool syncFolder(const QString& path) {
    const QString r = resolve(path.isEmpty() ? QStringLiteral(".") : path);
    if (r.isEmpty()) return failed(ENOENT);
    const int e = syncDir(r);
    return e == 0 || failed(e);
}

int lastError() { return lastErrno; }

QString partialPath(const QString& target) {
    const QFileInfo fi(target);
    const QByteArray digest =
        QCryptographicHash::hash(fi.fileName().toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    const QString name = u'.' + QString::fromLatin1(digest) + QStringLiteral(".partial");
    const QString dir = fi.path();
    return dir.isEmpty() || dir == u"." ? name : QDir(dir).filePath(name);
}

bool isPartialName(const QString& name) {
    static const QString suffix = QStringLiteral(".partial");
    if (name.size() != 1 + 16 + suffix.size() || !name.startsWith(u'.') || !name.endsWith(suffix))
        return false;
    for (qsizetype i = 1; i <= 16; ++i)
        if (!isxdigit(name[i].toLatin1())) return false;
    return true;
}

void setChangeHook(ChangeHook hook) { changeHook() = std::move(hook); }

QString currentDir() { return QDir::toNativeSeparators(QDir::currentPath()); }

bool setCurrentDir(const QString& path) {
    const QString r = resolve(path);
    return !r.isEmpty() && QDir::setCurrent(r);
}

QString programPath() {
    if (QCoreApplication::instance())
        return QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
    return QDir::toNativeSeparators(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget());
}

QString programDir() { return QDir::toNativeSeparators(QFileInfo(programPath()).absolutePath()); }

QByteArray readBytes(const QString& path) {
    const QString r = resolve(path);
    if (r.isEmpty()) cannotOpen(path, systemReason(ENOENT));
    QFile f(r);
    if (!f.open(QIODevice::ReadOnly)) cannotOpen(path, f.errorString());
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw FileError(QStringLiteral("Read error on file \"%1\". %2").arg(path, f.errorString()));
    return bytes;
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    const QString target = resolvePrefix(path, nullptr);
    const QString part = partialPath(target);
    // A file written over keeps its permissions; a new one gets the user's defaults.
    struct stat old {};
    const bool replacing = ::stat(QFile::encodeName(target).constData(), &old) == 0;
    if (replacing && S_ISDIR(old.st_mode)) cannotWrite(path, "Cannot create", EISDIR);
    const int fd = createPartial(part, replacing ? (old.st_mode & 07777) : 0666);
    if (fd < 0) cannotWrite(path, "Cannot create", errno);
    if (replacing) ::fchmod(fd, old.st_mode & 07777);
    int err = writeAll(fd, part, bytes.constData(), bytes.size());
    const int closeErr = syncAndClose(fd, part);
    if (!err) err = closeErr;
    if (!err) err = putInPlace(part, target, true);
    if (err) {
        ::unlink(QFile::encodeName(part).constData());
        cannotWrite(path, "Write error on", err);
    }
    if (const int e = syncDir(folderOfFile(target))) cannotWrite(path, "Write error on", e);
}

QStringList readLines(const QString& path) {
    const QByteArray bytes = readBytes(path);
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') continue;
        lines.append(fromCp1251(bytes.mid(start, i - start)));
        if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < n) lines.append(fromCp1251(bytes.mid(start)));
    return lines;
}

void writeLines(const QString& path, const QStringList& lines) {
    QByteArray bytes;
    for (const QString& l : lines) {
        bytes += toCp1251(l);
        bytes += "\r\n";
    }
    writeBytes(path, bytes);
}

}  // namespace plat::fs
