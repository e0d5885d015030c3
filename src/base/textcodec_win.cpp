#include "base/textcodec_backend.h"

#include <windows.h>

#include <vector>

namespace tally::text::detail {

namespace {

constexpr UINT kCodePage = 936;

// Both directions go through UTF-16; MB_ERR_INVALID_CHARS makes a byte that
// does not decode fail the whole conversion, as iconv does elsewhere.
bool toWide(UINT codePage, std::string_view in, std::vector<wchar_t> &wide)
{
    if (in.empty())
        return true;
    const int inLength = static_cast<int>(in.size());
    const int n =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(), inLength, nullptr, 0);
    if (n <= 0)
        return false;
    wide.resize(static_cast<std::size_t>(n));
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(), inLength, wide.data(),
                               n) == n;
}

bool fromWide(UINT codePage, const std::vector<wchar_t> &wide, std::string &out)
{
    if (wide.empty())
        return true;
    const int wideLength = static_cast<int>(wide.size());
    // No best-fit mapping: a character the code page lacks must fail, not
    // turn into a look-alike.
    const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL *usedDefaultPtr = codePage == CP_UTF8 ? nullptr : &usedDefault;
    const int n = WideCharToMultiByte(codePage, flags, wide.data(), wideLength, nullptr, 0, nullptr,
                                      usedDefaultPtr);
    if (n <= 0 || usedDefault)
        return false;
    std::string bytes(static_cast<std::size_t>(n), '\0');
    if (WideCharToMultiByte(codePage, flags, wide.data(), wideLength, bytes.data(), n, nullptr,
                            usedDefaultPtr) != n ||
        usedDefault)
        return false;
    out += bytes;
    return true;
}

} // namespace

bool utf8ToCodePage(std::string_view utf8, std::string &out)
{
    std::vector<wchar_t> wide;
    return toWide(CP_UTF8, utf8, wide) && fromWide(kCodePage, wide, out);
}

bool codePageToUtf8(std::string_view cp936, std::string &out)
{
    std::vector<wchar_t> wide;
    return toWide(kCodePage, cp936, wide) && fromWide(CP_UTF8, wide, out);
}

} // namespace tally::text::detail
