#include "platform/net_address.h"

#include <cstring>

namespace platform {
namespace {

// IPv4 clients of a dual-stack socket show as ::ffff:a.b.c.d.
constexpr unsigned char kMappedPrefix[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};

NetAddress FromSockaddr(const sockaddr *raw) {
    NetAddress out;
    if (raw->sa_family == AF_INET6) {
        sockaddr_in6 a;
        std::memcpy(&a, raw, sizeof a);
        out.port = ntohs(a.sin6_port);
        const auto *b = reinterpret_cast<const unsigned char *>(&a.sin6_addr);
        if (std::memcmp(b, kMappedPrefix, sizeof kMappedPrefix) == 0) {
            std::memcpy(out.bytes.data(), b + 12, 4);
        } else {
            out.v6 = true;
            std::memcpy(out.bytes.data(), b, 16);
        }
    } else if (raw->sa_family == AF_INET) {
        sockaddr_in a;
        std::memcpy(&a, raw, sizeof a);
        out.port = ntohs(a.sin_port);
        std::memcpy(out.bytes.data(), &a.sin_addr, 4);
    }
    return out;
}

std::size_t ToSockaddr(const NetAddress &address, sockaddr_storage &out) {
    out = {};
    if (address.v6) {
        auto &a = reinterpret_cast<sockaddr_in6 &>(out);
        a.sin6_family = AF_INET6;
        a.sin6_port = htons(static_cast<unsigned short>(address.port));
        std::memcpy(&a.sin6_addr, address.bytes.data(), 16);
        return sizeof a;
    }
    auto &a = reinterpret_cast<sockaddr_in &>(out);
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<unsigned short>(address.port));
    std::memcpy(&a.sin_addr, address.bytes.data(), 4);
    return sizeof a;
}

}  // namespace

bool NetAddress::IsLoopback() const {
    if (!v6) return bytes[0] == 127;
    static constexpr std::array<unsigned char, 16> kLoopback6 = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    return bytes == kLoopback6;
}

std::string NetAddressText(const NetAddress &address) {
    sockaddr_storage raw;
    const std::size_t length = ToSockaddr(address, raw);
    char host[64] = "?";
    detail::StartSockets();
    getnameinfo(reinterpret_cast<sockaddr *>(&raw), static_cast<socklen_t>(length), host, sizeof host, nullptr, 0,
                NI_NUMERICHOST);
    const std::string port = ":" + std::to_string(address.port);
    return address.v6 ? "[" + std::string(host) + "]" + port : host + port;
}

bool ParseNetAddress(const std::string &text, NetAddress *address) {
    if (text.find(':') == std::string::npos) {
        // Four decimal numbers with dots; the system's readers would also
        // take "10.1" or "0x0A.0.0.1" for addresses.
        NetAddress v4;
        std::size_t at = 0;
        for (int part = 0; part < 4; ++part) {
            if (part > 0 && (at >= text.size() || text[at++] != '.')) return false;
            int value = 0, digits = 0;
            for (; at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 4; ++at, ++digits)
                value = value * 10 + (text[at] - '0');
            if (digits == 0 || digits > 3 || value > 255) return false;
            v4.bytes[static_cast<std::size_t>(part)] = static_cast<unsigned char>(value);
        }
        if (at != text.size()) return false;
        *address = v4;
        return true;
    }
    if (!detail::StartSockets()) return false;
    addrinfo hints{};
    hints.ai_family = AF_INET6;
    hints.ai_flags = AI_NUMERICHOST;
    addrinfo *list = nullptr;
    if (getaddrinfo(text.c_str(), nullptr, &hints, &list) != 0 || list == nullptr) return false;
    *address = FromSockaddr(list->ai_addr);
    freeaddrinfo(list);
    return true;
}

detail::SocketHandle ListenAt(const std::string &host, int port, NetAddress *bound, detail::ListenError *error) {
    *error = detail::ListenError::NoAddress;
    if (host.empty() || !detail::StartSockets()) return detail::kNoSocket;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo *list = nullptr;
    const std::string service = std::to_string(port);
    if (getaddrinfo(host.c_str(), service.c_str(), &hints, &list) != 0 || list == nullptr) return detail::kNoSocket;
    detail::SocketHandle s = detail::kNoSocket;
    // A name may stand for several addresses: the first that can be used
    // counts, the first failure says why none could.
    detail::ListenError first = detail::ListenError::None;
    for (const addrinfo *ai = list; ai != nullptr && s == detail::kNoSocket; ai = ai->ai_next) {
        int boundPort = 0;
        detail::ListenError why = detail::ListenError::None;
        s = detail::ListenOn(ai->ai_addr, ai->ai_addrlen, boundPort, &why);
        if (s == detail::kNoSocket) {
            if (first == detail::ListenError::None) first = why;
            continue;
        }
        *bound = FromSockaddr(ai->ai_addr);
        bound->port = boundPort;
    }
    freeaddrinfo(list);
    *error = s == detail::kNoSocket ? first : detail::ListenError::None;
    return s;
}

detail::SocketHandle AcceptFrom(detail::SocketHandle listener, NetAddress *peer) {
    sockaddr_storage raw{};
    const detail::SocketHandle s = detail::AcceptClient(listener, &raw);
    if (s != detail::kNoSocket) *peer = FromSockaddr(reinterpret_cast<const sockaddr *>(&raw));
    return s;
}

namespace detail {

SocketHandle ListenLoopback(int port, int &boundPort) {
    NetAddress loopback;
    loopback.bytes[0] = 127;
    loopback.bytes[3] = 1;
    loopback.port = port;
    sockaddr_storage raw;
    const std::size_t length = ToSockaddr(loopback, raw);
    return ListenOn(reinterpret_cast<const sockaddr *>(&raw), length, boundPort, nullptr);
}

}  // namespace detail
}  // namespace platform
