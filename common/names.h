#pragma once
// The characters a name may not hold where it becomes a file name: a test's name, which the
// file-set operations also cut at its first dot and turn into masks, and the learner's name
// and group, which become a result file and its folder.
#include <QChar>
#include <QString>
#include <optional>

namespace common {

// The first character of name that no file name may hold, here or on Windows: a control
// character, "\", "/", ":", "*", "?", '"', "<", ">" or "|"; nothing when there is none.
std::optional<QChar> ForbiddenInFileName(const QString& name);
// The same for a test's name, where a dot is forbidden too: the operations take the name as
// the part before the first dot, so a name with one would reach another test's files.
std::optional<QChar> ForbiddenInTestName(const QString& name);

}  // namespace common
