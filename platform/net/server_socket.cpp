#include "server_socket.h"

#include "platform/ui.h"

#include <QSocketNotifier>
#include <QTimer>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace plat::net {

namespace {
// The classic listener let only five connections wait to be accepted. A class that starts
// its runs together overflows that while the log is busy, and here an overflow drops the
// handshake: the clients retry after seconds, by then their start message is lost. So
// as many may wait as the system allows.
constexpr int kBacklog = SOMAXCONN;
// Descriptors the process keeps free for everything else: the event loop, the window
// system and the saved file need some, and the libraries abort when they find none.
constexpr int kSpareFds = 16;
// After the system refused an accept, the listener tries again this much later.
constexpr int kResumeMs = 100;
// One read notification takes at most this much, so a fast sender cannot starve the
// window; the rest is read at the next notification.
constexpr qsizetype kReadSlice = 4 << 20;
}  // namespace

long raiseOpenFileLimit() {
    rlimit lim{};
    if (getrlimit(RLIMIT_NOFILE, &lim) != 0) return -1;
    if (lim.rlim_cur < lim.rlim_max) {
        rlimit up = lim;
        up.rlim_cur = lim.rlim_max;
        if (setrlimit(RLIMIT_NOFILE, &up) == 0) lim = up;
    }
    return lim.rlim_cur == RLIM_INFINITY ? -1 : long(lim.rlim_cur);
}

ServerConnection::ServerConnection(int fd, const sockaddr_in& peer, QObject* parent)
    : QObject(parent), fd_(fd), remote_(dottedIPv4(peer)), remotePort_(ntohs(peer.sin_port)) {
    sockaddr_in a{};
    socklen_t n = sizeof a;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n) == 0) local_ = dottedIPv4(a);
    notifier_ = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
}

ServerConnection::~ServerConnection() { closeDescriptor(); }

void ServerConnection::closeDescriptor() {
    if (notifier_) notifier_->setEnabled(false);
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

QByteArray ServerConnection::receiveText() { return std::exchange(pending_, {}); }

ServerSocket::ServerSocket(UiServices& ui, QObject* parent)
    : QObject(parent), ui_(ui), resume_(new QTimer(this)) {
    resume_->setSingleShot(true);
    resume_->setInterval(kResumeMs);
    connect(resume_, &QTimer::timeout, this, [this] {
        if (listenNotifier_) listenNotifier_->setEnabled(true);
    });
}

ServerSocket::~ServerSocket() {
    deactivate();
    if (reserveFd_ >= 0) ::close(reserveFd_);
}

void ServerSocket::activate() {
    if (active()) return;
    // Port 0 would listen on a port of the system's choosing that no client knows; a
    // number past 65535 would be cut down to another port.
    if (port_ < 1 || port_ > 65535) throw apiError(EINVAL, QStringLiteral("bind"));
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) throw apiError(errno, QStringLiteral("socket"));
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_ANY);
    a.sin_port = htons(quint16(port_));
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, kBacklog) != 0) {
        const int e = errno;
        ::close(fd);
        throw apiError(e, QStringLiteral("bind"));
    }
    listenFd_ = fd;
    rlimit lim{};
    fdLimit_ = getrlimit(RLIMIT_NOFILE, &lim) == 0 && lim.rlim_cur != RLIM_INFINITY
                   ? long(lim.rlim_cur)
                   : 0;
    listenNotifier_ = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
    connect(listenNotifier_, &QSocketNotifier::activated, this, [this] { acceptPending(); });
    if (reserveFd_ < 0) reserveFd_ = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
}

void ServerSocket::deactivate() {
    resume_->stop();
    if (listenFd_ >= 0) {
        listenNotifier_->setEnabled(false);
        listenNotifier_->deleteLater();  // this may run inside its own notification
        listenNotifier_ = nullptr;
        ::close(listenFd_);
        listenFd_ = -1;
    }
    const QList<ServerConnection*> open = std::exchange(connections_, {});
    for (ServerConnection* c : open) {
        c->closed_ = true;
        c->closeDescriptor();
        c->deleteLater();
    }
}

bool ServerSocket::active() const { return listenFd_ >= 0; }

quint16 ServerSocket::boundPort() const {
    sockaddr_in a{};
    socklen_t n = sizeof a;
    if (listenFd_ < 0 || getsockname(listenFd_, reinterpret_cast<sockaddr*>(&a), &n) != 0) return 0;
    return ntohs(a.sin_port);
}

// The peer's address comes with the accept itself: a client that has already reset by
// the time it is handled has no peer any more.
void ServerSocket::acceptPending() {
    while (listenFd_ >= 0) {
        sockaddr_in peer{};
        socklen_t n = sizeof peer;
        const int fd = ::accept4(listenFd_, reinterpret_cast<sockaddr*>(&peer), &n,
                                 SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED || errno == EPROTO) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) return;
            // Out of descriptors or memory: never go deaf. The connection at the head of
            // the queue cannot be taken and is turned away, not left waiting; accepting
            // resumes shortly.
            turnAwayOne();
            listenNotifier_->setEnabled(false);
            resume_->start();
            return;
        }
        // New descriptors take the lowest free number: one this high leaves too few free.
        if (fdLimit_ > 0 && fd >= fdLimit_ - kSpareFds) {
            ::close(fd);
            continue;
        }
        auto* c = new ServerConnection(fd, peer, this);
        connections_.append(c);
        connect(c->notifier_, &QSocketNotifier::activated, c, [this, c] { readable(c); });
        if (onClientConnect) onClientConnect(c);
    }
}

void ServerSocket::turnAwayOne() {
    if (reserveFd_ >= 0) ::close(reserveFd_);
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd >= 0) ::close(fd);
    reserveFd_ = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
}

void ServerSocket::readable(ServerConnection* c) {
    if (c->closed_ || c->fd_ < 0) return;
    int failure = 0;
    bool ended = false;
    qsizetype got = 0;
    char buf[65536];
    while (got < kReadSlice) {
        const ssize_t n = ::recv(c->fd_, buf, sizeof buf, 0);
        if (n > 0) {
            c->pending_.append(buf, n);
            got += n;
            continue;
        }
        if (n == 0)
            ended = true;
        else if (errno == EINTR)
            continue;
        else if (errno != EAGAIN && errno != EWOULDBLOCK)
            failure = errno;
        break;
    }
    // What arrived before the close is read before the disconnect.
    if (!c->pending_.isEmpty() && onClientRead) onClientRead(c);
    if (c->closed_) return;
    if (failure)
        clientFailed(c, ErrorEvent::Receive, failure);
    else if (ended)
        closed(c);
}

void ServerSocket::closed(ServerConnection* c) {
    if (c->closed_) return;
    c->closed_ = true;
    if (onClientDisconnect) onClientDisconnect(c);
    connections_.removeOne(c);
    c->closeDescriptor();
    c->deleteLater();
}

void ServerSocket::clientFailed(ServerConnection* c, ErrorEvent event, int code) {
    if (c->closed_ || !connections_.contains(c)) return;
    if (onClientError) onClientError(c, event, code);
    closed(c);
    if (code != 0) ui_.standardError(asyncErrorText(code));
}

}  // namespace plat::net

// Here, not in the library's one file of meta-objects: a program that uses one socket class
// then links only that one.
#include "moc_server_socket.cpp"
