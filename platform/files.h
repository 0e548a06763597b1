#pragma once
// File services with the meaning of the Windows ones on any system: names compare
// case-insensitively (Cyrillic included), masks match as on Windows, copy fails when the
// target exists, rename never overwrites. Paths use the native separator.
#include <QString>
#include <QStringList>

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
bool copyFile(const QString& from, const QString& to);
// Rename that never overwrites an existing target; false on failure.
bool renameFile(const QString& from, const QString& to);
bool deleteFile(const QString& path);
// False when it exists already or cannot be made.
bool createDir(const QString& path);

QString currentDir();
bool setCurrentDir(const QString& path);

// The running program's file and folder.
QString programPath();
QString programDir();

// Text files of Windows-1251 lines. Reading splits at CR LF, LF or CR; writing ends every
// line with CR LF. Failures throw FileError with the path and the reason.
QStringList readLines(const QString& path);
void writeLines(const QString& path, const QStringList& lines);
QByteArray readBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);

}  // namespace plat::fs
