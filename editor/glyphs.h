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

// Drawn square at the shorter side of the button's icon size, in the screen's pixels: a larger
// picture would only be scaled down on every paint.
QIcon glyphIcon(Glyph g, QSize iconSize, qreal devicePixelRatio = 1.0);

}  // namespace korvel
