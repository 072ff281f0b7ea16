#pragma once
// Conversions between the program's UTF-8 text and the system's UTF-16. Text
// that is not valid UTF-8 (for instance file names from older hosts) is read
// in the system's ANSI code page instead.

#include <string>
#include <string_view>

namespace platform {

std::wstring toWide(std::string_view text);
std::string fromWide(std::wstring_view text);

}  // namespace platform
