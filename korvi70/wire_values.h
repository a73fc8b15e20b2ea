// Values as the numbered commands carry them: reals as the bit pattern of a
// single-precision number in 8 hex digits, 16-bit integers in 4 digits, and
// fixed-width texts.
#pragma once
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "korvi70/frame_hex.h"

namespace korvi70 {

// The single-precision bit pattern of value; false when single precision
// cannot hold it (not finite, or beyond its largest value), since such a
// conversion has no defined result.
inline bool FloatBits(double value, std::uint32_t *bits) {
    if (!std::isfinite(value) || std::fabs(value) > static_cast<double>(FLT_MAX)) return false;
    *bits = std::bit_cast<std::uint32_t>(static_cast<float>(value));
    return true;
}

// Eight hex digits taken as a single-precision pattern, widened.
inline bool ParseFloat(std::string_view digits, double *value) {
    unsigned bits = 0;
    if (digits.size() != 8 || !ParseHex(digits, &bits)) return false;
    *value = static_cast<double>(std::bit_cast<float>(static_cast<std::uint32_t>(bits)));
    return true;
}

// Four hex digits taken as a signed 16-bit number.
inline bool ParseInt16(std::string_view digits, int *value) {
    unsigned bits = 0;
    if (digits.size() != 4 || !ParseHex(digits, &bits)) return false;
    *value = static_cast<std::int16_t>(static_cast<std::uint16_t>(bits));
    return true;
}

// Exactly `digits` hex digits as an unsigned number.
inline bool ParseHexField(std::string_view chars, std::size_t digits, unsigned *value) {
    return chars.size() == digits && ParseHex(chars, value);
}

// True when text can travel inside a frame: no byte below 0x20, since 0x00
// starts and 0x01 ends a frame on the instrument's side.
inline bool SendableText(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20) return false;
    return true;
}

// The first `width` bytes of a C text, or fewer when it is shorter.
inline std::string_view TextField(const char *text, std::size_t width) {
    return std::string_view(text, strnlen(text, width));
}

}  // namespace korvi70
