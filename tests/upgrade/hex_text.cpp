#include "hex_text.h"

#include <stdlib.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace upgrade_test {

std::string Record(int type, int offset, const std::vector<std::uint8_t> &data) {
    std::vector<std::uint8_t> bytes = {static_cast<std::uint8_t>(data.size()), static_cast<std::uint8_t>(offset >> 8),
                                       static_cast<std::uint8_t>(offset), static_cast<std::uint8_t>(type)};
    bytes.insert(bytes.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (std::uint8_t b : bytes) sum += b;
    bytes.push_back(static_cast<std::uint8_t>(0x100 - (sum & 0xFF)));
    std::string line = ":";
    char pair[3];
    for (std::uint8_t b : bytes) {
        std::snprintf(pair, sizeof pair, "%02X", b);
        line += pair;
    }
    return line;
}

std::string DataRecord(int offset, const std::vector<std::uint8_t> &data) { return Record(0, offset, data); }
std::string SegmentRecord(int segment) {
    return Record(2, 0, {static_cast<std::uint8_t>(segment >> 8), static_cast<std::uint8_t>(segment)});
}
std::string LinearRecord(int upper) {
    return Record(4, 0, {static_cast<std::uint8_t>(upper >> 8), static_cast<std::uint8_t>(upper)});
}
std::string EndRecord() { return ":00000001FF"; }

std::string HexDigits(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

std::vector<std::uint8_t> Pattern(int address, int count) {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < count; ++i) {
        const unsigned a = static_cast<unsigned>(address + i);
        bytes.push_back(static_cast<std::uint8_t>((a * 7u) ^ (a >> 8) ^ (a >> 16)));
    }
    return bytes;
}

std::string Join(const std::vector<std::string> &lines, const char *lineEnd) {
    std::string text;
    for (const std::string &line : lines) text += line + lineEnd;
    return text;
}

std::string TempFolder() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/vgx52-upgrade-test-XXXXXX";
        const char *made = mkdtemp(pattern);
        return std::string(made != nullptr ? made : "/tmp");
    }();
    return folder;
}

std::string WriteTempFile(const std::string &name, const std::string &bytes) {
    const std::string path = TempFolder() + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string ReadFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace upgrade_test
