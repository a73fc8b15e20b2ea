// Small scanners for the setting lines and command-line words, with the
// semantics of the run-time library's Scan: a word ends at white space,
// numbers skip leading white space and stop at the first character that
// cannot continue them. Each scanner consumes what it read from `rest`
// and returns false (consuming nothing) when nothing could be read.
#pragma once
#include <string_view>

namespace app {

bool IsBlank(char c);
void SkipBlanks(std::string_view &rest);
// Blanks, then a word up to the next blank (at least one character).
bool ScanWord(std::string_view &rest, std::string_view &word);
// Blanks, optional sign, decimal digits; fails on overflow of int.
bool ScanInt(std::string_view &rest, int &value);
// Blanks, optional sign, digits with an optional point and exponent.
// Never yields infinity or NaN.
bool ScanReal(std::string_view &rest, double &value);
// Letters compared without regard to case (ASCII only).
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
bool ContainsIgnoringCase(std::string_view text, std::string_view what);

}  // namespace app
