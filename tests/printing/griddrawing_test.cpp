#include "casename.h"

#include "printing/drawingframe.h"
#include "printing/griddrawing.h"
#include "printing/recordingcanvas.h"

#include <gtest/gtest.h>

#include <ostream>

namespace tally::printing {
namespace {

using Op = RecordingCanvas::Op;

TEST(GridDrawingTest, SlotLinesFollowTheirFlags)
{
    struct Case
    {
        SlotLines lines;
        const char *expected;
    };
    const Rect r{0, 138, 400, 276};
    for (const Case &c : {
             Case{{true, true, true, true},
                  "moveTo 0,138\nlineTo 400,138\n"
                  "moveTo 0,138\nlineTo 0,276\n"
                  "moveTo 0,276\nlineTo 400,276\n"
                  "moveTo 400,138\nlineTo 400,276\n"},
             Case{{false, true, false, false}, "moveTo 0,138\nlineTo 0,276\n"},
             Case{{false, false, true, true},
                  "moveTo 0,276\nlineTo 400,276\n"
                  "moveTo 400,138\nlineTo 400,276\n"},
             Case{{}, ""},
         }) {
        RecordingCanvas canvas(600, 600);
        DrawSlotLines(canvas, r, c.lines);
        EXPECT_EQ(canvas.dump(), c.expected);
    }
}

// A cell merged over two 64-pixel columns: both slots draw their lines,
// then the fill from one pixel inside the outline to the far edges covers
// the line between the columns.
TEST(GridDrawingTest, MergedCellFillErasesInnerLineKeepsOutline)
{
    RecordingCanvas canvas(600, 600);
    const DrawingFrame frame(600, 600, 100);
    canvas.setPenWidth(frame.ScaleX(1));
    for (int col = 0; col < 2; ++col)
        DrawSlotLines(canvas, frame.ScaleRect({64 * col, 22, 64 * (col + 1), 44}),
                      {true, true, true, true});
    FillCellArea(canvas, frame.ScaleRect({0, 22, 128, 44}), false);
    const auto fills = canvas.callsOf(Op::FillRect);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].rect, (Rect{1, 139, 800, 275}));
    // The inner line at x 400 lies inside the fill; the outline at 0, 800,
    // 138 and 275 does not (right and bottom edges are excluded from fills).
    EXPECT_GT(400, fills[0].rect.left);
    EXPECT_LT(400, fills[0].rect.right);
    EXPECT_EQ(canvas.callsOf(Op::PenWidth).at(0).value, 6);
    const auto colors = canvas.callsOf(Op::BrushColor);
    EXPECT_EQ(colors.back().color, kWhite);
}

TEST(GridDrawingTest, DesignStateHighlightsFixedText)
{
    RecordingCanvas canvas;
    FillCellArea(canvas, {0, 0, 10, 10}, true);
    FillFooterArea(canvas, {0, 0, 10, 10}, true);
    const auto colors = canvas.callsOf(Op::BrushColor);
    ASSERT_EQ(colors.size(), 2u);
    EXPECT_EQ(colors[0].color, (Color{0x48, 0xB7, 0x93}));
    EXPECT_EQ(colors[1].color, (Color{0x48, 0xB7, 0x93}));
    EXPECT_EQ(canvas.callsOf(Op::FillRect).at(1).rect, (Rect{0, 0, 10, 10}));
}

struct FrameCase
{
    const char *name;
    int dpi;
    double zoom;
    int penWidth;
    const char *outline;
};

class OuterFrameTest : public testing::TestWithParam<FrameCase>
{
};

// Frame of a layout 384 wide whose grid runs from 50 to 270.
TEST_P(OuterFrameTest, PenIsTwoScreenPixelsWhateverTheZoom)
{
    const FrameCase &c = GetParam();
    RecordingCanvas canvas(c.dpi, c.dpi);
    DrawOuterFrame(canvas, DrawingFrame(c.dpi, c.dpi, c.zoom), {0, 50, 384, 270});
    const auto widths = canvas.callsOf(Op::PenWidth);
    ASSERT_EQ(widths.size(), 2u);
    EXPECT_EQ(widths[0].value, c.penWidth);
    EXPECT_EQ(widths[1].value, 1);
    std::string lines;
    for (const auto &call : canvas.calls())
        if (call.op == Op::MoveTo || call.op == Op::LineTo)
            lines += std::to_string(call.a.x) + "," + std::to_string(call.a.y) + " ";
    EXPECT_EQ(lines, c.outline);
    EXPECT_EQ(canvas.callsOf(Op::BrushStyle).back().value, 0) << "brush solid afterwards";
}

INSTANTIATE_TEST_SUITE_P(Devices, OuterFrameTest,
                         testing::Values(FrameCase{"screen", 96, 100, 2,
                                                   "0,50 384,50 384,270 0,270 0,49 "},
                                         FrameCase{"printer 600", 600, 100, 13,
                                                   "0,313 2400,313 2400,1688 0,1688 0,312 "},
                                         FrameCase{"printer 600 at zoom 50", 600, 50, 13,
                                                   "0,156 1200,156 1200,844 0,844 0,155 "}),
                         testing_fakes::CaseName());

} // namespace
} // namespace tally::printing
