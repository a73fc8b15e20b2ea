// The VGX52's register commands 0x81 to 0x87.
#include "sim/handler_support.h"

namespace sim {
namespace {

// The code letter alone, as the reads send it.
bool OnlyLetter(const HexRequest &request, char *letter) {
    return request.data.size() == 2 && DataLetter(request, 0, letter);
}

HexReply ReadCode(Instrument &instrument, const HexRequest &request) {
    char code = 0;
    if (!OnlyLetter(request, &code)) return Refuse(kStatusBadRequest);
    const std::uint32_t *slot = CodeValue(Vgx(instrument), code);
    return slot ? Answer(Hex(*slot, 8)) : Refuse(kStatusOutOfRange);
}

HexReply ReadReal(Instrument &instrument, const HexRequest &request) {
    char code = 0;
    if (!OnlyLetter(request, &code)) return Refuse(kStatusBadRequest);
    const std::uint32_t *slot = ReadableReal(Vgx(instrument), code);
    return slot ? Answer(Hex(*slot, 8)) : Refuse(kStatusOutOfRange);
}

HexReply WriteReal(Instrument &instrument, const HexRequest &request) {
    char code = 0;
    unsigned long bits = 0;
    if (request.data.size() != 10 || !DataLetter(request, 0, &code) || !DataHex(request, 2, 8, &bits))
        return Refuse(kStatusBadRequest);
    std::uint32_t *slot = WritableReal(Vgx(instrument), code);
    if (slot == nullptr) return Refuse(kStatusOutOfRange);
    *slot = static_cast<std::uint32_t>(bits);
    return Answer();
}

HexReply ReadInt(Instrument &instrument, const HexRequest &request) {
    char code = 0;
    if (!OnlyLetter(request, &code)) return Refuse(kStatusBadRequest);
    const std::uint16_t *slot = IntegerValue(Vgx(instrument), code);
    return slot ? Answer(Hex(*slot, 4)) : Refuse(kStatusOutOfRange);
}

HexReply WriteInt(Instrument &instrument, const HexRequest &request) {
    char code = 0;
    unsigned long value = 0;
    if (request.data.size() != 6 || !DataLetter(request, 0, &code) || !DataHex(request, 2, 4, &value))
        return Refuse(kStatusBadRequest);
    std::uint16_t *slot = IntegerValue(Vgx(instrument), code);
    if (slot == nullptr) return Refuse(kStatusOutOfRange);
    *slot = static_cast<std::uint16_t>(value);
    return Answer();
}

// Step and column at the front of a calibration request.
std::uint32_t *Cell(Instrument &instrument, const HexRequest &request, int *status) {
    unsigned long step = 0;
    char column = 0;
    if (!DataHex(request, 0, 2, &step) || !DataLetter(request, 2, &column)) {
        *status = kStatusBadRequest;
        return nullptr;
    }
    std::uint32_t *cell = CalibrationCell(Vgx(instrument), static_cast<int>(step), column);
    if (cell == nullptr) *status = kStatusOutOfRange;
    return cell;
}

HexReply ReadCalibration(Instrument &instrument, const HexRequest &request) {
    if (request.data.size() != 4) return Refuse(kStatusBadRequest);
    int status = 0;
    const std::uint32_t *cell = Cell(instrument, request, &status);
    return cell ? Answer(Hex(*cell, 8)) : Refuse(status);
}

HexReply WriteCalibration(Instrument &instrument, const HexRequest &request) {
    unsigned long bits = 0;
    if (request.data.size() != 12 || !DataHex(request, 4, 8, &bits)) return Refuse(kStatusBadRequest);
    int status = 0;
    std::uint32_t *cell = Cell(instrument, request, &status);
    if (cell == nullptr) return Refuse(status);
    *cell = static_cast<std::uint32_t>(bits);
    return Answer();
}

}  // namespace

void RegisterVgx52Commands(CommandTable &table) {
    table.AddHex(0x81, ReadCode);
    table.AddHex(0x82, ReadReal);
    table.AddHex(0x83, WriteReal);
    table.AddHex(0x84, ReadInt);
    table.AddHex(0x85, WriteInt);
    table.AddHex(0x86, ReadCalibration);
    table.AddHex(0x87, WriteCalibration);
}

}  // namespace sim
