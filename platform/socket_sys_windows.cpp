// Winsock. Sockets are made non-blocking with FIONBIO and not inheritable;
// waits sleep in WSAPoll(), and a connect in select(), which reports a
// refused connection where some versions of WSAPoll() do not.
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <mutex>
#include <vector>

#include "platform/deadline.h"
#include "platform/socket_sys.h"

namespace platform::detail {
namespace {

bool MakeNonBlocking(SocketHandle s) {
    u_long on = 1;
    SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
    return ioctlsocket(s, FIONBIO, &on) == 0;
}

int ClampLength(std::size_t count) { return static_cast<int>(std::min<std::size_t>(count, INT_MAX)); }

}  // namespace

bool StartSockets() {
    static std::once_flag once;
    static bool started = false;
    std::call_once(once, [] {
        WSADATA data;
        started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    });
    return started;
}

SocketHandle OpenStreamSocket(int family, int protocol) {
    if (!StartSockets()) return kNoSocket;
    const SocketHandle s = WSASocketW(family, SOCK_STREAM, protocol, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    if (s == INVALID_SOCKET) return kNoSocket;
    if (!MakeNonBlocking(s)) {
        closesocket(s);
        return kNoSocket;
    }
    return s;
}

void CloseSocket(SocketHandle s) {
    if (s != kNoSocket) closesocket(s);
}

int ConnectWithin(SocketHandle s, const sockaddr *address, std::size_t length, double seconds) {
    if (connect(s, address, static_cast<int>(length)) == 0) return 1;
    if (WSAGetLastError() != WSAEWOULDBLOCK) return kSockFailed;
    const Deadline deadline(seconds);
    for (;;) {
        fd_set writable, failed;
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET(s, &writable);
        FD_SET(s, &failed);
        const int ms = deadline.PollMs();
        timeval wait{ms / 1000, (ms % 1000) * 1000};
        const int r = select(0, nullptr, &writable, &failed, &wait);
        if (r < 0) return kSockFailed;
        if (r == 0) {
            if (deadline.Expired()) return 0;
            continue;
        }
        if (FD_ISSET(s, &failed)) return kSockFailed;
        int soError = 0;
        int len = sizeof soError;
        if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char *>(&soError), &len) != 0 || soError != 0)
            return kSockFailed;
        return 1;
    }
}

void SendAtOnce(SocketHandle s) {
    const BOOL one = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char *>(&one), sizeof one);
}

long SocketSend(SocketHandle s, const void *data, std::size_t count) {
    const int n = send(s, static_cast<const char *>(data), ClampLength(count), 0);
    if (n >= 0) return n;
    return WSAGetLastError() == WSAEWOULDBLOCK ? kSockWouldBlock : kSockFailed;
}

long SocketReceive(SocketHandle s, void *data, std::size_t count) {
    const int n = recv(s, static_cast<char *>(data), ClampLength(count), 0);
    if (n >= 0) return n;
    return WSAGetLastError() == WSAEWOULDBLOCK ? kSockWouldBlock : kSockFailed;
}

int SocketBytesWaiting(SocketHandle s) {
    u_long waiting = 0;
    if (ioctlsocket(s, FIONREAD, &waiting) != 0) return 0;
    return static_cast<int>(std::min<u_long>(waiting, INT_MAX));
}

int WaitSockets(SocketPoll *sockets, std::size_t count, double seconds) {
    // WSAPoll() refuses an empty set: a quiet wait is then a sleep.
    const bool forever = !std::isfinite(seconds) || seconds < 0;
    const Deadline deadline(forever ? 0.0 : seconds);
    std::size_t watched = 0;
    for (std::size_t i = 0; i < count; ++i) {
        sockets[i].revents = 0;
        if (sockets[i].fd != kNoSocket) ++watched;
    }
    if (watched == 0) {
        Sleep(forever ? INFINITE : static_cast<DWORD>(deadline.PollMs()));
        return 0;
    }
    // WSAPoll() rejects entries without a socket: they are left out of a copy.
    std::vector<SocketPoll> packed;
    SocketPoll *set = sockets;
    if (watched != count) {
        packed.reserve(watched);
        for (std::size_t i = 0; i < count; ++i)
            if (sockets[i].fd != kNoSocket) packed.push_back(sockets[i]);
        set = packed.data();
    }
    const int r = WSAPoll(set, static_cast<ULONG>(watched), forever ? -1 : deadline.PollMs());
    if (r < 0) return kSockFailed;
    if (set != sockets) {
        std::size_t k = 0;
        for (std::size_t i = 0; i < count; ++i)
            if (sockets[i].fd != kNoSocket) sockets[i].revents = packed[k++].revents;
    }
    return r;
}

