#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

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
