// Sockets behind one set of calls on every system, so that the TCP client
// and the simulated gateway are written once. Every socket is non-blocking
// and kept from child processes; every wait sleeps in the system's poll.
#pragma once
#include <cstddef>
#include <cstdint>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#endif

namespace platform::detail {

#ifdef _WIN32
using SocketHandle = SOCKET;
using SocketPoll = WSAPOLLFD;
inline constexpr SocketHandle kNoSocket = INVALID_SOCKET;
#else
using SocketHandle = int;
using SocketPoll = pollfd;
inline constexpr SocketHandle kNoSocket = -1;
#endif

// Results of the calls below besides a count.
enum : long { kSockWouldBlock = -1, kSockFailed = -2 };

bool StartSockets();  // once per process on Windows; true when sockets can be used
SocketHandle OpenStreamSocket(int family, int protocol);
void CloseSocket(SocketHandle s);

// Starts a connect and waits up to `seconds` for it: 1 connected, 0 time
// out, kSockFailed refused or unreachable.
int ConnectWithin(SocketHandle s, const sockaddr *address, std::size_t length, double seconds);
void SendAtOnce(SocketHandle s);  // no Nagle delay: requests are short

// Bytes moved (> 0), 0 when the peer has closed (receive only),
// kSockWouldBlock, or kSockFailed.
long SocketSend(SocketHandle s, const void *data, std::size_t count);
long SocketReceive(SocketHandle s, void *data, std::size_t count);
int SocketBytesWaiting(SocketHandle s);  // 0 when unknown

// Waits up to `seconds` (negative: no limit) for one of the sockets; an
// interrupted wait goes on for the time left. The count ready, 0 after a
// quiet wait, kSockFailed.
int WaitSockets(SocketPoll *sockets, std::size_t count, double seconds);

// Why a socket could not listen.
enum class ListenError {
    None,
    NoPermission,  // the system keeps the port from this program (see LowPortsArePrivileged)
    InUse,         // another socket holds the address and port
    NotLocal,      // the address is not one of this computer's
    NoAddress,     // the host name does not resolve
    Failed,
};

// True where a port below 1024 is the administrator's alone (Linux); on
// Windows any program may listen there, and a port refused is held by
// another program for itself or lies in a range the system reserves.
bool LowPortsArePrivileged();

// A stream socket listening on address; an IPv6 socket takes IPv4 clients
// too. The port it got (for port 0, a free one) in boundPort. kNoSocket
// with the reason in *error (which may be null).
SocketHandle ListenOn(const sockaddr *address, std::size_t length, int &boundPort, ListenError *error);
// The same on 127.0.0.1:port (0 = any free port).
SocketHandle ListenLoopback(int port, int &boundPort);
// kNoSocket when none waits; the client's address in *peer when given.
SocketHandle AcceptClient(SocketHandle listener, sockaddr_storage *peer = nullptr);

// A wake-up that WaitSockets can watch: Wake() from any thread (or a
// signal handler) makes `reader` readable until DrainWake().
struct WakeChannel {
    SocketHandle reader = kNoSocket;
    SocketHandle writer = kNoSocket;
};
bool OpenWake(WakeChannel &channel);
void Wake(const WakeChannel &channel);
void DrainWake(const WakeChannel &channel);
void CloseWake(WakeChannel &channel);

}  // namespace platform::detail
