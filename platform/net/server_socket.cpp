#include "server_socket.h"

#include "platform/ui.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <cerrno>
#include <sys/socket.h>

namespace plat::net {

namespace {
// The classic listener let only five connections wait to be accepted. A class that starts
// its runs together overflows that while the log is busy, and here an overflow drops the
// handshake: the clients retry after seconds, by then their start message is lost. So
// as many may wait as the system allows.
constexpr int kBacklog = SOMAXCONN;
}  // namespace

ServerConnection::ServerConnection(QTcpSocket* socket, QObject* parent)
    : QObject(parent), socket_(socket) {
    socket_->setParent(this);
}

QString ServerConnection::localAddress() const {
    return dottedIPv4(socket_->localAddress());
}

QString ServerConnection::remoteAddress() const {
    return dottedIPv4(socket_->peerAddress());
}

quint16 ServerConnection::remotePort() const { return socket_->peerPort(); }

QByteArray ServerConnection::receiveText() { return socket_->readAll(); }

ServerSocket::ServerSocket(UiServices& ui, QObject* parent)
    : QObject(parent), ui_(ui), server_(new QTcpServer(this)) {
    server_->setListenBacklogSize(kBacklog);
    connect(server_, &QTcpServer::newConnection, this, &ServerSocket::accept);
}

ServerSocket::~ServerSocket() { deactivate(); }

void ServerSocket::activate() {
    if (server_->isListening()) return;
    // Port 0 would listen on a port of the system's choosing that no client knows; a
    // number past 65535 would be cut down to another port.
    if (port_ < 1 || port_ > 65535) throw apiError(EINVAL, QStringLiteral("bind"));
    if (!server_->listen(QHostAddress::AnyIPv4, quint16(port_)))
        throw apiError(errorCode(server_->serverError(), server_->errorString()),
                       QStringLiteral("bind"));
}

void ServerSocket::deactivate() {
    server_->close();
    const QList<ServerConnection*> open = std::exchange(connections_, {});
    for (ServerConnection* c : open) {
        c->closed_ = true;
        c->socket_->disconnect(this);
        c->socket_->abort();
        c->deleteLater();
    }
}

bool ServerSocket::active() const { return server_->isListening(); }

quint16 ServerSocket::boundPort() const { return server_->serverPort(); }

void ServerSocket::accept() {
    while (QTcpSocket* s = server_->nextPendingConnection()) {
        auto* c = new ServerConnection(s, this);
        connections_.append(c);
        connect(s, &QTcpSocket::readyRead, c, [this, c] {
            if (!c->closed_ && onClientRead) onClientRead(c);
        });
        connect(s, &QTcpSocket::disconnected, c, [this, c] { closed(c); });
        connect(s, &QTcpSocket::errorOccurred, c, [this, c](QAbstractSocket::SocketError e) {
            // The peer's close, orderly or by reset, is a disconnect; it follows at once.
            if (e == QAbstractSocket::RemoteHostClosedError) return;
            clientFailed(c, ErrorEvent::General, errorCode(e, c->socket_->errorString()));
        });
        if (onClientConnect) onClientConnect(c);
    }
}

void ServerSocket::closed(ServerConnection* c) {
    if (c->closed_) return;
    // What arrived before the close is read before the disconnect.
    if (c->socket_->bytesAvailable() > 0 && onClientRead) onClientRead(c);
    c->closed_ = true;
    if (onClientDisconnect) onClientDisconnect(c);
    connections_.removeOne(c);
    c->socket_->disconnect(this);
    c->socket_->abort();
    c->deleteLater();
}

void ServerSocket::clientFailed(ServerConnection* c, ErrorEvent event, int code) {
    if (c->closed_ || !connections_.contains(c)) return;
    if (onClientError) onClientError(c, event, code);
    closed(c);
    if (code != 0) ui_.standardError(asyncErrorText(code));
}

}  // namespace plat::net
