#include "sim/gateway.h"

#include "envelope/envelope.h"

namespace sim {

void Gateway::Receive(std::string_view bytes, std::string &out) {
    pending_.append(bytes);
    for (;;) {
        const auto *start = reinterpret_cast<const unsigned char *>(pending_.data());
        const envelope::ScanResult scan = envelope::ScanRequest(start, pending_.size());
        if (scan.verdict == envelope::Scan::Incomplete) return;
        if (scan.verdict != envelope::Scan::Complete) {
            // Not the start of a request: look for one from the next byte on.
            pending_.erase(0, 1);
            ++counters_.skippedBytes;
            continue;
        }
        const std::string payload = pending_.substr(envelope::kHeaderSize, scan.payloadLength);
        pending_.erase(0, envelope::kHeaderSize + scan.payloadLength);
        ++counters_.envelopes;
        counters_.lastPayload = payload;
        Handle(payload, out);
    }
}

void Gateway::Handle(std::string_view payload, std::string &out) {
    // The instrument still sees the request, whatever the gateway answers.
    std::string frame("\xFF\xFF\x00", 3);
    frame += payload;
    frame += '\x01';
    const std::string answer = instrument_.Process(frame);

    if (faults_.silent) return;
    ++counters_.replies;
    if (!faults_.rawReply.empty()) {
        out += faults_.rawReply;
        return;
    }
    if (faults_.errorCode >= 0) {
        out += envelope::ErrorReply(static_cast<unsigned>(faults_.errorCode));
        return;
    }
    // The instrument's reply without its lead-in and terminator; an
    // instrument that stays silent leaves the gateway silent too.
    const std::size_t start = answer.find('\0');
    if (start == std::string::npos) {
        --counters_.replies;
        return;
    }
    std::string_view reply = std::string_view(answer).substr(start + 1);
    if (!reply.empty() && reply.back() == '\x01') reply.remove_suffix(1);
    out += envelope::Wrap(envelope::kFrameMark, reply);
}

}  // namespace sim
