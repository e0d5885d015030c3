#include "casename.h"
#include "support/printingfakes.h"

#include "printing/printroutines.h"
#include "printing/tsimplebill.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tally::printing {
namespace {

using testing_fakes::FakePrinter;
using Op = RecordingCanvas::Op;
using Texts = std::vector<std::string>;

// A printer whose printable height is 342 screen pixels: with the report's
// default spaces (50 + 40) and rows of 22, exactly 10 data rows per page.
FakePrinter tenRowPrinter()
{
    FakePrinter printer;
    printer.pageMetrics = {96, 96, 800, 400, 0, 0, 800, 342};
    return printer;
}

class SimpleBillTest : public testing::Test
{
protected:
    SimpleBillTest() : printer(tenRowPrinter())
    {
        PrintContext context;
        context.printer = &printer;
        bill.SetPrintContext(context);
        bill.Title().SetCaption("销售清单");
        bill.SetOnGetCellText([this](TSimpleBill &, int col, int row, std::string &text) {
            asked.push_back(row);
            text = std::to_string(row) + ":" + std::to_string(col);
        });
    }

    // The texts drawn, in order.
    Texts texts() const
    {
        Texts out;
        for (const auto &c : canvas.callsOf(Op::DrawText))
            out.push_back(c.text);
        return out;
    }
    // The device rectangle a text was drawn in.
    Rect rectOf(const std::string &text) const
    {
        for (const auto &c : canvas.callsOf(Op::DrawText))
            if (c.text == text)
                return c.rect;
        ADD_FAILURE() << "not drawn: " << text << "\n" << canvas.dump();
        return {};
    }
    // Line segments drawn with a pen of the given width, as (from, to).
    std::vector<std::pair<Point, Point>> lines(int penWidth) const
    {
        std::vector<std::pair<Point, Point>> out;
        int pen = 1;
        Point at;
        for (const auto &c : canvas.calls()) {
            if (c.op == Op::PenWidth)
                pen = c.value;
            else if (c.op == Op::MoveTo)
                at = c.a;
            else if (c.op == Op::LineTo) {
                if (pen == penWidth)
                    out.emplace_back(at, c.a);
                at = c.a;
            }
        }
        return out;
    }

