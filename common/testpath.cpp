#include "common/testpath.h"

namespace common {

TestPath CheckTestPath(const QString& path, QChar sep) {
    TestPath r;
    const qsizetype n = path.size();
    const auto isTableName = [&] {
        if (n < 4 || n > 255) return false;
        const QChar d = path[n - 2], b = path[n - 1];
        return path[n - 3] == u'.' && (d == u'd' || d == u'D') && (b == u'b' || b == u'B');
    };
    if (!isTableName()) {
        r.message = QStringLiteral("недопустимое имя файла формата PARADOX");
        return r;
    }
    // Backwards from the dot for the last separator.
    const qsizetype k = path.lastIndexOf(sep, n - 3);
    if (k < 0) {
        r.message = QStringLiteral("bad aliase");
        return r;
    }
    r.tableName = path.mid(k + 1);
    r.folder = path.left(k);
    return r;
}

}  // namespace common
