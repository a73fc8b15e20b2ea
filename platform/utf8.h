// UTF-8 texts as the program keeps them in memory: one character at a time,
// and cuts that never end inside a character.
//
// The libraries' text contract: every text that crosses their public
// functions is UTF-8. A caller's buffer whose size is given in characters
// ("at least 33 characters") holds that many bytes, terminator included; a
// text that needs more bytes is cut at the last whole character that fits,
// so no caller can be written past its buffer whatever the text holds.
// Windows-1250 is the encoding of the files only (platform/textfile.h).
//
// Bytes that form no valid UTF-8 sequence (a reply from an instrument or a
// modem is taken as it came) count as one character each, so such a text
// is cut byte by byte and never lost.
#pragma once
#include <cstddef>
#include <cstring>
#include <limits>
#include <string_view>

namespace platform {

// Length of the valid UTF-8 sequence at text[i] (its code point in cp), or,
// for an invalid one, 0 with `skip` = the bytes that form its broken start
// (at least 1).
std::size_t DecodeUtf8(std::string_view text, std::size_t i, char32_t &cp, std::size_t &skip);

// Bytes of the character at text[i]: its valid UTF-8 sequence, else 1.
std::size_t Utf8CharLength(std::string_view text, std::size_t i);

// Characters in text, as Utf8CharLength steps through it.
std::size_t Utf8CharCount(std::string_view text);

// Bytes of the longest start of text that has at most maxBytes bytes and
// maxChars characters and does not end inside a character.
std::size_t Utf8CutLength(std::string_view text, std::size_t maxBytes,
                          std::size_t maxChars = std::numeric_limits<std::size_t>::max());

// A C text looked at no further than maxBytes bytes: a caller's text need
// not be terminated within what the reader needs of it.
inline std::string_view TextWithin(const char *text, std::size_t maxBytes) {
    return text == nullptr ? std::string_view() : std::string_view(text, strnlen(text, maxBytes));
}

// A caller's text buffer of `size` bytes, terminator included, filled piece
// by piece and terminated after each. A piece that does not fit whole is
// cut at a character boundary and ends the filling: nothing follows a cut
// piece. A null buffer or size 0 is never written.
class TextBuffer {
public:
    TextBuffer(char *out, std::size_t size);
    TextBuffer &Append(std::string_view piece);
    std::size_t Length() const { return used_; }
    bool WasCut() const { return cut_; }

private:
    char *out_;
    std::size_t size_;
    std::size_t used_ = 0;
    bool cut_ = false;
};

// Copies text into a caller's buffer of `size` bytes as above; the bytes
// copied, terminator not counted.
inline std::size_t CopyText(std::string_view text, char *out, std::size_t size) {
    return TextBuffer(out, size).Append(text).Length();
}

}  // namespace platform
