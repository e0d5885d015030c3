#include "base/numberformat.h"

#include "base/decimaldigits.h"
#include "base/formatsettings.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tally {

using detail::DecimalDigits;

namespace {

// What one section of a display pattern asks for.
struct SectionLayout
{
    int intPlaceholders = 0;
    int minIntDigits = 0;
    int minFracDigits = 0;
    int maxFracDigits = 0;
    bool thousands = false;
    bool scientific = false;
    int exponentDigits = 0;
};

// Splits at ';' outside quoted literals.
std::vector<std::string_view> splitSections(std::string_view pattern)
{
    std::vector<std::string_view> sections;
    std::size_t start = 0;
    char quote = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (quote != 0) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '\\' && i + 1 < pattern.size()) {
            ++i;
        } else if (c == ';') {
            sections.push_back(pattern.substr(start, i - start));
            start = i + 1;
        }
    }
    sections.push_back(pattern.substr(start));
    return sections;
}

// True when an exponent marker ("E+0", "e-00") starts at i.
bool exponentAt(std::string_view s, std::size_t i)
{
    return (s[i] == 'E' || s[i] == 'e') && i + 2 < s.size() &&
           (s[i + 1] == '+' || s[i + 1] == '-') && s[i + 2] == '0';
}

SectionLayout analyse(std::string_view s)
{
    SectionLayout layout;
    bool inFraction = false;
    int firstIntZero = -1;
    int fracIndex = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"' || c == '\'') {
            const auto close = s.find(c, i + 1);
            i = close == std::string_view::npos ? s.size() : close;
        } else if (c == '\\') {
            ++i;
        } else if (!layout.scientific && exponentAt(s, i)) {
            layout.scientific = true;
            for (i += 2; i < s.size() && s[i] == '0'; ++i)
                ++layout.exponentDigits;
            --i;
        } else if (layout.scientific) {
            continue;
        } else if (c == '.' && !inFraction) {
            inFraction = true;
        } else if (c == ',' && !inFraction) {
            layout.thousands = true;
        } else if (c == '0' || c == '#') {
            if (inFraction) {
                ++fracIndex;
                layout.maxFracDigits = fracIndex;
                if (c == '0')
                    layout.minFracDigits = fracIndex;
            } else {
                if (c == '0' && firstIntZero < 0)
                    firstIntZero = layout.intPlaceholders;
                ++layout.intPlaceholders;
            }
        }
    }
    if (firstIntZero >= 0)
        layout.minIntDigits = layout.intPlaceholders - firstIntZero;
    return layout;
}

struct RenderedNumber
{
    std::string intDigits;
    std::string fracDigits;
    std::string exponent; // sign and digits, scientific only
    bool isZero = true;
};

RenderedNumber render(double magnitude, const SectionLayout &layout)
{
    RenderedNumber r;
    DecimalDigits d = DecimalDigits::fromDouble(magnitude, 15);
    d.negative = false;
    int exponent = 0;
    if (layout.scientific) {
        // The mantissa gets as many integer digits as the pattern demands.
        const int intDigits = std::max(1, layout.minIntDigits);
        d.roundToSignificant(intDigits + layout.maxFracDigits);
        if (!d.isZero()) {
            exponent = d.pointPos - intDigits;
            d.pointPos = intDigits;
        }
    } else {
        d.roundToDecimals(layout.maxFracDigits);
    }
    r.isZero = d.isZero();
    r.intDigits = d.integerDigits();
    if (r.intDigits == "0" && layout.minIntDigits == 0)
        r.intDigits.clear();
    if (static_cast<int>(r.intDigits.size()) < layout.minIntDigits)
        r.intDigits.insert(0, static_cast<std::size_t>(layout.minIntDigits) - r.intDigits.size(),
                           '0');
    r.fracDigits = d.fractionDigits(layout.maxFracDigits);
    while (static_cast<int>(r.fracDigits.size()) > layout.minFracDigits &&
           r.fracDigits.back() == '0')
        r.fracDigits.pop_back();
    if (layout.scientific) {
        std::string digits = std::to_string(std::abs(exponent));
        if (static_cast<int>(digits.size()) < layout.exponentDigits)
            digits.insert(0, static_cast<std::size_t>(layout.exponentDigits) - digits.size(), '0');
        if (exponent < 0)
            r.exponent = "-";
        r.exponent += digits;
    }
    return r;
}

std::string emit(std::string_view s, const SectionLayout &layout, const RenderedNumber &r,
                 const FormatSettings &fs)
{
    std::string out;
    const int intLen = static_cast<int>(r.intDigits.size());
    const auto putIntDigit = [&](int pos) {
        out += r.intDigits[static_cast<std::size_t>(pos)];
        const int right = intLen - 1 - pos;
        if (layout.thousands && right > 0 && right % 3 == 0)
            out += fs.thousandSeparator;
    };
    bool inFraction = false;
    bool exponentDone = false;
    int intIndex = 0;
    int fracIndex = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"' || c == '\'') {
            const auto close = s.find(c, i + 1);
            const auto end = close == std::string_view::npos ? s.size() : close;
            out.append(s.substr(i + 1, end - i - 1));
            i = end;
        } else if (c == '\\') {
            if (i + 1 < s.size())
                out += s[++i];
        } else if (!exponentDone && layout.scientific && exponentAt(s, i)) {
            exponentDone = true;
            out += c;
            if (s[i + 1] == '+' && r.exponent.front() != '-')
                out += '+';
            out += r.exponent;
            for (i += 2; i < s.size() && s[i] == '0'; ++i) {
            }
            --i;
        } else if (exponentDone && (c == '0' || c == '#' || c == '.' || c == ',')) {
            out += c;
        } else if (c == '.' && !inFraction) {
            inFraction = true;
            if (!r.fracDigits.empty())
                out += fs.decimalSeparator;
        } else if (c == ',' && !inFraction) {
            // A grouping flag, not output.
        } else if (c == '0' || c == '#') {
            if (inFraction) {
                if (fracIndex < static_cast<int>(r.fracDigits.size()))
                    out += r.fracDigits[static_cast<std::size_t>(fracIndex)];
                ++fracIndex;
            } else {
                // Digits beyond the placeholders all go at the first one.
                const int offset = intLen - layout.intPlaceholders;
                if (intIndex == 0) {
                    for (int pos = 0; pos < offset; ++pos)
                        putIntDigit(pos);
                }
                const int pos = offset + intIndex;
                if (pos >= 0)
                    putIntDigit(pos);
                ++intIndex;
            }
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

std::string formatFloatPattern(std::string_view pattern, double value, const FormatSettings &fs)
{
    if (!std::isfinite(value) || pattern.empty())
        return formatGeneral(value, fs);
    const std::vector<std::string_view> sections = splitSections(pattern);
    std::string_view section = sections[0];
    bool ownSign = false;
    if (value < 0 && sections.size() >= 2 && !sections[1].empty()) {
        section = sections[1];
        ownSign = true;
    }
    SectionLayout layout = analyse(section);
    RenderedNumber r = render(std::fabs(value), layout);
    if (r.isZero && sections.size() >= 3 && !sections[2].empty()) {
        section = sections[2];
        ownSign = true;
        layout = analyse(section);
        r = render(0.0, layout);
    }
    std::string out = emit(section, layout, r, fs);
    if (value < 0 && !ownSign && !r.isZero)
        out.insert(0, "-");
    return out;
}

} // namespace tally
