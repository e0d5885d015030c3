#include "previewfakes.h"

#include "printing/qt/preview/previewpaint.h"
#include "printing/recordingcanvas.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tally::printing::preview {
namespace {

using testing_fakes::FakePrintable;

// Only the calls that put pixels somewhere, one per line.
std::string geometry(const RecordingCanvas &canvas)
{
    std::istringstream in(canvas.dump());
    std::string line;
    std::string out;
    while (std::getline(in, line)) {
        for (const char *op : {"moveTo", "lineTo", "fillRect", "shiftOrigin"}) {
            if (line.rfind(op, 0) == 0) {
                out += line + '\n';
                break;
            }
        }
    }
    return out;
}

class PreviewPaintTest : public testing::Test
{
protected:
    PreviewPaintTest()
    {
        bill.CalcPages(); // three pages
        bill.painter = [](Canvas &c, int, double) { c.fillRect({0, 0, 1000, 1000}); };
        state.surfaceWidth = 397;
        state.surfaceHeight = 562;
        state.scale = 0.5;
        state.sheet.sheetWidth = 794;
        state.sheet.sheetHeight = 1123;
        state.sheet.printLeft = 20.4;
        state.sheet.printTop = 30;
        state.sheet.printRight = 759;
        state.sheet.printBottom = 1079;
        state.marginX = 30;
        state.marginY = 40;
        state.page = 2;
    }

    FakePrintable bill;
    SheetPaintState state;
    RecordingCanvas canvas{96, 96};
};

TEST_F(PreviewPaintTest, SheetPageWipeCornerMarksAndMarginLines)
{
    PaintPreviewSheet(canvas, bill, state);

    EXPECT_EQ(bill.lastDraw.page, 2);
    EXPECT_DOUBLE_EQ(bill.lastDraw.scale, 0.5);
    EXPECT_EQ(bill.lastDraw.origin, (Point{10, 15}));
    EXPECT_EQ(canvas.origin(), (Point{0, 0}));
    // Half-way values (379.5, 539.5, 384.5, 544.5) round to even.
    EXPECT_EQ(geometry(canvas),
              "fillRect 0,0,397,562\n"
              "moveTo 0,0\nlineTo 396,0\nlineTo 396,561\nlineTo 0,561\nlineTo 0,0\n"
              "shiftOrigin 10,15\n"
              "fillRect 10,15,1010,1015\n"
              "shiftOrigin -10,-15\n"
              "fillRect 380,2,396,561\n"
              "fillRect 2,540,396,561\n"
              "moveTo 5,15\nlineTo 10,15\nlineTo 10,10\n"
              "moveTo 384,15\nlineTo 380,15\nlineTo 380,10\n"
              "moveTo 5,540\nlineTo 10,540\nlineTo 10,544\n"
              "moveTo 384,540\nlineTo 380,540\nlineTo 380,544\n"
              "moveTo 25,0\nlineTo 25,562\n"
              "moveTo 0,35\nlineTo 397,35\n"
              "moveTo 0,0\nlineTo 396,0\nlineTo 396,561\nlineTo 0,561\nlineTo 0,0\n");
}

TEST_F(PreviewPaintTest, WipeIsWhiteWhateverThePageLeftAndMarksAreGrey)
{
    bill.painter = [](Canvas &c, int, double) {
        c.setBrushColor({255, 0, 0});
        c.setPenColor({0, 0, 255});
    };
    PaintPreviewSheet(canvas, bill, state);

    const auto fills = canvas.callsOf(RecordingCanvas::Op::FillRect);
    ASSERT_EQ(fills.size(), 3u);
    const auto brushes = canvas.callsOf(RecordingCanvas::Op::BrushColor);
    EXPECT_EQ(brushes.back().color, kWhite);
    const auto pens = canvas.callsOf(RecordingCanvas::Op::PenColor);
    bool grey = false;
    for (const auto &p : pens)
        grey = grey || p.color == Color{128, 128, 128};
    EXPECT_TRUE(grey);
}

TEST_F(PreviewPaintTest, PagesOutsideTheDocumentAreNotDrawn)
{
    for (int page : {0, 4, -1}) {
        state.page = page;
        bill.draws = 0;
        PaintPreviewSheet(canvas, bill, state);
        EXPECT_EQ(bill.draws, 0) << page;
    }
    bill.pagesAt100 = 0;
    bill.CalcPages();
    state.page = 0;
    PaintPreviewSheet(canvas, bill, state);
    EXPECT_EQ(bill.draws, 0);
}

TEST_F(PreviewPaintTest, FailingPageRestoresOrigin)
{
    bill.failDrawPage = 2;
    EXPECT_THROW(PaintPreviewSheet(canvas, bill, state), std::runtime_error);
    EXPECT_EQ(canvas.origin(), (Point{0, 0}));
}

TEST_F(PreviewPaintTest, DragGuideIsADottedInvertingLine)
{
    state.guide = MarginLine::Left;
    state.guideX = 100;
    PaintPreviewSheet(canvas, bill, state);
    const std::string g = geometry(canvas);
    EXPECT_NE(g.find("moveTo 100,0\nlineTo 100,562\n"), std::string::npos) << g;
    const auto modes = canvas.callsOf(RecordingCanvas::Op::PenMode);
    ASSERT_GE(modes.size(), 2u);
    EXPECT_EQ(modes[modes.size() - 2].value, static_cast<int>(Canvas::PenMode::Xor));
    EXPECT_EQ(modes.back().value, static_cast<int>(Canvas::PenMode::Copy));

    canvas.clear();
    state.guide = MarginLine::Top;
    state.guideY = 77;
    PaintPreviewSheet(canvas, bill, state);
    EXPECT_NE(geometry(canvas).find("moveTo 0,77\nlineTo 397,77\n"), std::string::npos);
}

} // namespace
} // namespace tally::printing::preview
