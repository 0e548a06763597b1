#include "editor/fileops/fileset_change.h"

#include "platform/errors.h"
#include "platform/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>
#include <algorithm>
#include <cerrno>
#include <optional>
#include <unistd.h>

namespace korvel {

namespace {

using Step = FileSetChange::Step;

const QString kJournal = QStringLiteral(".korvel-change");
const QByteArray kHeader = "korvel file-set change 1";

// Staged, old and removed files wait under ".~<token>-<n>.new|old|del": hidden, short
// whatever the test's name, and taken by no test's mask.
const QRegularExpression& hiddenName() {
    static const QRegularExpression re(QStringLiteral("^\\.~[0-9a-f]{16}-[0-9]+\\.(new|old|del)$"));
    return re;
}

bool present(const QString& path) { return QFileInfo(path).isFile(); }

QString folderOf(const QString& path) { return QFileInfo(path).absolutePath(); }

// The full path of a new name: its folder as it exists, the file's name as given.
QString named(const QString& path) {
    const QFileInfo fi(path);
    const QString dir = plat::fs::resolve(fi.path());
    return QDir(dir.isEmpty() ? fi.path() : dir).absoluteFilePath(fi.fileName());
}

// The full path of a file: the existing entry in any letter case, else the name as given
// in its existing folder.
QString absolute(const QString& path) {
    const QString found = plat::fs::resolve(path);
    if (!found.isEmpty()) return QFileInfo(found).absoluteFilePath();
    return named(path);
}

bool rename(const QString& from, const QString& to) { return plat::fs::renameFile(from, to); }

void removeIfPresent(const QString& path) {
    if (present(path)) plat::fs::deleteFile(path);
}

QSet<QString> foldersOf(const QList<Step>& steps, const QString& journalFolder) {
    QSet<QString> folders{journalFolder};
    for (const Step& s : steps) {
        folders.insert(folderOf(s.source.isEmpty() ? s.target : s.source));
        if (!s.target.isEmpty()) folders.insert(folderOf(s.target));
    }
    return folders;
}

void syncFolders(const QList<Step>& steps, const QString& journalFolder) {
    for (const QString& f : foldersOf(steps, journalFolder)) plat::fs::syncFolder(f);
}

QByteArray field(const QString& s) { return s.isEmpty() ? "-" : QUrl::toPercentEncoding(s); }
QString unfield(const QByteArray& b) { return b == "-" ? QString() : QUrl::fromPercentEncoding(b); }

QByteArray journalText(const QByteArray& phase, const QList<Step>& steps) {
    QByteArray t = kHeader + "\nphase " + phase + '\n';
    for (const Step& s : steps) {
        switch (s.kind) {
            case Step::Copy:
            case Step::Write:
                t += "copy " + field(s.hidden) + ' ' + field(s.target) + ' ' + field(s.existing) +
                     ' ' + field(s.backup);
                break;
            case Step::Move: t += "move " + field(s.source) + ' ' + field(s.target); break;
            case Step::Remove: t += "remove " + field(s.source) + ' ' + field(s.hidden); break;
        }
        t += '\n';
    }
    return t;
}

struct Journal {
    QByteArray phase;
    QList<Step> steps;
};

std::optional<Journal> readJournal(const QString& path) {
    QByteArray bytes;
    try {
        bytes = plat::fs::readBytes(path);
    } catch (const plat::FileError&) {
        return std::nullopt;
    }
    const QList<QByteArray> lines = bytes.split('\n');
    if (lines.size() < 2 || lines[0] != kHeader || !lines[1].startsWith("phase "))
        return std::nullopt;
    Journal j;
    j.phase = lines[1].mid(6);
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QList<QByteArray> f = lines[i].split(' ');
        if (f.isEmpty() || f[0].isEmpty()) continue;
        Step s;
        if (f[0] == "copy" && f.size() == 5) {
            s.kind = Step::Copy;
            s.hidden = unfield(f[1]);
            s.target = unfield(f[2]);
            s.existing = unfield(f[3]);
            s.backup = unfield(f[4]);
        } else if (f[0] == "move" && f.size() == 3) {
            s.kind = Step::Move;
            s.source = unfield(f[1]);
            s.target = unfield(f[2]);
        } else if (f[0] == "remove" && f.size() == 3) {
            s.kind = Step::Remove;
            s.source = unfield(f[1]);
            s.hidden = unfield(f[2]);
        } else {
            return std::nullopt;
        }
        j.steps.append(s);
    }
    return j;
}

// Takes away the old and the removed files once the new ones stand.
void finish(const QList<Step>& steps) {
    for (const Step& s : steps) {
        if (s.staged() && !s.backup.isEmpty()) removeIfPresent(s.backup);
        if (s.kind == Step::Remove) removeIfPresent(s.hidden);
    }
}

// Puts every step in place, from wherever a stop left it; false at a step that cannot go.
bool forward(const QList<Step>& steps) {
    for (const Step& s : steps) {
        switch (s.kind) {
            case Step::Copy:
            case Step::Write:
                if (!present(s.hidden)) break;  // in place already
                if (!s.existing.isEmpty() && present(s.existing) && !present(s.backup) &&
                    !rename(s.existing, s.backup))
                    return false;
                if (!rename(s.hidden, s.target)) return false;
                break;
            case Step::Move:
                if (present(s.source) && !present(s.target)) {
                    if (!rename(s.source, s.target)) return false;
                } else if (present(s.source) || !present(s.target)) {
                    return false;
                }
                break;
            case Step::Remove:
                if (present(s.source) && !rename(s.source, s.hidden)) return false;
                break;
        }
    }
    finish(steps);
    return true;
}

// Puts every file back as it was before the change, from wherever a stop left it. placed:
// the staging was complete, so a staged file that is gone is in place.
void backward(const QList<Step>& steps, bool placed) {
    for (auto it = steps.crbegin(); it != steps.crend(); ++it) {
        const Step& s = *it;
        switch (s.kind) {
            case Step::Copy:
            case Step::Write:
                if (present(s.hidden))
                    plat::fs::deleteFile(s.hidden);
                else if (placed)
                    removeIfPresent(s.target);
                removeIfPresent(plat::fs::partialPath(s.hidden));
                if (!s.backup.isEmpty() && present(s.backup) && !present(s.existing))
                    rename(s.backup, s.existing);
                break;
            case Step::Move:
                if (present(s.target) && !present(s.source)) rename(s.target, s.source);
                break;
            case Step::Remove:
                if (present(s.hidden) && !present(s.source)) rename(s.hidden, s.source);
                break;
        }
    }
}

// What is still out of place after forward or backward: the hidden files of the change.
QStringList leftOver(const QList<Step>& steps) {
    QStringList left;
    for (const Step& s : steps)
        for (const QString& f : {s.hidden, s.backup})
            if (!f.isEmpty() && present(f)) left.append(f);
    return left;
}

bool removeJournal(const QString& folder) {
    const QString j = FileSetChange::journalPath(folder);
    const bool gone = !present(j) || plat::fs::deleteFile(j);
    plat::fs::syncFolder(folder);
    return gone;
}

// What interrupted copies and writes left in folder: the hidden partial and staged files.
void removeLeftovers(const QString& folder) {
    const QString dir = plat::fs::resolve(folder);
    if (dir.isEmpty()) return;
    bool removed = false;
    for (const QString& e : QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!plat::fs::isPartialName(e) && !hiddenName().match(e).hasMatch()) continue;
        removed = plat::fs::deleteFile(QDir(dir).filePath(e)) || removed;
    }
    if (removed) plat::fs::syncFolder(dir);
}

}  // namespace

