// A Korvi70 TCP gateway in front of the simulated instrument, as a
// byte-stream state machine on the TCP stream of envelopes
// (envelope/envelope.h). The gateway hands each request's frame to the
// instrument and answers with the reply without lead-in and terminator, or
// with an error code. Bytes that do not start a request, and a request
// longer than the link's buffer, are skipped one byte at a time.
#pragma once
#include <string>
#include <string_view>

#include "sim/instrument.h"

namespace sim {

struct GatewayFaults {
    bool silent = false;   // envelopes go unanswered
    int errorCode = -1;    // >= 0: answer every envelope with 'c' and this code
    double delay = 0.0;    // seconds before each reply leaves
    std::string rawReply;  // not empty: sent as it is instead of the reply
};

struct GatewayCounters {
    int envelopes = 0;     // well-formed request envelopes
    int skippedBytes = 0;  // bytes dropped while looking for an envelope
    int replies = 0;
    std::string lastPayload;  // payload of the last request envelope
};

class Gateway {
public:
    // The faults and counters may be shared by the gateways of several connections.
    Gateway(Instrument &instrument, GatewayFaults &faults, GatewayCounters &counters)
        : instrument_(instrument), faults_(faults), counters_(counters) {}

    // Bytes from the TCP client; complete replies are appended to out.
    void Receive(std::string_view bytes, std::string &out);

private:
    void Handle(std::string_view payload, std::string &out);

    Instrument &instrument_;
    GatewayFaults &faults_;
    GatewayCounters &counters_;
    std::string pending_;
};

}  // namespace sim
