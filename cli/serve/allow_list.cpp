#include "cli/serve/allow_list.h"

#include "cli/options.h"

namespace cli::serve {
namespace {

bool ParseNetwork(const std::string &text, platform::NetAddress &address, int &prefix) {
    const std::size_t slash = text.find('/');
    if (!platform::ParseNetAddress(text.substr(0, slash), &address)) return false;
    const int bits = address.v6 ? 128 : 32;
    prefix = bits;
    if (slash == std::string::npos) return true;
    long n = 0;
    if (ParseInt(text.substr(slash + 1), 0, bits, n) != Number::Taken || text.find("0x", slash) != std::string::npos)
        return false;
    prefix = static_cast<int>(n);
    return true;
}

bool SamePrefix(const platform::NetAddress &a, const platform::NetAddress &b, int bits) {
    for (int i = 0; bits > 0; ++i, bits -= 8) {
        const unsigned mask = bits >= 8 ? 0xFF : (0xFF00u >> bits) & 0xFF;
        if ((a.bytes[static_cast<std::size_t>(i)] & mask) != (b.bytes[static_cast<std::size_t>(i)] & mask))
            return false;
    }
    return true;
}

}  // namespace

bool AllowList::Add(const std::string &text, std::string &error) {
    std::vector<Network> added;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        const std::string item = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        Network network;
        if (!ParseNetwork(item, network.address, network.prefix)) {
            error = "--allow: \"" + item + "\" is not a network (an address such as 192.168.1.0/24 or 10.0.0.7)";
            return false;
        }
        added.push_back(network);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    networks_.insert(networks_.end(), added.begin(), added.end());
    return true;
}

bool AllowList::Allows(const platform::NetAddress &address) const {
    for (const Network &n : networks_)
        if (n.address.v6 == address.v6 && SamePrefix(n.address, address, n.prefix)) return true;
    return false;
}

}  // namespace cli::serve