bool LowPortsArePrivileged() { return false; }

SocketHandle ListenOn(const sockaddr *address, std::size_t length, int &boundPort, ListenError *error) {
    ListenError ignored;
    if (error == nullptr) error = &ignored;
    const SocketHandle s = OpenStreamSocket(address->sa_family, 0);
    if (s == kNoSocket) {
        *error = ListenError::Failed;
        return kNoSocket;
    }
    // Windows lets a second program bind a port in use unless told not to.
    const BOOL yes = TRUE;
    const DWORD no = 0;
    setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char *>(&yes), sizeof yes);
    if (address->sa_family == AF_INET6)
        setsockopt(s, IPPROTO_IPV6, IPV6_V6ONLY, reinterpret_cast<const char *>(&no), sizeof no);
    sockaddr_storage bound{};
    int boundLength = sizeof bound;
    if (bind(s, address, static_cast<int>(length)) != 0 || listen(s, 8) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr *>(&bound), &boundLength) != 0) {
        const int e = WSAGetLastError();
        closesocket(s);
        *error = e == WSAEACCES          ? ListenError::NoPermission
                 : e == WSAEADDRINUSE    ? ListenError::InUse
                 : e == WSAEADDRNOTAVAIL ? ListenError::NotLocal
                                         : ListenError::Failed;
        return kNoSocket;
    }
    boundPort = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6 *>(&bound)->sin6_port
                                                  : reinterpret_cast<sockaddr_in *>(&bound)->sin_port);
    *error = ListenError::None;
    return s;
}

SocketHandle AcceptClient(SocketHandle listener, sockaddr_storage *peer) {
    int length = sizeof(sockaddr_storage);
    const SocketHandle s = accept(listener, reinterpret_cast<sockaddr *>(peer), peer != nullptr ? &length : nullptr);
    if (s == INVALID_SOCKET) return kNoSocket;
    if (!MakeNonBlocking(s)) {
        closesocket(s);
        return kNoSocket;
    }
    return s;
}

// WSAPoll() watches sockets only: the wake-up is a datagram a socket sends
// to another on the loopback address.
bool OpenWake(WakeChannel &channel) {
    if (!StartSockets()) return false;
    channel.reader = WSASocketW(AF_INET, SOCK_DGRAM, 0, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    channel.writer = WSASocketW(AF_INET, SOCK_DGRAM, 0, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    if (channel.reader == INVALID_SOCKET || channel.writer == INVALID_SOCKET || !MakeNonBlocking(channel.reader) ||
        !MakeNonBlocking(channel.writer) ||
        bind(channel.reader, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        getsockname(channel.reader, reinterpret_cast<sockaddr *>(&address), &length) != 0 ||
        connect(channel.writer, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        CloseWake(channel);
        return false;
    }
    return true;
}

void Wake(const WakeChannel &channel) {
    const char byte = 1;
    if (channel.writer != kNoSocket) send(channel.writer, &byte, 1, 0);
}

void DrainWake(const WakeChannel &channel) {
    char drained[16];
    while (channel.reader != kNoSocket && recv(channel.reader, drained, sizeof drained, 0) > 0) {}
}

void CloseWake(WakeChannel &channel) {
    for (SocketHandle *end : {&channel.reader, &channel.writer}) {
        if (*end != kNoSocket && *end != INVALID_SOCKET) closesocket(*end);
        *end = kNoSocket;
    }
}

}  // namespace platform::detail
