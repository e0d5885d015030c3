#include "billfixtures.h"

#include "layout/tfooter.h"
#include "printing/griddrawing.h"
#include "printing/recordingcanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

// Default layout used below, in layout pixels: columns of 64 (+1), grid
// row 0 is 0..51, rows 1..8 are 23 each from 51, row 9 (bottom area) starts
// at 235; the page is 390 wide. Cell A1 (column 0, grid row 1) is 0,51..65,74.
namespace tally::layout {
namespace {

using printing::Canvas;
using printing::Color;
using printing::RecordingCanvas;
using printing::Rect;
using Op = RecordingCanvas::Op;

struct Segment
{
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int pen = 0;
    std::size_t index = 0; // of the LineTo call
    friend bool operator==(const Segment &a, const Segment &b)
    {
        return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2;
    }
};

std::vector<Segment> segments(const RecordingCanvas &canvas)
{
    std::vector<Segment> out;
    printing::Point at;
    int pen = 1;
    const auto &calls = canvas.calls();
    for (std::size_t i = 0; i < calls.size(); ++i) {
        const auto &c = calls[i];
        if (c.op == Op::PenWidth)
            pen = c.value;
        else if (c.op == Op::MoveTo)
            at = c.a;
        else if (c.op == Op::LineTo) {
            out.push_back({at.x, at.y, c.a.x, c.a.y, pen, i});
            at = c.a;
        }
    }
    return out;
}

bool hasSegment(const RecordingCanvas &canvas, Segment s)
{
    const auto all = segments(canvas);
    return std::find(all.begin(), all.end(), s) != all.end();
}

RecordingCanvas::Call textCall(const RecordingCanvas &canvas, const std::string &text)
{
    for (const auto &c : canvas.callsOf(Op::DrawText))
        if (c.text == text)
            return c;
    ADD_FAILURE() << "no text " << text << "\n" << canvas.dump();
    return {};
}

// The fill that precedes the drawing of a text.
RecordingCanvas::Call fillBefore(const RecordingCanvas &canvas, const std::string &text,
                                 Color *color = nullptr)
{
    RecordingCanvas::Call fill;
    Color brush;
    for (const auto &c : canvas.calls()) {
        if (c.op == Op::BrushColor)
            brush = c.color;
        if (c.op == Op::FillRect) {
            fill = c;
            if (color)
                *color = brush;
        }
        if (c.op == Op::DrawText && c.text == text)
            return fill;
    }
    ADD_FAILURE() << "no text " << text;
    return fill;
}

class RenderTest : public testing::Test
{
protected:
    TCell &headCell(int col, int row = 0) { return bill.Layout().HeadBlock().GetCell(col, row); }

