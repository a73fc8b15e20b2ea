#include <string>

#include "platform/deadline.h"
#include "platform/socket_sys.h"
#include "platform/tcp_table.h"

namespace platform {
namespace {

using detail::Deadline;

// Connects one address within the deadline; the socket stays non-blocking.
int ConnectAddress(const addrinfo *ai, const Deadline &deadline, detail::SocketHandle &out) {
    const detail::SocketHandle s = detail::OpenStreamSocket(ai->ai_family, ai->ai_protocol);
    if (s == detail::kNoSocket) return kTcpErrSystem;
    const int r = detail::ConnectWithin(s, ai->ai_addr, ai->ai_addrlen, deadline.Remaining());
    if (r != 1) {
        detail::CloseSocket(s);
        return r == 0 ? kTcpErrTimeout : kTcpErrConnect;
    }
    out = s;
    return 0;
}

}  // namespace

int ConnectToTCPServer(unsigned *handle, int port, const char *host, TcpCallback callback, void *callbackData,
                       unsigned timeoutMs) {
    if (!handle || port < 1 || port > 65535) return kTcpErrBadParameter;
    *handle = 0;
    if (!host || !*host) return kTcpErrHost;
    if (!detail::StartSockets()) return kTcpErrSystem;

    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo *list = nullptr;
    const std::string service = std::to_string(port);
    if (getaddrinfo(host, service.c_str(), &hints, &list) != 0 || !list) return kTcpErrHost;

    const Deadline deadline(detail::TimeoutSeconds(timeoutMs));
    detail::SocketHandle fd = detail::kNoSocket;
    int rc = kTcpErrConnect;
    for (const addrinfo *ai = list; ai; ai = ai->ai_next) {
        rc = ConnectAddress(ai, deadline, fd);
        if (rc == 0 || rc == kTcpErrTimeout) break;
    }
    freeaddrinfo(list);
    if (rc != 0) return rc;

    // Requests and replies are short: send each at once.
    detail::SendAtOnce(fd);
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
