#include "upgrade/hex_record.h"

namespace upgrade {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The byte count an address or end record must carry; -1 for data, -2 for
// a type the reader does not know.
constexpr int kAddressBytes = 2;  // a segment or upper linear address
constexpr int kStartBytes = 4;    // a start address: CS:IP or EIP

int ExpectedCount(int type) {
    switch (type) {
    case kHexData: return -1;
    case kHexEndOfFile: return 0;
    case kHexSegmentAddress:
    case kHexLinearAddress: return kAddressBytes;
    case kHexStartSegment:
    case kHexStartLinear: return kStartBytes;
    default: return -2;
    }
}

}  // namespace

const char *HexFaultText(HexFault fault) {
    switch (fault) {
    case HexFault::None: return "no fault";
    case HexFault::NotARecord: return "the line is not an Intel-HEX record";
    case HexFault::BadChecksum: return "the record's checksum is wrong";
    case HexFault::BadAddressRecord: return "an end or address record has the wrong length";
    case HexFault::UnknownType: return "the record type is unknown";
    case HexFault::PastImage: return "the data lies beyond the instrument's 128 KiB flash memory";
    case HexFault::LineTooLong: return "the line is longer than any record";
    case HexFault::NoEndRecord: return "the file ends without its end-of-file record";
    case HexFault::ReadError: return "the file could not be read to its end";
    }
    return "unknown fault";
}

bool IsBlankHexLine(std::string_view line) {
    for (char c : line)
        if (!IsBlank(c)) return false;
    return true;
}

HexFault ParseHexRecord(std::string_view line, HexRecord &record) {
    while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
    if (line.size() > static_cast<std::size_t>(kHexMaxLine)) return HexFault::LineTooLong;
    // Shortest record: ":" and five bytes (count, offset, type, checksum).
    if (line.size() < 11 || line[0] != ':' || (line.size() - 1) % 2 != 0) return HexFault::NotARecord;

    std::array<unsigned char, kHexMaxData + 5> bytes{};
    const std::size_t byteCount = (line.size() - 1) / 2;
    unsigned sum = 0;
    for (std::size_t i = 0; i < byteCount; ++i) {
        const int high = HexDigit(line[1 + 2 * i]);
        const int low = HexDigit(line[2 + 2 * i]);
        if (high < 0 || low < 0) return HexFault::NotARecord;
        bytes[i] = static_cast<unsigned char>(high * 16 + low);
        sum += bytes[i];
    }
    const int count = bytes[0];
    if (byteCount != static_cast<std::size_t>(count) + 5) return HexFault::NotARecord;
    if ((sum & 0xFF) != 0) return HexFault::BadChecksum;

    const int type = bytes[3];
    const int expected = ExpectedCount(type);
    if (expected == -2) return HexFault::UnknownType;
    if (expected >= 0 && count != expected) return HexFault::BadAddressRecord;

    record.count = count;
    record.offset = bytes[1] * 256 + bytes[2];
    record.type = type;
    for (int i = 0; i < count; ++i) record.data[static_cast<std::size_t>(i)] = bytes[static_cast<std::size_t>(4 + i)];
    return HexFault::None;
}

}  // namespace upgrade
