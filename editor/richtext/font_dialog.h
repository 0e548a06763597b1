#pragma once
// The question editor's font dialog: it opens with its own font, the form's at first and
// then the one last confirmed, never the font of the selection.
#include "platform/ui.h"

namespace korvel::richtext {

class FontDialog {
public:
    FontDialog();  // "MS Sans Serif" 8 pt, the window-text colour, no style, default charset

    const plat::FontChoice& font() const { return font_; }
    // Shows the dialog; true when the author confirmed, font() then being the choice.
    // Cancel leaves font() as it was.
    bool execute(plat::UiServices& ui);

private:
    plat::FontChoice font_;
};

}  // namespace korvel::richtext
