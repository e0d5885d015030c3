#pragma once

#include <algorithm>
#include <string_view>

// Letter case of ASCII names (field names, header names, methods, file
// endings): only A-Z and a-z change, every other byte, UTF-8 included, stays
// as it is, whatever the locale. Hexadecimal digits likewise.
namespace tally::ascii {

constexpr char toLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char toUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

constexpr bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return toLower(x) == toLower(y); });
}

constexpr bool endsWithIgnoringCase(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() &&
           equalsIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

// The value of a hexadecimal digit (0-9, a-f, A-F), or -1 for any other byte.
constexpr int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace tally::ascii
