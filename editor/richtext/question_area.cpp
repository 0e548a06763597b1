#include "editor/richtext/question_area.h"

namespace korvel::richtext {

QuestionArea questionArea(bool expanded) {
    if (expanded) return {QRect(8, 8, 993, 620), 620, false};
    return {QRect(8, 64, 993, 169), 169, true};
}

}  // namespace korvel::richtext
