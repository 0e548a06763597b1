#pragma once
// Rename, Copy, Delete, Import and Export of a whole test N in the working folder W (given
// with its trailing separator). A test has two halves: the table files (N.DB and whatever
// family files exist) and the web part (the page N.HTML and its pictures N + "GrV" + k +
// ".jpg"). No operation touches another test's files or leaves a test half made.
#include "platform/ui.h"

#include <QString>
#include <optional>

namespace korvel {

// Asks for the new name M of Rename or Copy and refuses, with an error box, an empty name,
// the template name "new" and a name that would reach other files. Cancel gives the preset.
std::optional<QString> AskNewTestName(plat::UiServices& ui, const QString& caption,
                                      const QString& preset);

// Both make W the current directory first and ask for M. Rename renames the table files and,
// with web, the page and the pictures; Copy copies them. Either returns M when the test M
// now stands, and nullopt when the name was refused or the operation stopped, which leaves
// the files as they were: Rename undoes its renames, Copy removes what it created.
std::optional<QString> RenameTest(plat::UiServices& ui, const QString& w, const QString& n,
                                  bool web);
std::optional<QString> CopyTest(plat::UiServices& ui, const QString& w, const QString& n, bool web);

enum class DeleteScope {
    WholeTest,  // every file of N, the page and pictures included
    WebPart,    // the page and the pictures only
};
// Asks whether to delete N; true when the author said Yes and the files were deleted.
bool DeleteTest(plat::UiServices& ui, const QString& w, const QString& n, DeleteScope scope);

struct ImportedTest {
    QString name;  // N
    bool webPage;  // the chosen folder holds N.HTML
    bool copied;   // the test's files stand in W; false: nothing was copied, the author told why
};
// Asks for a test file in any folder until one is chosen, copies the test's files into W
// (nothing when the folder is W itself) and ends with W as the current directory. Nullopt
// when the author left the dialog (a Cancel right after "необходимо выбрать тест !!!").
std::optional<ImportedTest> ImportTest(plat::UiServices& ui, const QString& w);

// Asks for the target path T and copies the chosen halves of N from W to T + extension.
// The current directory stays the folder chosen in the dialog.
void ExportTest(plat::UiServices& ui, const QString& w, const QString& n, bool table, bool web);

}  // namespace korvel
