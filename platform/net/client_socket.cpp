#include "client_socket.h"

#include "platform/ui.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <cerrno>

namespace plat::net {

ClientSocket::ClientSocket(UiServices& ui, QObject* parent) : QObject(parent), ui_(ui) {}

ClientSocket::~ClientSocket() {
    // The window is going away: the connection closes without notification.
    active_ = false;
    drop();
}

bool ClientSocket::connecting() const { return socket_ && !active_; }

void ClientSocket::activate() {
    if (active_) return;
    drop();
    QHostAddress host;
    int code = 0;
    if (!host.setAddress(address_) || host.protocol() != QAbstractSocket::IPv4Protocol)
        code = EDESTADDRREQ;
    else if (port_ < 0 || port_ > 65535)
        code = EINVAL;
    if (code != 0) {
        // With no address the layer drops the socket it began before it reports: the
        // disconnect notification comes first.
        if (address_.isEmpty() && onDisconnect) onDisconnect();
        code = fail(ErrorEvent::Connect, code);
        if (code != 0) throw apiError(code, QStringLiteral("connect"));
        return;
    }

    auto* s = new QTcpSocket(this);
    socket_ = s;
    connect(s, &QTcpSocket::connected, this, [this, s] {
        if (s != socket_) return;
        active_ = true;
        if (onConnect) onConnect();
    });
    connect(s, &QTcpSocket::disconnected, this, [this, s] { peerClosed(s); });
    connect(s, &QTcpSocket::bytesWritten, this, [this, s](qint64 n) {
        if (s == socket_ && onSent) onSent(n);
    });
    // Queued: a refusal found inside connectToHost still reaches the handler from the
    // event loop, after activate() has returned.
    connect(
        s, &QTcpSocket::errorOccurred, this,
        [this, s](QAbstractSocket::SocketError e) { asyncFailure(s, e); }, Qt::QueuedConnection);
    s->connectToHost(host, quint16(port_));
}

void ClientSocket::deactivate() {
    QTcpSocket* s = socket_;
    if (!s) return;
    socket_ = nullptr;
    s->disconnect(this);
    if (active_) {
        // Graceful close: what was written still goes out, then the socket removes itself.
        connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
        s->disconnectFromHost();
        if (s->state() == QAbstractSocket::UnconnectedState) s->deleteLater();
        active_ = false;
        if (onDisconnect) onDisconnect();
    } else {
        s->abort();
        s->deleteLater();
    }
}

QString ClientSocket::localAddress() const {
    if (!socket_) return {};
    return dottedIPv4(socket_->localAddress());
}

qint64 ClientSocket::sendText(const QByteArray& bytes) {
    if (!active_ || !socket_) return 0;
    const qint64 n = socket_->write(bytes);
    if (n < 0) {
        const int code =
            fail(ErrorEvent::Send, errorCode(socket_->error(), socket_->errorString()));
        if (code != 0) throw apiError(code, QStringLiteral("send"));
        return 0;
    }
    socket_->flush();
    return n;
}

void ClientSocket::asyncFailure(QTcpSocket* s, QAbstractSocket::SocketError e) {
    if (s != socket_) return;  // a socket already closed or dropped
    if (active_ && e == QAbstractSocket::RemoteHostClosedError) {
        peerClosed(s);
        return;
    }
    const int code =
        fail(active_ ? ErrorEvent::General : ErrorEvent::Connect, errorCode(e, s->errorString()));
    if (code != 0) ui_.standardError(asyncErrorText(code));
}

void ClientSocket::peerClosed(QTcpSocket* s) {
    if (s != socket_) return;
    const bool was = active_;
    active_ = false;
    drop();
    if (was && onDisconnect) onDisconnect();
}

int ClientSocket::fail(ErrorEvent event, int code) {
    if (onError) onError(event, code);
    // The handler may have closed the connection itself; if not, it closes now.
    if (socket_ || active_) {
        const bool was = active_;
        active_ = false;
        drop();
        if (was && onDisconnect) onDisconnect();
    }
    return code;
}

void ClientSocket::drop() {
    QTcpSocket* s = std::exchange(socket_, nullptr);
    if (!s) return;
    s->disconnect(this);
    s->abort();
    s->deleteLater();
}

}  // namespace plat::net
