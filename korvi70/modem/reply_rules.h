// How the modem layer judges a reply: the echo and line-break cut, the
// "OK" search, a register value and a text up to its carriage return.
// Pure functions over the received text, so that every rule can be tried
// on any bytes.
#pragma once
#include <cstddef>
#include <string_view>

namespace korvi70::modem {

inline constexpr std::size_t kReplySize = 100;  // characters one exchange reads
inline constexpr std::size_t kTextSize = 50;    // characters kept of a reply's text

// Rule S. With the modem's echo on, drops the echoed command line (its
// length with the CR) and one character more; with stripBreaks, then drops
// leading CR and LF characters; keeps at most 50 of what is left.
std::string_view CutEcho(std::string_view reply, std::size_t commandLength, bool echo, bool stripBreaks = true);
// Drops leading CR and LF, then keeps at most 50 characters.
std::string_view StripBreaks(std::string_view text);
// "OK" anywhere in the text, letter case ignored.
bool HasOk(std::string_view text);
// A decimal integer of at most three characters at the start of the text
// (spaces before it skipped); false when there is none.
bool LeadingNumber(std::string_view text, int *value);
// The text up to its first carriage return (all of it when it has none).
std::string_view UpToCr(std::string_view text);
// True once the text holds a complete final result line: "OK", "ERROR",
// "NO CARRIER", "BUSY", "NO DIAL TONE", "NO ANSWER" or a line starting with
// "CONNECT", letter case ignored, ended by CR LF as verbose results are.
bool HasFinalLine(std::string_view text);
// Text starts with word, letter case ignored.
bool StartsWithWord(std::string_view text, std::string_view word);

// The number k sent after "AT&N" or "AT&U" for a speed index 0..38.
int SpeedIndexCode(int index);
// The number sent after "AT&T" for a test index 0..7.
int TestIndexCode(int index);

}  // namespace korvi70::modem
