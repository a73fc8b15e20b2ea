#include "upgrade/hex_reader.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/textfile.h"
#include "upgrade/hex_record.h"

namespace {

int g_faultLine = 0;
upgrade::HexFault g_fault = upgrade::HexFault::None;

struct Load {
    std::vector<unsigned char> image = std::vector<unsigned char>(UpLoad_RozmiarObrazu, UpLoad_WartoscPustegoBajtu);
    long long base = 0;
    long long highest = -1;  // highest stored address; -1 while nothing is stored
};

// One parsed record into the scratch load; a fault stops the read.
upgrade::HexFault Apply(const upgrade::HexRecord &record, int loadLimit, Load &load) {
    switch (record.type) {
    case upgrade::kHexData: {
        if (record.count == 0) return upgrade::HexFault::None;
        const long long address = load.base + record.offset;
        // Addresses are base + offset without wrapping at 64 KiB. Data the
        // loader never takes (EEPROM and fuses at 0x810000 and up, as avr-gcc
        // writes them; a bootloader high in flash) lies at or above the limit.
        if (address >= loadLimit) return upgrade::HexFault::None;
        if (address + record.count > UpLoad_RozmiarObrazu) return upgrade::HexFault::PastImage;
        std::copy_n(record.data.begin(), record.count, load.image.begin() + address);
        load.highest = std::max(load.highest, address + record.count - 1);
        return upgrade::HexFault::None;
    }
    case upgrade::kHexSegmentAddress:
        load.base = static_cast<long long>(record.data[0] * 256 + record.data[1]) * 16;
        return upgrade::HexFault::None;
    case upgrade::kHexLinearAddress:
        load.base = static_cast<long long>(record.data[0] * 256 + record.data[1]) << 16;
        return upgrade::HexFault::None;
    default:  // start addresses mean nothing to flash
        return upgrade::HexFault::None;
    }
}

int Refuse(upgrade::HexFault fault, int line) {
    g_fault = fault;
    g_faultLine = line;
    return UpLoad_ZbiorUszkodzony;
}

}  // namespace

int UpLoad_OdczytajZbiorHEX(const char *path, unsigned char *image, int *pageCount, int pageSize, int loadLimit) {
    g_fault = upgrade::HexFault::None;
    g_faultLine = 0;
    if (image == nullptr || pageCount == nullptr || pageSize < 1) return UpLoad_ZleArgumenty;

    platform::TextFileReader file;
    if (path == nullptr || !file.Open(path, platform::Encoding::Cp1250)) return UpLoad_BrakZbioru;

    Load load;
    upgrade::HexRecord record;
    std::string line;
    int lineNumber = 0;
    bool ended = false;
    while (!ended) {
        // One byte more than the longest record, so that a longer line shows.
        const int length = file.ReadLine(line, upgrade::kHexMaxLine + 1);
        if (length == -2) break;
        ++lineNumber;
        if (length < 0) return Refuse(upgrade::HexFault::ReadError, lineNumber);
        if (length > upgrade::kHexMaxLine && !upgrade::IsBlankHexLine(line))
            return Refuse(upgrade::HexFault::LineTooLong, lineNumber);
        if (upgrade::IsBlankHexLine(line)) continue;
        upgrade::HexFault fault = upgrade::ParseHexRecord(line, record);
        if (fault == upgrade::HexFault::None) fault = Apply(record, loadLimit, load);
        if (fault != upgrade::HexFault::None) return Refuse(fault, lineNumber);
        ended = record.type == upgrade::kHexEndOfFile;
    }
    if (!ended) return Refuse(upgrade::HexFault::NoEndRecord, lineNumber + 1);

    std::copy(load.image.begin(), load.image.end(), image);
    *pageCount = load.highest < 0 ? 0 : static_cast<int>((load.highest + pageSize) / pageSize);
    return UpLoad_ZbiorOdczytany;
}

int UpLoad_LiniaBleduZbioru() { return g_faultLine; }

const char *UpLoad_OpisBleduZbioru() {
    return g_fault == upgrade::HexFault::None ? "" : upgrade::HexFaultText(g_fault);
}
