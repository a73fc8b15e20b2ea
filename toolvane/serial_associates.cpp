#include "toolvane/serial_associates.h"

#include <cstring>
#include <string>
#include <string_view>

#include "platform/paths.h"
#include "platform/textfile.h"
#include "toolvane/folders.h"

namespace {

constexpr std::size_t kSerialMax = 8;
constexpr std::size_t kShortMax = 32;
constexpr std::size_t kLongMax = 256;
constexpr std::size_t kLineMax = 600;

struct Association {
    char serial[kSerialMax + 1];
    char shortComment[kShortMax + 1];
    char longComment[kLongMax + 1];
};

Association g_table[Toolvane_MaksSkojarzen];
int g_count = 0;

// Length of text cut to at most max bytes without splitting a UTF-8 character.
std::size_t CutLength(std::string_view text, std::size_t max) {
    if (text.size() <= max) return text.size();
    std::size_t n = max;
    for (int back = 0; back < 3 && n > 0; ++back) {
        const auto next = static_cast<unsigned char>(text[n]);
        if ((next & 0xC0u) != 0x80u) break;  // text[n] starts a character: cut before it
        --n;
    }
    if ((static_cast<unsigned char>(text[n]) & 0xC0u) == 0x80u) n = max;  // not UTF-8 after all: a plain byte cut
    return n;
}

template <std::size_t N>
void CopyCut(char (&field)[N], std::string_view text) {
    const std::size_t n = CutLength(text, N - 1);
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

struct ParsedLine {
    std::string_view serial, shortComment, longComment;
};

// "#", the serial word, then the texts between the first and second and
// between the third and fourth double quote after it. A comment whose
// closing quote is missing is empty. False when there is no serial word.
bool ParseLine(std::string_view line, ParsedLine &out) {
    out = {};
    std::size_t pos = 1;  // past the '#'
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    const std::size_t start = pos;
    while (pos < line.size() && !IsBlank(line[pos])) ++pos;
    out.serial = line.substr(start, pos - start);
    if (out.serial.empty()) return false;

    std::string_view *comments[2] = {&out.shortComment, &out.longComment};
    for (std::string_view *comment : comments) {
        const std::size_t open = line.find('"', pos);
        if (open == std::string_view::npos) break;
        const std::size_t close = line.find('"', open + 1);
        if (close == std::string_view::npos) break;
        *comment = line.substr(open + 1, close - open - 1);
        pos = close + 1;
    }
    return true;
}

int CopyComment(int index, char *out, bool full) {
    if (out == nullptr) return 1;
    out[0] = '\0';
    if (index < 0 || index >= g_count) return 1;
    const char *text = full ? g_table[index].longComment : g_table[index].shortComment;
    std::memcpy(out, text, std::strlen(text) + 1);
    return 0;
}

}  // namespace

int Toolvane_ReadSerialAssociatesFile() {
    const std::size_t pathLen =
        strnlen(Toolvane_ZbiorSkojarzenNumerowSeryjnych, sizeof Toolvane_ZbiorSkojarzenNumerowSeryjnych);
    const std::string_view path(Toolvane_ZbiorSkojarzenNumerowSeryjnych, pathLen);
    if (path.empty()) return 2;  // no associates file on this Windows version
    platform::TextFileReader file;
    if (!file.Open(platform::HostPath(path), platform::Encoding::Cp1250)) return 2;

    g_count = 0;
    std::string line;
    for (;;) {
        // Stops at the end of the file and also at a read error.
        if (file.ReadLine(line, kLineMax) < 0) break;
        if (line.empty() || line[0] != '#') continue;
        ParsedLine parsed;
        if (!ParseLine(line, parsed)) continue;
        // Compare the serial number as the table keeps it, so two lines that
        // differ only beyond the kept length count as the same instrument.
        const std::string serial(parsed.serial.substr(0, CutLength(parsed.serial, kSerialMax)));
        if (Toolvane_FindIndexForSerialNumber(serial.c_str()) >= 0) continue;
        const std::string shortComment(parsed.shortComment);
        const std::string longComment(parsed.longComment);
        Toolvane_AddSerialNumberAssociation(serial.c_str(), shortComment.c_str(), longComment.c_str());
    }
    file.Close();
    return 0;
}

int Toolvane_FindIndexForSerialNumber(const char *serialNumber) {
    if (serialNumber == nullptr) return -1;
    const std::string_view wanted(serialNumber, strnlen(serialNumber, kSerialMax + 1));
    if (wanted.size() > kSerialMax) return -1;  // longer than any kept serial number
    for (int i = 0; i < g_count; ++i)
        if (EqualNoCase(g_table[i].serial, wanted)) return i;
    return -1;
}

int Toolvane_AddSerialNumberAssociation(const char *serialNumber, const char *shortComment, const char *longComment) {
    if (serialNumber == nullptr || shortComment == nullptr || longComment == nullptr) return 1;
    if (g_count >= Toolvane_MaksSkojarzen) return -1;
    Association &entry = g_table[g_count];
    // strnlen bounds the look at each text to one byte past what is kept.
    CopyCut(entry.serial, std::string_view(serialNumber, strnlen(serialNumber, kSerialMax + 1)));
    CopyCut(entry.shortComment, std::string_view(shortComment, strnlen(shortComment, kShortMax + 1)));
    CopyCut(entry.longComment, std::string_view(longComment, strnlen(longComment, kLongMax + 1)));
    ++g_count;
    return 0;
}

int Toolvane_GetShortCommentFromIndex(int index, char *out) { return CopyComment(index, out, false); }

int Toolvane_GetFullCommentFromIndex(int index, char *out) { return CopyComment(index, out, true); }
