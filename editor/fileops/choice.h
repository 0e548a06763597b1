#pragma once
// The rules a test chosen in the start window must meet before it becomes the current test.
#include <QString>
#include <optional>

namespace korvel {

// Why the chosen path (native separators) is refused, or nothing when it is accepted: it must
// name a table file, lie in workingFolder (with its trailing separator) and carry a name the
// file-set operations can work with.
std::optional<QString> ChoiceRefusal(const QString& path, const QString& workingFolder);

}  // namespace korvel
