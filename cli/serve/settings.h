// What `vgx52ctl serve` is told by its own options:
//   --listen ADDRESS[:PORT]  where to listen (default 127.0.0.1:66; PORT 0: any free port)
//   --allow NETWORKS         who may connect (a list with commas; the option may repeat);
//                            needed to listen on an address other computers reach
//   --idle SECONDS           a client silent this long, or taking none of its answer this
//                            long, is closed (default 600)
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "cli/options.h"
#include "cli/serve/allow_list.h"
#include "platform/socket_sys.h"

namespace cli::serve {

inline constexpr int kDefaultPort = 66;  // the port clients' connection configurations name by default
inline constexpr double kDefaultIdleSeconds = 600;

struct ServeSettings {
    std::string host = "127.0.0.1";
    int port = kDefaultPort;
    AllowList allow;  // empty: every client of a loopback address
    double idleSeconds = kDefaultIdleSeconds;
    std::size_t maxClients = 8;
};

// false with a message in error when the options do not fit.
bool ParseServeArgs(const std::vector<std::string> &args, ServeSettings &settings, ArgError &error);

// Why the server cannot listen, and what the operator can do about it.
// lowPortsPrivileged: the system's rule, given by tests of the other one.
std::string ListenFailure(const ServeSettings &settings, platform::detail::ListenError why,
                          bool lowPortsPrivileged = platform::detail::LowPortsArePrivileged());

}  // namespace cli::serve
