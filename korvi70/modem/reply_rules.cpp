#include "korvi70/modem/reply_rules.h"

#include <cctype>

#include "platform/utf8.h"

namespace korvi70::modem {
namespace {

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i])) return false;
    return true;
}

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

// The characters of a reply's text that are kept, never half of one.
std::string_view KeepText(std::string_view text) { return text.substr(0, platform::Utf8CutLength(text, kTextSize)); }

}  // namespace

bool StartsWithWord(std::string_view text, std::string_view word) {
    return text.size() >= word.size() && EqualsNoCase(text.substr(0, word.size()), word);
}

std::string_view StripBreaks(std::string_view text) {
    while (!text.empty() && IsBreak(text.front())) text.remove_prefix(1);
    return KeepText(text);
}

std::string_view CutEcho(std::string_view reply, std::size_t commandLength, bool echo, bool stripBreaks) {
    const std::size_t cut = echo ? commandLength + 1 : 0;
    std::string_view text = cut < reply.size() ? reply.substr(cut) : std::string_view();
    return stripBreaks ? StripBreaks(text) : KeepText(text);
}

bool HasOk(std::string_view text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (Upper(text[i]) == 'O' && Upper(text[i + 1]) == 'K') return true;
    return false;
}

bool LeadingNumber(std::string_view text, int *value) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    text = text.substr(0, 3);
    std::size_t at = 0;
    const bool negative = !text.empty() && (text[0] == '-' || text[0] == '+');
    if (negative) at = 1;
    int n = 0;
    std::size_t digits = 0;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at, ++digits)
        n = n * 10 + (text[at] - '0');
    if (digits == 0) return false;
    *value = text[0] == '-' ? -n : n;
    return true;
}

std::string_view UpToCr(std::string_view text) {
    const std::size_t cr = text.find('\r');
    return cr == std::string_view::npos ? text : text.substr(0, cr);
}

bool HasFinalLine(std::string_view text) {
    static constexpr std::string_view kWords[] = {"OK", "ERROR", "NO CARRIER", "BUSY", "NO DIAL TONE", "NO ANSWER"};
    std::size_t start = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (!IsBreak(text[i])) continue;
        const std::string_view line = text.substr(start, i - start);
        start = i + 1;
        // Only with its whole line end, CR and LF: a read that stopped at
        // the CR would leave the LF to the next read, which would take it
        // for the start of its own reply.
        if (text[i] != '\r' || text[i + 1] != '\n') continue;
        if (StartsWithWord(line, "CONNECT")) return true;
        for (std::string_view word : kWords)
            if (EqualsNoCase(line, word)) return true;
    }
    return false;
}

int SpeedIndexCode(int index) {
    // 14 to 21 are interleaved so that the dialog's speed lists come out in
    // order of speed.
    static constexpr int kInterleaved[] = {17, 14, 18, 19, 15, 20, 21, 16};
    return index >= 14 && index <= 21 ? kInterleaved[index - 14] : index;
}

int TestIndexCode(int index) { return index >= 2 ? index + 1 : index; }  // "AT&T2" is never sent

}  // namespace korvi70::modem
