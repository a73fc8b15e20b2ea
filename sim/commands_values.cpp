// Generic commands beyond identification: ID, basic value, serial number
// and clock (1, 2, 4 to 7, 9, 10).
#include "sim/handler_support.h"

namespace sim {
namespace {

HexReply ReadId(Instrument &instrument, const HexRequest &request) {
    if (!request.data.empty()) return Refuse(kStatusBadRequest);
    return Answer(Hex(instrument.State().id, 2));
}

HexReply WriteId(Instrument &instrument, const HexRequest &request) {
    unsigned long id = 0;
    if (request.data.size() != 2 || !DataHex(request, 0, 2, &id)) return Refuse(kStatusBadRequest);
    // The reply still comes from the address the request was sent to.
    instrument.State().id = static_cast<unsigned char>(id);
    return Answer();
}

HexReply ReadBasic(Instrument &instrument, const HexRequest &request) {
    if (!request.data.empty()) return Refuse(kStatusBadRequest);
    return Answer(Hex(Vgx(instrument).basicValue, 8));
}

HexReply WriteBasic(Instrument &instrument, const HexRequest &request) {
    unsigned long bits = 0;
    if (request.data.size() != 8 || !DataHex(request, 0, 8, &bits)) return Refuse(kStatusBadRequest);
    Vgx(instrument).basicValue = static_cast<std::uint32_t>(bits);
    return Answer();
}

HexReply ReadText(const std::string &text, const HexRequest &request) {
    if (!request.data.empty()) return Refuse(kStatusBadRequest);
    return Answer(text);
}

HexReply WriteText(std::string &text, std::size_t width, const HexRequest &request) {
    if (request.data.size() != width) return Refuse(kStatusBadRequest);
    text.assign(request.data);
    return Answer();
}

HexReply ReadSerial(Instrument &instrument, const HexRequest &request) {
    return ReadText(Vgx(instrument).serial, request);
}
HexReply WriteSerial(Instrument &instrument, const HexRequest &request) {
    return WriteText(Vgx(instrument).serial, kSerialLength, request);
}
HexReply ReadClock(Instrument &instrument, const HexRequest &request) {
    return ReadText(Vgx(instrument).clock, request);
}
HexReply WriteClock(Instrument &instrument, const HexRequest &request) {
    return WriteText(Vgx(instrument).clock, kClockLength, request);
}

}  // namespace

void RegisterValueCommands(CommandTable &table) {
    table.AddHex(1, ReadId);
    table.AddHex(2, WriteId);
    table.AddHex(4, ReadBasic);
    table.AddHex(5, WriteBasic);
    table.AddHex(6, ReadSerial);
    table.AddHex(7, WriteSerial);
    table.AddHex(9, ReadClock);
    table.AddHex(10, WriteClock);
}

}  // namespace sim
