#include <cstring>

#include "platform/deadline.h"
#include "platform/socket_sys.h"
#include "platform/tcp_table.h"

namespace platform {
namespace {

using detail::TcpConnection;

struct Due {
    unsigned handle;
    unsigned serial;
    int event;
    int error;
};

// Moves what the socket holds into the connection's buffer; true when new
// bytes came. Notes a close of the peer.
bool Drain(TcpConnection &c) {
    if (c.head > 0) {
        std::memmove(c.rx.data(), c.rx.data() + c.head, c.Buffered());
        c.tail -= c.head;
        c.head = 0;
    }
    bool any = false;
    while (c.tail < c.rx.size() && !c.peerClosed) {
        const long n = detail::SocketReceive(c.fd, c.rx.data() + c.tail, c.rx.size() - c.tail);
        if (n > 0) {
            c.tail += static_cast<std::size_t>(n);
            any = true;
        } else if (n == 0) {
            c.peerClosed = true;
        } else {
            if (n == detail::kSockFailed) {
                c.peerClosed = true;
                c.closeError = kTcpErrNotConnected;
            }
            break;
        }
    }
    return any;
}

}  // namespace

int ProcessTCPEvents(double maxWaitSeconds) {
    auto &table = detail::Connections();
    const detail::Deadline deadline(maxWaitSeconds);
    int ran = 0;
    for (;;) {
        std::array<Due, 2 * detail::kMaxTcpConnections> due;
        std::size_t dueCount = 0;
        auto addDue = [&](std::size_t i, int event, int error) {
            due[dueCount++] = Due{static_cast<unsigned>(i + 1), table[i]->serial, event, error};
        };

        // A close noticed by a read or write is reported without waiting.
        for (std::size_t i = 0; i < table.size(); ++i) {
            if (table[i] && table[i]->peerClosed && !table[i]->disconnectReported) {
                table[i]->disconnectReported = true;
                addDue(i, TCP_DISCONNECT, table[i]->closeError);
            }
        }

        if (dueCount == 0) {
            std::array<detail::SocketPoll, detail::kMaxTcpConnections> fds;
            std::array<std::size_t, detail::kMaxTcpConnections> slot;
            std::size_t n = 0;
            for (std::size_t i = 0; i < table.size(); ++i) {
                // A full buffer is not watched until the caller reads from it.
                if (table[i] && !table[i]->peerClosed && table[i]->tail - table[i]->head < table[i]->rx.size()) {
                    fds[n] = detail::SocketPoll{table[i]->fd, POLLIN, 0};
                    slot[n++] = i;
                }
            }
            const int r = detail::WaitSockets(fds.data(), n, deadline.Remaining());
            if (r < 0) return ran;
            for (std::size_t k = 0; r > 0 && k < n; ++k) {
                if (fds[k].revents == 0) continue;
                TcpConnection &c = *table[slot[k]];
                if (Drain(c)) addDue(slot[k], TCP_DATAREADY, 0);
                if (c.peerClosed && !c.disconnectReported) {
                    c.disconnectReported = true;
                    addDue(slot[k], TCP_DISCONNECT, c.closeError);
                }
            }
        }

        for (std::size_t k = 0; k < dueCount; ++k) {
            // An earlier callback may have closed this connection or even
            // opened another in its place.
            TcpConnection *c = detail::FindConnection(due[k].handle);
            if (!c || c->serial != due[k].serial) continue;
            const TcpCallback callback = c->callback;
            void *data = c->callbackData;
            if (!callback) continue;
            ++ran;
            callback(due[k].handle, due[k].event, due[k].error, data);
        }
        if (ran > 0 || deadline.Expired()) return ran;
    }
}

}  // namespace platform
