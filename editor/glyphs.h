#pragma once
// Simple drawn pictures for the image buttons of the question editor.
#include <QIcon>

namespace korvel {

enum class Glyph {
    Help,
    Exit,
    Cut,
    Copy,
    Paste,
    Enlarge,
    Font,
    Up,
    Down,
    Baseline,
    PhotoOn,
    PhotoOff,
    PhotoShoot
};

QIcon glyphIcon(Glyph g, int size = 40);

}  // namespace korvel
