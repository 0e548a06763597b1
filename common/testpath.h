#pragma once
// The check both programs make on the path of a test chosen in the open dialog: a table
// file of the engine's format, named with its folder.
#include <QChar>
#include <QString>

namespace common {

// The outcome of checking a chosen path.
struct TestPath {
    QString message;    // empty when accepted, else the text to show before asking again
    QString tableName;  // the file name, as chosen
    QString folder;     // the path without its last separator and name ("C:" for a root file)
    bool accepted() const { return message.isEmpty(); }
};

// sep is the platform's path separator (plat::fs::separator()); a parameter so the
// Windows form of the rule can be checked anywhere.
TestPath CheckTestPath(const QString& path, QChar sep);

}  // namespace common
