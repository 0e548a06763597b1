#pragma once
// What of a question shows for its form and answer kind: the one rule that the editor's
// view, the client's view and the web page follow. Each keeps its own texts and its own
// further controls.
#include "common/question.h"

namespace common {

struct QuestionDisplay {
    // The question control that shows: the text box, the rich-text box or the picture.
    // Invalid: the style is none of "1", "2", "3"; the question area stays as it is and
    // the view says "ошибка".
    QuestionStyle area = QuestionStyle::Invalid;
    // The button that enlarges the question area: for a rich text and a picture.
    bool enlarge = false;
    AnswerKind answer = AnswerKind::Choice;
    // Answer rows 1 to rows show, the others are hidden. A typed answer has row 1 only,
    // without its check box; a choice shows its MaxOtv rows.
    int rows = kVariants;

    bool rowShown(int k) const { return k >= 1 && k <= rows; }
    bool checkBoxes() const { return answer == AnswerKind::Choice; }
};

QuestionDisplay questionDisplay(const QString& voprStyle, const QString& typeVopr,
                                const QString& maxOtv);
// Of the table's current record.
QuestionDisplay questionDisplay(plat::db::Table& table);

}  // namespace common
