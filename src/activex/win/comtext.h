#pragma once

#include <windows.h>

#include <string>

namespace tally::activex::win {

// UTF-8 (the model's text) from a BSTR; a null BSTR is the empty text.
std::string fromBstr(BSTR text);
// A new BSTR the caller frees (SysFreeString).
BSTR toBstr(const std::string &utf8);
std::wstring toWide(const std::string &utf8);

} // namespace tally::activex::win
