#include "socket_errors.h"

#include <QHostAddress>
#include <cerrno>
#include <cstring>

namespace plat::net {

QString dottedIPv4(const QHostAddress& address) {
    bool ok = false;
    const quint32 v4 = address.toIPv4Address(&ok);
    return ok ? QHostAddress(v4).toString() : QString();
}

int errorCode(QAbstractSocket::SocketError error, const QString& qtErrorText) {
    using E = QAbstractSocket;
    switch (error) {
        case E::ConnectionRefusedError: return ECONNREFUSED;
        case E::RemoteHostClosedError: return ECONNRESET;
        case E::HostNotFoundError: return EDESTADDRREQ;
        case E::SocketAccessError: return EACCES;
        case E::SocketResourceError: return ENOBUFS;
        case E::SocketTimeoutError: return ETIMEDOUT;
        case E::DatagramTooLargeError: return EMSGSIZE;
        case E::NetworkError:
            if (qtErrorText.contains(QLatin1String("timed out"), Qt::CaseInsensitive))
                return ETIMEDOUT;
            if (qtErrorText.contains(QLatin1String("Host unreachable"), Qt::CaseInsensitive))
                return EHOSTUNREACH;
            if (qtErrorText.contains(QLatin1String("refused"), Qt::CaseInsensitive))
                return ECONNREFUSED;
            return ENETUNREACH;
        case E::AddressInUseError: return EADDRINUSE;
        case E::SocketAddressNotAvailableError: return EADDRNOTAVAIL;
        case E::UnsupportedSocketOperationError: return EOPNOTSUPP;
        case E::UnfinishedSocketOperationError: return EALREADY;
        case E::TemporaryError: return EAGAIN;
        case E::OperationError: return EINVAL;
        case E::ProxyAuthenticationRequiredError:
        case E::ProxyConnectionRefusedError:
        case E::ProxyConnectionClosedError:
        case E::ProxyConnectionTimeoutError:
        case E::ProxyNotFoundError:
        case E::ProxyProtocolError: return ECONNREFUSED;
        case E::SslHandshakeFailedError:
        case E::SslInternalError:
        case E::SslInvalidUserDataError: return EPROTO;
        case E::UnknownSocketError: break;
    }
    return EIO;
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
