// Commands 11 to 19: software version, sub-devices, restart code, and the
// level-1 and level-2 upgrade loaders writing into the 128 KiB flash.
//
// The level-1 loader speaks its own character protocol once command 12 has
// started it: ":B" PPPP, one flash page of data (256 bytes, 2 hex digits
// each) and XX (the XOR of every character before it) is answered "0" when
// the page was written, "1" otherwise; ":C" "79" is answered "OK" and ends
// the loader. Other bytes between messages are ignored.
#include <algorithm>

#include "sim/handler_support.h"

namespace sim {
namespace {

// The level-1 page message: ":B", page, data, check.
constexpr std::size_t kPageMessageLength = 2 + 4 + 2 * kFlashPageSize + 2;
constexpr std::size_t kEndMessageLength = 4;

HexReply NoData(const HexRequest &request, HexReply reply) {
    return request.data.empty() ? reply : Refuse(kStatusBadRequest);
}

HexReply SoftwareVersion(Instrument &instrument, const HexRequest &request) {
    return NoData(request, Answer(Hex(Vgx(instrument).softwareVersion, 4)));
}

HexReply SubDeviceCount(Instrument &instrument, const HexRequest &request) {
    return NoData(request, Answer(Hex(std::min<std::size_t>(Vgx(instrument).subDevices.size(), 255), 2)));
}

HexReply SubDeviceInfo(Instrument &instrument, const HexRequest &request) {
    unsigned long number = 0;
    if (request.data.size() != 2 || !DataHex(request, 0, 2, &number)) return Refuse(kStatusBadRequest);
    const auto &devices = Vgx(instrument).subDevices;
    if (number >= devices.size()) return Refuse(kStatusOutOfRange);
    const SubDevice &device = devices[number];
    std::string text = device.text.substr(0, kSubDeviceTextLength);
    text.resize(kSubDeviceTextLength, ' ');
    return Answer(Hex(device.code1, 2) + Hex(device.code2, 2) + Hex(device.value1, 4) + Hex(device.value2, 4) + text);
}

HexReply RestartCode(Instrument &instrument, const HexRequest &request) {
    return NoData(request, Answer(Hex(Vgx(instrument).restartCode, 2)));
}

unsigned char Xor(std::string_view text) {
    unsigned char x = 0;
    for (char c : text) x ^= static_cast<unsigned char>(c);
    return x;
}

// A complete ":B" message: "0" when written, "1" when the check, a digit
// or the page is wrong.
char WritePageMessage(Vgx52State &state, std::string_view message) {
    unsigned long page = 0, check = 0;
    if (!ParseHex(message.substr(2, 4), &page) || page >= kFlashPages ||
        !ParseHex(message.substr(message.size() - 2), &check) || check != Xor(message.substr(0, message.size() - 2)))
        return '1';
    std::array<unsigned char, kFlashPageSize> data{};
    for (std::size_t i = 0; i < kFlashPageSize; ++i) {
        unsigned long byte = 0;
        if (!ParseHex(message.substr(6 + 2 * i, 2), &byte)) return '1';
        data[i] = static_cast<unsigned char>(byte);
    }
    std::copy(data.begin(), data.end(), state.flash.begin() + static_cast<std::ptrdiff_t>(page * kFlashPageSize));
    ++state.pagesWritten;
    return '0';
}

bool LevelOneByte(Instrument &instrument, unsigned char byte, std::string &reply) {
    std::string &message = Vgx(instrument).loader1Message;
    if (message.empty()) {
        if (byte == ':') message.push_back(':');
        return true;
    }
    message.push_back(static_cast<char>(byte));
    if (message.size() == 2 && byte != 'B' && byte != 'C') {
        message.clear();
        return true;
    }
    if (message[1] == 'B' && message.size() == kPageMessageLength) {
        reply.push_back(WritePageMessage(Vgx(instrument), message));
        message.clear();
        return true;
    }
    if (message[1] == 'C' && message.size() == kEndMessageLength) {
        const bool end = message[2] == '7' && message[3] == '9';
        message.clear();
        reply += end ? "OK" : "1";
        return !end;  // "OK" ends the loader: frames again
    }
    return true;
}

HexReply StartLevelOne(Instrument &instrument, const HexRequest &request) {
    if (!request.data.empty()) return Refuse(kStatusBadRequest);
    Vgx(instrument).loader1Message.clear();
    instrument.EnterRawMode(LevelOneByte);
    HexReply reply;
    reply.raw = std::string("\r\nOK");
    return reply;
}

HexReply StartLevelTwo(Instrument &instrument, const HexRequest &request) {
    if (!request.data.empty()) return Refuse(kStatusBadRequest);
    Vgx52State &state = Vgx(instrument);
    state.loader2Open = true;
    state.pageBuffer.fill(0xFF);
    return Answer();
}

HexReply CloseLevelTwo(Instrument &instrument, const HexRequest &request) {
    if (!request.data.empty()) return Refuse(kStatusBadRequest);
    Vgx(instrument).loader2Open = false;
    return Answer();
}

HexReply FillPageBuffer(Instrument &instrument, const HexRequest &request) {
    Vgx52State &state = Vgx(instrument);
    unsigned long offset = 0, count = 0;
    if (!DataHex(request, 0, 4, &offset) || !DataHex(request, 4, 2, &count) || request.data.size() != 6 + 2 * count)
        return Refuse(kStatusBadRequest);
    if (!state.loader2Open) return Refuse(kStatusLoaderClosed);
    if (offset + count > kFlashPageSize) return Refuse(kStatusOutOfRange);
    std::array<unsigned char, kFlashPageSize> bytes{};
    for (std::size_t i = 0; i < count; ++i) {
        unsigned long byte = 0;
        if (!DataHex(request, 6 + 2 * i, 2, &byte)) return Refuse(kStatusBadRequest);
        bytes[i] = static_cast<unsigned char>(byte);
    }
    std::copy_n(bytes.begin(), count, state.pageBuffer.begin() + static_cast<std::ptrdiff_t>(offset));
    return Answer();
}

HexReply WritePage(Instrument &instrument, const HexRequest &request) {
    Vgx52State &state = Vgx(instrument);
    unsigned long page = 0;
    if (request.data.size() != 4 || !DataHex(request, 0, 4, &page)) return Refuse(kStatusBadRequest);
    if (!state.loader2Open) return Refuse(kStatusLoaderClosed);
    if (page >= kFlashPages) return Refuse(kStatusOutOfRange);
    std::copy(state.pageBuffer.begin(), state.pageBuffer.end(),
              state.flash.begin() + static_cast<std::ptrdiff_t>(page * kFlashPageSize));
    ++state.pagesWritten;
    return Answer();
}

}  // namespace

void RegisterLoaderCommands(CommandTable &table) {
    table.AddHex(11, SoftwareVersion);
    table.AddHex(12, StartLevelOne);
    table.AddHex(13, SubDeviceCount);
    table.AddHex(14, SubDeviceInfo);
    table.AddHex(15, RestartCode);
    table.AddHex(16, StartLevelTwo);
    table.AddHex(17, CloseLevelTwo);
    table.AddHex(18, FillPageBuffer);
    table.AddHex(19, WritePage);
}

}  // namespace sim
