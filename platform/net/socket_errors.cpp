#include "socket_errors.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>

namespace plat::net {

QString dottedIPv4(const sockaddr_in& a) {
    if (a.sin_family != AF_INET) return {};
    char buf[INET_ADDRSTRLEN] = {};
    return inet_ntop(AF_INET, &a.sin_addr, buf, sizeof buf) ? QString::fromLatin1(buf) : QString();
}

QString systemText(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

QString asyncErrorText(int code) {
    return QStringLiteral("Asynchronous socket error %1").arg(code);
}

QString apiErrorText(int code, const QString& api) {
    return QStringLiteral("Windows socket error: %1 (%2), on API '%3'")
        .arg(systemText(code))
        .arg(code)
        .arg(api);
}

}  // namespace plat::net
