#include "client_socket.h"

#include "platform/ui.h"

#include <QHostAddress>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace plat::net {

namespace {
// Room in the system's buffer for a whole message, so that a result report goes out in one
// send even to a server that is slow to read.
constexpr int kSendRoom = 256 << 10;
}  // namespace

ClientSocket::ClientSocket(UiServices& ui, QObject* parent)
    : QObject(parent), ui_(ui), connectTimer_(new QTimer(this)) {
    connectTimer_->setSingleShot(true);
    connectTimer_->setInterval(kConnectTimeoutMs);
    connect(connectTimer_, &QTimer::timeout, this, [this] {
        if (connecting()) asyncFailure(ErrorEvent::Connect, ETIMEDOUT);
    });
}

ClientSocket::~ClientSocket() {
    // The window is going away: the connection closes without notification.
    active_ = false;
    closeDescriptor();
}

void ClientSocket::activate() {
    if (active_) return;
    closeDescriptor();
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

    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        code = fail(ErrorEvent::Connect, errno);
        if (code != 0) throw apiError(code, QStringLiteral("socket"));
        return;
    }
    fd_ = fd;
    const quint64 attempt = ++attempt_;
    setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &kSendRoom, sizeof kSendRoom);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(quint16(port_));
    a.sin_addr.s_addr = htonl(host.toIPv4Address());
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 || errno == EINPROGRESS ||
        errno == EINTR) {
        // Decided when the descriptor becomes writable, also when it connected at once.
        writeNotifier_ = new QSocketNotifier(qintptr(fd), QSocketNotifier::Write, this);
        connect(writeNotifier_, &QSocketNotifier::activated, this, [this] { attemptDecided(); });
        connectTimer_->start();
        return;
    }
    // Refused at once: reported from the event loop all the same, after activate() returned.
    const int e = errno;
    QTimer::singleShot(0, this, [this, attempt, e] {
        if (attempt == attempt_ && connecting()) asyncFailure(ErrorEvent::Connect, e);
    });
}

void ClientSocket::attemptDecided() {
    if (!connecting() || !writeNotifier_) return;
    int err = 0;
    socklen_t n = sizeof err;
    if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &err, &n) != 0) err = errno;
    if (err != 0) {
        asyncFailure(ErrorEvent::Connect, err);
        return;
    }
    connectTimer_->stop();
    writeNotifier_->setEnabled(false);
    writeNotifier_->deleteLater();  // inside its own notification
    writeNotifier_ = nullptr;
    readNotifier_ = new QSocketNotifier(qintptr(fd_), QSocketNotifier::Read, this);
    connect(readNotifier_, &QSocketNotifier::activated, this, [this] { readable(); });
    active_ = true;
    if (onConnect) onConnect();
}

// The server sends nothing that this end reads: what arrives is dropped, and a read
// tells the end of the connection or its error.
void ClientSocket::readable() {
    char buf[4096];
    for (int slices = 0; active_ && slices < 16; ++slices) {
        const ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
        if (n > 0) continue;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        if (n < 0) {
            asyncFailure(ErrorEvent::Receive, errno);
            return;
        }
        active_ = false;  // closed by the server
        closeDescriptor();
        if (onDisconnect) onDisconnect();
        return;
    }
}

void ClientSocket::deactivate() {
    if (fd_ < 0) return;
    const bool was = active_;
    active_ = false;
    if (was) {
        // Bytes that arrived unread would turn the close into a reset.
        char buf[4096];
        while (::recv(fd_, buf, sizeof buf, MSG_DONTWAIT) > 0) {
        }
    }
    // What was sent still goes out, then the end of the connection.
    closeDescriptor();
    if (was && onDisconnect) onDisconnect();
}

QString ClientSocket::localAddress() const {
    if (!active_) return {};
    sockaddr_in a{};
    socklen_t n = sizeof a;
    if (getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &n) != 0) return {};
    return dottedIPv4(a);
}

qint64 ClientSocket::sendText(const QByteArray& bytes) {
    if (!active_) return 0;
    ssize_t n = 0;
    do {
        n = ::send(fd_, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
        const int code = fail(ErrorEvent::Send, errno);
        if (code != 0) throw apiError(code, QStringLiteral("send"));
        return 0;
    }
    if (n > 0 && onSent) onSent(n);
    return n;
}

void ClientSocket::asyncFailure(ErrorEvent event, int code) {
    code = fail(event, code);
    if (code != 0) ui_.standardError(asyncErrorText(code));
}

int ClientSocket::fail(ErrorEvent event, int code) {
    // The descriptor stays quiet while the handler's boxes run the event loop.
    connectTimer_->stop();
    for (QSocketNotifier* n : {readNotifier_, writeNotifier_})
        if (n) n->setEnabled(false);
    const quint64 attempt = attempt_;
    if (onError) onError(event, code);
    // The handler may have closed the connection, or begun another; if not, it closes now.
    if (attempt == attempt_ && (fd_ >= 0 || active_)) {
        const bool was = active_;
        active_ = false;
        closeDescriptor();
        if (was && onDisconnect) onDisconnect();
    }
    return code;
}

void ClientSocket::closeDescriptor() {
    connectTimer_->stop();
    for (QSocketNotifier** n : {&readNotifier_, &writeNotifier_}) {
        if (!*n) continue;
        (*n)->setEnabled(false);
        (*n)->deleteLater();  // this may run inside its notification
        *n = nullptr;
    }
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

}  // namespace plat::net

// Here, not in the library's one file of meta-objects: a program that uses one socket class
// then links only that one.
#include "moc_client_socket.cpp"
