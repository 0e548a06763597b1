#pragma once
// The fixed values the editor and the client share.
#include <QString>

namespace common {

// Password of every question table (a comma and eleven lower-case letters).
inline const QString kMasterPassword = QStringLiteral(",qorblunfeid");
inline const QString kAliasName = QStringLiteral("sdb");
inline const QString kAliasDriver = QStringLiteral("PARADOX");
// The network control directory as the programs name it, and where it is on this system.
inline const QString kNetControlDir = QStringLiteral("C:\\Test");
QString netControlDir();

}  // namespace common
