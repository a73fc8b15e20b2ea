// Small helpers for the command handlers: answers and request fields.
#pragma once
#include <string>
#include <string_view>

#include "sim/command_table.h"
#include "sim/instrument.h"
#include "sim/vgx52_state.h"

namespace sim {

inline HexReply Answer(std::string data = {}) {
    HexReply reply;
    reply.data = std::move(data);
    return reply;
}
inline HexReply Refuse(int status) {
    HexReply reply;
    reply.status = status;
    return reply;
}

// A hex number of `digits` digits at `pos` of the request's data.
inline bool DataHex(const HexRequest &request, std::size_t pos, std::size_t digits, unsigned long *value) {
    return pos + digits <= request.data.size() && ParseHex(request.data.substr(pos, digits), value);
}

// A request's code letter (two hex digits of its character value).
inline bool DataLetter(const HexRequest &request, std::size_t pos, char *letter) {
    unsigned long value = 0;
    if (!DataHex(request, pos, 2, &value)) return false;
    *letter = static_cast<char>(value);
    return true;
}

inline Vgx52State &Vgx(Instrument &instrument) { return instrument.State().vgx; }

}  // namespace sim
