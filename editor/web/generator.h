#pragma once
// One generation of the web test of the test open in the question editor: the head copied,
// then the frame and one block per question, each read through the editor's controls after
// the editor has shown it.
#include "editor/web/blocks.h"
#include "platform/ui.h"

#include <QString>

namespace korvel {
class TForm1;
}

namespace korvel::web {

// The current record as the editor's controls show it. For a rich text the text box takes
// the rich text's plain text first, so that it breaks that text into its lines.
QuestionView ReadQuestion(TForm1& form);

// Writes webTestName + ".HTML" in the current directory and the pictures beside it, walking
// the editor through every question. False when the head was not copied (its messages have
// shown) or the editor could not leave its edit; a write error throws. Whatever stops the
// run, the page that stands is the old one (or none), never the head alone or a cut page.
bool GenerateWebTest(TForm1& form, plat::UiServices& ui, const QString& webTestName,
                     const QString& testFileName);

}  // namespace korvel::web
