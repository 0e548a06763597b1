#pragma once
// Opening a question table, the same for the editor and the client:
//  1. the session goes into session-only configuration mode;
//  2. the table name is set (relative to the current directory);
//  3. the alias "sdb" is defined, when asked, with the given path and driver "PARADOX";
//  4. the master password is registered;
//  5. the table is opened, bound to the 21 fields of the question record;
//  6. the configuration mode goes back to all modes, however the steps end.
// The steps act on the table's own session. A failure throws plat::DbError after step 6; the steps
// after it did not run.
#include "platform/db/table.h"

#include <QString>
#include <functional>

namespace common {

struct AliasStep {
    bool define = false;  // false: step 3 is left out
    QString path;         // the alias's path ("" for the editor, the test folder for the client)
};

// onAliasDefined runs right after a successful alias definition (the editor clears its
// first-activation flag there), before the password and the open.
void openQuestionTable(plat::db::Table& table, const QString& tableName, const AliasStep& alias,
                       const std::function<void()>& onAliasDefined = {});

}  // namespace common
