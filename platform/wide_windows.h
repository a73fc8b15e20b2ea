// UTF-8, the program's text, to and from the UTF-16 of the Windows API.
#pragma once
#include <string>
#include <string_view>

namespace platform::detail {

// Invalid UTF-8 becomes U+FFFD; never fails.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);
// The system's own words for an error code of GetLastError, without the
// line end it comes with; the number when the system has no text for it.
std::string ErrorText(unsigned long error);

}  // namespace platform::detail