FileSetChange::FileSetChange(const QString& journalFolder)
    : journalFolder_(QFileInfo(plat::fs::resolve(journalFolder).isEmpty()
                                   ? journalFolder
                                   : plat::fs::resolve(journalFolder))
                         .absoluteFilePath()),
      token_(
          QString::number(QRandomGenerator::global()->generate64(), 16).rightJustified(16, u'0')) {}

QString FileSetChange::journalPath(const QString& folder) {
    return QDir(folder).filePath(kJournal);
}

static QString hiddenBeside(const QString& path, const QString& token, qsizetype n,
                            const char* kind) {
    return QDir(folderOf(path))
        .filePath(QStringLiteral(".~%1-%2.%3").arg(token).arg(n).arg(QLatin1String(kind)));
}

void FileSetChange::copy(const QString& source, const QString& target, bool replace,
                         Failed failed) {
    Step s;
    s.kind = Step::Copy;
    s.source = absolute(source);
    // The new file takes the name as the author gave it, also over one in another case.
    s.target = named(target);
    if (replace && plat::fs::fileExists(target)) {
        s.existing = absolute(target);
        s.backup = hiddenBeside(s.target, token_, steps_.size(), "old");
    }
    s.hidden = hiddenBeside(s.target, token_, steps_.size(), "new");
    s.failed = std::move(failed);
    steps_.append(s);
}

void FileSetChange::write(const QByteArray& bytes, const QString& target, bool replace,
                          Failed failed) {
    copy(QString(), target, replace, std::move(failed));
    steps_.last().kind = Step::Write;
    steps_.last().source.clear();
    steps_.last().bytes = bytes;
}

