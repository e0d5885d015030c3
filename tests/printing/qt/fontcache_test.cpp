#include "qtapp.h"

#include "printing/canvas.h"
#include "printing/qt/fontcache.h"
#include "printing/qt/fontsubstitution.h"

#include <QFontMetricsF>
#include <QImage>

#include <gtest/gtest.h>

#include <string>

namespace tally::printing {
namespace {

using testing_fakes::ensureQtApp;

struct WidthCase
{
    const char *font;
    int pixelHeight;
    const char *text;
};

class FontCacheWidthTest : public testing::TestWithParam<WidthCase>
{
};

// Text is measured from cached character advances instead of shaping each
// string; the layout fonts must measure the same either way, or text would
// break and align differently from Qt's own drawing.
TEST_P(FontCacheWidthTest, CharacterAdvancesAddUpToQtsWidth)
{
    ensureQtApp();
    const WidthCase &c = GetParam();
    QImage device(8, 8, QImage::Format_RGB32);
    device.setDotsPerMeterX(23622); // 600 per inch
    device.setDotsPerMeterY(23622);
    const CachedFont &cached = FontCache::get(c.font, c.pixelHeight, Canvas::Regular, 600);
    const QFontMetricsF qt(FontSubstitution::font(c.font, c.pixelHeight, Canvas::Regular), &device);
    EXPECT_DOUBLE_EQ(cached.advance(std::string(c.text)),
                     qt.horizontalAdvance(QString::fromUtf8(c.text)))
        << c.font << " " << c.pixelHeight << " " << c.text;
    EXPECT_EQ(cached.lineHeight(), static_cast<int>(std::ceil(qt.height())));
    EXPECT_DOUBLE_EQ(cached.ascent(), qt.ascent());
}

INSTANTIATE_TEST_SUITE_P(LayoutFonts, FontCacheWidthTest,
                         testing::Values(WidthCase{"宋体", 75, "100248"},
                                         WidthCase{"宋体", 75, "2572.8"},
                                         WidthCase{"宋体", 92, "乐事薯片原味 70g"},
                                         WidthCase{"宋体", 75, "AVAWATTo fi ffl Ty"},
                                         WidthCase{"宋体", 56, "200g*12 (箱) ％"},
                                         WidthCase{"黑体", 167, "返厂单 No.30005686"},
                                         WidthCase{"黑体", 75, "AVAWATTo Ty"},
                                         WidthCase{"楷体_GB2312", 150, "商品订货单：合计"},
                                         WidthCase{"楷体_GB2312", 75, "AVAWATTo Ty 2026-12-31"}));

TEST(FontCacheTest, SameSettingsGiveTheSameFont)
{
    ensureQtApp();
    const CachedFont &a = FontCache::get("宋体", 75, Canvas::Regular, 600);
    EXPECT_EQ(&a, &FontCache::get("宋体", 75, Canvas::Regular, 600));
    EXPECT_NE(&a, &FontCache::get("宋体", 75, Canvas::Bold, 600));
    EXPECT_NE(&a, &FontCache::get("宋体", 76, Canvas::Regular, 600));
    EXPECT_NE(&a, &FontCache::get("宋体", 75, Canvas::Regular, 96));
}

struct CodePointCase
{
    const char *name;
    std::string utf8;
    std::vector<char32_t> expected;
};

class CodePointTest : public testing::TestWithParam<CodePointCase>
{
};

TEST_P(CodePointTest, DecodesEverySequenceAndSkipsStrayBytes)
{
    const CodePointCase &c = GetParam();
    std::vector<char32_t> got;
    for (std::size_t pos = 0; pos < c.utf8.size();)
        got.push_back(nextCodePoint(c.utf8, pos));
    EXPECT_EQ(got, c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Utf8, CodePointTest,
    testing::Values(CodePointCase{"ascii", "a1", {U'a', U'1'}},
                    CodePointCase{"two and three bytes", "é单", {U'é', U'单'}},
                    CodePointCase{"four bytes", "\xF0\x9F\x98\x80", {0x1F600}},
                    CodePointCase{"truncated sequence", "\xE5\x8D", {0xE5, 0x8D}},
                    CodePointCase{"stray continuation", "\x80z", {0x80, U'z'}}),
    [](const auto &row) {
        std::string name = row.param.name;
        for (char &ch : name)
            if (ch == ' ')
                ch = '_';
        return name;
    });

} // namespace
} // namespace tally::printing
