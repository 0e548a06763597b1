#pragma once
// The storage library's result codes as the user reads them: Russian, naming the table's
// file and saying what can be done. The library's own messages are English and are never
// shown.
#include <QString>

namespace plat::db {

// The text for a result code (primary or extended) of the storage library; file is the
// table's path as the user knows it.
QString engineErrorText(int resultCode, const QString& file);
// A new record refused because the table's largest record number is taken: the library
// reports that as a full database, though the disk has room.
QString keysUsedUpText(const QString& file);

}  // namespace plat::db
