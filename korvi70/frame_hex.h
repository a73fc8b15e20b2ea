// Hex digits as they travel in Korvi70 frames: written upper case with
// leading zeros, read in either case.
#pragma once
#include <array>
#include <cstddef>
#include <string_view>

namespace korvi70 {

// Writes the low 4*digits bits of value as exactly `digits` upper-case hex
// digits (no terminator).
inline void PutHex(char *out, unsigned long value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (int i = digits - 1; i >= 0; --i) {
        out[i] = kDigits[value & 0xF];
        value >>= 4;
    }
}

inline int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// True when text is 1 to 8 hex digits (either case) and nothing else.
inline bool ParseHex(std::string_view text, unsigned *value) {
    if (text.empty() || text.size() > 8) return false;
    unsigned result = 0;
    for (char c : text) {
        const int digit = HexDigitValue(c);
        if (digit < 0) return false;
        result = (result << 4) | static_cast<unsigned>(digit);
    }
    *value = result;
    return true;
}

// XOR of the character codes of text: the frame check.
inline unsigned char XorCheck(std::string_view text, unsigned char start = 0) {
    for (char c : text) start ^= static_cast<unsigned char>(c);
    return start;
}

// A bounded text built on the stack (request data fields). Appends that do
// not fit are refused and mark the text as overflowed.
template <std::size_t N>
class FixedText {
public:
    bool AppendHex(unsigned long value, int digits) {
        if (digits <= 0 || !Fits(static_cast<std::size_t>(digits))) return false;
        PutHex(buffer_.data() + size_, value, digits);
        size_ += static_cast<std::size_t>(digits);
        buffer_[size_] = '\0';
        return true;
    }
    // Exactly `width` characters of text; a shorter text is padded with blanks.
    bool AppendText(std::string_view text, std::size_t width) {
        if (!Fits(width)) return false;
        for (std::size_t i = 0; i < width; ++i) buffer_[size_ + i] = i < text.size() ? text[i] : ' ';
        size_ += width;
        buffer_[size_] = '\0';
        return true;
    }
    std::string_view View() const { return {buffer_.data(), size_}; }
    const char *CStr() const { return buffer_.data(); }
    bool Overflowed() const { return overflowed_; }

private:
    bool Fits(std::size_t n) {
        if (size_ + n >= N) overflowed_ = true;
        return !overflowed_;
    }
    std::array<char, N> buffer_{};
    std::size_t size_ = 0;
    bool overflowed_ = false;
};

}  // namespace korvi70
