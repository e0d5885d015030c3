#include "base/formatsettings.h"

#include "base/textcodec.h"

#include <windows.h>

#include <cctype>

// FormatSettings from the user's regional settings.
namespace tally {

namespace {

// The user's value as UTF-8; empty when the system has none.
std::string localeText(LCTYPE type)
{
    wchar_t buffer[128];
    const int n = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 128);
    if (n <= 1)
        return {};
    std::string out;
    for (int i = 0; i + 1 < n; ++i)
        text::appendUtf8(out, static_cast<char32_t>(buffer[i]));
    return out;
}

int localeNumber(LCTYPE type, int fallback)
{
    const std::string text = localeText(type);
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0])))
        return fallback;
    return std::stoi(text);
}

char separatorChar(const std::string &text, char fallback)
{
    if (text.size() != 1 || static_cast<unsigned char>(text[0]) >= 0x80)
        return fallback;
    return text[0];
}

// The system's date pattern uses M for months and the time pattern m for
// minutes; the regional pattern language reads m as months and n as minutes
// unless it follows an hour, and takes letters in either case.
std::string datePattern(std::string text)
{
    for (char &c : text)
        if (c == 'M')
            c = 'm';
    return text;
}

std::string timePattern(const std::string &text)
{
    std::string out;
    for (char c : text) {
        if (c == 't')
            continue; // the AM/PM marker has no counterpart, as with %p elsewhere
        out += c == 'H' ? 'h' : c == 'm' ? 'n' : c;
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

} // namespace

FormatSettings FormatSettings::fromSystemLocale()
{
    FormatSettings fs = chinesePrc();
    if (const std::string symbol = localeText(LOCALE_SCURRENCY); !symbol.empty())
        fs.currencyString = symbol;
    fs.currencyFormat = localeNumber(LOCALE_ICURRENCY, fs.currencyFormat);
    fs.negCurrFormat = localeNumber(LOCALE_INEGCURR, fs.negCurrFormat);
    fs.currencyDecimals = localeNumber(LOCALE_ICURRDIGITS, fs.currencyDecimals);
    fs.decimalSeparator = separatorChar(localeText(LOCALE_SDECIMAL), fs.decimalSeparator);
    fs.thousandSeparator = separatorChar(localeText(LOCALE_STHOUSAND), ' ');
    if (fs.thousandSeparator == fs.decimalSeparator)
        fs.thousandSeparator = fs.decimalSeparator == ',' ? '.' : ',';
    if (const std::string date = localeText(LOCALE_SSHORTDATE); !date.empty())
        fs.shortDateFormat = datePattern(date);
    if (const std::string time = localeText(LOCALE_STIMEFORMAT); !time.empty())
        fs.longTimeFormat = timePattern(time);
    return fs;
}

} // namespace tally
