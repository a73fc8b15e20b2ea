#include <algorithm>
#include <cstring>

#include "platform/deadline.h"
#include "platform/socket_sys.h"
#include "platform/tcp_table.h"

namespace platform {
namespace detail {

TcpConnection::~TcpConnection() { CloseSocket(fd); }

std::array<std::unique_ptr<TcpConnection>, kMaxTcpConnections> &Connections() {
    static std::array<std::unique_ptr<TcpConnection>, kMaxTcpConnections> table;
    return table;
}

namespace {
unsigned nextSerial = 0;
}

TcpConnection *FindConnection(unsigned handle) {
    if (handle == 0 || handle > kMaxTcpConnections) return nullptr;
    return Connections()[handle - 1].get();
}

unsigned AddConnection(std::unique_ptr<TcpConnection> connection) {
    auto &table = Connections();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (!table[i]) {
            connection->serial = ++nextSerial;
            table[i] = std::move(connection);
            return static_cast<unsigned>(i + 1);
        }
    }
    return 0;
}

bool RemoveConnection(unsigned handle) {
    if (!FindConnection(handle)) return false;
    Connections()[handle - 1].reset();
    return true;
}

double TimeoutSeconds(unsigned timeoutMs) { return (timeoutMs == 0 ? 5000u : timeoutMs) / 1000.0; }

}  // namespace detail

using detail::Deadline;
using detail::FindConnection;
using detail::TcpConnection;

namespace {

void MarkClosed(TcpConnection &c, int error) {
    if (c.peerClosed) return;
    c.peerClosed = true;
    c.closeError = error;
}

}  // namespace

int ClientTCPWrite(unsigned handle, const void *data, std::size_t count, unsigned timeoutMs) {
    TcpConnection *c = FindConnection(handle);
    if (!c) return kTcpErrInvalidHandle;
    if (count == 0) return 0;
    if (!data) return kTcpErrBadParameter;
    if (c->peerClosed) return kTcpErrNotConnected;
    if (count > 0x7FFFFFFF) count = 0x7FFFFFFF;

    const auto *bytes = static_cast<const unsigned char *>(data);
    const Deadline deadline(detail::TimeoutSeconds(timeoutMs));
    std::size_t done = 0;
    while (done < count) {
        const long n = detail::SocketSend(c->fd, bytes + done, count - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n == detail::kSockFailed) {
            MarkClosed(*c, kTcpErrNotConnected);
            return done > 0 ? static_cast<int>(done) : kTcpErrNotConnected;
        }
        detail::SocketPoll p{c->fd, POLLOUT, 0};
        const int r = deadline.Expired() ? 0 : detail::WaitSockets(&p, 1, deadline.Remaining());
        if (r <= 0) return done > 0 ? static_cast<int>(done) : (r == 0 ? kTcpErrTimeout : kTcpErrSystem);
    }
    return static_cast<int>(done);
}

int ClientTCPRead(unsigned handle, void *data, std::size_t count, unsigned timeoutMs) {
    TcpConnection *c = FindConnection(handle);
    if (!c) return kTcpErrInvalidHandle;
    if (count == 0) return 0;
    if (!data) return kTcpErrBadParameter;
    if (count > 0x7FFFFFFF) count = 0x7FFFFFFF;

    auto *out = static_cast<unsigned char *>(data);
    std::size_t got = std::min(count, c->Buffered());
    std::memcpy(out, c->rx.data() + c->head, got);
    c->head += got;
    if (c->head == c->tail) c->head = c->tail = 0;

    const Deadline deadline(detail::TimeoutSeconds(timeoutMs));
    while (got < count && !c->peerClosed) {
        const long n = detail::SocketReceive(c->fd, out + got, count - got);
        if (n > 0) {
            got += static_cast<std::size_t>(n);
            continue;
        }
        if (n == 0) {
            MarkClosed(*c, 0);
            break;
        }
        if (n == detail::kSockFailed) {
            MarkClosed(*c, kTcpErrNotConnected);
            break;
        }
        detail::SocketPoll p{c->fd, POLLIN, 0};
        const int r = deadline.Expired() ? 0 : detail::WaitSockets(&p, 1, deadline.Remaining());
        if (r <= 0) break;
    }
    if (got == 0 && c->peerClosed) return kTcpErrNotConnected;
    return static_cast<int>(got);
}

int TCPBytesAvailable(unsigned handle) {
    TcpConnection *c = FindConnection(handle);
    if (!c) return kTcpErrInvalidHandle;
    const int waiting = c->peerClosed ? 0 : detail::SocketBytesWaiting(c->fd);
    const std::size_t total = c->Buffered() + static_cast<std::size_t>(waiting);
    return total > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(total);
}

int DiscardTCPInput(unsigned handle) {
    TcpConnection *c = FindConnection(handle);
    if (!c) return kTcpErrInvalidHandle;
    c->head = c->tail = 0;
    // What has arrived so far goes; a server that never stops sending must
    // not keep this call going, so the amount is bounded.
    unsigned char scratch[4096];
    for (std::size_t dropped = 0; !c->peerClosed && dropped < 16 * detail::kTcpBufferSize;) {
        const long n = detail::SocketReceive(c->fd, scratch, sizeof scratch);
        if (n > 0) {
            dropped += static_cast<std::size_t>(n);
        } else if (n == 0) {
            MarkClosed(*c, 0);
        } else {
            if (n == detail::kSockFailed) MarkClosed(*c, kTcpErrNotConnected);
            break;
        }
    }
    return 0;
}

}  // namespace platform
