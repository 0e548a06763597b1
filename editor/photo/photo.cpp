#include "editor/photo/photo.h"

#include "editor/richtext/question_area.h"

namespace korvel::photo {

int pictureHeight(bool expanded) { return richtext::questionArea(expanded).bounds.height(); }

QRect captureRect(QPoint areaOnScreen, QSize control) {
    return {areaOnScreen, QSize(control.width() - 3, control.height() - 3)};
}

std::optional<int> sideFromPosition(int position) {
    if (position > 0) return position;
    return std::nullopt;
}

Controls controls(bool on) { return {!on, on, on, !on}; }

}  // namespace korvel::photo
