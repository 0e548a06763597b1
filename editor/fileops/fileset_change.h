#pragma once
// A change to a set of files that stands or falls whole. Copies and new contents are made
// under hidden names first and synced; then everything is put in place by renames that an
// intent file in the working folder records. A failure at any step puts every file back as
// it was; a stop at any point (a crash, a power cut, the plug) is finished, or where that
// cannot be done undone, at the next start of the editor.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace korvel {

class FileSetChange {
public:
    // journalFolder: the working folder, where the intent is recorded.
    explicit FileSetChange(const QString& journalFolder);

    // Tells the author that this step failed; err is the system's errno value.
    using Failed = std::function<void(int err)>;

    // source is copied to target (paths full or relative to the current directory).
    // replace: target exists and the author agreed to replace it; the old file is taken
    // away only when the new one is put in its place.
    void copy(const QString& source, const QString& target, bool replace, Failed failed = {});
    // As copy, with bytes for the new content.
    void write(const QByteArray& bytes, const QString& target, bool replace, Failed failed = {});
    // from is renamed to to, which must not exist.
    void move(const QString& from, const QString& to, Failed failed = {});
    void remove(const QString& path, Failed failed = {});

    bool empty() const { return steps_.isEmpty(); }
    // The names the change gives, for checking their length before anything is done.
    QStringList targets() const;

    // Makes the change. False when a step failed: its Failed has told the author (or
    // journalFailed, when the intent could not be recorded) and every file is as it was.
    bool run();
    std::function<void(const QString& journal, int err)> journalFailed;

    // The intent file of a folder.
    static QString journalPath(const QString& folder);

    struct Step {
        enum Kind { Copy, Write, Move, Remove } kind = Copy;
        QString source;    // Copy: the file copied; Move: the old name; Remove: the file
        QByteArray bytes;  // Write
        QString target;    // Copy, Write: the new file; Move: the new name
        QString existing;  // Copy, Write replacing a file: that file, as named on disk
        QString hidden;    // Copy, Write: the staged new file; Remove: where the file waits
        QString backup;    // Copy, Write replacing a file: where the old file waits
        Failed failed;

        bool staged() const { return kind == Copy || kind == Write; }
    };

private:
    QString journalFolder_;
    QString token_;
    QList<Step> steps_;
};

// At the editor's start (and before an export into a folder, whose change is recorded
// there): finishes a change that a stop left recorded in folder, or undoes it where it
// cannot be finished, and removes the hidden files that interrupted copies and writes left
// there. Returns the files it could not put right; empty when all is well.
QStringList RecoverFileSetChange(const QString& folder);

// The longest name among names (the file name alone) that is longer than the file system
// of its folder allows, with its length and the limit in bytes.
struct LongName {
    QString name;
    qsizetype bytes = 0;
    long limit = 0;
};
std::optional<LongName> NameTooLong(const QStringList& names);

}  // namespace korvel
