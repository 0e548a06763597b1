#pragma once
// The program frame of korvel: module initialisation, the start window (the main window),
// the question editor created hidden, and module finalisation.
#include "editor/TForm1.h"
#include "editor/TForm3.h"
#include "editor/modules.h"

#include <memory>

namespace korvel {

class Frame {
public:
    explicit Frame(plat::Services services);
    ~Frame();

    Unit3_korvel unit3;
    Unit_korvel unit;
    std::unique_ptr<TForm3> Form3;
    std::unique_ptr<TForm1> Form1;
};

}  // namespace korvel
