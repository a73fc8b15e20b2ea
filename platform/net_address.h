// Network addresses of a TCP server's side: where it listens and who
// connects, as numbers and as text.
#pragma once
#include <array>
#include <string>

#include "platform/socket_sys.h"

namespace platform {

struct NetAddress {
    bool v6 = false;
    std::array<unsigned char, 16> bytes{};  // an IPv4 address in the first 4
    int port = 0;

    // 127.0.0.0/8 or ::1: reachable from this computer only.
    bool IsLoopback() const;
};

// "192.0.2.7:5000", "[2001:db8::7]:5000".
std::string NetAddressText(const NetAddress &address);
// A numeric IPv4 or IPv6 address without a port; false when text is not one.
bool ParseNetAddress(const std::string &text, NetAddress *address);

// Listens on host (a name or a numeric address) and port (0 = any free
// one); the address it listens on in *bound. kNoSocket with the reason in
// *error.
detail::SocketHandle ListenAt(const std::string &host, int port, NetAddress *bound, detail::ListenError *error);
// The next waiting client and its address (an IPv4 client of an IPv6
// socket as IPv4); kNoSocket when none waits.
detail::SocketHandle AcceptFrom(detail::SocketHandle listener, NetAddress *peer);

}  // namespace platform
