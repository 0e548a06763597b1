// Apart from the rest of the layer: only what holds a QHostAddress calls it, and a program that
// does not need not load Qt Network for it.
#include "socket_errors.h"

#include <QHostAddress>

namespace plat::net {

QString dottedIPv4(const QHostAddress& address) {
    bool ok = false;
    const quint32 v4 = address.toIPv4Address(&ok);
    return ok ? QHostAddress(v4).toString() : QString();
}

}  // namespace plat::net
