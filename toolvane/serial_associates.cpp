#include "toolvane/serial_associates.h"

#include <cstring>
#include <string>
#include <string_view>

#include "platform/ascii.h"
#include "platform/paths.h"
#include "platform/textfile.h"
#include "platform/utf8.h"
#include "toolvane/folders.h"

namespace {

// Characters kept per field.
constexpr std::size_t kSerialMax = 8;
constexpr std::size_t kShortMax = 32;
constexpr std::size_t kLongMax = 256;
constexpr std::size_t kLineMax = 600;
// The longest UTF-8 form of a Windows-1250 character.
constexpr std::size_t kBytesPerChar = 3;

struct Association {
    char serial[Toolvane_RozmiarNumeruSeryjnego];
    char shortComment[Toolvane_RozmiarKomentarzaKrotkiego];
    char longComment[Toolvane_RozmiarKomentarzaPelnego];
};
static_assert(sizeof(Association::serial) == kSerialMax * kBytesPerChar + 1);
static_assert(sizeof(Association::shortComment) == kShortMax * kBytesPerChar + 1);
static_assert(sizeof(Association::longComment) == kLongMax * kBytesPerChar + 1);

Association g_table[Toolvane_MaksSkojarzen];
int g_count = 0;

// A text no longer than chars characters of the longest form can be.
std::string_view Bounded(const char *text, std::size_t chars) {
    return platform::TextWithin(text, chars * kBytesPerChar + 1);
}

template <std::size_t N>
void CopyCut(char (&field)[N], std::string_view text, std::size_t chars) {
    const std::size_t n = platform::Utf8CutLength(text, N - 1, chars);
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
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

// The entry's comment into a caller's buffer of `size` bytes, cut at a
// character boundary when it needs more.
int CopyComment(int index, char *out, int size, bool full) {
    if (out == nullptr || size < 1) return 1;
    out[0] = '\0';
    if (index < 0 || index >= g_count) return 1;
    platform::CopyText(full ? g_table[index].longComment : g_table[index].shortComment, out,
                       static_cast<std::size_t>(size));
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
        const std::string serial(
            parsed.serial.substr(0, platform::Utf8CutLength(parsed.serial, sizeof g_table[0].serial - 1, kSerialMax)));
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
    const std::string_view wanted = Bounded(serialNumber, kSerialMax);
    if (wanted.size() >= sizeof g_table[0].serial) return -1;  // longer than any kept serial number
    for (int i = 0; i < g_count; ++i)
        if (platform::EqualsIgnoringAsciiCase(g_table[i].serial, wanted)) return i;
    return -1;
}

int Toolvane_AddSerialNumberAssociation(const char *serialNumber, const char *shortComment, const char *longComment) {
    if (serialNumber == nullptr || shortComment == nullptr || longComment == nullptr) return 1;
    if (g_count >= Toolvane_MaksSkojarzen) return -1;
    Association &entry = g_table[g_count];
    // Each text is looked at no further than its kept characters can reach.
    CopyCut(entry.serial, Bounded(serialNumber, kSerialMax), kSerialMax);
    CopyCut(entry.shortComment, Bounded(shortComment, kShortMax), kShortMax);
    CopyCut(entry.longComment, Bounded(longComment, kLongMax), kLongMax);
    ++g_count;
    return 0;
}

int Toolvane_GetShortCommentFromIndex(int index, char *out) { return CopyComment(index, out, kShortMax + 1, false); }

int Toolvane_GetFullCommentFromIndex(int index, char *out) { return CopyComment(index, out, kLongMax + 1, true); }

int Toolvane_GetShortCommentFromIndexN(int index, char *out, int size) { return CopyComment(index, out, size, false); }

int Toolvane_GetFullCommentFromIndexN(int index, char *out, int size) { return CopyComment(index, out, size, true); }
