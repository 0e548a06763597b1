#include "files.h"

#include "codec.h"
#include "errors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
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

[[noreturn]] void cannotCreate(const QString& path, const QString& reason) {
    throw FileError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason));
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
    if (src.isEmpty() || !QFileInfo(src).isFile()) return false;
    if (exists(to)) return false;
    const QString dst = resolvePrefix(to, nullptr);
    const QByteArray srcName = QFile::encodeName(src);
    const QByteArray dstName = QFile::encodeName(dst);

    const int in = ::open(srcName.constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    struct stat st {};
    if (::fstat(in, &st) != 0) {
        ::close(in);
        return false;
    }
    // O_EXCL: a target that appeared meanwhile is never overwritten.
    const int out =
        ::open(dstName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777);
    if (out < 0) {
        ::close(in);
        return false;
    }
    bool ok = true;
    char buf[65536];
    for (;;) {
        const ssize_t r = ::read(in, buf, sizeof buf);
        if (r == 0) break;
        if (r < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        for (ssize_t done = 0; done < r;) {
            const ssize_t w = ::write(out, buf + done, size_t(r - done));
            if (w < 0) {
                if (errno == EINTR) continue;
                ok = false;
                break;
            }
            done += w;
        }
        if (!ok) break;
    }
    if (ok) {
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        ::futimens(out, times);  // the copy keeps the source's time, as on Windows
    }
    ::close(in);
    if (::close(out) != 0) ok = false;
    if (!ok) ::unlink(dstName.constData());  // no half-written copy left behind
    return ok;
}

bool renameFile(const QString& from, const QString& to) {
    const QString src = resolve(from);
    if (src.isEmpty()) return false;
    const QString existing = resolve(to);
    // A change of letter case only is a rename of the same entry, which Windows allows.
    const bool sameEntry =
        !existing.isEmpty() &&
        QFileInfo(existing).canonicalFilePath() == QFileInfo(src).canonicalFilePath() &&
        QString::compare(QFileInfo(existing).fileName(), QFileInfo(to).fileName(),
                         Qt::CaseInsensitive) == 0;
    if (!existing.isEmpty() && !sameEntry) return false;
    QString dst = resolvePrefix(to, nullptr);
    if (sameEntry) dst = QFileInfo(src).dir().filePath(QFileInfo(to).fileName());
    if (dst == src) return true;
    const QByteArray s = QFile::encodeName(src);
    const QByteArray d = QFile::encodeName(dst);
    if (::renameat2(AT_FDCWD, s.constData(), AT_FDCWD, d.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without the flag: link() also refuses an existing target.
    if (QFileInfo(src).isFile()) {
        if (::link(s.constData(), d.constData()) != 0) return false;
        ::unlink(s.constData());
        return true;
    }
    return false;
}

bool deleteFile(const QString& path) {
    const QString r = resolve(path);
    if (r.isEmpty() || QFileInfo(r).isDir()) return false;
    return ::unlink(QFile::encodeName(r).constData()) == 0;
}

bool createDir(const QString& path) {
    if (path.isEmpty() || exists(path)) return false;
    const QString target = resolvePrefix(path, nullptr);
    return ::mkdir(QFile::encodeName(target).constData(), 0777) == 0;
}

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
    // Written beside and then put in place, so a failed write leaves the old file whole.
    QSaveFile f(resolvePrefix(path, nullptr));
    if (!f.open(QIODevice::WriteOnly)) cannotCreate(path, f.errorString());
    if (f.write(bytes) != bytes.size()) {
        const QString reason = f.errorString();
        f.cancelWriting();
        throw FileError(QStringLiteral("Write error on file \"%1\". %2").arg(path, reason));
    }
    if (!f.commit()) cannotCreate(path, f.errorString());
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
