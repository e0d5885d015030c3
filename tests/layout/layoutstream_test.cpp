#include "layout/einvalidreportoperation.h"
#include "layout/layoutreader.h"
#include "layout/layoutstreamerror.h"
#include "layout/layoutwriter.h"
#include "layout/tbilllayout.h"
#include "layout/tcell.h"
#include "layout/valuewriter.h"
#include "samplelayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

using namespace tally::layout;
using tally::printing::HorzAlign;
using tally::printing::SumScope;
using tally::printing::VertAlign;
using Bytes = std::vector<std::uint8_t>;

namespace {

// The stream of a new layout, byte by byte (72 bytes; offsets in comments).
// clang-format off
const Bytes kNewLayoutStream{
    0x03, 0xBE, 0x02, 0x02, 0x60,                   // 0: version 702, 3: 96 PPI
    0x02, 0x06,                                     // 5: six columns of 64
    0x02, 0x40, 0x02, 0x40, 0x02, 0x40, 0x02, 0x40, 0x02, 0x40, 0x02, 0x40,
    0x02, 0x0A,                                     // 19: ten rows
    0x02, 0x32,                                     // 21: the top area, 50
    0x02, 0x16, 0x02, 0x16, 0x02, 0x16, 0x02, 0x16, 0x02, 0x16, 0x02, 0x16, 0x02, 0x16, 0x02, 0x16,
    0x02, 0x32,                                     // 39: the bottom area, 50
    0x00,                                           // 41: page settings
    0x02, 0x00, 0x02, 0x00,                         // 42: no free items
    0x02, 0x06, 0x02, 0x02, 0x01, 0x00,             // 46: head 6x2
    0x02, 0x01, 0x02, 0x05, 0x01, 0x00,             // 52: left 1x5
    0x02, 0x05, 0x02, 0x05, 0x01, 0x00,             // 58: body 5x5
    0x02, 0x06, 0x02, 0x01, 0x01, 0x00,             // 64: tail 6x1
    0x01, 0x00,                                     // 70: edges
};
// clang-format on

Bytes orderFormStream()
{
    TBillLayout layout;
    sample::buildOrderFormLike(layout);
    return LayoutWriter::Write(layout);
}

Bytes withInsert(Bytes bytes, std::size_t at, const Bytes &inserted)
{
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), inserted.begin(), inserted.end());
    return bytes;
}

Bytes withByte(Bytes bytes, std::size_t at, std::uint8_t value)
{
    bytes[at] = value;
    return bytes;
}

TEST(LayoutWriterTest, NewLayoutStreamIsExact)
{
    TBillLayout layout;
    EXPECT_EQ(LayoutWriter::Write(layout), kNewLayoutStream);
}

TEST(LayoutWriterTest, WorkedExampleFreeItemBytes)
{
    TBillLayout layout;
    sample::buildOrderFormLike(layout);
    layout.TopFooters().resize(1);
    const Bytes bytes = LayoutWriter::Write(layout);
    const Bytes item{0x01, 0x06, 0x06, 0x3A, 0x54, 0x69, 0x74, 0x6C, 0x65, // text
                     0x02, 0x14, 0x09, 0x00, 0x00, 0x00, 0xE6, 0x96, 0xB0, 0xE5, 0xAE,
                     0x8B, 0xE4, 0xBD, 0x93,                                           // font
                     0x03, 0x06, 0x02, 0x12, 0x07, 0x02, 0x02, 0x08, 0x02, 0x00, 0x09, // style..
                     0x00,                                                             // end
                     0x03, 0x11, 0x01, 0x02, 0x05, 0x03, 0x5F, 0x01, 0x02, 0x1D};      // rect
    // Header, 12 columns, 42 rows, page settings (landscape, paper 9), one item.
    const auto found = std::search(bytes.begin(), bytes.end(), item.begin(), item.end());
    ASSERT_NE(found, bytes.end());
    const Bytes before{0x2B, 0x2C, 0x02, 0x09, 0x00, 0x02, 0x01};
    EXPECT_TRUE(std::equal(before.begin(), before.end(),
                           found - static_cast<std::ptrdiff_t>(before.size())));

    TBillLayout read;
    ASSERT_TRUE(LayoutReader::Read(bytes, read));
    const TFooter &title = read.TopFooters().at(0);
    EXPECT_EQ(title.Text(), ":Title");
    EXPECT_EQ(title.FontName(), "新宋体");
    EXPECT_TRUE(title.HasStyle(TFontStyle::Bold));
    EXPECT_EQ(title.FontSize(), 18);
    EXPECT_EQ(title.HAlign(), HorzAlign::Centre);
    EXPECT_EQ(title.VAlign(), VertAlign::Top);
    EXPECT_FALSE(title.FixedText());
    EXPECT_EQ(title.Rect(), (tally::printing::Rect{273, 5, 351, 29}));
}

