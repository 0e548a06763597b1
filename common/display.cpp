#include "common/display.h"

namespace common {

QuestionDisplay questionDisplay(const QString& voprStyle, const QString& typeVopr,
                                const QString& maxOtv) {
    QuestionDisplay d;
    d.area = questionStyle(voprStyle);
    d.enlarge = d.area == QuestionStyle::Rtf || d.area == QuestionStyle::Picture;
    d.answer = answerKind(typeVopr);
    d.rows = d.answer == AnswerKind::Typed ? 1 : variantCount(maxOtv);
    return d;
}

QuestionDisplay questionDisplay(plat::db::Table& table) {
    return questionDisplay(table.fieldByName(field::VoprStyle).asString(),
                           table.fieldByName(field::TypeVopr).asString(),
                           table.fieldByName(field::MaxOtv).asString());
}

}  // namespace common
