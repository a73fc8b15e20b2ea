// The networks whose clients the server lets in: numeric addresses with an
// optional prefix length ("192.168.1.0/24", "10.0.0.7", "2001:db8::/32").
#pragma once
#include <string>
#include <vector>

#include "platform/net_address.h"

namespace cli::serve {

class AllowList {
public:
    // Adds the networks of text, separated by commas; false with a message
    // naming the first that is not a network (nothing is added then).
    bool Add(const std::string &text, std::string &error);
    bool Empty() const { return networks_.empty(); }
    bool Allows(const platform::NetAddress &address) const;

private:
    struct Network {
        platform::NetAddress address;
        int prefix = 0;  // leading bits that must match
    };
    std::vector<Network> networks_;
};

}  // namespace cli::serve
