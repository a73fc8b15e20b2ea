// Stepping through UTF-8 and cutting it at character boundaries.
#include "platform/utf8.h"

namespace platform {

std::size_t DecodeUtf8(std::string_view text, std::size_t i, char32_t &cp, std::size_t &skip) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    skip = 1;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    std::size_t len;
    unsigned char lo = 0x80, hi = 0xBF;  // range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        cp = b0 & 0x0F;
        if (b0 == 0xE0) lo = 0xA0;  // no over-long forms
        if (b0 == 0xED) hi = 0x9F;  // no surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        cp = b0 & 0x07;
        if (b0 == 0xF0) lo = 0x90;
        if (b0 == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    for (std::size_t k = 1; k < len; ++k) {
        if (i + k >= text.size()) return 0;
        const auto b = static_cast<unsigned char>(text[i + k]);
        const unsigned char min = k == 1 ? lo : 0x80, max = k == 1 ? hi : 0xBF;
        if (b < min || b > max) return 0;
        cp = (cp << 6) | (b & 0x3F);
        skip = k + 1;
    }
    return len;
}

std::size_t Utf8CharLength(std::string_view text, std::size_t i) {
    char32_t cp = 0;
    std::size_t skip = 1;
    const std::size_t len = DecodeUtf8(text, i, cp, skip);
    return len == 0 ? 1 : len;
}

std::size_t Utf8CharCount(std::string_view text) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); i += Utf8CharLength(text, i)) ++chars;
    return chars;
}

std::size_t Utf8CutLength(std::string_view text, std::size_t maxBytes, std::size_t maxChars) {
    std::size_t n = 0;
    for (std::size_t chars = 0; n < text.size() && chars < maxChars; ++chars) {
        const std::size_t next = n + Utf8CharLength(text, n);
        if (next > maxBytes) break;
        n = next;
    }
    return n;
}

TextBuffer::TextBuffer(char *out, std::size_t size) : out_(size == 0 ? nullptr : out), size_(out_ ? size : 0) {
    if (out_) out_[0] = '\0';
}

TextBuffer &TextBuffer::Append(std::string_view piece) {
    if (cut_ || piece.empty()) return *this;
    const std::size_t room = size_ == 0 ? 0 : size_ - 1 - used_;
    const std::size_t n = piece.size() <= room ? piece.size() : Utf8CutLength(piece, room);
    cut_ = n < piece.size();
    if (n > 0) std::memcpy(out_ + used_, piece.data(), n);
    used_ += n;
    if (out_) out_[used_] = '\0';
    return *this;
}

}  // namespace platform
