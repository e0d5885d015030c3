#include "casename.h"

#include "printing/drawingframe.h"
#include "printing/recordingcanvas.h"
#include "printing/unitdrawing.h"

#include <gtest/gtest.h>

namespace tally::printing {
namespace {

using Op = RecordingCanvas::Op;

constexpr unsigned kCellFlags = Canvas::WordBreak | Canvas::ExpandTabs | Canvas::NoPrefix;
constexpr unsigned kFreeFlags = Canvas::NoClip | Canvas::ExpandTabs | Canvas::NoPrefix;

struct UnitCase
{
    const char *name;
    double zoom; // 0: unscaled drawing
    bool cell;   // DrawCellUnit, else DrawUnitText
    int hAlign;
    int vAlign;
    const char *text;
    Rect rect; // device pixels at 600 dpi
    // Expected text call.
    Rect drawn;
    unsigned flags;
    int fontHeight;
};

class UnitDrawingTest : public testing::TestWithParam<UnitCase>
{
};

// At 600 dpi a 9-point font is 75 pixels high; the recording canvas makes
// CJK characters as wide as the font is high.
TEST_P(UnitDrawingTest, TextIsPlacedFromItsMeasuredExtent)
{
    const UnitCase &c = GetParam();
    RecordingCanvas canvas(600, 600);
    const DrawingFrame frame(600, 600, c.zoom);
    UnitStyle style;
    style.fontName = "宋体";
    style.fontSize = 9;
    style.fontStyle = Canvas::Bold;
    style.hAlign = static_cast<HorzAlign>(c.hAlign);
    style.vAlign = static_cast<VertAlign>(c.vAlign);
    style.wrapsText = c.cell;
    const DrawingFrame *f = c.zoom > 0 ? &frame : nullptr;
    if (c.cell)
        DrawCellUnit(canvas, c.rect, f, style, c.text);
    else
        DrawUnitText(canvas, c.rect, f, style, c.text);

    const auto texts = canvas.callsOf(Op::DrawText);
    ASSERT_EQ(texts.size(), 1u) << canvas.dump();
    EXPECT_EQ(texts[0].rect, c.drawn) << canvas.dump();
    EXPECT_EQ(texts[0].value, static_cast<int>(c.flags));
    EXPECT_EQ(texts[0].fontHeight, c.fontHeight);
    EXPECT_EQ(texts[0].fontName, "宋体");
    EXPECT_EQ(texts[0].fontStyle, unsigned{Canvas::Bold});
    EXPECT_EQ(texts[0].value2, 1) << "transparent background";
}

INSTANTIATE_TEST_SUITE_P(
    Placements, UnitDrawingTest,
    testing::Values(
        // A 64 x 22 cell at 600 dpi is 400 x 138; the text sits 13 pixels in.
        UnitCase{"cell top",
                 100,
                 true,
                 0,
                 0,
                 "订货",
                 {0, 0, 400, 138},
                 {13, 13, 387, 125},
                 kCellFlags,
                 75},
        UnitCase{"cell centre",
                 100,
                 true,
                 1,
                 1,
                 "订货",
                 {0, 0, 400, 138},
                 {13, 31, 387, 143},
                 kCellFlags | Canvas::AlignRight,
                 75},
        UnitCase{"cell bottom",
                 100,
                 true,
                 2,
                 2,
                 "订货",
                 {0, 0, 400, 138},
                 {13, 50, 387, 162},
                 kCellFlags | Canvas::AlignCenter,
                 75},
        // Twelve characters need three lines of four in 374 pixels (225 high):
        // (125 + 13 - 13 - 238) / 2 = -56 (toward zero), the block centred on the cell.
        UnitCase{"cell centre overflowing upwards",
                 100,
                 true,
                 0,
                 1,
                 "订货单号码供应商名称金额",
                 {0, 0, 400, 138},
                 {13, -43, 387, 69},
                 kCellFlags,
                 75},
        // Zoom 50 halves the font (37.5 -> 38, ties to even) and the inset (6.25 + 0.5).
        UnitCase{"cell at zoom 50",
                 50,
                 true,
                 0,
                 0,
                 "订货",
                 {0, 0, 200, 69},
                 {6, 6, 194, 63},
                 kCellFlags,
                 38},
        UnitCase{"unscaled cell keeps 2-pixel inset and point size",
                 0,
                 true,
                 0,
                 0,
                 "订货",
                 {0, 0, 400, 138},
                 {2, 2, 398, 136},
                 kCellFlags,
                 75},
        UnitCase{"free item does not clip",
                 100,
                 false,
                 0,
                 0,
                 "订货单号码",
                 {100, 100, 150, 120},
                 {100, 100, 150, 120},
                 kFreeFlags,
                 75},
        UnitCase{"free item centred vertically",
                 100,
                 false,
                 0,
                 1,
                 "A",
                 {0, 0, 100, 175},
                 {0, 50, 100, 225},
                 kFreeFlags,
                 75}),
    testing_fakes::CaseName());

TEST(UnitDrawingTest, EmptyTextDrawsOnlyTheDiagonal)
{
    RecordingCanvas canvas(600, 600);
    const DrawingFrame frame(600, 600, 100);
    UnitStyle style;
    style.diagonal = true;
    DrawCellUnit(canvas, {10, 20, 410, 158}, &frame, style, "");
    EXPECT_EQ(canvas.dump(), "moveTo 10,20\nlineTo 410,158\n");
    canvas.clear();
    DrawUnitText(canvas, {0, 0, 10, 10}, &frame, style, "");
    EXPECT_TRUE(canvas.calls().empty());
}

} // namespace
} // namespace tally::printing
