// The older binary-frame commands: no-operation, password, clear password,
// and reading and writing the I/O byte memory.
#include "sim/command_table.h"
#include "sim/instrument.h"

namespace sim {
namespace {

constexpr std::string_view kPassword = "VelmoKarn";

LegacyReply Silent() {
    LegacyReply reply;
    reply.silent = true;
    return reply;
}

LegacyReply Nop(Instrument &, const LegacyRequest &) { return {}; }

LegacyReply GivePassword(Instrument &instrument, const LegacyRequest &request) {
    if (request.payload != kPassword) return Silent();
    instrument.State().passwordGiven = true;
    return {};
}

LegacyReply ClearPassword(Instrument &instrument, const LegacyRequest &) {
    instrument.State().passwordGiven = false;
    return {};
}

// Start address (4 hex digits) and count (2) at the front of an I/O payload;
// false when they are not hex or reach past the memory.
bool IoRange(Instrument &instrument, std::string_view payload, unsigned long &start, unsigned long &count) {
    if (payload.size() < 6 || !ParseHex(payload.substr(0, 4), &start) || !ParseHex(payload.substr(4, 2), &count))
        return false;
    return count > 0 && start + count <= instrument.State().io.size();
}

LegacyReply ReadIo(Instrument &instrument, const LegacyRequest &request) {
    unsigned long start = 0, count = 0;
    if (request.payload.size() != 6 || !IoRange(instrument, request.payload, start, count)) return Silent();
    LegacyReply reply;
    for (unsigned long i = 0; i < count; ++i) reply.payload += Hex(instrument.State().io[start + i], 2);
    return reply;
}

LegacyReply WriteIo(Instrument &instrument, const LegacyRequest &request) {
    unsigned long start = 0, count = 0;
    if (!IoRange(instrument, request.payload, start, count) || request.payload.size() != 6 + 2 * count) return Silent();
    std::array<unsigned char, 255> bytes{};
    for (unsigned long i = 0; i < count; ++i) {
        unsigned long value = 0;
        if (!ParseHex(request.payload.substr(6 + 2 * i, 2), &value)) return Silent();
        bytes[i] = static_cast<unsigned char>(value);
    }
    for (unsigned long i = 0; i < count; ++i) instrument.State().io[start + i] = bytes[i];
    return {};
}

}  // namespace

void RegisterLegacyCommands(CommandTable &table) {
    table.AddLegacy('D', GivePassword);
    table.AddLegacy('E', ClearPassword);
    table.AddLegacy('F', ReadIo);
    table.AddLegacy('G', WriteIo);
    table.AddLegacy('H', Nop);
}

}  // namespace sim
