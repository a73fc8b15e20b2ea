#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <ctime>

#include "platform/deadline.h"
#include "platform/socket_sys.h"

namespace platform::detail {

bool StartSockets() { return true; }

SocketHandle OpenStreamSocket(int family, int protocol) {
    return socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, protocol);
}

void CloseSocket(SocketHandle s) {
    if (s >= 0) close(s);
}

int ConnectWithin(SocketHandle s, const sockaddr *address, std::size_t length, double seconds) {
    if (connect(s, address, static_cast<socklen_t>(length)) != 0 && errno != EINPROGRESS) return kSockFailed;
    pollfd p{s, POLLOUT, 0};
    if (WaitSockets(&p, 1, seconds) == 0) return 0;
    int soError = 0;
    socklen_t len = sizeof soError;
    if (getsockopt(s, SOL_SOCKET, SO_ERROR, &soError, &len) != 0 || soError != 0) return kSockFailed;
    return 1;
}

void SendAtOnce(SocketHandle s) {
    const int one = 1;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

long SocketSend(SocketHandle s, const void *data, std::size_t count) {
    for (;;) {
        const ssize_t n = send(s, data, count, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n >= 0) return static_cast<long>(n);
        if (errno == EINTR) continue;
        return errno == EAGAIN || errno == EWOULDBLOCK ? kSockWouldBlock : kSockFailed;
    }
}

long SocketReceive(SocketHandle s, void *data, std::size_t count) {
    for (;;) {
        const ssize_t n = recv(s, data, count, MSG_DONTWAIT);
        if (n >= 0) return static_cast<long>(n);
        if (errno == EINTR) continue;
        return errno == EAGAIN || errno == EWOULDBLOCK ? kSockWouldBlock : kSockFailed;
    }
}

int SocketBytesWaiting(SocketHandle s) {
    int waiting = 0;
    return ioctl(s, FIONREAD, &waiting) == 0 && waiting > 0 ? waiting : 0;
}

int WaitSockets(SocketPoll *sockets, std::size_t count, double seconds) {
    // ppoll() waits to the nanosecond: paced output needs waits far shorter
    // than poll()'s milliseconds.
    const bool forever = !std::isfinite(seconds) || seconds < 0;
    const Deadline deadline(forever ? 0.0 : seconds);
    for (;;) {
        const double left = deadline.Remaining();
        timespec wait{static_cast<time_t>(left), static_cast<long>((left - std::floor(left)) * 1e9)};
        const int r = ppoll(sockets, count, forever ? nullptr : &wait, nullptr);
        if (r >= 0) return r;
        if (errno != EINTR) return kSockFailed;
        if (!forever && deadline.Expired()) return 0;
    }
}

bool LowPortsArePrivileged() { return true; }

SocketHandle ListenOn(const sockaddr *address, std::size_t length, int &boundPort, ListenError *error) {
    ListenError ignored;
    if (error == nullptr) error = &ignored;
    const int s = OpenStreamSocket(address->sa_family, 0);
    if (s < 0) {
        *error = ListenError::Failed;
        return kNoSocket;
    }
    const int yes = 1, no = 0;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (address->sa_family == AF_INET6) setsockopt(s, IPPROTO_IPV6, IPV6_V6ONLY, &no, sizeof no);
    sockaddr_storage bound{};
    socklen_t boundLength = sizeof bound;
    if (bind(s, address, static_cast<socklen_t>(length)) != 0 || listen(s, 8) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr *>(&bound), &boundLength) != 0) {
        const int e = errno;
        close(s);
        *error = e == EACCES || e == EPERM ? ListenError::NoPermission
                 : e == EADDRINUSE         ? ListenError::InUse
                 : e == EADDRNOTAVAIL      ? ListenError::NotLocal
                                           : ListenError::Failed;
        return kNoSocket;
    }
    boundPort = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6 *>(&bound)->sin6_port
                                                  : reinterpret_cast<sockaddr_in *>(&bound)->sin_port);
    *error = ListenError::None;
    return s;
}

SocketHandle AcceptClient(SocketHandle listener, sockaddr_storage *peer) {
    socklen_t length = sizeof(sockaddr_storage);
    return accept4(listener, reinterpret_cast<sockaddr *>(peer), peer != nullptr ? &length : nullptr,
                   SOCK_NONBLOCK | SOCK_CLOEXEC);
}

// A pipe: its writing end may be used from a signal handler.
bool OpenWake(WakeChannel &channel) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    channel.reader = ends[0];
    channel.writer = ends[1];
    return true;
}

void Wake(const WakeChannel &channel) {
    const char byte = 1;
    if (channel.writer < 0) return;
    [[maybe_unused]] const ssize_t n = write(channel.writer, &byte, 1);
}

void DrainWake(const WakeChannel &channel) {
    char drained[16];
    while (channel.reader >= 0 && read(channel.reader, drained, sizeof drained) > 0) {}
}

void CloseWake(WakeChannel &channel) {
    for (int *end : {&channel.reader, &channel.writer}) {
        if (*end >= 0) close(*end);
        *end = -1;
    }
}

}  // namespace platform::detail
