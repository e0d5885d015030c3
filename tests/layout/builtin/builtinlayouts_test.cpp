#include "layout/builtin/builtinlayouts.h"
#include "layout/builtin/layoutbuilder.h"
#include "layout/builtin/layoutsourceparser.h"

#include "layout/layoutreader.h"
#include "layout/layoutwriter.h"
#include "layout/tbilllayout.h"
#include "layout/tcell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace tally::builtin {
namespace {

using layout::TBillLayout;

struct Embedded
{
    const char *name;
    std::vector<int> fieldMap;
    int hiddenLines;                     // grid-line flags that are false
    std::vector<const char *> variables; // free item texts answered by the form
};

void PrintTo(const Embedded &e, std::ostream *os)
{
    *os << e.name;
}

const std::vector<int> kSequence10 = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};

const Embedded kEmbedded[] = {
    {"TPrintDHD",
     {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11},
     7,
     {"订单编号：", ":pJLBH", ":Ttitle", ":PAGE", "YXBJ", "pRQ", ":SHR", ":ZDR"}},
    {"TPrintDHD_HX",
     {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13},
     7,
     {":pHTH", ":pGHS", ":pDHBM", ":pJYFS", "收货日期："}},
    {"TPrintJHD", kSequence10, 20, {":Title", ":pJLBH", ":HT", "::DYSJ", ":ydh", ":ZDR"}},
    {"TPrintTHD",
     {0, 1, 1, 2, 3, 4, 5, 6, 7, 8, 9},
     0,
     {"btTITLE", "btPage", "btGHDWDm", "bwSENDER", "bwRECEIVER", ":YJZS", ":YJBH"}},
    {"TPrintTHD_SLL", {0, 1, 2, 3, 4, 5}, 4, {"btTITLE", ":HSFS", "btGHDWName", "bwSHR"}},
    {"TprintJJBJD",
     {0, 1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
     23,
     {":Title", "JLBH", "yxbj", "GHDW_CODE", "ZDR", "SHR"}},
    {"TprintSPCGBJD", {0, 1, 2, 3, 3, 4, 5, 6, 7, 8, 9, 10}, 5, {":Title", "ZXR", "ZXRQ"}},
    {"TPrintJSD", kSequence10, 0, {":Title", "YEARMONTH", "BYXSJE", "SHR_NAME", "JSJE"}},
    {"TPrintJSKKD", {0, 1, 2, 3}, 0, {":TITLE", ":GHDWMC", "MBZKJE", ":SJFKJE", "BZ"}},
    {"TPrintJXJSD", {0, 1, 2, 3}, 0, {":TITLE", ":DYRQ", ":JSHJQT", ":JKQT"}},
};

LayoutSource sourceOf(std::string_view name)
{
    std::ifstream in(std::string(TALLY_BUILTIN_LAYOUT_DIR) + "/" + std::string(name) + ".layout",
                     std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    LayoutSourceParseResult result = parseLayoutSource(text.str());
    EXPECT_TRUE(result) << name << ":" << result.line << ": " << result.message;
    return result ? *result.source : LayoutSource();
}

TEST(BuiltinLayouts, ListsTheTenLayoutsAndFindsThemByName)
{
    std::vector<std::string_view> expected;
    for (const Embedded &e : kEmbedded)
        expected.emplace_back(e.name);
    EXPECT_EQ(builtinLayoutNames(), expected);

    EXPECT_EQ(builtinLayoutStream("tprintdhd").data(), builtinLayoutStream("TPrintDHD").data());
    EXPECT_FALSE(builtinLayoutStream("TPrintDHD").empty());
    for (std::string_view unknown : {"", "TPrintDHDX", "TPrintDH", "TPrint"}) {
        EXPECT_TRUE(builtinLayoutStream(unknown).empty()) << unknown;
        EXPECT_EQ(loadBuiltinLayout(unknown), nullptr) << unknown;
    }
}

class EmbeddedLayout : public testing::TestWithParam<Embedded>
{
};

TEST_P(EmbeddedLayout, ReadsBackWholeAndRewritesByteForByte)
{
    const std::span<const std::uint8_t> stream = builtinLayoutStream(GetParam().name);
    ASSERT_FALSE(stream.empty());
    TBillLayout layout;
    const layout::LayoutReadResult read = layout::LayoutReader::Read(stream, layout);
    ASSERT_TRUE(read) << read.message << " at " << read.offset;
    EXPECT_EQ(read.consumed, stream.size());
    EXPECT_EQ(read.version, 702);
    EXPECT_EQ(read.layoutPPI, 96);
    const std::vector<std::uint8_t> rewritten = layout::LayoutWriter::Write(layout);
    EXPECT_TRUE(std::equal(rewritten.begin(), rewritten.end(), stream.begin(), stream.end()));
}

TEST_P(EmbeddedLayout, LoadsWhatItsSourceSays)
{
    const Embedded &e = GetParam();
    const std::unique_ptr<TBillLayout> loaded = loadBuiltinLayout(e.name);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(compareWithSource(*loaded, sourceOf(e.name)), "");
    EXPECT_EQ(loaded->BodyBlock().FieldMap(), e.fieldMap);

    int hidden = 0;
    for (int c = 0; c <= loaded->ColCount(); ++c)
        for (int r = 0; r <= loaded->RowCount(); ++r)
            hidden += !loaded->Edge(c, r).TopLine + !loaded->Edge(c, r).LeftLine;
    EXPECT_EQ(hidden, e.hiddenLines);

    for (std::string_view variable : e.variables) {
        const auto isVariable = [&](const layout::TFooter &item) {
            return item.Text() == variable && !item.FixedText();
        };
        EXPECT_TRUE(
            std::any_of(loaded->TopFooters().begin(), loaded->TopFooters().end(), isVariable) ||
            std::any_of(loaded->BottomFooters().begin(), loaded->BottomFooters().end(), isVariable))
            << variable;
    }
}

// Each free item fills its rectangle white before drawing, so a later item
// overlapping an earlier one erases what lies beneath. Overlaps may reach
// into the 2-pixel inset around an earlier item's text, never into the text.
TEST_P(EmbeddedLayout, NoFreeItemErasesTheTextOfAnEarlierOne)
{
    const std::unique_ptr<TBillLayout> loaded = loadBuiltinLayout(GetParam().name);
    ASSERT_NE(loaded, nullptr);
    for (const auto *items : {&loaded->TopFooters(), &loaded->BottomFooters()})
        for (std::size_t i = 0; i < items->size(); ++i)
            for (std::size_t j = i + 1; j < items->size(); ++j) {
                const printing::Rect &text = (*items)[i].Rect();
                const printing::Rect &fill = (*items)[j].Rect();
                const int left = std::max(text.left + 2, fill.left);
                const int right = std::min(text.right - 2, fill.right);
                const int top = std::max(text.top + 2, fill.top);
                const int bottom = std::min(text.bottom - 2, fill.bottom);
                EXPECT_FALSE(left < right && top < bottom)
                    << (*items)[j].Text() << " erases part of " << (*items)[i].Text();
            }
}

INSTANTIATE_TEST_SUITE_P(Builtin, EmbeddedLayout, testing::ValuesIn(kEmbedded),
                         [](const auto &testInfo) { return std::string(testInfo.param.name); });

TEST(BuiltinLayouts, PurchasePriceNoteStartsItsFreeItemsWithTheTitle)
{
    // The first top item: text ":Title", font "新宋体", bold, 18 pt, centred,
    // top-aligned, variable, rectangle 273, 5, 351, 29.
    const std::vector<std::uint8_t> item = {
        0x01, 0x06, 0x06, 0x3A, 0x54, 0x69, 0x74, 0x6C, 0x65, 0x02, 0x14, 0x09,
        0x00, 0x00, 0x00, 0xE6, 0x96, 0xB0, 0xE5, 0xAE, 0x8B, 0xE4, 0xBD, 0x93,
        0x03, 0x06, 0x02, 0x12, 0x07, 0x02, 0x02, 0x08, 0x02, 0x00, 0x09, 0x00,
        0x03, 0x11, 0x01, 0x02, 0x05, 0x03, 0x5F, 0x01, 0x02, 0x1D};
    const std::span<const std::uint8_t> stream = builtinLayoutStream("TprintSPCGBJD");
    const auto at = std::search(stream.begin(), stream.end(), item.begin(), item.end());
    ASSERT_NE(at, stream.end());
    // Header, 12 columns, 12 rows, page settings (Offset.X 2, PaperSize 9), count 9.
    EXPECT_EQ(at - stream.begin(), 5 + 26 + 26 + 7 + 2);
}

TEST(BuiltinLayouts, EachLoadIsAFreshLayout)
{
    const std::unique_ptr<TBillLayout> first = loadBuiltinLayout("TPrintTHD");
    first->SetRowCountBody(3);
    const std::unique_ptr<TBillLayout> second = loadBuiltinLayout("TPrintTHD");
    EXPECT_EQ(second->RowCountBody(), 5);
    EXPECT_EQ(second->TailBlock().Slot(0, 0).Text(), "合 计");
}

} // namespace
} // namespace tally::builtin
