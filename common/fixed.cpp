#include "common/fixed.h"

#include "platform/files.h"

namespace common {

QString netControlDir() { return plat::fs::mapWindowsPath(kNetControlDir); }

}  // namespace common