void FileSetChange::move(const QString& from, const QString& to, Failed failed) {
    Step s;
    s.kind = Step::Move;
    s.source = absolute(from);
    s.target = named(to);
    s.failed = std::move(failed);
    steps_.append(s);
}

void FileSetChange::remove(const QString& path, Failed failed) {
    Step s;
    s.kind = Step::Remove;
    s.source = absolute(path);
    s.hidden = hiddenBeside(s.source, token_, steps_.size(), "del");
    s.failed = std::move(failed);
    steps_.append(s);
}

QStringList FileSetChange::targets() const {
    QStringList t;
    for (const Step& s : steps_)
        if (s.kind != Step::Remove) t.append(s.target);
    return t;
}

bool FileSetChange::run() {
    if (steps_.isEmpty()) return true;
    const QString journal = journalPath(journalFolder_);
    auto record = [&](const QByteArray& phase, bool tell = true) {
        try {
            plat::fs::writeBytes(journal, journalText(phase, steps_));
            return true;
        } catch (const plat::FileError& e) {
            if (tell && journalFailed) journalFailed(journal, e.code());
            return false;
        }
    };
    auto failedAt = [](const Step& s, int err) {
        if (s.failed) s.failed(err);
    };
    auto discardStaged = [&] {
        for (const Step& s : steps_)
            if (s.staged()) removeIfPresent(s.hidden);
    };

    // Staged first: the copies need the room and the time, and a failure here leaves only
    // hidden files, which the intent names so a stop is cleared up too.
    const bool anyStaged =
        std::any_of(steps_.cbegin(), steps_.cend(), [](const Step& s) { return s.staged(); });
    if (anyStaged) {
        if (!record("stage")) return false;
        for (const Step& s : steps_) {
            if (!s.staged()) continue;
            int err = 0;
            if (s.kind == Step::Copy) {
                if (!plat::fs::copyFile(s.source, s.hidden)) err = plat::fs::lastError();
            } else {
                try {
                    plat::fs::writeBytes(s.hidden, s.bytes);
                } catch (const plat::FileError& e) {
                    err = e.code() ? e.code() : EIO;
                }
            }
            if (err) {
                failedAt(s, err);
                discardStaged();
                removeJournal(journalFolder_);
                return false;
            }
        }
    }
    if (!record("commit")) {
        discardStaged();
        removeJournal(journalFolder_);
        return false;
    }

    for (const Step& s : steps_) {
        bool ok = true;
        switch (s.kind) {
            case Step::Copy:
            case Step::Write:
                ok = (s.existing.isEmpty() || rename(s.existing, s.backup)) &&
                     rename(s.hidden, s.target);
                break;
            case Step::Move: ok = rename(s.source, s.target); break;
            case Step::Remove: ok = rename(s.source, s.hidden); break;
        }
        if (ok) continue;
        const int err = plat::fs::lastError();
        failedAt(s, err);
        // Recorded first, so a stop while putting things back goes on putting them back.
        record("undo", false);
        backward(steps_, true);
        syncFolders(steps_, journalFolder_);
        if (leftOver(steps_).isEmpty()) removeJournal(journalFolder_);
        return false;
    }
    syncFolders(steps_, journalFolder_);
    finish(steps_);
    syncFolders(steps_, journalFolder_);
    removeJournal(journalFolder_);
    return true;
}

QStringList RecoverFileSetChange(const QString& folder) {
    const QString journal = FileSetChange::journalPath(folder);
    if (present(journal)) {
        const std::optional<Journal> j = readJournal(journal);
        if (!j) {
            // Written whole or not at all: one that cannot be read was never ours.
            return {journal};
        }
        if (j->phase == "commit") {
            if (!forward(j->steps)) backward(j->steps, true);
        } else {
            backward(j->steps, j->phase == "undo");
        }
        syncFolders(j->steps, folder);
        const QStringList left = leftOver(j->steps);
        if (!left.isEmpty()) return left;
        removeJournal(folder);
    }
    removeLeftovers(folder);
    return {};
}

std::optional<LongName> NameTooLong(const QStringList& names) {
    std::optional<LongName> longest;
    for (const QString& path : names) {
        const QFileInfo fi(path);
        long max = ::pathconf(QFile::encodeName(fi.absolutePath()).constData(), _PC_NAME_MAX);
        if (max <= 0) max = 255;
        const qsizetype bytes = QFile::encodeName(fi.fileName()).size();
        if (bytes > max && (!longest || bytes > longest->bytes))
            longest = LongName{fi.fileName(), bytes, max};
    }
    return longest;
}

}  // namespace korvel
