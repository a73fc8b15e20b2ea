#include "app/text_scan.h"

#include <charconv>
#include <cmath>
#include <string>

#include "platform/ascii.h"

namespace app {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t Digits(std::string_view s, std::size_t at) {
    std::size_t n = 0;
    while (at + n < s.size() && IsDigit(s[at + n])) ++n;
    return n;
}

}  // namespace

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

void SkipBlanks(std::string_view &rest) {
    std::size_t i = 0;
    while (i < rest.size() && IsBlank(rest[i])) ++i;
    rest.remove_prefix(i);
}

bool ScanWord(std::string_view &rest, std::string_view &word) {
    std::string_view s = rest;
    SkipBlanks(s);
    std::size_t n = 0;
    while (n < s.size() && !IsBlank(s[n])) ++n;
    if (n == 0) return false;
    word = s.substr(0, n);
    rest = s.substr(n);
    return true;
}

bool ScanInt(std::string_view &rest, int &value) {
    std::string_view s = rest;
    SkipBlanks(s);
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    std::size_t n = Digits(s, i);
    if (n == 0) return false;
    long long v = 0;
    for (std::size_t k = 0; k < n; ++k) {
        v = v * 10 + (s[i + k] - '0');
        if (v > 2147483648LL) return false;
    }
    if (negative) v = -v;
    if (v > 2147483647LL || v < -2147483648LL) return false;
    value = static_cast<int>(v);
    rest = s.substr(i + n);
    return true;
}

bool ScanReal(std::string_view &rest, double &value) {
    std::string_view s = rest;
    SkipBlanks(s);
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t intDigits = Digits(s, i);
    i += intDigits;
    std::size_t fracDigits = 0;
    if (i < s.size() && s[i] == '.') {
        fracDigits = Digits(s, i + 1);
        if (intDigits + fracDigits > 0) i += 1 + fracDigits;
    }
    if (intDigits + fracDigits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        std::size_t expDigits = Digits(s, j);
        if (expDigits > 0) i = j + expDigits;
    }
    // from_chars takes no '+' and is independent of the C locale.
    std::string token(s.substr(0, i));
    if (!token.empty() && token[0] == '+') token.erase(0, 1);
    double v = 0;
    auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), v);
    if (ec != std::errc() || end != token.data() + token.size() || !std::isfinite(v)) return false;
    value = v;
    rest = s.substr(i);
    return true;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) { return platform::EqualsIgnoringAsciiCase(a, b); }

bool ContainsIgnoringCase(std::string_view text, std::string_view what) {
    if (what.empty()) return true;
    for (std::size_t i = 0; i + what.size() <= text.size(); ++i)
        if (EqualsIgnoringCase(text.substr(i, what.size()), what)) return true;
    return false;
}

}  // namespace app
