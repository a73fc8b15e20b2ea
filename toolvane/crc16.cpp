#include "toolvane/crc16.h"

#include <array>
#include <cstdint>

namespace {

// The pair of 256-byte tables of the Modbus serial-line reference code:
// for index i, the reflected remainder of the single byte i under 0xA001,
// its low byte in the "high" table and its high byte in the "low" table.
struct CrcTables {
    std::array<std::uint8_t, 256> high{};
    std::array<std::uint8_t, 256> low{};
};

constexpr CrcTables MakeTables() {
    CrcTables t;
    for (unsigned i = 0; i < 256; ++i) {
        unsigned r = i;
        for (int bit = 0; bit < 8; ++bit) r = (r & 1u) ? (r >> 1) ^ 0xA001u : r >> 1;
        t.high[i] = static_cast<std::uint8_t>(r & 0xFFu);
        t.low[i] = static_cast<std::uint8_t>(r >> 8);
    }
    return t;
}

constexpr CrcTables kTables = MakeTables();

static_assert(kTables.high[1] == 0xC1 && kTables.high[2] == 0x81 && kTables.high[3] == 0x40);
static_assert(kTables.low[1] == 0xC0 && kTables.low[2] == 0xC1 && kTables.low[3] == 0x01);

}  // namespace

int Toolvane_PoliczCRC16(const unsigned char *data, int count) {
    std::uint8_t hi = 0xFF;
    std::uint8_t lo = 0xFF;
    if (count <= 0 || data == nullptr) return 0xFFFF;
    for (int n = 0; n < count; ++n) {
        const std::uint8_t index = hi ^ data[n];
        hi = lo ^ kTables.high[index];
        lo = kTables.low[index];
    }
    return hi * 256 + lo;
}

long long Toolvane_ChangeByteOrderIn64Int(long long value) {
    const auto in = static_cast<std::uint64_t>(value);
    std::uint64_t out = 0;
    for (int byte = 0; byte < 8; ++byte) out |= ((in >> (8 * byte)) & 0xFFu) << (8 * (7 - byte));
    return static_cast<long long>(out);
}
