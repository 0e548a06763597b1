#include "common/names.h"

namespace common {

namespace {

std::optional<QChar> firstOf(const QString& name, bool dot) {
    static const QString reserved = QStringLiteral("\\/:*?\"<>|");
    for (const QChar c : name)
        if (c.unicode() < 32 || c.unicode() == 127 || reserved.contains(c) || (dot && c == u'.'))
            return c;
    return std::nullopt;
}

}  // namespace

std::optional<QChar> ForbiddenInFileName(const QString& name) { return firstOf(name, false); }

std::optional<QChar> ForbiddenInTestName(const QString& name) { return firstOf(name, true); }

}  // namespace common
