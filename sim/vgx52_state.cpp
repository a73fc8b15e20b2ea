#include "sim/vgx52_state.h"

#include <bit>

namespace sim {
namespace {

std::uint32_t Bits(float value) { return std::bit_cast<std::uint32_t>(value); }

}  // namespace

Vgx52State::Vgx52State() : flash(kFlashSize, 0xFF) {
    pageBuffer.fill(0xFF);
    // The air settings: gas constant "a" and the density "E" it gives.
    lowerReals[0] = Bits(287.055f);
    upperReals['E' - 'A'] = 0x3FA568C6;
    upperReals['I' - 'A'] = Bits(20.5f);
    for (int step = 0; step < kCalibrationSteps; ++step)
        for (int column = 0; column < kCalibrationColumns; ++column)
            calibration[step][column] = Bits(static_cast<float>((step + 1) * 10 + column));
    codes = {0x00000001, 0x00000002, 0x00000004, 0x00000008, 0x00000010, 0x00000020, 0x00000040};
    integers = {100, 0xFFFF, 0x8000};
    subDevices = {{0x01, 0x10, 0x0102, 0x0304, "CZUJNIK1"}, {0x02, 0x20, 0xFFFF, 0x0000, "MODUL IO"}};
}

std::uint32_t *ReadableReal(Vgx52State &state, char code) {
    if (code >= 'A' && code <= 'I') return &state.upperReals[static_cast<std::size_t>(code - 'A')];
    if (code >= 'a' && code <= 'r') return &state.lowerReals[static_cast<std::size_t>(code - 'a')];
    return nullptr;
}

std::uint32_t *WritableReal(Vgx52State &state, char code) { return code == 'I' ? nullptr : ReadableReal(state, code); }

std::uint32_t *CodeValue(Vgx52State &state, char code) {
    if (code >= 'A' && code <= 'G') return &state.codes[static_cast<std::size_t>(code - 'A')];
    return nullptr;
}

std::uint16_t *IntegerValue(Vgx52State &state, char code) {
    switch (code) {
    case 'A': return &state.integers[0];
    case 'B': return &state.integers[1];
    case 'a': return &state.integers[2];
    default: return nullptr;
    }
}

std::uint32_t *CalibrationCell(Vgx52State &state, int step, char column) {
    if (step < 1 || step > kCalibrationSteps || column < 'A' || column >= 'A' + kCalibrationColumns) return nullptr;
    return &state.calibration[static_cast<std::size_t>(step - 1)][static_cast<std::size_t>(column - 'A')];
}

}  // namespace sim
