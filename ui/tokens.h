// Lines of the user interface's text files (resource and panel-state files):
// words and double-quoted texts, "#" starts a comment outside a text.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace ui::detail {

struct Token {
    std::string text;
    bool quoted = false;
};

// Splits one line into tokens. False (with the reason) on an unterminated
// text, an unknown escape or a control character.
bool Tokenize(std::string_view line, std::vector<Token> &tokens, std::string &error);

// A text as a quoted token: \" \\ \n \r \t and \xHH for other control bytes.
std::string Quote(std::string_view text);

// Whole-token numbers: decimal or 0x-hexadecimal ints within int range, and
// finite reals. Quoted tokens are never numbers.
bool ParseInt(const Token &token, int &value);
bool ParseDouble(const Token &token, double &value);
// A real written so that ParseDouble gives back exactly the same value.
std::string FormatDouble(double value);

// The file's lines (LF or CR LF ends); a UTF-8 byte-order mark is skipped.
std::vector<std::string_view> SplitLines(std::string_view content);
bool IsValidUtf8(std::string_view text);

}  // namespace ui::detail
