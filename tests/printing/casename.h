#pragma once

#include "printing/canvastypes.h"

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>

namespace tally::printing {

// Readable rectangles and points in failure messages.
inline void PrintTo(const Rect &r, std::ostream *os)
{
    *os << '(' << r.left << ',' << r.top << ',' << r.right << ',' << r.bottom << ')';
}

inline void PrintTo(const Point &p, std::ostream *os)
{
    *os << '(' << p.x << ',' << p.y << ')';
}

} // namespace tally::printing

namespace tally::printing::testing_fakes {

// Names parameterised cases after their `name` member (letters and digits
// kept, everything else folded into '_'), so test lists read as scenarios.
struct CaseName
{
    template <typename Case> std::string operator()(const testing::TestParamInfo<Case> &info) const
    {
        std::string out;
        for (const char ch : std::string(info.param.name)) {
            const auto c = static_cast<unsigned char>(ch);
            if (std::isalnum(c))
                out.push_back(ch);
            else if (!out.empty() && out.back() != '_')
                out.push_back('_');
        }
        while (!out.empty() && out.back() == '_')
            out.pop_back();
        return out.empty() ? "case" + std::to_string(info.index) : out;
    }
};

} // namespace tally::printing::testing_fakes
