#pragma once
// Photo mode: the question picture taken from the screen through a see-through picture
// area that the author moves over what is to be captured and sizes with two track bars.
#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

namespace korvel::photo {

// The picture control's height in the normal and the enlarged question area; its width is
// the same in both.
int pictureHeight(bool expanded);
inline constexpr int kPictureWidth = 993;

// The screen rectangle a capture copies: from the top-left of the see-through area on the
// screen, the control's size less 3 each way, so that it lies inside the hole.
QRect captureRect(QPoint areaOnScreen, QSize control);

// A track bar's position as the new height or width of the picture control; position 0
// leaves it as it is.
std::optional<int> sideFromPosition(int position);

// Which controls photo mode shows. Leaving shows Foto_1 again; the view refresh decides
// on it later by the question's form.
struct Controls {
    bool foto1;
    bool foto2And3;
    bool trackBars;
    bool exitAndNavigator;
};
Controls controls(bool on);

}  // namespace korvel::photo
