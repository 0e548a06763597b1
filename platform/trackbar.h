#pragma once
// The look of the platform's track bar on a QSlider: a sunken channel, a raised thumb pointed
// towards the ticks, and a tick at each multiple of the tick interval and at both ends.
#include <QList>
#include <QRect>

class QSlider;

namespace plat {

// Draws the bar as a track bar from now on. thumbLength is the thumb's extent across the bar,
// cut to the room the bar has; the ticks go on the side the slider's tick position names
// (above or left), the thumb's point towards them.
void drawAsTrackBar(QSlider* bar, int thumbLength = 20);

// Where a track bar drawn so puts its parts, in the bar's own coordinates.
struct TrackBarParts {
    QRect channel;     // the sunken groove
    QRect thumb;       // the thumb at the bar's position, its point included
    QList<int> ticks;  // each tick's place along the bar (x, or y when vertical)
    QRect tickBand;    // the strip across the bar that the ticks are drawn in
};
TrackBarParts trackBarParts(const QSlider* bar);

}  // namespace plat
