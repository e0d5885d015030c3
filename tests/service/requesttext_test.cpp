#include "base/textcodec.h"
#include "service/requestjson.h"
#include "service/requesttext.h"

#include <gtest/gtest.h>

namespace tally::service {
namespace {

using Status = UrlDecodeResult::Status;

struct UrlCase
{
    const char *name;
    std::string input;
    Status status;
    std::string output{};

    void PrintTo(const UrlCase &c, std::ostream *os) { *os << c.name; } // when Ok
    std::size_t offset = 0;                                             // when failing
};

class UrlDecodeTest : public ::testing::TestWithParam<UrlCase>
{
};

TEST_P(UrlDecodeTest, DecodesOrReportsWhereItFailed)
{
    const UrlCase &c = GetParam();
    const UrlDecodeResult r = UrlDecode(c.input);
    EXPECT_EQ(r.status, c.status);
    if (c.status == Status::Ok) {
        EXPECT_EQ(r.bytes, c.output);
    } else {
        EXPECT_EQ(r.offset, c.offset);
        EXPECT_TRUE(r.bytes.empty());
        EXPECT_FALSE(r.message.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UrlDecodeTest,
    ::testing::Values(UrlCase{"PercentHex", "%25", Status::Ok, "%"},
                      UrlCase{"DoublePercent", "%%", Status::Ok, "%"},
                      UrlCase{"DoublePercentThenDigits", "%%41", Status::Ok, "%41"},
                      UrlCase{"PlusIsSpace", "a+b", Status::Ok, "a b"},
                      UrlCase{"LowerCaseUtf8", "%e4%b8%ad", Status::Ok, "\xE4\xB8\xAD"},
                      UrlCase{"UpperCaseHex", "%7B%22a%22%7D", Status::Ok, "{\"a\"}"},
                      UrlCase{"NulByte", "a%00b", Status::Ok, std::string("a\0b", 3)},
                      UrlCase{"PlainBytesUnchanged", "\xE4\xB8\xAD-x=1&y", Status::Ok,
                              "\xE4\xB8\xAD-x=1&y"},
                      UrlCase{"Empty", "", Status::Ok, ""},
                      UrlCase{"NotHex", "ab%zz", Status::BadEscape, "", 2},
                      UrlCase{"UnicodeFormIsNotSpecial", "%u4e2d", Status::BadEscape, "", 0},
                      UrlCase{"HalfHex", "%4g", Status::BadEscape, "", 0},
                      UrlCase{"CutOffAfterOneChar", "ab%4", Status::TruncatedEscape, "", 2},
                      UrlCase{"LonePercentAtEnd", "x%", Status::TruncatedEscape, "", 1},
                      UrlCase{"PercentPairThenLonePercent", "%%%", Status::TruncatedEscape, "", 2}),
    [](const auto &p) { return std::string(p.param.name); });

TEST(DecodeUtf8Test, KeepsWellFormedTextAndReplacesIllFormedBytes)
{
    EXPECT_EQ(DecodeUtf8(""), "");
    EXPECT_EQ(DecodeUtf8("\xE4\xB8\xAD\xE6\x96\x87 ok"), "\xE4\xB8\xAD\xE6\x96\x87 ok");
    for (const std::string bad :
         {"\xFF", "a\xE4\xB8", "\xC0\xAF", "\xED\xA0\x80", "\xE4\xB8\xAD\x80"}) {
        const std::string out = DecodeUtf8(bad);
        EXPECT_TRUE(text::isValidUtf8(out)) << bad;
        EXPECT_NE(out.find("\xEF\xBF\xBD"), std::string::npos) << bad;
    }
}

struct JsonCase
{
    const char *name;
    std::string text;
    RequestJson::Status status;
    std::string djlx{};

    void PrintTo(const JsonCase &c, std::ostream *os) { *os << c.name; }
    std::string title{};
    std::size_t memberCount = 0;
};

class RequestJsonTest : public ::testing::TestWithParam<JsonCase>
{
};

TEST_P(RequestJsonTest, ReadsMembersAsText)
{
    const JsonCase &c = GetParam();
    const RequestJson r = parseRequestJson(c.text);
    ASSERT_EQ(r.status, c.status) << r.message;
    if (r.ok()) {
        EXPECT_EQ(r.djlx, c.djlx);
        EXPECT_EQ(r.title, c.title);
        EXPECT_EQ(r.memberCount, c.memberCount);
    }
}

using JS = RequestJson::Status;

INSTANTIATE_TEST_SUITE_P(
    Cases, RequestJsonTest,
    ::testing::Values(
        JsonCase{"StringMember", R"({"djlx":"1","title":"订货单"})", JS::Ok, "1", "订货单", 2},
        JsonCase{"NumberReadsAsItsText", R"({"djlx": 1})", JS::Ok, "1", "", 1},
        JsonCase{"LeadingZeroKept", R"({"djlx": "01"})", JS::Ok, "01", "", 1},
        JsonCase{"NotTrimmed", R"({"djlx": " 1"})", JS::Ok, " 1", "", 1},
        JsonCase{"FloatAndBoolAsText", R"({"djlx": 2.5, "title": true})", JS::Ok, "2.5", "true", 2},
        JsonCase{"NullReadsEmpty", R"({"djlx": null})", JS::Ok, "", "", 1},
        JsonCase{"ObjectAsCompactJson", R"({"title": {"a": [1, "x"]}})", JS::Ok, "",
                 R"({"a":[1,"x"]})", 1},
        JsonCase{"MissingMembersEmpty", R"({"other": 1, "Djlx": "1"})", JS::Ok, "", "", 2},
        JsonCase{"NamesAreCaseSensitive", R"({"TITLE": "x"})", JS::Ok, "", "", 1},
        JsonCase{"RepeatedNameCountsOnce", R"({"djlx": "1", "djlx": "2"})", JS::Ok, "2", "", 1},
        JsonCase{"TrailingTextAllowed", R"({"djlx": "3"} trailing)", JS::Ok, "3", "", 1},
        JsonCase{"CommentsAllowed", "{/* c */ \"djlx\": \"4\" // c\n}", JS::Ok, "4", "", 1},
        JsonCase{"EscapedUnicode", R"({"title": "\u4e2d"})", JS::Ok, "", "\xE4\xB8\xAD", 1},
        JsonCase{"ArrayIsNotAnObject", R"([1, 2])", JS::NotAnObject},
        JsonCase{"StringIsNotAnObject", R"("x")", JS::NotAnObject},
        JsonCase{"Empty", "", JS::SyntaxError},
        JsonCase{"Unclosed", R"({"djlx": "1")", JS::SyntaxError},
        JsonCase{"FormEncodingNotJson", "djlx=1&title=x", JS::SyntaxError}),
    [](const auto &p) { return std::string(p.param.name); });

TEST(RequestJsonTest, ReadsEveryPacketMember)
{
    const RequestJson r = parseRequestJson(
        R"({"title":"t","prev":"1","djlx":"1","Maindata":"<m/>","Itemdata":"<i/>","data":"<d/>"})");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.memberCount, 6u);
    EXPECT_EQ(r.prev, "1");
    EXPECT_EQ(r.mainData, "<m/>");
    EXPECT_EQ(r.itemData, "<i/>");
    EXPECT_EQ(r.data, "<d/>");
}

TEST(RequestJsonTest, SyntaxErrorReportsOffset)
{
    const RequestJson r = parseRequestJson(R"({"djlx": x})");
    EXPECT_EQ(r.status, JS::SyntaxError);
    EXPECT_EQ(r.offset, 9u);
    EXPECT_EQ(parseRequestJson(R"({"djlx": )").offset, 9u); // cut off: the end
    EXPECT_FALSE(r.message.empty());
}

TEST(RequestJsonTest, NestingBombIsRefusedWithoutExhaustingTheStack)
{
    // Deep enough to overflow any recursive parser or destructor.
    const std::size_t depth = 1'000'000;
    for (const char open : {'[', '{'}) {
        std::string bomb = R"({"data":)";
        for (std::size_t i = 0; i < depth; ++i)
            bomb += open == '{' ? std::string(R"({"a":)") : std::string(1, open);
        const RequestJson r = parseRequestJson(bomb);
        EXPECT_EQ(r.status, JS::TooDeep);
        // The object itself is level 1, so the refused level starts here.
        const std::size_t perLevel = open == '{' ? 5 : 1;
        EXPECT_EQ(r.offset, 8 + (kMaxJsonDepth - 1) * perLevel);
    }
}

TEST(RequestJsonTest, NestingUpToTheLimitIsAccepted)
{
    std::string text = R"({"title":)";
    for (std::size_t i = 1; i < kMaxJsonDepth; ++i)
        text += '[';
    for (std::size_t i = 1; i < kMaxJsonDepth; ++i)
        text += ']';
    text += '}';
    const RequestJson r = parseRequestJson(text);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(r.title.size(), 2 * (kMaxJsonDepth - 1));
}

} // namespace
} // namespace tally::service
