#include "sim/state_file.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "platform/paths.h"
#include "sim/command_table.h"

namespace sim {
namespace {

constexpr std::string_view kHeader = "vgx52-sim state 1";
// A state file is a few hundred kilobytes at most (every flash page
// written); anything far larger is not one.
constexpr std::size_t kMaxFileSize = 2 * 1024 * 1024;
constexpr std::size_t kMaxSubDevices = 255;

std::string Escape(std::string_view text) {
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\\' || byte < 0x20 || byte > 0x7E)
            out += "\\x" + Hex(byte, 2);
        else
            out += c;
    }
    return out;
}

bool Unescape(std::string_view text, std::string *out) {
    out->clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out->push_back(text[i]);
            continue;
        }
        unsigned long byte = 0;
        if (i + 3 >= text.size() || text[i + 1] != 'x' || !ParseHex(text.substr(i + 2, 2), &byte)) return false;
        out->push_back(static_cast<char>(byte));
        i += 3;
    }
    return true;
}

// Exactly `digits` hex digits.
bool Number(std::string_view text, std::size_t digits, unsigned long *value) {
    return text.size() == digits && ParseHex(text, value);
}

bool FixedText(std::string_view value, std::size_t width, std::string *out) {
    return Unescape(value, out) && out->size() == width;
}

// True when the `count` bytes from `start` all hold `value` (erased flash,
// untouched I/O space): such blocks are left out of the file.
bool Filled(const std::vector<unsigned char> &bytes, std::size_t start, std::size_t count, unsigned char value) {
    for (std::size_t i = 0; i < count; ++i)
        if (bytes[start + i] != value) return false;
    return true;
}

std::string Digits(const std::vector<unsigned char> &bytes, std::size_t start, std::size_t count) {
    std::string digits;
    digits.reserve(2 * count);
    for (std::size_t i = 0; i < count; ++i) digits += Hex(bytes[start + i], 2);
    return digits;
}