    TBill bill;
};

struct ScaleCase
{
    const char *name;
    int dpi;
    int zoom;
    double scale;
    int gridPen;
    Rect textRect; // cell A1's text rectangle, origin included
    int framePen;
    int fontHeight;
    printing::Point origin;
};

class ScaleTest : public RenderTest, public testing::WithParamInterface<ScaleCase>
{
};

TEST_P(ScaleTest, PenInsetFrameAndFontFollowResolutionAndZoom)
{
    const ScaleCase c = GetParam();
    headCell(0).SetText("X");
    headCell(0).SetHAlign(tally::printing::HorzAlign::Left);
    headCell(0).SetVAlign(tally::printing::VertAlign::Top);
    bill.SetZoomRatio(c.zoom);
    bill.SetOffset({10, 20});
    RecordingCanvas canvas(c.dpi, c.dpi);
    bill.DrawPage(canvas, 1, c.scale);

    const auto shifts = canvas.callsOf(Op::ShiftOrigin);
    ASSERT_EQ(shifts.size(), 2u);
    EXPECT_EQ(shifts[0].a, c.origin) << c.name << ": the offset is not zoomed";
    EXPECT_EQ(canvas.origin(), (printing::Point{0, 0}));

    const auto pens = canvas.callsOf(Op::PenWidth);
    ASSERT_GE(pens.size(), 3u);
    EXPECT_EQ(pens.front().value, c.gridPen) << c.name;
    EXPECT_EQ(pens[pens.size() - 2].value, c.framePen) << c.name;
    EXPECT_EQ(pens.back().value, 1);

    const auto text = textCall(canvas, "X");
    EXPECT_EQ(text.rect.left, c.textRect.left) << c.name;
    EXPECT_EQ(text.rect.top, c.textRect.top) << c.name;
    EXPECT_EQ(text.rect.right, c.textRect.right) << c.name;
    EXPECT_EQ(text.fontHeight, c.fontHeight) << c.name;
    EXPECT_EQ(text.value2, 1) << "clear brush behind text";
}

INSTANTIATE_TEST_SUITE_P(
    Scales, ScaleTest,
    testing::Values(
        ScaleCase{"screen", 96, 100, 1.0, 1, {12, 73, 73, 0}, 2, 12, {10, 20}},
        // 600 dpi: pen ScaleX(1) = 6, inset ScaleX(2) = 12.5 + 0.5 = 13.
        ScaleCase{"600 dpi",
                  600,
                  100,
                  1.0,
                  6,
                  {63 + 13, 125 + 319 + 13, 63 + 406 - 13, 0},
                  13,
                  75,
                  {63, 125}},
        // Zoom 50 halves lengths and fonts; offset and frame pen stay.
        ScaleCase{"zoom 50", 96, 50, 1.0, 1, {10 + 1, 20 + 26 + 1, 10 + 33 - 1, 0}, 2, 6, {10, 20}},
        ScaleCase{"600 dpi zoom 50",
                  600,
                  50,
                  1.0,
                  3,
                  {63 + 6, 125 + 159 + 6, 63 + 203 - 6, 0},
                  13,
                  38,
                  {63, 125}},
        // A preview at half scale: content and offset both halve.
        ScaleCase{
            "preview half", 96, 100, 0.5, 1, {5 + 1, 10 + 26 + 1, 5 + 33 - 1, 0}, 2, 6, {5, 10}}));

TEST_F(RenderTest, MergedCellFillErasesItsInnerLineAndKeepsTheOutline)
{
    bill.Layout().HeadBlock().Merge({0, 0, 1, 0});
    headCell(0).SetText("合并");
    RecordingCanvas canvas;
    bill.DrawPage(canvas, 1, 1.0);

    const auto all = segments(canvas);
    const Segment inner{65, 51, 65, 74, 1, 0};
    const auto it = std::find(all.begin(), all.end(), inner);
    ASSERT_NE(it, all.end());
    const auto fill = fillBefore(canvas, "合并");
    EXPECT_EQ(fill.rect, (Rect{1, 52, 130, 74}));
    std::size_t fillIndex = 0;
    for (std::size_t i = 0; i < canvas.calls().size(); ++i)
        if (canvas.calls()[i].op == Op::FillRect && canvas.calls()[i].rect == fill.rect)
            fillIndex = i;
    for (const Segment &s : all) {
        if (s == inner) {
            EXPECT_LT(s.index, fillIndex) << "inner lines are drawn first, then filled over";
        }
    }
    EXPECT_TRUE(hasSegment(canvas, {0, 51, 130 - 65, 51, 1, 0}));
    EXPECT_TRUE(hasSegment(canvas, {130, 51, 130, 74, 1, 0})) << "outline on the right";
}

struct HiddenLineCase
{
    const char *name;
    bool top; // else left
    int col, row;
    Segment line; // the segment the flag controls, in 96 dpi pixels
};

class HiddenLineTest : public RenderTest, public testing::WithParamInterface<HiddenLineCase>
{
};

TEST_P(HiddenLineTest, AHiddenFlagRemovesTheLineFromBothNeighbours)
{
    const HiddenLineCase c = GetParam();
    RecordingCanvas shown;
    bill.DrawPage(shown, 1, 1.0);
    ASSERT_TRUE(hasSegment(shown, c.line)) << c.name;

    if (c.top)
        bill.Layout().SetTopLine(c.col, c.row, false);
    else
        bill.Layout().SetLeftLine(c.col, c.row, false);
    RecordingCanvas hidden;
    bill.DrawPage(hidden, 1, 1.0);
    EXPECT_FALSE(hasSegment(hidden, c.line)) << c.name << "\n" << hidden.dump();
}

INSTANTIATE_TEST_SUITE_P(
    Lines, HiddenLineTest,
    testing::Values(HiddenLineCase{"left line in the head", false, 2, 1, {130, 51, 130, 74}},
                    HiddenLineCase{"left line in the body", false, 3, 4, {195, 120, 195, 143}},
                    HiddenLineCase{"right edge", false, 6, 2, {390, 74, 390, 97}},
                    HiddenLineCase{"top line", true, 3, 2, {195, 74, 260, 74}},
                    HiddenLineCase{"bottom of the tail", true, 1, 9, {65, 235, 130, 235}}));

TEST_F(RenderTest, DesignStateColoursFixedTextsOnly)
{
    headCell(0).SetText("固定");
    headCell(1).SetText("可变");
    headCell(1).SetFixedText(false);
    TFooter item;
    item.SetText("页脚");
    item.SetRect({4, 5, 52, 17});
    bill.Layout().BottomFooters().push_back(item);

    for (bool design : {false, true}) {
        bill.SetDesignState(design);
        RecordingCanvas canvas;
        bill.DrawPage(canvas, 1, 1.0);
        const Color fixed = design ? printing::kDesignFixedTextColor : printing::kWhite;
        Color color;
        fillBefore(canvas, "固定", &color);
        EXPECT_EQ(color, fixed) << design;
        fillBefore(canvas, "可变", &color);
        EXPECT_EQ(color, printing::kWhite) << design;
        const auto fill = fillBefore(canvas, "页脚", &color);
        EXPECT_EQ(color, fixed) << design;
        EXPECT_EQ(fill.rect, (Rect{4, 240, 52, 252})) << "below the grid";
    }
    EXPECT_EQ(printing::kDesignFixedTextColor, (Color{0x48, 0xB7, 0x93}));
}

struct PlacementCase
{
    const char *name;
    int vAlign;
    const char *text;
    int top; // of the drawn text rectangle
};

class PlacementTest : public RenderTest, public testing::WithParamInterface<PlacementCase>
{
};

// Inner rectangle of A1: 53..72 (19 high); lines are 12 high at 96 dpi.
TEST_P(PlacementTest, VerticalPlacementFromTheMeasuredText)
{
    const PlacementCase c = GetParam();
    headCell(0).SetText(c.text);
    headCell(0).SetVAlign(static_cast<tally::printing::VertAlign>(c.vAlign));
    RecordingCanvas canvas;
    bill.DrawPage(canvas, 1, 1.0);
    const auto text = textCall(canvas, c.text);
    EXPECT_EQ(text.rect.top, c.top) << c.name;
    EXPECT_EQ(text.rect.height(), 19) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Placement, PlacementTest,
                         testing::Values(PlacementCase{"top", 0, "X", 53},
                                         PlacementCase{"middle", 1, "X", 56},
                                         PlacementCase{"bottom", 2, "X", 60},
                                         PlacementCase{"middle, three lines", 1, "a\nb\nc", 45},
                                         PlacementCase{"bottom, three lines", 2, "a\nb\nc", 36},
                                         PlacementCase{"other value as middle", 7, "X", 56}));

TEST_F(RenderTest, CellsWrapFreeItemsAreNotClipped)
{
    headCell(0).SetText("单元");
    headCell(0).SetHAlign(tally::printing::HorzAlign::Centre);
    TFooter item;
    item.SetText("一段比矩形宽得多的页眉文字");
    item.SetRect({10, 10, 20, 22});
    item.SetHAlign(tally::printing::HorzAlign::Right);
    bill.Layout().TopFooters().push_back(item);
    RecordingCanvas canvas;
    bill.DrawPage(canvas, 1, 1.0);

    const unsigned common = Canvas::ExpandTabs | Canvas::NoPrefix;
    EXPECT_EQ(textCall(canvas, "单元").value,
              static_cast<int>(common | Canvas::WordBreak | Canvas::AlignCenter));
    const auto free = textCall(canvas, item.Text());
    EXPECT_EQ(free.value, static_cast<int>(common | Canvas::NoClip | Canvas::AlignRight));
    EXPECT_EQ(free.rect, (Rect{10, 10, 20, 22})) << "drawn into its own rectangle, unclipped";
}

TEST_F(RenderTest, DiagonalRunsCornerToCorner)
{
    headCell(2).SetDiagonal(true);
    RecordingCanvas canvas;
    bill.DrawPage(canvas, 1, 1.0);
    EXPECT_TRUE(hasSegment(canvas, {130, 51, 195, 74, 1, 0}));
}

TEST_F(RenderTest, OuterFrameOnlyWithDrawEdge)
{
    RecordingCanvas framed;
    bill.DrawPage(framed, 1, 1.0);
    const auto lines = segments(framed);
    ASSERT_GE(lines.size(), 4u);
    const std::vector<Segment> frame(lines.end() - 4, lines.end());
    EXPECT_EQ(frame, (std::vector<Segment>{{0, 51, 390, 51, 2, 0},
                                           {390, 51, 390, 235, 2, 0},
                                           {390, 235, 0, 235, 2, 0},
                                           {0, 235, 0, 50, 2, 0}}));
    EXPECT_EQ(frame.front().pen, 2);

    bill.SetDrawEdge(false);
    RecordingCanvas plain;
    bill.DrawPage(plain, 1, 1.0);
    EXPECT_FALSE(hasSegment(plain, {0, 235, 0, 50, 2, 0}));
    for (const auto &pen : plain.callsOf(Op::PenWidth))
        EXPECT_EQ(pen.value, 1);
}

TEST_F(RenderTest, BodyRowsShowThePagesRecordsAndKeepTheirLines)
{
    datapacket::DataPacketTable table;
    table.load(testing_bill::itemPacket(95));
    testing_bill::shapeSimple(bill, 40);
    bill.SetDataSet(&table);
    ASSERT_EQ(bill.GetPageCount(), 3);

    RecordingCanvas first;
    bill.DrawPage(first, 1, 1.0);
    RecordingCanvas last;
    bill.DrawPage(last, 3, 1.0);
    std::vector<std::string> codes;
    for (const auto &c : last.callsOf(Op::DrawText))
        if (c.text.starts_with("R"))
            codes.push_back(c.text);
    ASSERT_EQ(codes.size(), 15u);
    EXPECT_EQ(codes.front(), "R80");
    EXPECT_EQ(codes.back(), "R94");
    EXPECT_EQ(last.callsOf(Op::FillRect).size(), first.callsOf(Op::FillRect).size());
    EXPECT_EQ(segments(last).size(), segments(first).size()) << "empty rows keep their lines";
}

TEST_F(RenderTest, DrawCellCallbackGetsTheFirstSlotAndTheWholeCell)
{
    bill.Layout().HeadBlock().Merge({0, 0, 1, 0});
    std::vector<std::pair<int, Rect>> row1;
    bill.SetOnDrawCell([&](TCustomBill &, Canvas &, int col, int row, int page, const Rect &r) {
        EXPECT_EQ(page, 2);
        if (row == 1)
            row1.emplace_back(col, r);
    });
    RecordingCanvas canvas;
    bill.DrawPage(canvas, 2, 1.0);
    ASSERT_EQ(row1.size(), 5u);
    EXPECT_EQ(row1[0].first, 0);
    EXPECT_EQ(row1[0].second, (Rect{0, 51, 130, 74}));
    EXPECT_EQ(row1[1].first, 2);
}

TEST_F(RenderTest, OnScreenPaintingIgnoresZoomAndOffset)
{
    headCell(0).SetText("X");
    bill.SetZoomRatio(50);
    bill.SetOffset({30, 40});
    RecordingCanvas canvas;
    bill.PaintOnScreen(canvas);
    EXPECT_EQ(canvas.callsOf(Op::ShiftOrigin).front().a, (printing::Point{5, 5}));
    EXPECT_EQ(textCall(canvas, "X").fontHeight, 12);
}

TEST_F(RenderTest, ConcurrentDrawingsKeepTheirOwnResolutionAndZoom)
{
    headCell(0).SetText("甲");
    TBill other;
    other.Layout().HeadBlock().GetCell(0, 0).SetText("乙");
    other.SetZoomRatio(50);
    const auto draw = [](TBill &b, int dpi) {
        RecordingCanvas canvas(dpi, dpi);
        b.DrawPage(canvas, 1, 1.0);
        return canvas.dump();
    };
    const std::string expectA = draw(bill, 600);
    const std::string expectB = draw(other, 96);
    std::vector<std::string> gotA, gotB;
    std::thread a([&] {
        for (int i = 0; i < 50; ++i)
            gotA.push_back(draw(bill, 600));
    });
    std::thread b([&] {
        for (int i = 0; i < 50; ++i)
            gotB.push_back(draw(other, 96));
    });
    a.join();
    b.join();
    for (const auto &d : gotA)
        EXPECT_EQ(d, expectA);
    for (const auto &d : gotB)
        EXPECT_EQ(d, expectB);
}

} // namespace
} // namespace tally::layout
