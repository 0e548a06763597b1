#pragma once
// Error numbers and texts of the socket layer: the user sees the platform's own number (the
// errno value on Linux) and the system's text for it.
#include "platform/errors.h"

#include <QString>

class QHostAddress;
struct sockaddr_in;

namespace plat::net {

// The dotted IPv4 text of an address; an IPv4-mapped IPv6 address gives its IPv4 part.
// Empty for anything else (no address, a real IPv6 address).
QString dottedIPv4(const QHostAddress& address);
QString dottedIPv4(const sockaddr_in& address);

// At which step of a connection an error arose.
enum class ErrorEvent { General, Send, Receive, Connect, Disconnect, Accept, Lookup };

// The system's text for a number ("Connection refused").
QString systemText(int code);

// "Asynchronous socket error %d": an error that a notification reported.
QString asyncErrorText(int code);
// "Windows socket error: %s (%d), on API '%s'": a call that failed.
QString apiErrorText(int code, const QString& api);

inline SocketError asyncError(int code) { return SocketError(asyncErrorText(code), code); }
inline SocketError apiError(int code, const QString& api) {
    return SocketError(apiErrorText(code, api), code);
}

}  // namespace plat::net
