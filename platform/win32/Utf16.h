// The program speaks UTF-8 and Windows' "W" calls UTF-16: conversions both ways.
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace platform