    FakePrinter printer;
    TSimpleBill bill;
    RecordingCanvas canvas;
    std::vector<int> asked;
};

struct PaginationCase
{
    const char *name;
    int rowCount;
    int zoom;
    int topSpace;
    int offsetY;
    int pageRows;
    int pageCount;
};

class PaginationTest : public SimpleBillTest, public testing::WithParamInterface<PaginationCase>
{
};

TEST_P(PaginationTest, RowsPerPageAndPages)
{
    const PaginationCase &c = GetParam();
    bill.SetRowCount(c.rowCount);
    bill.SetZoomRatio(c.zoom);
    bill.SetTopSpace(c.topSpace);
    bill.SetOffset({0, c.offsetY});
    bill.CalcPages();
    EXPECT_EQ(bill.PageRows(), c.pageRows);
    EXPECT_EQ(bill.GetPageCount(), c.pageCount);
    EXPECT_EQ(bill.GetPageHeight(), (c.pageRows + 1) * 22 + c.topSpace + 40);
}

INSTANTIATE_TEST_SUITE_P(
    SimpleBill, PaginationTest,
    testing::Values(PaginationCase{"no rows, no pages", 0, 100, 50, 0, 10, 0},
                    PaginationCase{"25 rows at 10 per page", 25, 100, 50, 0, 10, 3},
                    PaginationCase{"exactly full pages", 20, 100, 50, 0, 10, 2},
                    PaginationCase{"zoom 200 roughly halves the rows", 25, 200, 50, 0, 2, 13},
                    PaginationCase{"the offset shortens the page", 25, 100, 50, 44, 8, 4},
                    PaginationCase{"header taller than the page keeps one row", 3, 100, 400, 0, 1,
                                   3},
                    PaginationCase{"zoom 0 keeps one row", 3, 0, 50, 0, 1, 3}),
    testing_fakes::CaseName());

TEST_F(SimpleBillTest, PageCountBeforePaginationCountsOneRowPerPage)
{
    bill.SetRowCount(4);
    EXPECT_EQ(bill.PageRows(), 0);
    EXPECT_EQ(bill.GetPageCount(), 4);
}

TEST_F(SimpleBillTest, WithoutPrinterPaginationFails)
{
    bill.SetPrintContext({});
    EXPECT_THROW(bill.CalcPages(), std::logic_error);
}

struct LastPageCase
{
    const char *name;
    bool lastPageFull;
    int tableBottom;
    int thinRules;
};

class LastPageTest : public SimpleBillTest, public testing::WithParamInterface<LastPageCase>
{
};

// 25 rows at 10 per page: page 3 holds rows 21 to 25.
TEST_P(LastPageTest, ShortLastPage)
{
    const LastPageCase &c = GetParam();
    bill.SetRowCount(25);
    bill.SetLastPageFull(c.lastPageFull);
    bill.CalcPages();
    bill.DrawPage(canvas, 3, 1.0);

    EXPECT_EQ(asked, (std::vector<int>{21, 21, 21, 21, 21, 22, 22, 22, 22, 22, 23, 23, 23,
                                       23, 23, 24, 24, 24, 24, 24, 25, 25, 25, 25, 25}))
        << "no callback for rows past the data";
    // The thick frame: top, right, bottom, back up the left side.
    const auto frame = lines(2);
    ASSERT_EQ(frame.size(), 5u) << canvas.dump();
    EXPECT_EQ(frame[0], (std::pair<Point, Point>{{0, 50}, {205, 50}}));
    EXPECT_EQ(frame[1].second, (Point{205, c.tableBottom}));
    EXPECT_EQ(frame[2].second, (Point{0, c.tableBottom}));
    EXPECT_EQ(frame[3].second, (Point{0, 49}));
    EXPECT_EQ(frame[4], (std::pair<Point, Point>{{0, 72}, {205, 72}})) << "rule under the header";

    const auto thin = lines(1);
    ASSERT_EQ(static_cast<int>(thin.size()), c.thinRules + 4) << canvas.dump();
    EXPECT_EQ(thin[c.thinRules - 1],
              (std::pair<Point, Point>{{0, c.tableBottom - 22}, {205, c.tableBottom - 22}}))
        << "the last rule tops the last grid row; the frame closes the table";
    EXPECT_EQ(thin[c.thinRules], (std::pair<Point, Point>{{41, 50}, {41, c.tableBottom}}))
        << "column rules run down to the frame";
    EXPECT_EQ(rectOf("25:4"), (Rect{166, 160 + 5, 203, 182 + 5}));
}

INSTANTIATE_TEST_SUITE_P(SimpleBill, LastPageTest,
                         testing::Values(LastPageCase{"frame ends under row 25", false, 182, 5},
                                         LastPageCase{"last page full shows 10 grid rows", true,
                                                      292, 10}),
                         testing_fakes::CaseName());

TEST_F(SimpleBillTest, HeaderCaptionsCentredAndCellsAligned)
{
    bill.SetRowCount(1);
    bill.SetColCount(2);
    bill.Columns()[0].SetCaption("品名");
    bill.Columns()[1].SetCaption("金额");
    bill.Columns()[1].SetAlignment(TAlignment::taRightJustify);
    bill.CalcPages();
    bill.DrawPage(canvas, 1, 1.0);

    const auto drawn = canvas.callsOf(Op::DrawText);
    ASSERT_EQ(texts(), (Texts{"销售清单", "品名", "金额", "1:0", "1:1"}));
    // The title is centred over the table (82 wide) in 黑体 12 pt (16 px).
    EXPECT_EQ(drawn[0].rect.left, (82 - 4 * 16) / 2);
    EXPECT_EQ(drawn[0].rect.top, 0);
    EXPECT_EQ(drawn[0].fontName, "黑体");
    EXPECT_EQ(drawn[0].fontHeight, 16);
    // Cells 2 pixels in on either side, a 12-pixel line centred in the
    // 22-pixel row: 5 pixels down.
    EXPECT_EQ(drawn[2].rect, (Rect{43, 55, 80, 77}));
    EXPECT_EQ(drawn[2].value & (Canvas::AlignCenter | Canvas::AlignRight), Canvas::AlignCenter);
    EXPECT_EQ(drawn[4].rect, (Rect{43, 77, 80, 99}));
    EXPECT_EQ(drawn[4].value, Canvas::AlignRight | Canvas::NoPrefix | Canvas::ExpandTabs)
        << "clipped to the cell";
    EXPECT_EQ(drawn[4].fontName, "宋体");
    EXPECT_EQ(drawn[4].fontHeight, 12);
}

TEST_F(SimpleBillTest, CellTextCarriesOverWhenTheCallbackLeavesIt)
{
    bill.SetRowCount(2);
    bill.SetColCount(2);
    bill.CalcPages();
    bill.SetOnGetCellText([](TSimpleBill &, int col, int row, std::string &text) {
        if (col == 0)
            text = "r" + std::to_string(row);
    });
    bill.DrawPage(canvas, 1, 1.0);
    EXPECT_EQ(texts(), (Texts{"销售清单", "", "", "r1", "r1", "r2", "r2"}));

    canvas.clear();
    bill.SetOnGetCellText({});
    bill.DrawPage(canvas, 1, 1.0);
    EXPECT_EQ(texts(), (Texts{"销售清单", "", "", "", "", "", ""})) << "no callback: empty cells";
}

TEST_F(SimpleBillTest, PageZeroOfAReportWithoutRowsDrawsOnlyTheHeader)
{
    bill.SetRowCount(0);
    bill.Footers().Add().SetCaption("页脚");
    bill.CalcPages();
    ASSERT_EQ(bill.GetPageCount(), 0);
    bill.DrawPage(canvas, 0, 1.0);
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(texts(), (Texts{"销售清单", "", "", "", "", "", "页脚"}));
    EXPECT_EQ(lines(2)[1].second, (Point{205, 72})) << "frame around the header row alone";
}

struct FooterCase
{
    const char *name;
    TAlignment alignment;
    int position;
    int top;
    bool isBottom;
    int page;
    Rect rect; // where "第1页" (3 wide chars, 12 px each) lands
};

class FooterTest : public SimpleBillTest, public testing::WithParamInterface<FooterCase>
{
};

TEST_P(FooterTest, PlacedRelativeToTheTable)
{
    const FooterCase &c = GetParam();
    bill.SetRowCount(25);
    TSimpleBillFooter &blank = bill.Footers().Add();
    blank.SetCaption("@SubTitle");
    TSimpleBillFooter &footer = bill.Footers().Add();
    footer.SetCaption("@PageNum");
    footer.SetAlignment(c.alignment);
    footer.SetPosition(c.position);
    footer.SetTop(c.top);
    footer.SetIsBottom(c.isBottom);
    std::vector<int> pages;
    bill.SetOnGetFooterText([&pages](TSimpleBill &, int page, std::string &text) {
        pages.push_back(page);
        text = text == "@PageNum" ? "第" + std::to_string(page) + "页" : " \t ";
    });
    bill.CalcPages();
    bill.DrawPage(canvas, c.page, 1.0);

    EXPECT_EQ(pages, (std::vector<int>{c.page, c.page}));
    const auto drawn = canvas.callsOf(Op::DrawText);
    ASSERT_EQ(drawn.size(), 1u + 5 + 5 * (c.page == 3 ? 5 : 10) + 1) << "the blank one is skipped";
    const std::string text = "第" + std::to_string(c.page) + "页";
    EXPECT_EQ(drawn.back().text, text);
    EXPECT_EQ(drawn.back().rect, c.rect);
}

INSTANTIATE_TEST_SUITE_P(
    SimpleBill, FooterTest,
    testing::Values(
        FooterCase{"left aligned", TAlignment::taLeftJustify, 7, 30, false, 1, {7, 30, 37, 42}},
        // 第, 页 are 12 wide, the digit 6: 30 wide, ending at the table's
        // right edge (5 columns of 41).
        FooterCase{"right aligned at the table edge",
                   TAlignment::taRightJustify,
                   0,
                   30,
                   false,
                   1,
                   {175, 30, 205, 42}},
        FooterCase{"centred and moved",
                   TAlignment::taCenter,
                   10,
                   30,
                   false,
                   1,
                   {(205 - 30) / 2 + 10, 30, (205 - 30) / 2 + 40, 42}},
        FooterCase{"under the table of a full page",
                   TAlignment::taLeftJustify,
                   0,
                   5,
                   true,
                   1,
                   {0, 292 + 5, 30, 292 + 17}},
        FooterCase{"under the table of the short last page",
                   TAlignment::taLeftJustify,
                   0,
                   5,
                   true,
                   3,
                   {0, 182 + 5, 30, 182 + 17}}),
    testing_fakes::CaseName());

TEST_F(SimpleBillTest, FooterFontIsTheReportFontWhenAdded)
{
    bill.SetFont({"楷体_GB2312", 11});
    TSimpleBillFooter &footer = bill.Footers().Add();
    EXPECT_EQ(footer.Font().Name, "楷体_GB2312");
    EXPECT_TRUE(footer.ParentFont());
    bill.SetFont({"宋体", 9});
    EXPECT_EQ(footer.Font().Name, "楷体_GB2312") << "a later font change does not reach it";
    footer.SetFont({"黑体", 14});
    EXPECT_FALSE(footer.ParentFont());
    footer.SetParentFont(true);
    EXPECT_EQ(footer.Font(), (TSimpleFont{"宋体", 9}));
    EXPECT_EQ(footer.DisplayName(), "Footer0");

    // Assigned footers keep place and text, and take this report's font.
    TSimpleBill other;
    TSimpleBillFooter &source = other.Footers().Add();
    source.SetCaption("@PageNum");
    source.SetIsBottom(true);
    source.SetFont({"黑体", 20});
    bill.SetFooters(other.Footers());
    ASSERT_EQ(bill.Footers().Count(), 1);
    EXPECT_EQ(bill.Footers()[0].Caption(), "@PageNum");
    EXPECT_TRUE(bill.Footers()[0].IsBottom());
    EXPECT_EQ(bill.Footers()[0].Font(), bill.Font());
}

TEST_F(SimpleBillTest, ColCountIgnoresValuesBelowOne)
{
    for (const int bad : {0, -1}) {
        bill.SetColCount(bad);
        EXPECT_EQ(bill.ColCount(), 5);
    }
    bill.Columns()[1].SetCaption("数量");
    bill.SetColCount(2);
    ASSERT_EQ(bill.ColCount(), 2);
    EXPECT_EQ(bill.Columns()[1].Caption(), "数量") << "deleted from the end";
    bill.SetColCount(4);
    EXPECT_EQ(bill.Columns()[3].Width(), 40);
    EXPECT_EQ(bill.Columns()[3].Alignment(), TAlignment::taCenter);
    EXPECT_EQ(bill.Columns()[3].Left(), 123);
    EXPECT_EQ(bill.Columns()[3].DisplayName(), "Col 3");
    EXPECT_EQ(bill.Columns().TotalWidth(), 164);
}

TEST_F(SimpleBillTest, WidthChangeMovesTheColumnsRightOfIt)
{
    bill.Columns()[1].SetWidth(60);
    EXPECT_EQ(bill.Columns()[0].Left(), 0);
    EXPECT_EQ(bill.Columns()[1].Left(), 41);
    EXPECT_EQ(bill.Columns()[2].Left(), 102);
    EXPECT_EQ(bill.Columns()[4].Right(), 225);
    EXPECT_EQ(bill.GetPageWidth(), 225);
    const DrawingFrame frame(96, 96, 100.0);
    EXPECT_EQ(bill.CellRect(frame, 2, 1), (Rect{102, 72, 143, 94}));
}

TEST_F(SimpleBillTest, Zoom200DoublesEverythingButTheFramePen)
{
    bill.SetRowCount(1);
    bill.SetZoomRatio(200);
    bill.CalcPages();
    bill.DrawPage(canvas, 1, 1.0);
    const auto frame = lines(2);
    ASSERT_EQ(frame.size(), 5u) << canvas.dump();
    EXPECT_EQ(frame[0], (std::pair<Point, Point>{{0, 100}, {410, 100}}));
    EXPECT_EQ(frame[2].second, (Point{0, 100 + 2 * 44}));
    const auto drawn = canvas.callsOf(Op::DrawText);
    EXPECT_EQ(drawn[0].fontHeight, 32);
    EXPECT_EQ(drawn.back().fontHeight, 24);
    // The last cell: column 4 (164..205) of row 1, 4 pixels in, a 24-pixel
    // line centred in the 44-pixel row.
    EXPECT_EQ(drawn.back().rect, (Rect{328 + 4, 144 + 10, 410 - 4, 188 + 10}));

    // On a 600-dpi printer the frame is still two screen pixels wide.
    RecordingCanvas page(600, 600);
    bill.DrawPage(page, 1, 1.0);
    EXPECT_FALSE(page.callsOf(Op::PenWidth).empty());
    EXPECT_EQ(page.callsOf(Op::PenWidth)[1].value, 13);
}

TEST_F(SimpleBillTest, OnScreenShowsTheWholeTableAtFullSize)
{
    bill.SetRowCount(25);
    bill.SetZoomRatio(200);
    bill.SetOffset({30, 30});
    bill.CalcPages();
    bill.PaintOnScreen(canvas);
    EXPECT_EQ(asked.size(), 25u * 5);
    EXPECT_EQ(canvas.calls().front().a, (Point{5, 5}));
    EXPECT_EQ(lines(2)[2].second, (Point{5, 5 + 50 + 26 * 22}));

    // A repaint of the form behind an open preview leaves its pages alone.
    EXPECT_EQ(bill.PageRows(), 2);
    EXPECT_EQ(bill.GetPageCount(), 13);
}

TEST_F(SimpleBillTest, SettersAndAutoSize)
{
    int changes = 0;
    bill.SetOnChanged([&changes] { ++changes; });
    bill.SetRowCount(10);
    EXPECT_EQ(changes, 0) << "unchanged values do nothing";
    bill.SetRowHeight(0);
    bill.SetRowHeight(-3);
    EXPECT_EQ(bill.RowHeight(), 22);
    bill.SetRowCount(-5);
    EXPECT_EQ(bill.RowCount(), 0);
    // The title font (12 pt, height -16) allows any top space from -6 on.
    bill.SetTopSpace(-20);
    EXPECT_EQ(bill.TopSpace(), -6);
    bill.SetTopSpace(50);

    bill.SetAutoSize(true);
    bill.SetRowCount(3);
    EXPECT_EQ(bill.Width(), 205 + 10);
    EXPECT_EQ(bill.Height(), 50 + 40 + 4 * 22);
    bill.Columns()[0].SetWidth(100);
    EXPECT_EQ(bill.Width(), 265 + 10);
    EXPECT_GT(changes, 5);
}

TEST_F(SimpleBillTest, PrintsThroughThePrintRoutines)
{
    bill.SetRowCount(0);
    bill.Print(false);
    EXPECT_EQ(printer.log, (Texts{"orient 0", "title 报表:销售清单", "beginDoc", "endDoc"}))
        << "a report without rows is a job without pages";

    printer.log.clear();
    bill.SetRowCount(25);
    bill.Print(false);
    EXPECT_EQ(printer.log, (Texts{"orient 0", "title 报表:销售清单", "beginDoc", "newPage",
                                  "newPage", "endDoc"}));
}

} // namespace
} // namespace tally::printing