TEST(LayoutWriterTest, FreeItemAlignmentIsWrittenOnlyWhenNotLeft)
{
    for (std::uint8_t align : {0, 1, 2}) {
        TBillLayout layout;
        TFooter item;
        item.SetHAlign(static_cast<HorzAlign>(align));
        layout.BottomFooters().push_back(item);
        const Bytes bytes = LayoutWriter::Write(layout);
        // The bottom item follows the empty top list at offset 42.
        const Bytes expected =
            align == 0 ? Bytes{0x02, 0x01, 0x00} : Bytes{0x02, 0x01, 0x07, 0x02, align, 0x00};
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), bytes.begin() + 44)) << int{align};
        TBillLayout read;
        ASSERT_TRUE(LayoutReader::Read(bytes, read));
        EXPECT_EQ(read.BottomFooters().at(0).HAlign(), static_cast<HorzAlign>(align));
    }
}

TEST(LayoutStreamTest, OrderFormRoundTripsByteForByte)
{
    const Bytes bytes = orderFormStream();
    TBillLayout layout;
    const LayoutReadResult result = LayoutReader::Read(bytes, layout);
    ASSERT_TRUE(result) << result.message << " at " << result.offset;
    EXPECT_EQ(result.consumed, bytes.size());
    EXPECT_EQ(result.version, 702);
    EXPECT_EQ(LayoutWriter::Write(layout), bytes);
    EXPECT_TRUE(layout.IsConsistent());
    EXPECT_EQ(layout.GetPageWidth(), 743);
    EXPECT_EQ(layout.GetPageHeight(), 1065);
    EXPECT_EQ(layout.RowCountBody(), 36);
    EXPECT_EQ(layout.BodyBlock().FieldMap(),
              (std::vector<int>{0, 1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(layout.HeadBlock().GetCell(0, 1).Text(), "商品编码");
    EXPECT_EQ(&layout.HeadBlock().GetCell(11, 0), &layout.HeadBlock().GetCell(10, 0));
    EXPECT_EQ(layout.TailBlock().GetCell(6, 0).SumKind(), SumScope::Total);
    EXPECT_EQ(layout.PageSettings().PrintOrient, 1);
    EXPECT_EQ(layout.PageSettings().PaperSize, 9);
    EXPECT_FALSE(layout.Edge(0, layout.RowCount() - 2).TopLine);

    // Trailing bytes are not read.
    Bytes longer = bytes;
    longer.push_back(0xEE);
    EXPECT_EQ(LayoutReader::Read(longer, layout).consumed, bytes.size());
}

TEST(LayoutStreamTest, EmptyHeadHasNoList)
{
    TBillLayout layout;
    layout.SetRowCountHead(0);
    const Bytes bytes = LayoutWriter::Write(layout);
    const Bytes headThenLeft{0x02, 0x06, 0x02, 0x00, 0x02, 0x01, 0x02, 0x05, 0x01};
    EXPECT_TRUE(std::equal(headThenLeft.begin(), headThenLeft.end(), bytes.begin() + 42));
    TBillLayout read;
    ASSERT_TRUE(LayoutReader::Read(bytes, read));
    EXPECT_EQ(read.HeadBlock().ColCount(), 6);
    EXPECT_EQ(read.RowCountHead(), 0);
    EXPECT_EQ(LayoutWriter::Write(read), bytes);
}

// Writes the common sections of a hand-made stream after the page settings:
// two columns (left 0), rows top/head 1/body 1/tail 1/bottom, no free items,
// a head with no entries; the caller writes body, tail and edges.
void writeColumnsAndRows(ValueWriter &out, int width)
{
    out.WriteInt(2);
    out.WriteInt(width);
    out.WriteInt(width);
    out.WriteInt(5);
    for (int i = 0; i < 5; ++i)
        out.WriteInt(width);
}

void writeBlocksAfterPage(ValueWriter &out, const std::function<void()> &bodyEntries)
{
    out.WriteInt(0); // top items
    out.WriteInt(0); // bottom items
    out.WriteInt(2); // head 2x1, empty list
    out.WriteInt(1);
    out.WriteListBegin();
    out.WriteListEnd();
    out.WriteInt(0); // left 0x1
    out.WriteInt(1);
    out.WriteInt(2); // body 2x1
    out.WriteInt(1);
    out.WriteListBegin();
    bodyEntries();
    out.WriteListEnd();
    out.WriteInt(2); // tail 2x1
    out.WriteInt(1);
    out.WriteListBegin();
    out.WriteListEnd();
    out.WriteListBegin(); // edges
    out.WriteListEnd();
}

void writeOldBodyEntry(ValueWriter &out, int col, int row, int fontSize)
{
    out.WriteInt(col);
    out.WriteInt(row);
    out.WriteTag(0x00);
    out.WriteTag(0x06);
    out.WriteInt(fontSize);
    out.WriteTag(0x00);
}

TEST(LayoutStreamTest, UnversionedStreamReadsFivePageValues)
{
    ValueWriter out;
    out.WriteInt(96);
    writeColumnsAndRows(out, 30);
    for (int value : {80, 5, 6, 1, 12345})
        out.WriteInt(value);
    writeBlocksAfterPage(out, [&] { writeOldBodyEntry(out, 1, 0, 14); });

    TBillLayout layout;
    layout.PageSettings().PaperSize = 256;
    layout.PageSettings().AutoFit = true;
    const LayoutReadResult result = LayoutReader::Read(out.Bytes(), layout, 120);
    ASSERT_TRUE(result) << result.message << " at " << result.offset;
    EXPECT_EQ(result.version, 96);
    EXPECT_EQ(result.layoutPPI, 96);
    const TPageSettings &page = layout.PageSettings();
    EXPECT_EQ(page.ZoomRatio, 80);
    EXPECT_EQ(page.OffsetX, 5);
    EXPECT_EQ(page.OffsetY, 6);
    EXPECT_EQ(page.PrintOrient, 1);
    EXPECT_EQ(page.PaperSize, 256);       // kept
    EXPECT_TRUE(page.AutoFit);            // kept
    EXPECT_EQ(layout.Cols().Size(0), 38); // 30 * 120 / 96 = 37.5
    EXPECT_EQ(layout.BodyBlock().Template(1).FontSize(), 14);
}

TEST(LayoutStreamTest, Version629AppliesOnlyRowZeroBodyEntries)
{
    ValueWriter out;
    out.WriteInt(629);
    out.WriteInt(192);
    writeColumnsAndRows(out, 45);
    out.WriteTag(0x2D); // AutoFit
    out.WriteTag(0x00);
    writeBlocksAfterPage(out, [&] {
        writeOldBodyEntry(out, 0, 0, 11);
        writeOldBodyEntry(out, 0, 3, 20);
        writeOldBodyEntry(out, 7, 5, 20); // discarded whatever its column
    });
    TBillLayout layout;
    layout.PageSettings().ZoomRatio = 50;
    const LayoutReadResult result = LayoutReader::Read(out.Bytes(), layout);
    ASSERT_TRUE(result) << result.message << " at " << result.offset;
    EXPECT_EQ(result.version, 629);
    EXPECT_EQ(layout.BodyBlock().Template(0).FontSize(), 11);
    EXPECT_EQ(layout.Cols().Size(0), 23); // 45 * 96 / 192 = 22.5, half away from zero
    EXPECT_TRUE(layout.PageSettings().AutoFit);
    EXPECT_EQ(layout.PageSettings().ZoomRatio, 100); // versioned streams reset it
    EXPECT_TRUE(layout.IsConsistent());
}

TEST(LayoutStreamTest, TagByteHighBitIsIgnoredExceptInCellSections)
{
    Bytes bytes = withByte(kNewLayoutStream, 41, 0x80); // a page-settings end
    TBillLayout layout;
    EXPECT_TRUE(LayoutReader::Read(bytes, layout));
    // A head cell entry with bold written as 0x83 among its unit properties.
    bytes = withInsert(kNewLayoutStream, 51, {0x02, 0x01, 0x02, 0x00, 0x00, 0x83, 0x00});
    ASSERT_TRUE(LayoutReader::Read(bytes, layout));
    EXPECT_TRUE(layout.HeadBlock().GetCell(1, 0).HasStyle(TFontStyle::Bold));
    bytes = withInsert(kNewLayoutStream, 51, {0x02, 0x01, 0x02, 0x00, 0x90, 0x00, 0x00});
    const LayoutReadResult result = LayoutReader::Read(bytes, layout);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.offset, 55u);
}

struct ErrorCase
{
    const char *name;
    Bytes stream;
    std::size_t offset;
    const char *message;
};

class LayoutReaderErrorTest : public ::testing::TestWithParam<ErrorCase>
{
};

TEST_P(LayoutReaderErrorTest, FailsAtOffsetAndKeepsThePreviousLayout)
{
    const ErrorCase &c = GetParam();
    TBillLayout layout;
    sample::buildOrderFormLike(layout);
    const Bytes before = LayoutWriter::Write(layout);
    const LayoutReadResult result = LayoutReader::Read(c.stream, layout);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.offset, c.offset);
    EXPECT_EQ(result.message, c.message);
    EXPECT_EQ(LayoutWriter::Write(layout), before);
}

const Bytes kHeadEntryCol6{0x02, 0x06, 0x02, 0x00, 0x00, 0x00};
const Bytes kHeadEntrySpanOut{0x02, 0x04, 0x02, 0x00, 0x0A, 0x02, 0x02, 0x00, 0x00};
const Bytes kHeadEntrySpan2{0x02, 0x00, 0x02, 0x00, 0x0A, 0x02, 0x02, 0x00, 0x00};
const Bytes kHeadEntryInside{0x02, 0x01, 0x02, 0x00, 0x00, 0x00};

Bytes concat(Bytes a, const Bytes &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

INSTANTIATE_TEST_SUITE_P(
    Streams, LayoutReaderErrorTest,
    ::testing::Values(
        ErrorCase{"string as version", withByte(kNewLayoutStream, 0, 0x06), 0,
                  kInvalidPropertyValue},
        ErrorCase{"zero resolution", withByte(kNewLayoutStream, 4, 0x00), 3, kInvalidPropertyValue},
        ErrorCase{"no columns", withByte(kNewLayoutStream, 6, 0x00), 5, kInvalidPropertyValue},
        ErrorCase{"huge column count",
                  withInsert(withByte(kNewLayoutStream, 5, 0x04), 6, {0x00, 0x00, 0x01}), 5,
                  kInvalidPropertyValue},
        ErrorCase{"negative width", withByte(kNewLayoutStream, 8, 0xFF), 7, kInvalidPropertyValue},
        ErrorCase{"two rows", withByte(kNewLayoutStream, 20, 0x02), 19, kInvalidPropertyValue},
        ErrorCase{"unknown page tag", withByte(kNewLayoutStream, 41, 0x30), 41,
                  kInvalidPropertyValue},
        ErrorCase{"head narrower than the grid", withByte(kNewLayoutStream, 47, 0x05), 46,
                  kInvalidPropertyValue},
        ErrorCase{"head list begin missing", withByte(kNewLayoutStream, 50, 0x02), 50,
                  kInvalidPropertyValue},
        ErrorCase{"head list end missing", withByte(kNewLayoutStream, 51, 0x09), 51,
                  kInvalidPropertyValue},
        ErrorCase{"cell entry outside its block", withInsert(kNewLayoutStream, 51, kHeadEntryCol6),
                  51, kGridIndexOutOfRange},
        ErrorCase{"merged cell reaching outside",
                  withInsert(kNewLayoutStream, 51, kHeadEntrySpanOut), 51, kGridIndexOutOfRange},
        ErrorCase{"entry inside a merged cell",
                  withInsert(kNewLayoutStream, 51, concat(kHeadEntrySpan2, kHeadEntryInside)), 60,
                  kInvalidPropertyValue},
        ErrorCase{"unknown cell tag",
                  withInsert(kNewLayoutStream, 51, {0x02, 0x00, 0x02, 0x00, 0x0C, 0x00}), 55,
                  kInvalidPropertyValue},
        ErrorCase{"unknown unit tag",
                  withInsert(kNewLayoutStream, 51, {0x02, 0x00, 0x02, 0x00, 0x00, 0x0A, 0x00}), 56,
                  kInvalidPropertyValue},
        ErrorCase{"negative span",
                  withInsert(kNewLayoutStream, 51,
                             {0x02, 0x00, 0x02, 0x00, 0x0A, 0x02, 0xFF, 0x00, 0x00}),
                  56, kInvalidPropertyValue},
        ErrorCase{"left rows beyond the grid", withByte(kNewLayoutStream, 55, 0x09), 52,
                  kInvalidPropertyValue},
        ErrorCase{"body column outside", withInsert(kNewLayoutStream, 63, {0x02, 0x05, 0x00}), 63,
                  kGridIndexOutOfRange},
        ErrorCase{"body tag not allowed",
                  withInsert(kNewLayoutStream, 63, {0x02, 0x00, 0x08, 0x00}), 65,
                  kInvalidPropertyValue},
        ErrorCase{"tail rows do not fit", withByte(kNewLayoutStream, 67, 0x02), 64,
                  kInvalidPropertyValue},
        ErrorCase{"edge list begin missing", withByte(kNewLayoutStream, 70, 0x02), 70,
                  kInvalidPropertyValue},
        ErrorCase{"edge in the top area",
                  withInsert(kNewLayoutStream, 71, {0x02, 0x00, 0x02, 0x00, 0x08, 0x08}), 71,
                  kGridIndexOutOfRange},
        ErrorCase{"edge right of the right edge",
                  withInsert(kNewLayoutStream, 71, {0x02, 0x07, 0x02, 0x01, 0x08, 0x09}), 71,
                  kGridIndexOutOfRange},
        ErrorCase{"stream ends in the edge list",
                  Bytes(kNewLayoutStream.begin(), kNewLayoutStream.end() - 1), 71,
                  kStreamReadError}),
    [](const ::testing::TestParamInfo<ErrorCase> &param) {
        std::string name = param.param.name;
        std::replace_if(
            name.begin(), name.end(),
            [](char ch) { return !std::isalnum(static_cast<unsigned char>(ch)); }, '_');
        return name;
    });

TEST(LayoutStreamTest, TruncationAtEveryByteFailsCleanly)
{
    const Bytes bytes = orderFormStream();
    TBillLayout layout;
    sample::buildOrderFormLike(layout);
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        const LayoutReadResult result = LayoutReader::Read(std::span(bytes.data(), n), layout);
        ASSERT_FALSE(result.ok) << n;
        EXPECT_EQ(result.message, kStreamReadError) << n;
        EXPECT_LE(result.offset, n) << n;
    }
    EXPECT_EQ(LayoutWriter::Write(layout), bytes);
}

} // namespace
