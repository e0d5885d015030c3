#include "base/textcodec.h"

#include "base/textcodec_backend.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using namespace tally::text;

namespace {

struct Utf8Case
{
    const char *name;
    std::string bytes;
    bool valid;
    std::string sanitized;
};

const std::string kFffd = "\xEF\xBF\xBD";

class Utf8Validity : public testing::TestWithParam<Utf8Case>
{
};

TEST_P(Utf8Validity, ValidatesAndSanitizes)
{
    const Utf8Case &c = GetParam();
    EXPECT_EQ(isValidUtf8(c.bytes), c.valid);
    const std::string sanitized = sanitizeUtf8(c.bytes);
    EXPECT_EQ(sanitized, c.sanitized);
    EXPECT_TRUE(isValidUtf8(sanitized));
    // Where the first bad sequence starts: the first byte sanitizing replaced.
    const std::size_t bad = firstInvalidUtf8(c.bytes);
    EXPECT_EQ(bad == std::string::npos, c.valid);
    if (!c.valid) {
        EXPECT_EQ(c.bytes.substr(0, bad), c.sanitized.substr(0, bad));
    }
}

// The eight-byte ASCII stride stops on the right byte wherever it falls.
TEST(Utf8Offset, BadByteAfterLongAsciiRuns)
{
    for (std::size_t prefix = 0; prefix < 20; ++prefix) {
        const std::string text = std::string(prefix, 'a') + "\xC0\x80" + std::string(9, 'b');
        EXPECT_EQ(firstInvalidUtf8(text), prefix) << prefix;
        EXPECT_EQ(firstInvalidUtf8(std::string(prefix, 'a') + "中文"), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8Validity,
    testing::Values(Utf8Case{"Empty", "", true, ""}, Utf8Case{"Ascii", "abc 123", true, "abc 123"},
                    Utf8Case{"Chinese", "正常接收", true, "正常接收"},
                    Utf8Case{"FourByte", "\xF0\x9F\x98\x80", true, "\xF0\x9F\x98\x80"},
                    Utf8Case{"EmbeddedNul", std::string("a\0b", 3), true, std::string("a\0b", 3)},
                    Utf8Case{"LoneContinuation", "a\x80z", false, "a" + kFffd + "z"},
                    Utf8Case{"OverlongSlash", "\xC0\xAF", false, kFffd + kFffd},
                    Utf8Case{"OverlongThreeByte", "\xE0\x80\xAF", false, kFffd + kFffd + kFffd},
                    Utf8Case{"Surrogate", "\xED\xA0\x80", false, kFffd + kFffd + kFffd},
                    Utf8Case{"BeyondUnicode", "\xF4\x90\x80\x80", false,
                             kFffd + kFffd + kFffd + kFffd},
                    Utf8Case{"TruncatedAtEnd", "中\xE4\xB8", false, "中" + kFffd},
                    Utf8Case{"TruncatedBeforeAscii", "\xE4\xB8x", false, kFffd + "x"},
                    Utf8Case{"InvalidLeadByte", "\xFF\xFEok", false, kFffd + kFffd + "ok"}),
    [](const auto &row) { return std::string(row.param.name); });

// encodeCodePage into a buffer of exactly the room it is promised.
std::string encodedInPlace(std::string_view utf8)
{
    std::string buffer(utf8.size(), '#');
    const char *end = encodeCodePage(utf8, buffer.data());
    buffer.resize(static_cast<std::size_t>(end - buffer.data()));
    return buffer;
}

struct CodePageCase
{
    const char *name;
    std::string utf8;
    std::string cp936;
    std::size_t length;
};

class CodePageConversion : public testing::TestWithParam<CodePageCase>
{
};

TEST_P(CodePageConversion, EncodesAndMeasures)
{
    const CodePageCase &c = GetParam();
    EXPECT_EQ(toCodePage(c.utf8), c.cp936);
    EXPECT_EQ(codePageLength(c.utf8), c.length);
    // Appending gives the same bytes, also once its characters are known.
    for (int pass = 0; pass < 2; ++pass) {
        std::string out = "x";
        EXPECT_EQ(appendCodePage(out, c.utf8), c.length);
        EXPECT_EQ(out, "x" + c.cp936);
        EXPECT_EQ(encodedInPlace(c.utf8), c.cp936);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CodePageConversion,
    testing::Values(CodePageCase{"Empty", "", "", 0},
                    CodePageCase{"Ascii", "JLBH 12", "JLBH 12", 7},
                    CodePageCase{"OneChinese", "中", "\xD6\xD0", 2},
                    CodePageCase{"Mixed", "a中b",
                                 "a\xD6\xD0"
                                 "b",
                                 4},
                    CodePageCase{"FullWidthYuan", "￥", "\xA3\xA4", 2},
                    CodePageCase{"FullWidthColon", "本次：", "\xB1\xBE\xB4\xCE\xA3\xBA", 6},
                    CodePageCase{"UnmappableEmoji", "a\xF0\x9F\x98\x80z", "a?z", 3},
                    CodePageCase{"UnmappableHangul", "한", "?", 1},
                    CodePageCase{"IllFormedBecomesQuestionMark", "a\xFFz", "a?z", 3}),
    [](const auto &row) { return std::string(row.param.name); });

// The table-driven conversion against the platform converter itself, for
// every BMP character on its own and between ASCII (the bulk ASCII copy's
// edges): what it converts must match byte for byte, what it refuses is '?'.
TEST(CodePage, TableMatchesPlatformConverterOverTheWholeBmp)
{
    int mismatches = 0;
    for (char32_t cp = 0x80; cp <= 0xFFFF && mismatches < 10; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            continue;
        std::string utf8;
        appendUtf8(utf8, cp);
        std::string expected;
        if (!tally::text::detail::utf8ToCodePage(utf8, expected))
            expected = "?";
        const std::string padded = "0123456" + utf8 + "z";
        std::string out = "x";
        const std::size_t n = appendCodePage(out, padded);
        if (out != "x0123456" + expected + "z" || n != expected.size() + 8 ||
            codePageLength(utf8) != expected.size() || encodedInPlace(utf8) != expected) {
            ADD_FAILURE() << "U+" << std::hex << static_cast<unsigned>(cp);
            ++mismatches;
        }
    }
}

// Every two-byte code of the code page the platform decodes comes back to
// the same two bytes.
TEST(CodePage, EveryTwoByteCodeRoundTrips)
{
    int mismatches = 0;
    for (int lead = 0x81; lead <= 0xFE && mismatches < 10; ++lead)
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F)
                continue;
            const std::string code = {static_cast<char>(lead), static_cast<char>(trail)};
            std::string utf8;
            if (!tally::text::detail::codePageToUtf8(code, utf8))
                continue;
            std::string expected;
            ASSERT_TRUE(tally::text::detail::utf8ToCodePage(utf8, expected)) << utf8;
            if (toCodePage(utf8) != expected) {
                ADD_FAILURE() << std::hex << lead << " " << trail;
                ++mismatches;
            }
        }
}

// Ill-formed, unmappable and other input between runs of ASCII (every
// length around the eight-byte steps) and of Chinese characters (whose
// three-byte loop must hand on, as it is, whatever ends the run): each
// ill-formed subpart is one '?'.
TEST(CodePage, InputBetweenRunsOfAsciiAndOfChinese)
{
    const std::vector<CodePageCase> cases = {
        {"Ascii", "a", "a", 1},
        {"TwoByte", "\xC3\xA9", "\xA8\xA6", 2},
        {"Euro", "\xE2\x82\xAC", "\x80", 1},
        {"UnmappableHangul", "\xED\x95\x9C", "?", 1},
        {"TwoByteThenStrayContinuation", "\xC3\xA9\x80", "\xA8\xA6?", 3},
        {"Emoji", "\xF0\x9F\x98\x80", "?", 1},
        {"Supplementary CJK", "\xF0\xA0\x80\x80", "?", 1},
        {"LoneContinuation", "\x80", "?", 1},
        {"OverlongTwoByte", "\xC0\xAF", "??", 2},
        {"OverlongThreeByte", "\xE0\x80\xAF", "???", 3},
        // The overlong form of a character the code page has (é, above).
        {"OverlongOfTwoByte", "\xE0\x83\xA9", "???", 3},
        {"Surrogate", "\xED\xA0\x80", "???", 3},
        {"BeyondUnicode", "\xF4\x90\x80\x80", "????", 4},
        {"TruncatedThreeByte", "\xE4\xB8", "?", 1},
        {"TruncatedBeforeAscii", "\xE4\xB8x", "?x", 2},
        {"TruncatedFourByte", "\xF0\x9F\x98", "?", 1},
        {"BadSecondOfFullWidth", "\xEF\x28\xA5", "?(?", 3},
        {"InvalidLeadBytes", "\xFF\xFE", "??", 2},
        {"FullWidthAndEuro", "\xEF\xBF\xA5\xE2\x82\xAC", "\xA3\xA4\x80", 3},
    };
    struct Filler
    {
        std::string utf8, cp936;
        std::size_t longestRun;
    };
    const Filler fillers[] = {{"a", "a", 17}, {"中", "\xD6\xD0", 4}};
    for (const CodePageCase &c : cases)
        for (const Filler &filler : fillers)
            for (std::size_t n = 0; n <= filler.longestRun; ++n) {
                std::string run, runBytes;
                for (std::size_t i = 0; i < n; ++i) {
                    run += filler.utf8;
                    runBytes += filler.cp936;
                }
                const std::string utf8 = run + c.utf8 + run;
                const std::string expected = runBytes + c.cp936 + runBytes;
                const std::string at =
                    std::string(c.name) + " between " + std::to_string(n) + " of " + filler.utf8;
                std::string out;
                EXPECT_EQ(appendCodePage(out, utf8), expected.size()) << at;
                EXPECT_EQ(out, expected) << at;
                EXPECT_EQ(toCodePage(utf8), expected) << at;
                EXPECT_EQ(codePageLength(utf8), expected.size()) << at;
                EXPECT_EQ(encodedInPlace(utf8), expected) << at;
            }
}

// Texts longer than the appending buffer of its own, mixing every path.
TEST(CodePage, LongMixedTextsAppendWhole)
{
    std::string utf8;
    std::string expected;
    for (int i = 0; i < 300; ++i) {
        utf8 += "中a\xF0\x9F\x98\x80\xFF";
        expected += "\xD6\xD0"
                    "a??";
    }
    utf8 += std::string(1000, 'b');
    expected += std::string(1000, 'b');
    std::string out = "x";
    EXPECT_EQ(appendCodePage(out, utf8), expected.size());
    EXPECT_EQ(out, "x" + expected);
    EXPECT_EQ(encodedInPlace(utf8), expected);
}

TEST(CodePage, RoundTripsMappableText)
{
    for (const std::string text :
         {"", "abc", "正常接收信息3条", "间隔2.5秒 上次:", "满百折扣：￥12.50", "€"}) {
        EXPECT_EQ(fromCodePage(toCodePage(text)), text) << text;
        EXPECT_EQ(toCodePage(text).size(), codePageLength(text)) << text;
    }
}

TEST(CodePage, DecodingReplacesWhatIsNotGbk)
{
    EXPECT_EQ(fromCodePage("\xD6\xD0"), "中");
    // A lead byte at the very end, a lead byte before a non-trail byte, and 0xFF.
    EXPECT_EQ(fromCodePage("a\xD6"), "a" + kFffd);
    EXPECT_EQ(fromCodePage("\xD6 a"), kFffd + " a");
    EXPECT_EQ(fromCodePage("\xFFx"), kFffd + "x");
    EXPECT_TRUE(isValidUtf8(fromCodePage(std::string("\x81\x7F\xFE\xFF\x80\x00", 6))));
}

struct TruncateCase
{
    std::string text;
    std::size_t maxBytes;
    std::string expected;
};

TEST(CodePage, TruncatesWithoutSplittingCharacters)
{
    const std::vector<TruncateCase> cases = {
        {"abc", 0, ""},      {"abc", 2, "ab"},      {"abc", 10, "abc"},
        {"中文", 1, ""},     {"中文", 2, "中"},     {"中文", 3, "中"},
        {"a中文", 4, "a中"}, {"a中文", 5, "a中文"}, {"\xF0\x9F\x98\x80x", 1, "\xF0\x9F\x98\x80"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(truncateToCodePageLength(c.text, c.maxBytes), c.expected)
            << c.text << " / " << c.maxBytes;
        EXPECT_LE(codePageLength(truncateToCodePageLength(c.text, c.maxBytes)), c.maxBytes);
    }
}

TEST(CodePage, ConvertsFromSeveralThreadsAtOnce)
{
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (std::size_t t = 0; t < failures.size(); ++t) {
        threads.emplace_back([&failures, t] {
            for (int i = 0; i < 500; ++i) {
                if (fromCodePage(toCodePage("结算单中文" + std::to_string(i))) !=
                    "结算单中文" + std::to_string(i))
                    ++failures[t];
            }
        });
    }
    for (auto &thread : threads)
        thread.join();
    for (int f : failures)
        EXPECT_EQ(f, 0);
}

} // namespace
