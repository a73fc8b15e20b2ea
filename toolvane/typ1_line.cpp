#include "toolvane/typ1_line.h"

#include <charconv>

#include "platform/ascii.h"

namespace toolvane::typ1 {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
// A character a number of a row may hold: anything else (a blank or the
// character between two values) is a boundary between values.
bool InNumber(char c) { return (c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-' || c == 'e' || c == 'E'; }
char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::size_t SkipBlanks(std::string_view text, std::size_t pos) {
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    return pos;
}

std::size_t WordEnd(std::string_view text, std::size_t pos) {
    while (pos < text.size() && !IsBlank(text[pos])) ++pos;
    return pos;
}

// A whole number at pos (blanks first); pos moves past it.
bool ReadInt(std::string_view text, std::size_t &pos, int &value) {
    pos = SkipBlanks(text, pos);
    if (pos < text.size() && text[pos] == '+') ++pos;
    const auto [end, ec] = std::from_chars(text.data() + pos, text.data() + text.size(), value);
    if (ec != std::errc()) return false;
    pos = static_cast<std::size_t>(end - text.data());
    return true;
}

// A real at pos (blanks first): digits with an optional sign, point and
// exponent; the words "inf" and "nan" are not numbers here.
bool ReadReal(std::string_view text, std::size_t &pos, double &value) {
    pos = SkipBlanks(text, pos);
    std::size_t start = pos;
    if (start < text.size() && text[start] == '+') ++start;
    std::size_t digit = start;
    if (digit < text.size() && text[digit] == '-') ++digit;
    if (digit >= text.size() || !((text[digit] >= '0' && text[digit] <= '9') || text[digit] == '.')) return false;
    double parsed = 0;
    const auto [end, ec] = std::from_chars(text.data() + start, text.data() + text.size(), parsed);
    if (ec != std::errc()) return false;
    value = parsed;
    pos = static_cast<std::size_t>(end - text.data());
    return true;
}

}  // namespace

std::string Keyword(std::string_view line) {
    if (line.empty()) return {};
    const std::size_t start = SkipBlanks(line, 1);
    std::string word(line.substr(start, WordEnd(line, start) - start));
    for (char &c : word) c = AsciiUpper(c);
    return word;
}

std::string_view AfterKeyword(std::string_view line) {
    if (line.empty()) return {};
    return line.substr(WordEnd(line, SkipBlanks(line, 1)));
}

bool FirstInt(std::string_view line, int &value) {
    std::size_t pos = 0;
    return ReadInt(AfterKeyword(line), pos, value);
}

std::string_view FirstWord(std::string_view line) {
    const std::string_view rest = AfterKeyword(line);
    const std::size_t start = SkipBlanks(rest, 0);
    return rest.substr(start, WordEnd(rest, start) - start);
}

bool ParseTableHeader(std::string_view line, TableHeader &header) {
    const std::string_view rest = AfterKeyword(line);
    std::size_t pos = 0;
    TableHeader read;
    if (!ReadInt(rest, pos, read.columns)) return false;
    pos = SkipBlanks(rest, pos);
    if (pos >= rest.size()) return false;
    ++pos;  // the one-character separator word
    if (!ReadInt(rest, pos, read.rows)) return false;
    header = read;
    return true;
}

void ReadRow(std::string_view line, double *values, int count) {
    if (line.empty()) return;
    std::size_t pos = 1;  // past the "#"
    for (int i = 0; i < count; ++i) {
        if (!ReadReal(line, pos, values[i])) return;
        if (pos < line.size() && !IsBlank(line[pos])) ++pos;  // the character that ended it
    }
}

bool HasExtension(std::string_view path, std::string_view extension) {
    const std::size_t slash = path.find_last_of("\\/:");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (name.empty() || name.size() < extension.size()) return false;
    return platform::EqualsIgnoringAsciiCase(name.substr(name.size() - extension.size()), extension);
}

void TrimOverLong(std::string &line, bool row) {
    if (line.empty()) return;
    // The last character of the file, however many UTF-8 bytes it took.
    std::size_t last = line.size() - 1;
    while (last > 0 && (static_cast<unsigned char>(line[last]) & 0xC0u) == 0x80u) --last;
    const bool cutInsideValue = InNumber(line[last]);
    line.resize(last);
    // Back to the blank or separator before the cut value, so that
    // "#1.5,2.5,3.2" cut after "3." keeps 1.5 and 2.5.
    if (row && cutInsideValue)
        while (!line.empty() && InNumber(line.back())) line.pop_back();
}

}  // namespace toolvane::typ1
