#pragma once
// A listening TCP socket on the main thread: its notifications arrive through the event
// loop (also under an open modal box) and call the handlers set by the window.
#include "socket_errors.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>

class QSocketNotifier;
class QTimer;
struct sockaddr_in;

namespace plat {
class UiServices;
}

namespace plat::net {

// Raises this process's soft limit of open files to the hard limit, so a full classroom
// does not run the listener out of descriptors. Returns the limit now in force.
long raiseOpenFileLimit();

// One accepted connection. It belongs to its ServerSocket and lives until it is closed.
// It is read on its descriptor directly: Qt reports a reset by the peer as an orderly
// close, and the user must see the reset.
class ServerConnection : public QObject {
    Q_OBJECT
public:
    ~ServerConnection() override;
    // Dotted IPv4 text of each end, taken when the connection was accepted, so they stay
    // known after the peer has gone.
    QString localAddress() const { return local_; }
    QString remoteAddress() const { return remote_; }
    quint16 remotePort() const { return remotePort_; }
    // Every byte that has arrived and not been read yet, possibly none.
    QByteArray receiveText();

private:
    friend class ServerSocket;
    ServerConnection(int fd, const sockaddr_in& peer, QObject* parent);
    void closeDescriptor();
    int fd_;
    QSocketNotifier* notifier_ = nullptr;
    QByteArray pending_;
    QString local_, remote_;
    quint16 remotePort_ = 0;
    bool closed_ = false;
};

class ServerSocket : public QObject {
    Q_OBJECT
public:
    // Errors that no handler clears are reported in the standard error box of ui.
    explicit ServerSocket(UiServices& ui, QObject* parent = nullptr);
    ~ServerSocket() override;

    // Stored for the next activation.
    void setPort(int port) { port_ = port; }
    int port() const { return port_; }
    // Binds the port on every IPv4 interface and listens (as many connections may wait to
    // be accepted as the system allows); throws SocketError
    // ("... on API 'bind'") when the port is taken or not a port number from 1 to 65535.
    void activate();
    // Closes the listener and every connection, without disconnect notifications.
    void deactivate();
    bool active() const;
    // The port bound while listening.
    quint16 boundPort() const;

    // Open connections: a new one is in the list during its connect notification, a
    // closing one during its disconnect notification.
    int connectionCount() const { return int(connections_.size()); }
    const QList<ServerConnection*>& connections() const { return connections_; }

    // Notifications.
    std::function<void(ServerConnection*)> onClientConnect;
    std::function<void(ServerConnection*)> onClientDisconnect;
    std::function<void(ServerConnection*)> onClientRead;
    // Reads the code and may clear it (set 0); a code left set is reported in the standard
    // error box "Asynchronous socket error %d".
    std::function<void(ServerConnection*, ErrorEvent, int& code)> onClientError;

    // What the layer does when the system reports an error on a connection: the error
    // notification, then the connection is closed with its disconnect notification (so it
    // leaves the count), then a code left set goes to the standard error box.
    void clientFailed(ServerConnection* c, ErrorEvent event, int code);

private:
    void acceptPending();
    void turnAwayOne();
    void readable(ServerConnection* c);
    void closed(ServerConnection* c);

    UiServices& ui_;
    int listenFd_ = -1;
    QSocketNotifier* listenNotifier_ = nullptr;
    QTimer* resume_;
    int reserveFd_ = -1;
    long fdLimit_ = 0;  // the process's open-file limit; 0: none  // given up to turn away a
                        // connection when descriptors run out
    int port_ = 1024;
    QList<ServerConnection*> connections_;
};

}  // namespace plat::net
