// Finding a directory entry by name without regard to letter case, as
// Windows does.
#pragma once
#include <string>
#include <string_view>

namespace platform::detail {

// The name with letters folded to lower case: ASCII, Latin-1 and Latin
// Extended-A (all Polish letters). Bytes that are not valid UTF-8 are kept.
std::string FoldCase(std::string_view name);

// The entry of folder `dir` that is `name`: `name` itself when it exists,
// else the (alphabetically first) entry equal to it without regard to case.
// Returns false, leaving `found` = name, when there is none.
bool FindEntry(const std::string &dir, std::string_view name, std::string &found);

}  // namespace platform::detail
