#include "sim/gateway.h"

namespace sim {

std::string Gateway::Envelope(char mark, std::string_view payload) {
    std::string out(1, mark);
    out += Hex(payload.size() & 0xFFFF, 4);
    out += payload;
    return out;
}

void Gateway::Receive(std::string_view bytes, std::string &out) {
    pending_.append(bytes);
    for (;;) {
        if (pending_.empty()) return;
        unsigned long length = 0;
        if (pending_[0] != 'b') {
            pending_.erase(0, 1);
            ++counters_.skippedBytes;
            continue;
        }
        if (pending_.size() < 5) return;
        if (!ParseHex(std::string_view(pending_).substr(1, 4), &length)) {
            pending_.erase(0, 1);
            ++counters_.skippedBytes;
            continue;
        }
        if (pending_.size() < 5 + length) return;
        const std::string payload = pending_.substr(5, length);
        pending_.erase(0, 5 + length);
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
        out += Envelope('c', Hex(static_cast<unsigned long>(faults_.errorCode) & 0xFFFF, 4));
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
    out += Envelope('b', reply);
}

}  // namespace sim