// One "key=value" line; false when the key is unknown or the value bad.
bool ApplyLine(std::string_view key, std::string_view value, InstrumentState &state, bool *subDevicesSeen) {
    Vgx52State &vgx = state.vgx;
    unsigned long n = 0;
    if (key == "id") {
        if (!Number(value, 2, &n)) return false;
        state.id = static_cast<unsigned char>(n);
    } else if (key == "type") {
        if (!Number(value, 4, &n)) return false;
        state.typeCode = static_cast<unsigned>(n);
    } else if (key == "software") {
        if (!Number(value, 4, &n)) return false;
        vgx.softwareVersion = static_cast<std::uint16_t>(n);
    } else if (key == "basic") {
        if (!Number(value, 8, &n)) return false;
        vgx.basicValue = static_cast<std::uint32_t>(n);
    } else if (key == "serial") {
        return FixedText(value, kSerialLength, &vgx.serial);
    } else if (key == "clock") {
        return FixedText(value, kClockLength, &vgx.clock);
    } else if (key == "restart") {
        if (!Number(value, 2, &n)) return false;
        vgx.restartCode = static_cast<unsigned char>(n);
    } else if (key.size() == 6 && key.substr(0, 5) == "code.") {
        std::uint32_t *slot = CodeValue(vgx, key[5]);
        if (slot == nullptr || !Number(value, 8, &n)) return false;
        *slot = static_cast<std::uint32_t>(n);
    } else if (key.size() == 6 && key.substr(0, 5) == "real.") {
        std::uint32_t *slot = ReadableReal(vgx, key[5]);
        if (slot == nullptr || !Number(value, 8, &n)) return false;
        *slot = static_cast<std::uint32_t>(n);
    } else if (key.size() == 5 && key.substr(0, 4) == "int.") {
        std::uint16_t *slot = IntegerValue(vgx, key[4]);
        if (slot == nullptr || !Number(value, 4, &n)) return false;
        *slot = static_cast<std::uint16_t>(n);
    } else if (key.size() == 8 && key.substr(0, 4) == "cal." && key[6] == '.') {
        unsigned long step = 0;
        if (!Number(key.substr(4, 2), 2, &step)) return false;
        std::uint32_t *cell = CalibrationCell(vgx, static_cast<int>(step), key[7]);
        if (cell == nullptr || !Number(value, 8, &n)) return false;
        *cell = static_cast<std::uint32_t>(n);
    } else if (key == "subdevice") {
        // "C1 C2 V1V1 V2V2 TEXT"
        unsigned long c1 = 0, c2 = 0, v1 = 0, v2 = 0;
        SubDevice device;
        if (value.size() < 16 || !Number(value.substr(0, 2), 2, &c1) || value[2] != ' ' ||
            !Number(value.substr(3, 2), 2, &c2) || value[5] != ' ' || !Number(value.substr(6, 4), 4, &v1) ||
            value[10] != ' ' || !Number(value.substr(11, 4), 4, &v2) || value[15] != ' ' ||
            !FixedText(value.substr(16), kSubDeviceTextLength, &device.text))
            return false;
        if (!*subDevicesSeen) vgx.subDevices.clear();
        *subDevicesSeen = true;
        if (vgx.subDevices.size() >= kMaxSubDevices) return false;
        device.code1 = static_cast<unsigned char>(c1);
        device.code2 = static_cast<unsigned char>(c2);
        device.value1 = static_cast<std::uint16_t>(v1);
        device.value2 = static_cast<std::uint16_t>(v2);
        vgx.subDevices.push_back(device);
    } else if (key == "subdevices") {
        // "subdevices=none": an instrument without sub-devices.
        if (value != "none") return false;
        vgx.subDevices.clear();
        *subDevicesSeen = true;
    } else if (key.size() == 7 && key.substr(0, 3) == "io.") {
        unsigned long start = 0;
        if (!Number(key.substr(3), 4, &start) || start % kIoBlockSize != 0 || value.size() != 2 * kIoBlockSize)
            return false;
        for (std::size_t i = 0; i < kIoBlockSize; ++i) {
            if (!Number(value.substr(2 * i, 2), 2, &n)) return false;
            state.io[start + i] = static_cast<unsigned char>(n);
        }
    } else if (key.size() == 10 && key.substr(0, 6) == "flash.") {
        unsigned long page = 0;
        if (!Number(key.substr(6), 4, &page) || page >= kFlashPages || value.size() != 2 * kFlashPageSize) return false;
        for (std::size_t i = 0; i < kFlashPageSize; ++i) {
            if (!Number(value.substr(2 * i, 2), 2, &n)) return false;
            vgx.flash[page * kFlashPageSize + i] = static_cast<unsigned char>(n);
        }
    } else {
        return false;
    }
    return true;
}

}  // namespace

