#pragma once
// Where the rich-text and picture editors stand, normal or enlarged, and what goes with it:
// the photo-height track bar's maximum and whether the style list can be seen.
#include <QRect>

namespace korvel::richtext {

struct QuestionArea {
    QRect bounds;         // both question editors (the plain-text memo keeps its own)
    int trackBarMaximum;  // TrackBar1: the picture may grow as tall as the area
    bool styleListShown;  // DBVoprStyle: covered by the enlarged area
};

// The normal row is the form's own layout of the two editors.
QuestionArea questionArea(bool expanded);

}  // namespace korvel::richtext
