#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/deadline.h"
#include "platform/tcp_table.h"

namespace platform {
namespace {

using detail::Deadline;

// Connects one address within the deadline; the socket stays non-blocking.
int ConnectAddress(const addrinfo *ai, const Deadline &deadline, int &fdOut) {
    const int fd = socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai->ai_protocol);
    if (fd < 0) return kTcpErrSystem;
    if (connect(fd, ai->ai_addr, ai->ai_addrlen) != 0 && errno != EINPROGRESS) {
        close(fd);
        return kTcpErrConnect;
    }
    for (;;) {
        pollfd p{fd, POLLOUT, 0};
        const int r = deadline.Expired() ? 0 : poll(&p, 1, deadline.PollMs());
        if (r < 0 && errno == EINTR) continue;
        if (r == 0) {
            close(fd);
            return kTcpErrTimeout;
        }
        break;
    }
    int soError = 0;
    socklen_t len = sizeof soError;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &len) != 0 || soError != 0) {
        close(fd);
        return kTcpErrConnect;
    }
    fdOut = fd;
    return 0;
}

}  // namespace

int ConnectToTCPServer(unsigned *handle, int port, const char *host, TcpCallback callback, void *callbackData,
                       unsigned timeoutMs) {
    if (!handle || port < 1 || port > 65535) return kTcpErrBadParameter;
    *handle = 0;
    if (!host || !*host) return kTcpErrHost;

    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo *list = nullptr;
    const std::string service = std::to_string(port);
    if (getaddrinfo(host, service.c_str(), &hints, &list) != 0 || !list) return kTcpErrHost;

    const Deadline deadline(detail::TimeoutSeconds(timeoutMs));
    int fd = -1;
    int rc = kTcpErrConnect;
    for (const addrinfo *ai = list; ai; ai = ai->ai_next) {
        rc = ConnectAddress(ai, deadline, fd);
        if (rc == 0 || rc == kTcpErrTimeout) break;
    }
    freeaddrinfo(list);
    if (rc != 0) return rc;

    // Requests and replies are short: send each at once.
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    auto connection = std::make_unique<detail::TcpConnection>();
    connection->fd = fd;
    connection->callback = callback;
    connection->callbackData = callbackData;
    connection->rx.resize(detail::kTcpBufferSize);
    const unsigned h = detail::AddConnection(std::move(connection));
    if (h == 0) return kTcpErrTooMany;  // the connection's destructor closes fd
    *handle = h;
    return 0;
}

int DisconnectFromTCPServer(unsigned handle) { return detail::RemoveConnection(handle) ? 0 : kTcpErrInvalidHandle; }

}  // namespace platform
