#pragma once
// A TCP client socket on the main thread. activate() starts a connection and returns at
// once; the connect, disconnect and error notifications arrive later through the event loop
// (also under an open modal box) and call the handlers set by the window.
// It works on its descriptor directly: Qt's socket reports a reset by the peer as an
// orderly close, and the user must see the reset.
#include "socket_errors.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

class QSocketNotifier;
class QTimer;

namespace plat {
class UiServices;
}

namespace plat::net {

class ClientSocket : public QObject {
    Q_OBJECT
public:
    // An attempt that is not decided by then fails with ETIMEDOUT.
    static constexpr int kConnectTimeoutMs = 30000;

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
    // unless the handler cleared the code. A refusal by the system comes later, through
    // the event loop.
    void activate();
    // Closes the connection (bytes already sent still go out); the disconnect notification
    // runs during this call. An attempt under way is dropped without notification.
    void deactivate();
    // True from the connect notification to the disconnect notification.
    bool active() const { return active_; }
    // True while an attempt is under way.
    bool connecting() const { return fd_ >= 0 && !active_; }

    // Dotted IPv4 text of this end of the connection; empty without a connection.
    QString localAddress() const;
    // Hands all bytes to the system in one send; returns how many it took (0 when not
    // active, or when the send would have to wait). A failure runs the error notification
    // (send), closes the connection and throws SocketError "... on API 'send'" unless the
    // handler cleared the code.
    qint64 sendText(const QByteArray& bytes);

    std::function<void()> onConnect;
    std::function<void()> onDisconnect;
    // Bytes the system has taken from a send.
    std::function<void(qint64 bytes)> onSent;
    // Reads the code and may clear it (set 0); a code left set after an asynchronous error
    // is reported in the standard error box "Asynchronous socket error %d".
    std::function<void(ErrorEvent, int& code)> onError;

private:
    void attemptDecided();
    void readable();
    void asyncFailure(ErrorEvent event, int code);
    // Runs the error notification, then closes; returns the code as the handler left it.
    int fail(ErrorEvent event, int code);
    void closeDescriptor();  // without notification

    UiServices& ui_;
    QString address_ = QStringLiteral("127.0.0.1");
    int port_ = 1024;
    int fd_ = -1;
    QSocketNotifier* readNotifier_ = nullptr;
    QSocketNotifier* writeNotifier_ = nullptr;  // while connecting
    QTimer* connectTimer_;
    quint64 attempt_ = 0;  // a failure reported later names its attempt
    bool active_ = false;
};

}  // namespace plat::net
