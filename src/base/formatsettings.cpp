#include "base/formatsettings.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace tally {

namespace {

// Appends literal text, quoted when the pattern language could read any of it
// as a field letter.
void appendLiteral(std::string &out, const std::string &literal)
{
    static constexpr std::string_view kPatternLetters = "yYmMdDhHnNsSzZaAcCtTeEgG'";
    const bool quote = std::any_of(literal.begin(), literal.end(), [](char c) {
        return kPatternLetters.find(c) != std::string_view::npos ||
               static_cast<unsigned char>(c) >= 0x80;
    });
    if (!quote) {
        out += literal;
        return;
    }
    out += '"';
    for (char c : literal)
        out += c == '"' ? '\'' : c;
    out += '"';
}

} // namespace

std::string strftimeToPattern(std::string_view format)
{
    std::string out;
    std::string literal;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c != '%' || i + 1 == format.size()) {
            literal += c == '"' ? '\'' : c;
            continue;
        }
        appendLiteral(out, literal);
        literal.clear();
        char conversion = format[++i];
        // Flags and the alternative/era modifiers do not change the fields.
        while ((conversion == 'E' || conversion == 'O' || conversion == '-' || conversion == '_' ||
                conversion == '0' || conversion == '^' || conversion == '#') &&
               i + 1 < format.size())
            conversion = format[++i];
        switch (conversion) {
        case 'Y':
        case 'G':
            out += "yyyy";
            break;
        case 'y':
        case 'g':
            out += "yy";
            break;
        case 'm':
            out += "mm";
            break;
        case 'd':
            out += "dd";
            break;
        case 'e':
            out += 'd';
            break;
        case 'H':
        case 'I':
            out += "hh";
            break;
        case 'k':
        case 'l':
            out += 'h';
            break;
        case 'M':
            out += "nn";
            break;
        case 'S':
            out += "ss";
            break;
        case 'D':
            out += "mm/dd/yy";
            break;
        case 'F':
            out += "yyyy-mm-dd";
            break;
        case 'T':
        case 'r':
            out += "hh:nn:ss";
            break;
        case 'R':
            out += "hh:nn";
            break;
        case 'b':
        case 'h':
            out += "mmm";
            break;
        case 'B':
            out += "mmmm";
            break;
        case 'a':
            out += "ddd";
            break;
        case 'A':
            out += "dddd";
            break;
        case 'n':
            literal += ' ';
            break;
        case 't':
            literal += ' ';
            break;
        case '%':
            literal += '%';
            break;
        default:
            break; // %p, %Z and the like have no counterpart
        }
    }
    appendLiteral(out, literal);
    // Trailing blanks left behind by dropped conversions ("%I:%M:%S %p").
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

FormatSettings FormatSettings::chinesePrc()
{
    return FormatSettings{};
}

} // namespace tally
