#pragma once
// The module-level state of korvel's two windows. Each module has one object; the other
// module reads its members directly. A test makes fresh ones.
#include <QString>

namespace korvel {

// The start window's module: the current test.
struct Unit3_korvel {
    QString TestName;         // the table file name as the author chose it, e.g. "Физика.DB"
    QString TestFileName;     // the table the question editor opens, relative to the cwd
    QString WebTestFileName;  // NameBeforeDot(TestName) + ".HTML"
    bool FirstActivation = true;  // cleared once the editor has defined its alias
};

// The question editor's module.
struct Unit_korvel {
    bool QuestionExpanded = false;
    int SavedPictureHeight = 169;
    int SavedPictureWidth = 993;
    int QuestionCount = 0;
    QString WebTestName;  // set by the web-test generator; non-empty once it has run
};

// Module initialisation and finalisation, run once around the windows' life.
void Unit3Init(Unit3_korvel& m);
void Unit3Final(Unit3_korvel& m);
// Creates "C:\Test" (a failure is ignored), makes it the session's network control
// directory and sets the layout variables to their start values.
void EditorUnitInit(Unit_korvel& m);
void EditorUnitFinal(Unit_korvel& m);

}  // namespace korvel
