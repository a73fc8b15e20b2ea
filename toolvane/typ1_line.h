// Taking TYP1 lines apart: the keyword after the "#", the type, the table
// header and the reals of a row. Pure text work, no files and no popups.
#pragma once
#include <string>
#include <string_view>

namespace toolvane::typ1 {

// Longest line the readers keep, in characters of the file.
inline constexpr std::size_t kLineMax = 600;
// A row value equal to this marks the row as one to skip.
inline constexpr double kSkipValue = 4294967296.0;

// The first word after the leading "#", upper-cased ("" when none).
std::string Keyword(std::string_view line);
// The line's words after the keyword.
std::string_view AfterKeyword(std::string_view line);

// The whole number that follows the keyword ("#TYP 1"); false when none.
bool FirstInt(std::string_view line, int &value);
// The word that follows the keyword ("#KodProgramu Ch-ka_Pt100").
std::string_view FirstWord(std::string_view line);

// "#DANE columns separator rows": false when the two counts are not there.
struct TableHeader {
    int columns = 0;
    int rows = 0;
};
bool ParseTableHeader(std::string_view line, TableHeader &header);

// Reads up to `count` reals after the "#" into values; values the line does
// not give keep what they held. A value ends at a blank or at one other
// character, which is passed over (so "1.5;2" gives two values); a word that
// is not a number ends the row.
void ReadRow(std::string_view line, double *values, int count);

// True when name (the part after the last "\", "/" or ":") is not empty and
// ends with extension, compared without regard to letter case.
bool HasExtension(std::string_view path, std::string_view extension);

// A line longer than kLineMax is read as its first kLineMax characters; a
// row's value cut by the limit is not read: given the line read with one
// character more than kLineMax, drops that character and, for a row whose
// value it cuts, that value's part before it, back to the blank or the
// separator that precedes it.
void TrimOverLong(std::string &line, bool row);

}  // namespace toolvane::typ1
