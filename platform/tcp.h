// TCP client with an event callback, in the shape the instrument link uses:
// connect, write, and a wait that sleeps in poll() and dispatches
// data-ready events to the connection's callback.
#pragma once
#include <cstddef>

namespace platform {

enum TcpEvent { TCP_CONNECT = 1, TCP_DISCONNECT = 2, TCP_DATAREADY = 3 };
enum TcpError {
    kTcpErrSystem = -1,
    kTcpErrNotConnected = -2,
    kTcpErrConnect = -3,
    kTcpErrHost = -4,
    kTcpErrTimeout = -11,
    kTcpErrInvalidHandle = -12,
    kTcpErrBadParameter = -13,  // null handle pointer or data, port outside 1..65535
    kTcpErrTooMany = -14,       // every connection handle is in use
};

using TcpCallback = int (*)(unsigned handle, int event, int error, void *callbackData);

// timeoutMs 0 means the default of 5000 ms, here and in reads and writes.
// The callback gets TCP_DATAREADY when new bytes have arrived (the bytes
// stay queued until read) and TCP_DISCONNECT once when the server has closed
// the connection; handles are small positive integers.
int ConnectToTCPServer(unsigned *handle, int port, const char *host, TcpCallback callback, void *callbackData,
                       unsigned timeoutMs);
int DisconnectFromTCPServer(unsigned handle);
// Writes all count bytes within the time-out; returns the count written or < 0.
int ClientTCPWrite(unsigned handle, const void *data, std::size_t count, unsigned timeoutMs);
// Reads until count bytes have arrived or the time-out ends; returns the
// count read (short on time-out) or < 0 when the connection failed or was
// closed with nothing left to read.
int ClientTCPRead(unsigned handle, void *data, std::size_t count, unsigned timeoutMs);
int TCPBytesAvailable(unsigned handle);  // bytes received and not yet read
int DiscardTCPInput(unsigned handle);    // drops received, unread bytes
// Sleeps in poll() for at most maxWaitSeconds until some connection has
// data or closes, and runs the callbacks of those connections. Returns the
// number of callbacks run (0 after a quiet wait).
int ProcessTCPEvents(double maxWaitSeconds);

}  // namespace platform
