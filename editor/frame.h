#pragma once
// The program frame of korvel: module initialisation, the start window (the main window),
// the question editor created hidden, and module finalisation.
#include "editor/TForm1.h"
#include "editor/TForm3.h"
#include "editor/modules.h"

#include <QObject>
#include <memory>

namespace korvel {

class Frame {
public:
    // The question editor costs about as much to build as the rest of the start; the program
    // builds it once the start window has drawn itself, so that window comes up sooner.
    enum class Editor { AtOnce, AfterStartWindowDrawn };

    explicit Frame(plat::Services services, Editor editor = Editor::AtOnce);
    ~Frame();

    // Builds the question editor now, if it is not built yet.
    TForm1& editor();

    Unit3_korvel unit3;
    Unit_korvel unit;
    std::unique_ptr<TForm3> Form3;
    std::unique_ptr<TForm1> Form1;  // null until built

private:
    plat::Services services_;
    std::unique_ptr<QObject> firstPaint_;  // watches the start window until it has drawn
};

}  // namespace korvel
