#include "ui/tokens.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace ui::detail {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ReadQuoted(std::string_view line, std::size_t &i, std::string &out, std::string &error) {
    ++i;  // opening quote
    while (i < line.size()) {
        const char c = line[i++];
        if (c == '"') return true;
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
            error = "control character in a text";
            return false;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (i >= line.size()) break;
        const char e = line[i++];
        switch (e) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'x': {
            const int hi = i < line.size() ? HexDigit(line[i]) : -1;
            const int lo = i + 1 < line.size() ? HexDigit(line[i + 1]) : -1;
            if (hi < 0 || lo < 0) {
                error = "bad \\x escape";
                return false;
            }
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
            break;
        }
        default: error = std::string("unknown escape \\") + e; return false;
        }
    }
    error = "text without its closing quote";
    return false;
}

}  // namespace

bool Tokenize(std::string_view line, std::vector<Token> &tokens, std::string &error) {
    tokens.clear();
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (IsBlank(c)) {
            ++i;
            continue;
        }
        if (c == '#') break;
        Token token;
        if (c == '"') {
            token.quoted = true;
            if (!ReadQuoted(line, i, token.text, error)) return false;
            if (i < line.size() && !IsBlank(line[i]) && line[i] != '#') {
                error = "text followed directly by a word";
                return false;
            }
        } else {
            while (i < line.size() && !IsBlank(line[i]) && line[i] != '"' && line[i] != '#') {
                if (static_cast<unsigned char>(line[i]) < 0x20) {
                    error = "control character";
                    return false;
                }
                token.text += line[i++];
            }
            if (i < line.size() && line[i] == '"') {
                error = "word followed directly by a text";
                return false;
            }
        }
        tokens.push_back(std::move(token));
    }
    return true;
}

namespace {

// Length of the valid UTF-8 sequence at text[i], 0 when none starts there.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const std::size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    return n != 0 && i + n <= text.size() && IsValidUtf8(text.substr(i, n)) ? n : 0;
}

}  // namespace

std::string Quote(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        // A file must stay UTF-8 text: bytes that form no character are escaped.
        const std::size_t sequence = Utf8SequenceAt(text, i);
        if (sequence > 1) {
            out.append(text.substr(i, sequence));
            i += sequence - 1;
            continue;
        }
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F || sequence == 0) {
                char buf[5];
                std::snprintf(buf, sizeof buf, "\\x%02X", static_cast<unsigned char>(c));
                out += buf;
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

bool ParseInt(const Token &token, int &value) {
    if (token.quoted || token.text.empty()) return false;
    std::string_view s = token.text;
    bool negative = false;
    if (s[0] == '-' || s[0] == '+') {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty() || s[0] == '-' || s[0] == '+') return false;
    long long v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
    if (ec != std::errc() || end != s.data() + s.size()) return false;
    if (negative) v = -v;
    if (v < INT32_MIN || v > INT32_MAX) return false;
    value = static_cast<int>(v);
    return true;
}

bool ParseDouble(const Token &token, double &value) {
    if (token.quoted || token.text.empty()) return false;
    std::string_view s = token.text;
    if (s[0] == '+') s.remove_prefix(1);
    if (s.empty()) return false;
    double v = 0.0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) return false;
    value = v;
    return true;
}

std::string FormatDouble(double value) {
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    return ec == std::errc() ? std::string(buf, end) : std::string("0");
}

std::vector<std::string_view> SplitLines(std::string_view content) {
    if (content.substr(0, 3) == "\xEF\xBB\xBF") content.remove_prefix(3);
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string_view::npos) end = content.size();
        std::string_view line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool IsValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = 0;
        unsigned min = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            min = 0x10000;
        } else {
            return false;
        }
        if (i + extra >= text.size()) return false;
        unsigned cp = c & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const unsigned char cc = static_cast<unsigned char>(text[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

}  // namespace ui::detail
