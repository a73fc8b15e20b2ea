// One line of an Intel-HEX file taken apart and checked: start character,
// byte count, load offset, record type, data field and record checksum.
#pragma once
#include <array>
#include <string_view>

namespace upgrade {

// Why a firmware file was refused; kept with the line it was found on.
enum class HexFault {
    None = 0,
    NotARecord,        // no ":" first, a character that is not a hex digit, or a length
                       // that does not match the byte count
    BadChecksum,       // the bytes of the record do not add up to 0 (mod 256)
    BadAddressRecord,  // an end, address or start record with the wrong byte count
    UnknownType,       // a record type other than 00 to 05
    PastImage,         // data that would land beyond the 128 KiB flash image
    LineTooLong,       // longer than the longest record (255 data bytes)
    NoEndRecord,       // the file ends without an end-of-file record
    ReadError,         // the file could not be read to its end
};

// The text the operator sees for a fault (English, as the upgrade's popups).
const char *HexFaultText(HexFault fault);

enum HexRecordType : int {
    kHexData = 0x00,
    kHexEndOfFile = 0x01,
    kHexSegmentAddress = 0x02,
    kHexStartSegment = 0x03,
    kHexLinearAddress = 0x04,
    kHexStartLinear = 0x05,
};

inline constexpr int kHexMaxData = 255;
// ":" + count, offset, type, 255 data bytes and checksum as two hex digits each.
inline constexpr int kHexMaxLine = 1 + 2 * (1 + 2 + 1 + kHexMaxData + 1);

struct HexRecord {
    int count = 0;
    int offset = 0;
    int type = 0;
    std::array<unsigned char, kHexMaxData> data{};
};

// True for a line the reader passes over: empty, or nothing but blanks.
bool IsBlankHexLine(std::string_view line);

// Parses one line (without its line end; blanks after the record are
// allowed). Address and end records must carry the byte count their type
// has: 0 for type 01, 2 for types 02 and 04, 4 for types 03 and 05.
HexFault ParseHexRecord(std::string_view line, HexRecord &record);

}  // namespace upgrade
