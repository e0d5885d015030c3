#include "layout/layoutstreamerror.h"
#include "layout/valuereader.h"
#include "layout/valuewriter.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

using namespace tally::layout;
using Bytes = std::vector<std::uint8_t>;

namespace {

struct IntCase
{
    std::int32_t value;
    Bytes bytes;
};

class IntEncodingTest : public testing::TestWithParam<IntCase>
{
};

TEST_P(IntEncodingTest, WritesShortestFormAndReadsBack)
{
    const IntCase &c = GetParam();
    ValueWriter out;
    out.WriteInt(c.value);
    EXPECT_EQ(out.Bytes(), c.bytes);
    ValueReader in(c.bytes);
    EXPECT_EQ(in.ReadInt(), c.value);
    EXPECT_EQ(in.Remaining(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Values, IntEncodingTest,
    testing::Values(IntCase{702, {0x03, 0xBE, 0x02}}, IntCase{96, {0x02, 0x60}},
                    IntCase{-1, {0x02, 0xFF}}, IntCase{40000, {0x04, 0x40, 0x9C, 0x00, 0x00}},
                    IntCase{0, {0x02, 0x00}}, IntCase{127, {0x02, 0x7F}},
                    IntCase{-128, {0x02, 0x80}}, IntCase{128, {0x03, 0x80, 0x00}},
                    IntCase{-129, {0x03, 0x7F, 0xFF}}, IntCase{32767, {0x03, 0xFF, 0x7F}},
                    IntCase{-32768, {0x03, 0x00, 0x80}},
                    IntCase{32768, {0x04, 0x00, 0x80, 0x00, 0x00}},
                    IntCase{INT32_MIN, {0x04, 0x00, 0x00, 0x00, 0x80}}));

TEST(ValueWriterTest, StringEncodingFollowsContent)
{
    const std::string ascii300(300, 'x');
    struct Case
    {
        std::string text;
        Bytes prefix;
    } cases[] = {
        {"", {0x06, 0x00}},
        {":Title", {0x06, 0x06}},
        {std::string(255, 'a'), {0x06, 0xFF}},
        {std::string(256, 'a'), {0x0C, 0x00, 0x01, 0x00, 0x00}},
        {ascii300, {0x0C, 0x2C, 0x01, 0x00, 0x00}},
        {"新宋体", {0x14, 0x09, 0x00, 0x00, 0x00}},
        {"A宋", {0x14, 0x04, 0x00, 0x00, 0x00}},
    };
    for (const Case &c : cases) {
        ValueWriter out;
        out.WriteString(c.text);
        Bytes expected = c.prefix;
        expected.insert(expected.end(), c.text.begin(), c.text.end());
        EXPECT_EQ(out.Bytes(), expected) << c.text.substr(0, 10);
        ValueReader in(out.Bytes());
        EXPECT_EQ(in.ReadString(), c.text);
    }
}

TEST(ValueReaderTest, EveryStringTypeGivesUtf8)
{
    struct Case
    {
        const char *name;
        Bytes bytes;
        std::string text;
    } cases[] = {
        {"code page, short", {0x06, 0x04, 0xCB, 0xCE, 0xCC, 0xE5}, "宋体"},
        {"code page, long", {0x0C, 0x02, 0x00, 0x00, 0x00, 0x41, 0x42}, "AB"},
        {"utf-16", {0x12, 0x02, 0x00, 0x00, 0x00, 0x8B, 0x5B, 0x53, 0x4F}, "宋体"},
        {"utf-16 pair", {0x12, 0x02, 0x00, 0x00, 0x00, 0x3D, 0xD8, 0x00, 0xDE}, "\xF0\x9F\x98\x80"},
        {"utf-16 lone surrogate", {0x12, 0x01, 0x00, 0x00, 0x00, 0x00, 0xD8}, "\xEF\xBF\xBD"},
        {"utf-8", {0x14, 0x03, 0x00, 0x00, 0x00, 0xE5, 0xAE, 0x8B}, "宋"},
        {"bad utf-8", {0x14, 0x01, 0x00, 0x00, 0x00, 0xFF}, "\xEF\xBF\xBD"},
    };
    for (const Case &c : cases) {
        ValueReader in(c.bytes);
        EXPECT_EQ(in.ReadString(), c.text) << c.name;
        EXPECT_EQ(in.Remaining(), 0u) << c.name;
    }
}

TEST(ValueReaderTest, BoolIsTrueOnlyFor09)
{
    const Bytes bytes{0x09, 0x08, 0x01, 0x00, 0xFF};
    ValueReader in(bytes);
    EXPECT_TRUE(in.ReadBool());
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(in.ReadBool());
}

TEST(ValueReaderTest, ErrorsNameTheItemOffset)
{
    struct Case
    {
        const char *name;
        Bytes bytes;
        bool asString;
        const char *message;
    } cases[] = {
        {"string where int expected", {0x06, 0x00}, false, kInvalidPropertyValue},
        {"bool where int expected", {0x09}, false, kInvalidPropertyValue},
        {"int where string expected", {0x02, 0x00}, true, kInvalidPropertyValue},
        {"list where string expected", {0x01}, true, kInvalidPropertyValue},
        {"empty", {}, false, kStreamReadError},
        {"short int16", {0x03, 0x01}, false, kStreamReadError},
        {"short int32", {0x04, 0x01, 0x02, 0x03}, false, kStreamReadError},
        {"short length", {0x0C, 0x01, 0x00}, true, kStreamReadError},
        {"length past end", {0x06, 0x05, 0x41}, true, kStreamReadError},
        {"huge length", {0x14, 0xFF, 0xFF, 0xFF, 0xFF, 0x41}, true, kStreamReadError},
        {"huge utf-16 count", {0x12, 0xFF, 0xFF, 0xFF, 0xFF, 0x41, 0x00}, true, kStreamReadError},
    };
    for (const Case &c : cases) {
        // A valid value first, so the failing item starts at offset 2.
        Bytes bytes{0x02, 0x07};
        bytes.insert(bytes.end(), c.bytes.begin(), c.bytes.end());
        ValueReader in(bytes);
        in.ReadInt();
        try {
            if (c.asString)
                in.ReadString();
            else
                in.ReadInt();
            ADD_FAILURE() << c.name << ": no error";
        } catch (const LayoutStreamError &e) {
            EXPECT_EQ(e.Offset(), 2u) << c.name;
            EXPECT_STREQ(e.what(), c.message) << c.name;
        }
    }
}

TEST(ValueReaderTest, ListBeginAndEnd)
{
    const Bytes bytes{0x01, 0x02, 0x05, 0x00, 0x02};
    ValueReader in(bytes);
    in.ReadListBegin();
    EXPECT_FALSE(in.AtListEnd());
    EXPECT_EQ(in.ReadInt(), 5);
    EXPECT_TRUE(in.AtListEnd());
    EXPECT_THROW(in.ReadListBegin(), LayoutStreamError);
}

} // namespace
