#pragma once
// File services with the meaning of the Windows ones on any system: names compare
// case-insensitively (Cyrillic included), masks match as on Windows, copy fails when the
// target exists, rename never overwrites. Paths use the native separator.
#include <QString>
#include <QStringList>
#include <functional>

namespace plat::fs {

// The native path separator ('/' on POSIX, '\\' on Windows).
QChar separator();

// Drive C: on POSIX is $TESTSUITE_DRIVE_C when set, else the home folder.
QString driveC();
// Maps a fixed Windows path ("C:\Test", "c:\", "C:\test\" + group + "\" + name + ".txt")
// onto this system: the drive letter becomes driveC(), backslashes the native separator,
// and every existing component is matched without regard to letter case.
QString mapWindowsPath(const QString& windowsPath);

// The existing entry that names path when letter case is ignored in every component
// (the exact name wins); empty when there is none.
QString resolve(const QString& path);
bool exists(const QString& path);      // a file or folder, case-insensitively
bool fileExists(const QString& path);  // a file, case-insensitively
bool dirExists(const QString& path);
// Whether two existing names reach one file: letter case ignored as above, links and a
// different spelling of the same folder seen through. False when either is missing.
bool sameFile(const QString& a, const QString& b);
// Whether two paths name one existing folder, links and other spellings seen through
// (letter case counts here). False when either is missing.
bool sameFolder(const QString& a, const QString& b);

// Windows mask matching: '*' any run, '?' one character, case-insensitive.
bool maskMatches(const QString& mask, const QString& name);
// Names (not paths) of the files in dir matching mask, hidden ones included, folders and
// the dot-names passed over, in case-insensitive name order.
QStringList findFiles(const QString& dir, const QString& mask);

// Copy failing (false) when the target exists, case-insensitively, or the source is missing.
// The data goes to a hidden partial file beside the target first and is checked and synced;
// only a whole copy ever appears under the target's name.
bool copyFile(const QString& from, const QString& to);
// Rename that never overwrites an existing target; false on failure. Call syncFolder once a
// set of renames is done for them to survive a power cut.
bool renameFile(const QString& from, const QString& to);
bool deleteFile(const QString& path);
// False when it exists already or cannot be made.
bool createDir(const QString& path);
// Makes the entries of a folder (names made, renamed, removed) durable.
bool syncFolder(const QString& path);
// The errno value of the last copyFile, renameFile, deleteFile, createDir or syncFolder of
// this thread that failed (ENOSPC for a full disk).
int lastError();

// The hidden file beside target through which a copy or a write reaches it: a short name of
// its own, so it fits the file system whatever the target's length, and one that no mask of
// a test takes. A file of such a name is only ever a leftover of an interrupted write.
QString partialPath(const QString& target);
bool isPartialName(const QString& name);

// Every change this layer makes to a file system passes through one hook first, so a test
// can fail that step as the system would (the hook returns an errno value) or stop the
// process there. Write is called before each piece of data, so a stop can leave a file cut.
enum class Change { Create, Write, Sync, Close, Rename, Delete, MakeFolder, SyncFolder };
struct ChangeStep {
    Change change;
    QString path;    // the file or folder changed
    QString target;  // Rename: the new name
};
// Returns 0 to let the step go on. An empty hook (the default) lets every step go.
using ChangeHook = std::function<int(const ChangeStep&)>;
void setChangeHook(ChangeHook hook);

QString currentDir();
bool setCurrentDir(const QString& path);

// The running program's file and folder.
QString programPath();
QString programDir();

// Text files of Windows-1251 lines. Reading splits at CR LF, LF or CR; writing ends every
// line with CR LF. Failures throw FileError with the path and the reason. A write replaces
// the file whole or not at all: its data is written beside it, checked and synced, then put
// in place, so a failure (a full disk) leaves the old file byte for byte.
QStringList readLines(const QString& path);
void writeLines(const QString& path, const QStringList& lines);
QByteArray readBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);

}  // namespace plat::fs
