#pragma once

#include <string>
#include <string_view>

// The platform converter behind textcodec.cpp: iconv (textcodec_iconv.cpp)
// or the Win32 code-page functions (textcodec_win.cpp), chosen by CMake.
namespace tally::text::detail {

// Converts the whole input or nothing: appends to `out` and returns true, or
// returns false (leaving `out` unchanged) when any character does not convert.
bool utf8ToCodePage(std::string_view utf8, std::string &out);
bool codePageToUtf8(std::string_view cp936, std::string &out);

} // namespace tally::text::detail
