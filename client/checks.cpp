#include "client/checks.h"

#include "common/question.h"

namespace pandrel {

TestPath CheckTestPath(const QString& path, QChar sep) {
    TestPath r;
    const qsizetype n = path.size();
    if (n < 4 || n > 255) {
        r.message = kBadFileName;
        return r;
    }
    const QChar d = path[n - 2], b = path[n - 1];
    if (path[n - 3] != u'.' || (d != u'd' && d != u'D') || (b != u'b' && b != u'B')) {
        r.message = kBadFileName;
        return r;
    }
    // Backwards from the dot for the last separator.
    const qsizetype k = path.lastIndexOf(sep, n - 3);
    if (k < 0) {
        r.message = kBadAlias;
        return r;
    }
    r.tableName = path.mid(k + 1);
    r.folder = path.left(k);
    return r;
}

bool IsAnswerCorrect(const AnswerOnScreen& a) {
    if (common::answerKind(a.TypeVopr) == common::AnswerKind::Typed)
        return a.typed == a.Otv1;  // exact: case and blanks count
    const int n = common::variantCount(a.MaxOtv);
    for (int k = 0; k < n; ++k) {
        if (a.ticked[k] != a.RO[k].value_or(false)) return false;
    }
    return true;
}

}  // namespace pandrel
