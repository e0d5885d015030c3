#include "base/integertext.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

namespace tally {
namespace {

std::string digitsOf(std::uint64_t v)
{
    char buffer[kMaxIntegerChars + 1];
    return std::string(buffer, writeDigits(buffer, v));
}

std::string integerOf(std::int64_t v)
{
    char buffer[kMaxIntegerChars + 1];
    return std::string(buffer, writeInteger(buffer, v));
}

template <typename T> std::string expected(T v)
{
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, v).ptr);
}

// Where the digit count changes, and where the 32-bit path ends, is where a
// length or a division goes wrong.
TEST(IntegerText, DigitsAtEveryChangeOfLength)
{
    std::uint64_t power = 1;
    for (int digits = 1; digits <= 20; ++digits) {
        for (const std::uint64_t v : {power - 1, power, power + 1, power * 2 - 1}) {
            SCOPED_TRACE(v);
            EXPECT_EQ(digitsOf(v), expected(v));
        }
        if (digits < 20)
            power *= 10;
    }
    for (const std::uint64_t v :
         {std::uint64_t{0}, std::uint64_t{UINT32_MAX}, std::uint64_t{UINT32_MAX} + 1,
          std::numeric_limits<std::uint64_t>::max()}) {
        SCOPED_TRACE(v);
        EXPECT_EQ(digitsOf(v), expected(v));
    }
}

TEST(IntegerText, SignedValues)
{
    for (const std::int64_t v :
         {std::int64_t{0}, std::int64_t{-1}, std::int64_t{-5}, std::int64_t{-10}, std::int64_t{-99},
          std::int64_t{-100}, std::int64_t{INT32_MIN}, std::int64_t{INT32_MIN} - 1,
          std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()}) {
        SCOPED_TRACE(v);
        EXPECT_EQ(integerOf(v), expected(v));
    }
}

TEST(IntegerText, AgreesWithToCharsAcrossMagnitudes)
{
    std::mt19937_64 random(42);
    for (int i = 0; i < 200000; ++i) {
        // Uniform bits would almost never give a short number.
        const std::uint64_t v = random() >> (random() % 64);
        ASSERT_EQ(digitsOf(v), expected(v)) << v;
        const auto s = static_cast<std::int64_t>(v);
        ASSERT_EQ(integerOf(s), expected(s)) << s;
    }
}

} // namespace
} // namespace tally
