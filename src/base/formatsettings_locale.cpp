#include "base/formatsettings.h"

#include <climits>
#include <clocale>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <string_view>

// FormatSettings from the C library's locale (not Windows: see formatsettings_win.cpp).
namespace tally {

namespace {

// Converts a locale string from the locale's own charset to UTF-8; empty when
// it cannot be converted.
std::string toUtf8(const char *text, const char *charset)
{
    const std::string_view in(text);
    if (std::strcmp(charset, "UTF-8") == 0 || std::strcmp(charset, "ANSI_X3.4-1968") == 0)
        return std::string(in);
    iconv_t cd = iconv_open("UTF-8", charset);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return {};
    std::string out(in.size() * 4 + 8, '\0');
    char *src = const_cast<char *>(in.data());
    std::size_t srcLeft = in.size();
    char *dst = out.data();
    std::size_t dstLeft = out.size();
    const std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1))
        return {};
    out.resize(out.size() - dstLeft);
    return out;
}

// A single ASCII separator, or `fallback` when the locale's is empty or wider.
char separatorChar(const char *text, char fallback)
{
    if (text == nullptr || std::strlen(text) != 1 || static_cast<unsigned char>(text[0]) >= 0x80)
        return fallback;
    return text[0];
}

// Maps the C library's sign and symbol positions onto the sixteen regional
// negative currency forms.
int negativeForm(char csPrecedes, char sepBySpace, char signPosn)
{
    const bool before = csPrecedes == 1;
    const bool space = sepBySpace == 1 || sepBySpace == 2;
    switch (signPosn) {
    case 0:
        return before ? (space ? 14 : 0) : (space ? 15 : 4);
    case 2:
        return before ? (space ? 11 : 3) : (space ? 10 : 7);
    case 3:
        return before ? (space ? 9 : 1) : (space ? 13 : 6);
    case 4:
        return before ? (space ? 12 : 2) : (space ? 10 : 7);
    default:
        return before ? (space ? 9 : 1) : (space ? 8 : 5);
    }
}

// "C", "POSIX" and "C.UTF-8" carry no regional conventions of their own.
bool isPlainC(int category)
{
    const char *name = std::setlocale(category, nullptr);
    if (name == nullptr)
        return true;
    const std::string_view n(name);
    return n == "C" || n == "POSIX" || n.starts_with("C.");
}

} // namespace

FormatSettings FormatSettings::fromSystemLocale()
{
    FormatSettings fs = chinesePrc();
    const char *charset = nl_langinfo(CODESET);
    const lconv *lc = std::localeconv();

    if (!isPlainC(LC_MONETARY)) {
        if (lc->currency_symbol != nullptr && lc->currency_symbol[0] != '\0') {
            const std::string symbol = toUtf8(lc->currency_symbol, charset);
            if (!symbol.empty())
                fs.currencyString = symbol;
        }
        if (lc->p_cs_precedes != CHAR_MAX) {
            const bool space = lc->p_sep_by_space == 1 || lc->p_sep_by_space == 2;
            fs.currencyFormat = lc->p_cs_precedes == 1 ? (space ? 2 : 0) : (space ? 3 : 1);
        }
        if (lc->n_cs_precedes != CHAR_MAX && lc->n_sign_posn != CHAR_MAX)
            fs.negCurrFormat = negativeForm(lc->n_cs_precedes, lc->n_sep_by_space, lc->n_sign_posn);
        if (lc->frac_digits != CHAR_MAX)
            fs.currencyDecimals = lc->frac_digits;
    }
    if (!isPlainC(LC_NUMERIC)) {
        fs.decimalSeparator = separatorChar(lc->decimal_point, fs.decimalSeparator);
        // A separator the char cannot hold (a narrow no-break space) reads as a blank.
        if (lc->thousands_sep != nullptr && lc->thousands_sep[0] != '\0')
            fs.thousandSeparator = separatorChar(lc->thousands_sep, ' ');
        if (fs.thousandSeparator == fs.decimalSeparator)
            fs.thousandSeparator = fs.decimalSeparator == ',' ? '.' : ',';
    }
    if (!isPlainC(LC_TIME)) {
        const std::string date = toUtf8(nl_langinfo(D_FMT), charset);
        if (!date.empty())
            fs.shortDateFormat = strftimeToPattern(date);
        const std::string time = toUtf8(nl_langinfo(T_FMT), charset);
        if (!time.empty())
            fs.longTimeFormat = strftimeToPattern(time);
    }
    return fs;
}

} // namespace tally
