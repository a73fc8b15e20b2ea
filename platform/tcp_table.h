// The table of TCP client connections. All TCP calls come from one thread
// (the user-interface thread); the table is not locked.
#pragma once
#include <array>
#include <cstddef>
#include <memory>
#include <vector>

#include "platform/socket_sys.h"
#include "platform/tcp.h"

namespace platform::detail {

struct TcpConnection {
    SocketHandle fd = kNoSocket;
    TcpCallback callback = nullptr;
    void *callbackData = nullptr;
    unsigned serial = 0;  // tells a reused slot from the connection it had before
    // Bytes taken off the socket by the event wait and not yet read. The
    // wait drains the socket so that a callback runs for new data only, and
    // a caller that leaves data unread does not make every wait return at once.
    std::vector<unsigned char> rx;
    std::size_t head = 0, tail = 0;
    bool peerClosed = false;
    bool disconnectReported = false;
    int closeError = 0;

    std::size_t Buffered() const { return tail - head; }
    ~TcpConnection();
};

constexpr std::size_t kMaxTcpConnections = 64;
constexpr std::size_t kTcpBufferSize = 64 * 1024;

// The connection of a handle, or null.
TcpConnection *FindConnection(unsigned handle);
// A free handle with a new connection in it, or 0 when all are taken.
unsigned AddConnection(std::unique_ptr<TcpConnection> connection);
bool RemoveConnection(unsigned handle);
std::array<std::unique_ptr<TcpConnection>, kMaxTcpConnections> &Connections();

// Seconds for a time-out in milliseconds; 0 stands for the default.
double TimeoutSeconds(unsigned timeoutMs);

}  // namespace platform::detail
