#pragma once
// A TCP client socket on the main thread. activate() starts a connection and returns at
// once; the connect, disconnect and error notifications arrive later through the event loop
// (also under an open modal box) and call the handlers set by the window.
#include "socket_errors.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

class QTcpSocket;

namespace plat {
class UiServices;
}

namespace plat::net {

class ClientSocket : public QObject {
    Q_OBJECT
public:
    // Errors that the error handler leaves set are reported in the standard error box of ui.
    explicit ClientSocket(UiServices& ui, QObject* parent = nullptr);
    ~ClientSocket() override;

    // Stored for the next activation; the address is a dotted IPv4 text, never looked up.
    void setAddress(const QString& address) { address_ = address; }
    QString address() const { return address_; }
    void setPort(int port) { port_ = port; }
    int port() const { return port_; }

    // Starts a connection to the stored address and port. An attempt still under way is
    // dropped first. An address that is no IPv4 address, or a port out of range, is refused
    // at once: the error notification runs, then SocketError "... on API 'connect'" is thrown
    // unless the handler cleared the code.
    void activate();
    // Closes the connection (bytes already sent still go out); the disconnect notification
    // runs during this call. An attempt under way is dropped without notification.
    void deactivate();
    // True from the connect notification to the disconnect notification.
    bool active() const { return active_; }
    // True while an attempt is under way.
    bool connecting() const;

    // Dotted IPv4 text of this end of the connection; empty without a connection.
    QString localAddress() const;
    // Hands all bytes to the socket in one go; returns how many it took (0 when not active).
    // A failure runs the error notification (send), closes the connection and throws
    // SocketError "... on API 'send'" unless the handler cleared the code.
    qint64 sendText(const QByteArray& bytes);

    std::function<void()> onConnect;
    std::function<void()> onDisconnect;
    // Bytes the system has taken from the socket's buffer, as they go out.
    std::function<void(qint64 bytes)> onSent;
    // Reads the code and may clear it (set 0); a code left set after an asynchronous error
    // is reported in the standard error box "Asynchronous socket error %d".
    std::function<void(ErrorEvent, int& code)> onError;

private:
    void asyncFailure(QTcpSocket* s, QAbstractSocket::SocketError e);
    void peerClosed(QTcpSocket* s);
    // Runs the error notification, then closes; returns the code as the handler left it.
    int fail(ErrorEvent event, int code);
    void drop();  // forgets the socket without notification

    UiServices& ui_;
    QString address_ = QStringLiteral("127.0.0.1");
    int port_ = 1024;
    QTcpSocket* socket_ = nullptr;
    bool active_ = false;
};

}  // namespace plat::net
