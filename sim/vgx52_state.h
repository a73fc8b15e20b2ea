// What the simulated VGX52 keeps beyond its ID and type code: software
// version, basic value, serial number, clock text, its coded values and
// calibration table, restart code, sub-devices, and the two upgrade loaders
// with their 128 KiB flash.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

inline constexpr std::size_t kFlashSize = 128 * 1024;
inline constexpr std::size_t kFlashPageSize = 256;
inline constexpr std::size_t kFlashPages = kFlashSize / kFlashPageSize;
inline constexpr std::size_t kSerialLength = 8;
inline constexpr std::size_t kClockLength = 17;
inline constexpr std::size_t kSubDeviceTextLength = 8;
inline constexpr int kCalibrationSteps = 15;
inline constexpr int kCalibrationColumns = 3;

// Statuses the simulated instrument answers with.
inline constexpr int kStatusBadRequest = 4;    // data field of the wrong length, or not hex where hex is due
inline constexpr int kStatusOutOfRange = 5;    // code, step, device, offset or page outside its range
inline constexpr int kStatusLoaderClosed = 6;  // level-2 loader command before the loader was started

struct SubDevice {
    unsigned char code1 = 0;
    unsigned char code2 = 0;
    std::uint16_t value1 = 0;
    std::uint16_t value2 = 0;
    std::string text;  // kSubDeviceTextLength characters
};

struct Vgx52State {
    Vgx52State();

    std::uint16_t softwareVersion = 105;
    std::uint32_t basicValue = 0x3F800000;       // single-precision pattern of 1.0
    std::string serial = "VG520001";             // kSerialLength characters
    std::string clock = "31.01.24 12:00:00";     // kClockLength characters: DD.MM.YY HH:MM:SS
    std::array<std::uint32_t, 7> codes{};        // "A".."G"
    std::array<std::uint32_t, 9> upperReals{};   // "A".."I", single-precision patterns
    std::array<std::uint32_t, 18> lowerReals{};  // "a".."r"
    std::array<std::uint16_t, 3> integers{};     // "A", "B", "a"
    std::array<std::array<std::uint32_t, kCalibrationColumns>, kCalibrationSteps> calibration{};
    unsigned char restartCode = 0x01;  // power-on reset
    std::vector<SubDevice> subDevices;

    // Level-2 loader (commands 16 to 19).
    bool loader2Open = false;
    std::array<unsigned char, kFlashPageSize> pageBuffer{};
    int pagesWritten = 0;              // flash pages written by either loader
    std::vector<unsigned char> flash;  // kFlashSize bytes, erased = 0xFF

    // Level-1 loader (after command 12): the message being received.
    std::string loader1Message;
};

// The slot of a real code for reading ("A".."I", "a".."r") or writing
// ("A".."H", "a".."r"); nullptr when the code has none.
std::uint32_t *ReadableReal(Vgx52State &state, char code);
std::uint32_t *WritableReal(Vgx52State &state, char code);
std::uint32_t *CodeValue(Vgx52State &state, char code);
std::uint16_t *IntegerValue(Vgx52State &state, char code);
// Step 1..15, column "A".."C".
std::uint32_t *CalibrationCell(Vgx52State &state, int step, char column);

}  // namespace sim
