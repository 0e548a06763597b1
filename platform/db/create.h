#pragma once
// Writing a new, empty table file: the engine's schema form of the given fields, keyed with
// the password. Used by the build's template tool and by tests; the programs create no
// tables.
#include "platform/db/table.h"

namespace plat::db {

// Fails with DbError when the file exists or cannot be written.
void createTableFile(const QString& path, const QString& password, const QList<FieldDef>& fields);

}  // namespace plat::db