std::string FormatState(const InstrumentState &state) {
    const Vgx52State &vgx = state.vgx;
    std::string out(kHeader);
    out += '\n';
    const auto line = [&](const std::string &key, const std::string &value) { out += key + "=" + value + "\n"; };
    line("id", Hex(state.id, 2));
    line("type", Hex(state.typeCode & 0xFFFF, 4));
    line("software", Hex(vgx.softwareVersion, 4));
    line("basic", Hex(vgx.basicValue, 8));
    line("serial", Escape(vgx.serial));
    line("clock", Escape(vgx.clock));
    line("restart", Hex(vgx.restartCode, 2));
    for (char c = 'A'; c <= 'G'; ++c)
        line(std::string("code.") + c, Hex(vgx.codes[static_cast<std::size_t>(c - 'A')], 8));
    for (char c = 'A'; c <= 'I'; ++c)
        line(std::string("real.") + c, Hex(vgx.upperReals[static_cast<std::size_t>(c - 'A')], 8));
    for (char c = 'a'; c <= 'r'; ++c)
        line(std::string("real.") + c, Hex(vgx.lowerReals[static_cast<std::size_t>(c - 'a')], 8));
    line("int.A", Hex(vgx.integers[0], 4));
    line("int.B", Hex(vgx.integers[1], 4));
    line("int.a", Hex(vgx.integers[2], 4));
    for (int step = 1; step <= kCalibrationSteps; ++step)
        for (int column = 0; column < kCalibrationColumns; ++column)
            line("cal." + Hex(static_cast<unsigned>(step), 2) + "." + static_cast<char>('A' + column),
                 Hex(vgx.calibration[static_cast<std::size_t>(step - 1)][static_cast<std::size_t>(column)], 8));
    if (vgx.subDevices.empty()) line("subdevices", "none");
    for (const SubDevice &d : vgx.subDevices) {
        std::string text = d.text.substr(0, kSubDeviceTextLength);
        text.resize(kSubDeviceTextLength, ' ');
        line("subdevice", Hex(d.code1, 2) + " " + Hex(d.code2, 2) + " " + Hex(d.value1, 4) + " " + Hex(d.value2, 4) +
                              " " + Escape(text));
    }
    for (std::size_t start = 0; start + kIoBlockSize <= state.io.size(); start += kIoBlockSize) {
        if (Filled(state.io, start, kIoBlockSize, 0x00)) continue;
        line("io." + Hex(start, 4), Digits(state.io, start, kIoBlockSize));
    }
    for (std::size_t page = 0; page < kFlashPages && (page + 1) * kFlashPageSize <= vgx.flash.size(); ++page) {
        if (Filled(vgx.flash, page * kFlashPageSize, kFlashPageSize, 0xFF)) continue;
        line("flash." + Hex(page, 4), Digits(vgx.flash, page * kFlashPageSize, kFlashPageSize));
    }
    return out;
}

bool ParseState(std::string_view text, InstrumentState &state, std::string *error) {
    InstrumentState loaded = state;
    // Flash pages the file leaves out are erased ones, I/O blocks left out hold zeros.
    std::fill(loaded.vgx.flash.begin(), loaded.vgx.flash.end(), 0xFF);
    loaded.io.assign(kIoSize, 0x00);
    bool subDevicesSeen = false;
    std::size_t number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (number == 1) {
            if (line != kHeader) {
                *error = "not a vgx52-sim state file (first line is not \"" + std::string(kHeader) + "\")";
                return false;
            }
            continue;
        }
        if (line.empty() || line[0] == '#') continue;
        const std::size_t eq = line.find('=');
        const bool ok =
            eq != std::string_view::npos && ApplyLine(line.substr(0, eq), line.substr(eq + 1), loaded, &subDevicesSeen);
        if (!ok) {
            const std::string shown(line.substr(0, std::min<std::size_t>(line.size(), 40)));
            *error = "line " + std::to_string(number) + " is not valid: " + Escape(shown);
            return false;
        }
    }
    if (number == 0) {
        *error = "the state file is empty";
        return false;
    }
    state = std::move(loaded);
    return true;
}

bool SaveState(const InstrumentState &state, const std::string &path, std::string *error) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << FormatState(state);
        file.flush();
        if (!file) {
            *error = "cannot write " + temporary;
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (platform::MoveOver(temporary, path) != 0) {
        *error = "cannot replace " + path;
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool LoadState(InstrumentState &state, const std::string &path, std::string *error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        *error = "cannot read " + path;
        return false;
    }
    std::string text;
    char chunk[65536];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
        text.append(chunk, static_cast<std::size_t>(file.gcount()));
        if (text.size() > kMaxFileSize) {
            *error = path + " is too large for a state file";
            return false;
        }
    }
    if (!ParseState(text, state, error)) {
        *error = path + ": " + *error;
        return false;
    }
    return true;
}

}  // namespace sim
