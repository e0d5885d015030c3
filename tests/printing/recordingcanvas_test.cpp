#include "casename.h"
#include "printing/originshift.h"
#include "printing/recordingcanvas.h"
#include "printing/textlayout.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tally::printing {
namespace {

using Op = RecordingCanvas::Op;

struct MeasureCase
{
    const char *name;
    const char *text;
    Rect rect;
    unsigned flags;
    Rect expected;
};

class MeasureTextTest : public testing::TestWithParam<MeasureCase>
{
};

// Font height 20: ASCII 10 pixels wide, CJK 20, lines 20 high, tab stops 80.
TEST_P(MeasureTextTest, ExtentFollowsFlags)
{
    const MeasureCase c = GetParam();
    RecordingCanvas canvas;
    canvas.setFontHeight(20);
    EXPECT_EQ(canvas.measureText(c.text, c.rect, c.flags), c.expected) << c.name;
}

constexpr unsigned kCell = Canvas::WordBreak | Canvas::ExpandTabs | Canvas::NoPrefix;
constexpr unsigned kFree = Canvas::NoClip | Canvas::ExpandTabs | Canvas::NoPrefix;

INSTANTIATE_TEST_SUITE_P(
    Texts, MeasureTextTest,
    testing::Values(
        MeasureCase{"single line extends right", "abcd", {5, 7, 500, 30}, kFree, {5, 7, 45, 27}},
        MeasureCase{"cjk is full height wide", "订货单", {0, 0, 10, 10}, kFree, {0, 0, 60, 20}},
        MeasureCase{"wrapped keeps right", "aa bb cc", {0, 0, 55, 10}, kCell, {0, 0, 55, 40}},
        MeasureCase{"cjk breaks anywhere", "订货单号码", {0, 0, 45, 0}, kCell, {0, 0, 45, 60}},
        MeasureCase{"long word stays whole", "abcdefgh", {0, 0, 30, 0}, kCell, {0, 0, 30, 20}},
        MeasureCase{"line breaks", "a\r\nbb\nccc", {0, 0, 100, 0}, kFree, {0, 0, 30, 60}},
        MeasureCase{"tab jumps to stop", "a\tb", {0, 0, 500, 0}, kFree, {0, 0, 90, 20}},
        MeasureCase{"tab unexpanded is a character",
                    "a\tb",
                    {0, 0, 500, 0},
                    Canvas::NoClip,
                    {0, 0, 30, 20}},
        MeasureCase{"centre alignment does not change extent",
                    "ab",
                    {0, 0, 100, 0},
                    kFree | Canvas::AlignCenter,
                    {0, 0, 20, 20}}),
    testing_fakes::CaseName());

TEST(TextLayoutTest, WrappedLinesDropBreakingSpacesAndAlign)
{
    RecordingCanvas canvas;
    canvas.setFontHeight(20);
    struct Metrics : TextMetrics
    {
        int textWidth(std::string_view t) const override { return static_cast<int>(t.size()) * 10; }
        int lineHeight() const override { return 20; }
        int averageCharWidth() const override { return 10; }
    } metrics;
    const TextLayout layout = TextLayout::layout("aa   bb cc", 55, Canvas::WordBreak, metrics);
    ASSERT_EQ(layout.lines().size(), 2u);
    EXPECT_EQ(layout.lines()[0].runs.at(0).text, "aa");
    EXPECT_EQ(layout.lines()[0].width, 20);
    EXPECT_EQ(layout.lines()[1].runs.at(0).text, "bb cc");
    EXPECT_EQ(TextLayout::alignedX(0, 55, 20, Canvas::AlignRight), 35);
    EXPECT_EQ(TextLayout::alignedX(0, 55, 20, Canvas::AlignCenter), 17);
    EXPECT_EQ(TextLayout::alignedX(0, 55, 20, Canvas::AlignLeft), 0);
}

TEST(RecordingCanvasTest, RecordsDeviceCoordinatesAfterOriginShift)
{
    RecordingCanvas canvas(600, 600);
    canvas.moveTo(1, 2);
    {
        OriginShift shift(canvas, 63, 125);
        canvas.lineTo(10, 20);
        canvas.fillRect({1, 1, 5, 5});
        canvas.drawText("x", {0, 0, 10, 10}, Canvas::NoPrefix);
    }
    canvas.lineTo(3, 4);
    EXPECT_EQ(canvas.dump(), "moveTo 1,2\n"
                             "shiftOrigin 63,125\n"
                             "lineTo 73,145\n"
                             "fillRect 64,126,68,130\n"
                             "drawText 63,125,73,135 flags=2048 \"x\"\n"
                             "shiftOrigin -63,-125\n"
                             "lineTo 3,4\n");
}

TEST(RecordingCanvasTest, OriginShiftIsUndoneWhenDrawingThrows)
{
    RecordingCanvas canvas;
    EXPECT_THROW(
        {
            OriginShift shift(canvas, 5, 5);
            throw std::runtime_error("callback failed");
        },
        std::runtime_error);
    EXPECT_EQ(canvas.origin(), (Point{0, 0}));
}

TEST(RecordingCanvasTest, FontSizeGivesDeviceHeightAndTextRecordsFont)
{
    RecordingCanvas canvas(600, 600);
    canvas.setFontName("黑体");
    canvas.setFontSize(9);
    EXPECT_EQ(canvas.fontHeight(), 75);
    canvas.setFontStyle(Canvas::Bold);
    canvas.setBrushStyle(Canvas::BrushStyle::Clear);
    canvas.drawText("订货单", {0, 0, 100, 100}, kCell);
    const auto texts = canvas.callsOf(Op::DrawText);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].fontName, "黑体");
    EXPECT_EQ(texts[0].fontHeight, 75);
    EXPECT_EQ(texts[0].fontStyle, unsigned{Canvas::Bold});
    EXPECT_EQ(texts[0].value2, 1) << "clear brush";
}

} // namespace
} // namespace tally::printing
