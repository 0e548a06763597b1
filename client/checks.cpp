#include "client/checks.h"

#include "common/question.h"

namespace pandrel {

bool IsAnswerCorrect(const AnswerOnScreen& a) {
    if (common::answerKind(a.TypeVopr) == common::AnswerKind::Typed)
        return a.typed == a.Otv1;  // exact: case and blanks count
    const int n = common::variantCount(a.MaxOtv);
    for (int k = 0; k < n; ++k) {
        if (a.ticked[k] != a.RO[k].value_or(false)) return false;
    }
    return true;
}

Commands CommandsFor(bool graded, bool checkLocked) {
    if (graded) return {.next = true};
    return {.check = !checkLocked, .start = true, .load = true, .browse = true};
}

}  // namespace pandrel
