#pragma once
// A test is a set of files of one name in one folder: the table N.DB with whatever family
// files exist, the page N.HTML and the pictures N + "GrV" + k + ".jpg". The helpers here move
// such sets around as whole files and tell the author about failures through plain messages.
#include "platform/ui.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace korvel {

// The infix of a picture's name: N + kPictureInfix + k + ".jpg".
inline const QString kPictureInfix = QStringLiteral("GrV");
// The name of the template set "new.*", which no test may take, in any letter case.
bool IsTemplateName(const QString& name);
// Texts that more than one operation shows.
inline const QString kNoGrVText = QStringLiteral("не найдено GrV");
inline const QString kNewRefusedText = QStringLiteral("NEW - недопустимое имя теста");
inline const QString kNoNameText = QStringLiteral("Не задано название теста");

// Copies source to target (paths full or relative to the current directory). An existing
// target is replaced only after the author says Yes. A source and target that are one file
// leave it untouched and count as a failed copy. False when nothing was copied.
bool CopyTestFile(plat::UiServices& ui, const QString& source, const QString& target);

// CopyTestFile's questions without the copy, for operations that ask everything before
// they copy anything. Refused: the source is missing or is the target itself, or the author
// said No; the author has then been told as CopyTestFile tells.
enum class CopyAnswer { Copy, Replace, Refused };
CopyAnswer AskToCopy(plat::UiServices& ui, const QString& source, const QString& target);
// CopyTestFile's message for a copy that was not made.
void CopyNotMade(plat::UiServices& ui, const QString& source, const QString& target);

// A short Russian reason for a file operation that failed with the system's errno value.
QString ReasonText(int err);

// The part of name before its first dot (the whole name when it has none).
QString NameBeforeDot(const QString& name);
// The part of name from its first dot on, the dot included; empty when it has none.
QString ExtensionFromDot(const QString& name);

// One step of a mask walk: entry is the listed file name, source the folder part of the mask
// as the caller wrote it followed by entry, folder that folder part alone. False stops the walk.
using MaskStep =
    std::function<bool(const QString& entry, const QString& source, const QString& folder)>;
// Lists the files matching mask (hidden ones included; folders and dot-names passed over),
// runs step on each in listing order and stops at the first that fails. False when a step
// failed; a mask that matches nothing is no failure.
bool WalkMask(const QString& mask, const MaskStep& step);

// Deletes every file matching mask; stops silently at the first that cannot be deleted.
void DeleteFilesByMask(plat::UiServices& ui, const QString& mask);
// Copies every file matching mask to base + its extension, in the mask's folder.
void CopyFileSetAs(plat::UiServices& ui, const QString& mask, const QString& base);
// Whether what follows a picture name's "GrV" is a question number and ".jpg", the only
// pictures the generator writes. The mask N + "GrV*.*" of a test "A" also matches the
// pictures of a test "AGrVB"; this rule keeps them apart.
bool IsPictureRest(const QString& rest);

// One picture that a picture helper takes: entry as listed, the source (the mask's folder
// and entry), the new name (prefix + what follows "GrV") and the target (in the mask's
// folder, or prefix + rest when the prefix carries its own folder).
struct PictureFile {
    QString entry, source, newName, target;
};
struct PictureWalk {
    QList<PictureFile> files;  // in walk order, up to a stop
    bool noGrV = false;  // the walk stopped at a file without "GrV": "не найдено GrV"
};
PictureWalk PictureFiles(const QString& mask, const QString& prefix, bool inMaskFolder);

// The picture helpers: each picture of the test (a file matching mask N + "GrV*.*" whose
// rest passes IsPictureRest) gets the name prefix + what follows its "GrV" (prefix ends in
// "GrV" already). Other files the mask matches are passed over.
// Copies them within the mask's folder.
void CopyPictureFiles(plat::UiServices& ui, const QString& mask, const QString& prefix);
// Renames them within the mask's folder.
void RenamePictureFiles(plat::UiServices& ui, const QString& mask, const QString& prefix);
// Copies them to prefix + rest, the prefix carrying its own folder.
void CopyPictureFilesTo(plat::UiServices& ui, const QString& mask, const QString& prefix);

// The table files of a test in the order every operation walks them.
QStringList TableFileExtensions();  // ".DB", ".VAL", ".TV", ".PX", ".FAM", ".MB"
// The extensions to walk for the table base (a test name, with or without a folder): ".DB"
// always, so that a missing table still fails its step, then the family files that exist.
QStringList TableFilesToWalk(const QString& base);
// Runs step(extension) over TableFilesToWalk(base), stopping at the first failure.
// True when every step succeeded.
bool WalkTableFiles(const QString& base, const std::function<bool(const QString& ext)>& step);

// Refuses, with an error box, a test name holding a character that would make the file-set
// operations reach other files or that no file name may hold (common::ForbiddenInTestName).
// True when name is fine.
bool CheckTestNameCharacters(plat::UiServices& ui, const QString& name);

// The prompt of the input box that asks for a test's name (Create, Rename, Copy).
inline const QString kTestNamePrompt = QStringLiteral(
    "При вводе названия теста не допускаются никакие расширения типа .db "
    "Знаки <.>,</>,<\\>,<,>,<#>,<:> и т.п.  недопустимы !!!");

// The name too long for the file system among the names a change would give, refused with
// an error box; true when every name fits.
bool CheckNameLengths(plat::UiServices& ui, const QString& test, const QStringList& targets);

// Create's file steps: asks for the name N, refuses an empty name, "new", a name with a
// forbidden character or too long a name, a folder without the blank table "new.zag" and
// the name of a test of which any file (table, page, pictures) exists already; copies the
// template set "new.*" of the current directory to N, with N.zag becoming N.DB and no N.CRO,
// as one change recorded in the working folder w. Returns N when the test was made, nullopt
// on any stop (the caller then changes nothing, and no file of N is left).
std::optional<QString> CreateTestFromTemplate(plat::UiServices& ui, const QString& w);

}  // namespace korvel
