#include "billfixtures.h"

#include "support/printingfakes.h"

#include "base/numberformat.h"
#include "datapacket/fielderror.h"
#include "layout/billsumcache.h"
#include "layout/builtin/builtinlayouts.h"
#include "layout/layoutstreamerror.h"
#include "printing/printmath.h"
#include "printing/printroutines.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

namespace tally::layout {
namespace {

using testing_bill::bodyRow;
using testing_bill::itemPacket;
using testing_bill::shapeSimple;

class BillTest : public testing::Test
{
protected:
    // bill: 6 body columns over fields CODE, NAME, QTY, AMT (columns 4 and 5
    // show no field); `records` rows bound and open.
    void bind(int records, int bodyRows)
    {
        table.load(itemPacket(records));
        shapeSimple(bill, bodyRows);
        bill.SetDataSet(&table);
    }
    std::string body(int column, int k, int page)
    {
        const int col = bill.Layout().BodyBlock().ColOrigin() + column;
        const int row = bodyRow(bill, k);
        return bill.GetCellText(bill.Layout().CellAt(col, row), col, row, page);
    }
    TCell &tailCell(int col) { return bill.Layout().CellAt(col, bill.Layout().RowCount() - 2); }
    std::string tailText(int col, int page)
    {
        const int row = bill.Layout().RowCount() - 2;
        return bill.GetCellText(tailCell(col), col, row, page);
    }

    datapacket::DataPacketTable table;
    TBill bill;
};

TEST_F(BillTest, DefaultsOfANewBill)
{
    EXPECT_EQ(bill.ColCount(), 6);
    EXPECT_EQ(bill.Layout().RowCount(), 10);
    EXPECT_EQ(bill.RowCountHead(), 2);
    EXPECT_EQ(bill.RowCountBody(), 5);
    EXPECT_EQ(bill.RowCountTail(), 1);
    EXPECT_EQ(bill.ColCountLeft(), 1);
    EXPECT_EQ(bill.LayoutPPI(), 96);
    EXPECT_TRUE(bill.DrawEdge());
    EXPECT_FALSE(bill.AutoFit());
    EXPECT_TRUE(bill.AutoSize());
    EXPECT_EQ(bill.GetZoomRatio(), 100);
    EXPECT_EQ(bill.GetCaption(), "");
    // 6 × (64 + 1) wide; 8 × 23 + 2 × 51 high; plus the 5-pixel margins.
    EXPECT_EQ(bill.Width(), 390 + 10);
    EXPECT_EQ(bill.Height(), 286 + 10);
    EXPECT_FALSE(bill.Active());
    EXPECT_EQ(bill.GetPageCount(), 1);
}

struct PageCountCase
{
    int records;
    int bodyRows;
    int pages;
};

class PageCountTest : public BillTest, public testing::WithParamInterface<PageCountCase>
{
};

TEST_P(PageCountTest, RecordsOverBodyRowsRoundedUp)
{
    const PageCountCase c = GetParam();
    bind(c.records, c.bodyRows);
    ASSERT_EQ(bill.RowCountBody(), c.bodyRows);
    EXPECT_EQ(bill.GetPageCount(), c.pages);
}

INSTANTIATE_TEST_SUITE_P(Pagination, PageCountTest,
                         testing::Values(PageCountCase{95, 40, 3}, PageCountCase{80, 40, 2},
                                         PageCountCase{1, 40, 1}, PageCountCase{41, 40, 2},
                                         PageCountCase{0, 40, 0},
                                         // No body rows: one page without a division by zero.
                                         PageCountCase{0, 0, 1}, PageCountCase{3, 0, 1}));

TEST_F(BillTest, ClosedOrUnboundTableGivesOnePageAndEmptyTexts)
{
    bind(95, 40);
    bill.SetActive(false);
    EXPECT_FALSE(table.isActive());
    EXPECT_EQ(bill.GetPageCount(), 1);
    EXPECT_EQ(body(0, 0, 1), "");
    bill.SetDataSet(nullptr);
    EXPECT_EQ(bill.GetPageCount(), 1);
    bill.SetActive(true); // nothing bound: nothing to open
    EXPECT_FALSE(bill.Active());
}

TEST_F(BillTest, LastPageShowsRemainingRecordsThenEmptyRows)
{
    bind(95, 40);
    for (int k = 0; k < 40; ++k) {
        const std::string expected = k < 15 ? "R" + std::to_string(80 + k) : "";
        EXPECT_EQ(body(0, k, 3), expected) << "body row " << k;
    }
    EXPECT_EQ(body(1, 0, 1), "品名0");
    EXPECT_EQ(body(2, 39, 2), "80"); // QTY of record 79
    EXPECT_EQ(body(4, 0, 1), "") << "column beyond the fields";
    EXPECT_EQ(body(0, 0, 4), "") << "page past the last";
}

TEST_F(BillTest, MergedBodyTemplateSharesOneField)
{
    bind(3, 4);
    bill.SetColCount(12);
    bill.Layout().BodyBlock().Merge({1, 0, 2, 0});
    EXPECT_EQ(body(0, 0, 1), "R0");
    EXPECT_EQ(body(1, 0, 1), "品名0");
    EXPECT_EQ(body(2, 0, 1), "品名0");
    EXPECT_EQ(body(3, 0, 1), "1") << "column 3 shows field 2";
}

struct SumCase
{
    const char *name;
    int kind;
    int field;
    int page;
    const char *expected;
};

class SumTest : public BillTest, public testing::WithParamInterface<std::tuple<SumCase, bool>>
{
};

// 11 records, QTY 1..11, AMT 1.25..11.25, R = 8.
TEST_P(SumTest, AddsRecordsOfThePageRunningOrAll)
{
    const auto [c, inOutput] = GetParam();
    bind(11, 8);
    TCell &cell = tailCell(0);
    cell.SetSumKind(static_cast<tally::printing::SumScope>(c.kind));
    cell.SetSumField(c.field);
    if (inOutput)
        bill.BeginPrint(); // sums may come from the output run's cache
    EXPECT_EQ(tailText(0, c.page), c.expected) << c.name;
    // A second page in the same run must not see the first page's sums.
    EXPECT_EQ(tailText(0, c.page), c.expected) << c.name;
    if (inOutput)
        bill.EndPrint();
}

INSTANTIATE_TEST_SUITE_P(
    Sums, SumTest,
    testing::Combine(
        testing::Values(SumCase{"page 1", 1, 2, 1, "36"}, SumCase{"page 2", 1, 2, 2, "30"},
                        SumCase{"page 3 past the end", 1, 2, 3, "0"},
                        SumCase{"running page 1", 2, 2, 1, "36"},
                        SumCase{"running page 2 stops at the end", 2, 2, 2, "66"},
                        SumCase{"total", 3, 2, 1, "66"}, SumCase{"float total", 3, 3, 1, "68.75"},
                        SumCase{"unknown kind", 4, 2, 1, ""}, SumCase{"text field", 3, 0, 1, ""},
                        SumCase{"field past the last", 3, 9, 1, ""}),
        testing::Bool()));

TEST_F(BillTest, SumsFollowTheFieldsFormat)
{
    bind(11, 8);
    TCell &cell = tailCell(0);
    cell.SetSumKind(tally::printing::SumScope::Total);
    cell.SetSumField(3);
    table.field(3).setDisplayFormat("#,##0.000");
    EXPECT_EQ(tailText(0, 1), "68.750");
    table.field(3).setDisplayFormat("");
    table.field(3).setCurrency(true);
    EXPECT_EQ(tailText(0, 1), formatCurrency(68.75, table.formatSettings()));
}

TEST_F(BillTest, SumsOfAnEmptyOrUnboundTableAreEmpty)
{
    TCell &cell = tailCell(0);
    cell.SetSumKind(tally::printing::SumScope::Total);
    cell.SetSumField(2);
    cell.SetText("stored");
    EXPECT_EQ(tailText(0, 1), "") << "no table";
    bind(0, 8);
    EXPECT_EQ(tailText(0, 1), "") << "no records";
}

TEST(BillSumCache, PrefixSumsEqualSequentialAdditionBitForBit)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(-1000.0, 1000.0);
    std::string rows;
    std::vector<double> values;
    for (int i = 0; i < 500; ++i) {
        values.push_back(value(random));
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.17g", values.back());
        rows += std::string("<ROW V=\"") + buf + "\"/>";
    }
    datapacket::DataPacketTable table;
    table.load("<?xml version=\"1.0\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
               "<FIELD attrname=\"V\" fieldtype=\"r8\"/></FIELDS><PARAMS/></METADATA><ROWDATA>" +
               rows + "</ROWDATA></DATAPACKET>");
    BillSumCache cache;
    for (std::size_t n :
         {std::size_t{0}, std::size_t{17}, std::size_t{250}, std::size_t{500}, std::size_t{900}}) {
        double expected = 0.0;
        for (std::size_t i = 0; i < std::min<std::size_t>(n, 500); ++i)
            expected += values[i];
        EXPECT_EQ(cache.PrefixSum(table, 0, n), expected) << n;
    }
}

TEST_F(BillTest, VariableCellsAskTheCallbackFixedOnesNever)
{
    bind(3, 4);
    TCell &fixed = tailCell(0);
    fixed.SetText("合计");
    TCell &variable = tailCell(1);
    variable.SetText(":SUM");
    variable.SetFixedText(false);
    EXPECT_EQ(tailText(1, 1), ":SUM") << "no callback: the stored text";

    std::vector<std::string> asked;
    bill.SetOnGetCellText(
        [&](TCustomBill &sender, const std::string &name, int page, std::string &text) {
            EXPECT_EQ(&sender, &bill);
            asked.push_back(name + "@" + std::to_string(page) + "=" + text);
            text = "值";
        });
    EXPECT_EQ(tailText(0, 2), "合计");
    EXPECT_EQ(tailText(1, 2), "值");
    const int row = bill.Layout().RowCount() - 2;
    EXPECT_EQ(asked, std::vector<std::string>{"B" + std::to_string(row) + "@2=:SUM"});
    EXPECT_EQ(body(0, 0, 1), "R0") << "body cells never ask";
    EXPECT_EQ(asked.size(), 1u);
}

TEST_F(BillTest, VariableFreeItemsAskTheFooterCallback)
{
    TFooter fixed;
    fixed.SetText("制单人：");
    TFooter variable;
    variable.SetText(":ZDR");
    variable.SetFixedText(false);
    EXPECT_EQ(bill.GetFooterText(variable, 1), ":ZDR");
    bill.SetOnGetFooterText([](TCustomBill &, int page, std::string &text) {
        if (text == ":ZDR")
            text = "张三" + std::to_string(page);
    });
    EXPECT_EQ(bill.GetFooterText(variable, 3), "张三3");
    EXPECT_EQ(bill.GetFooterText(fixed, 3), "制单人：");
}

TEST_F(BillTest, CallbackAndFieldFailuresPropagateOutOfPrinting)
{
    bind(3, 4);
    tailCell(0).SetFixedText(false);
    tailCell(0).SetText(":X");
    printing::testing_fakes::FakePrinter printer;
    printing::PrintContext context;
    context.printer = &printer;
    bill.SetPrintContext(context);

    bill.SetOnGetCellText([](TCustomBill &, const std::string &, int, std::string &) {
        throw datapacket::FieldError("field \"JLBH\" is not a number");
    });
    EXPECT_THROW(bill.Print(false), datapacket::FieldError);
    EXPECT_EQ(printer.log.back(), "abortDoc");

    bill.SetOnGetCellText(nullptr);
    table.field(1).setTextCallback(
        [](const datapacket::FieldCell &) -> std::string { throw std::runtime_error("bad name"); });
    printing::RecordingCanvas canvas;
    EXPECT_THROW(bill.DrawPage(canvas, 1, 1.0), std::runtime_error);
    EXPECT_EQ(canvas.origin(), (printing::Point{0, 0}));
}

struct RowCountCase
{
    const char *name;
    TCustomBill::Block block;
    int value;
    int head, body, tail;
};

class RowCountTest : public BillTest, public testing::WithParamInterface<RowCountCase>
{
};

using Block = TCustomBill::Block;

// Start: head 1, body 8, tail 1: 12 grid rows.
TEST_P(RowCountTest, SettersChangeTheEndOfTheBlockOrIgnoreBadValues)
{
    const RowCountCase c = GetParam();
    shapeSimple(bill, 8);
    bill.SetRowCount(c.block, c.value);
    EXPECT_EQ(bill.RowCountHead(), c.head) << c.name;
    EXPECT_EQ(bill.RowCountBody(), c.body) << c.name;
    EXPECT_EQ(bill.RowCountTail(), c.tail) << c.name;
    EXPECT_EQ(bill.Layout().RowCount(), 2 + c.head + c.body + c.tail) << c.name;
    EXPECT_EQ(bill.Height(), bill.GetPageHeight() + 10) << c.name;
    EXPECT_TRUE(bill.Layout().IsConsistent()) << c.name;
}

INSTANTIATE_TEST_SUITE_P(RowCounts, RowCountTest,
                         testing::Values(RowCountCase{"body fewer", Block::Body, 5, 1, 5, 1},
                                         RowCountCase{"body more", Block::Body, 10, 1, 10, 1},
                                         RowCountCase{"body none", Block::Body, 0, 1, 0, 1},
                                         RowCountCase{"negative", Block::Body, -1, 1, 8, 1},
                                         RowCountCase{"head more", Block::Head, 3, 3, 8, 1},
                                         RowCountCase{"tail none", Block::Tail, 0, 1, 8, 0}));

TEST_F(BillTest, BodyRowsComeAndGoAtTheEndOfTheBody)
{
    shapeSimple(bill, 8);
    const TColRow &rows = bill.Layout().Rows();
    const int tailRow = bill.Layout().TailBlock().RowOrigin();
    bill.Layout().Rows().SetSize(tailRow, 30);
    const int bottomTop = rows.Position(rows.Count() - 1);
    bill.SetRowCountBody(10);
    EXPECT_EQ(rows.Size(tailRow), 22) << "a new 22-pixel row after the last body row";
    EXPECT_EQ(rows.Size(tailRow + 2), 30) << "the tail moved down";
    EXPECT_EQ(rows.Position(rows.Count() - 1), bottomTop + 2 * 23);
    bill.SetRowCountBody(5);
    EXPECT_EQ(bill.Layout().TailBlock().RowOrigin(), tailRow - 3);
    EXPECT_EQ(rows.Size(tailRow - 3), 30);
}

TEST_F(BillTest, HeadCountLeavingFewerThanThreeGridRowsIsIgnored)
{
    bill.SetColCountLeft(0);
    bill.SetRowCountBody(0);
    bill.SetRowCountTail(0);
    bill.SetRowCountHead(1);
    ASSERT_EQ(bill.Layout().RowCount(), 3);
    bill.SetRowCountHead(0);
    EXPECT_EQ(bill.RowCountHead(), 1);
}

TEST_F(BillTest, ColumnSettersIgnoreOutOfRangeValues)
{
    bill.SetColCount(0);
    EXPECT_EQ(bill.ColCount(), 6);
    bill.SetColCount(8);
    EXPECT_EQ(bill.ColCount(), 8);
    EXPECT_EQ(bill.Layout().Cols().Size(7), 64);
    EXPECT_EQ(bill.Width(), 8 * 65 + 10);
    bill.SetColCountLeft(8);
    EXPECT_EQ(bill.ColCountLeft(), 1);
    bill.SetColCountLeft(3);
    EXPECT_EQ(bill.ColCountLeft(), 3);
    EXPECT_EQ(bill.Layout().BodyBlock().ColOrigin(), 3);
    bill.SetColCountLeft(-1);
    EXPECT_EQ(bill.ColCountLeft(), 3);
}

TEST_F(BillTest, AutoFitEmptiesTheLeftBlockAndNeedsABodyRow)
{
    bill.SetRowCountBody(0);
    bill.SetAutoFit(true);
    EXPECT_EQ(bill.ColCountLeft(), 0);
    EXPECT_EQ(bill.RowCountBody(), 1);
    bill.SetAutoFit(false);
    EXPECT_EQ(bill.RowCountBody(), 1);
}

struct FitCase
{
    const char *name;
    int zoom;
    int offsetY;
    int pageHeight; // printer pixels at 96 dpi, so screen pixels too
    int leftCols;
    int rowsAfter; // RowCountBody after CalcPages
};

class CalcPagesTest : public BillTest, public testing::WithParamInterface<FitCase>
{
};

// Rows above the body and from the tail on take F = 300; body rows 22.
TEST_P(CalcPagesTest, FitsTheBodyRowsToThePrinterPage)
{
    const FitCase c = GetParam();
    shapeSimple(bill, 7);
    TColRow &rows = bill.Layout().Rows();
    rows.SetSize(0, 99);
    rows.SetSize(1, 49);
    rows.SetSize(rows.Count() - 2, 49);
    rows.SetSize(rows.Count() - 1, 99);
    bill.SetAutoFit(true);
    bill.SetColCountLeft(c.leftCols);
    bill.SetZoomRatio(c.zoom);
    bill.SetOffset({0, c.offsetY});

    printing::testing_fakes::FakePrinter printer;
    printer.pageMetrics = {96, 96, 800, c.pageHeight, 0, 0, 800, c.pageHeight};
    printing::PrintContext context;
    context.printer = &printer;
    bill.SetPrintContext(context);

    bill.BeginPrint();
    bill.CalcPages();
    EXPECT_EQ(bill.RowCountBody(), c.rowsAfter) << c.name;
    bill.EndPrint();
    EXPECT_EQ(bill.RowCountBody(), 7) << c.name << ": EndPrint restores the rows";
}

INSTANTIATE_TEST_SUITE_P(AutoFit, CalcPagesTest,
                         testing::Values(FitCase{"H 1000", 100, 0, 1000, 0, 30},
                                         FitCase{"zoom 50", 50, 0, 1000, 0, 73},
                                         FitCase{"offset 100", 100, 100, 1000, 0, 26},
                                         FitCase{"N 0 gives one row", 100, 0, 310, 0, 1},
                                         FitCase{"negative N is ignored", 100, 0, 200, 0, 7},
                                         FitCase{"zoom 0 keeps the rows", 0, 0, 1000, 0, 7},
                                         FitCase{"left columns: untouched", 100, 0, 1000, 1, 7}));

TEST_F(BillTest, PrintingFitsPagesToThePrinterWithAutoFit)
{
    bind(95, 7);
    bill.SetAutoFit(true);
    printing::testing_fakes::FakePrinter printer; // 600 dpi, 6816 pixels: 1090 screen pixels
    printing::PrintContext context;
    context.printer = &printer;
    bill.SetPrintContext(context);
    bill.Print(false);
    std::size_t pages = 0;
    for (const auto &line : printer.log)
        pages += line == "newPage";
    const int height = MulDiv(96, printer.pageMetrics.pageHeight, 600);
    const int fitted = (height * 100 - (51 + 23 + 23 + 51) * 100) / 2300;
    EXPECT_EQ(pages + 1, static_cast<std::size_t>((95 + fitted - 1) / fitted));
    EXPECT_EQ(bill.RowCountBody(), 7);
}

TEST_F(BillTest, CalcPagesWithoutPrinterFailsOnlyWhenItMustFit)
{
    bill.CalcPages();
    bill.SetAutoFit(true);
    EXPECT_THROW(bill.CalcPages(), std::logic_error);
}

TEST_F(BillTest, BuiltinLayoutsLoadWithTheirPageSettings)
{
    for (std::string_view name : builtin::builtinLayoutNames()) {
        auto made = TBill::FromBuiltin(name);
        ASSERT_TRUE(made) << name;
        EXPECT_EQ(made->Width(), made->GetPageWidth() + 10) << name;
        EXPECT_EQ(made->Height(), made->GetPageHeight() + 10) << name;
        EXPECT_TRUE(made->Layout().IsConsistent()) << name;
        const auto stream = builtin::builtinLayoutStream(name);
        EXPECT_EQ(made->SaveToStream(), std::vector<std::uint8_t>(stream.begin(), stream.end()))
            << name;
    }
    // The landscape variant keeps its stored orientation; the order form stands.
    EXPECT_EQ(TBill::FromBuiltin("TPrintDHD_HX")->GetPrintOrient(),
              printing::PrinterOrientation::poLandscape);
    auto dhd = TBill::FromBuiltin("tprintdhd");
    ASSERT_TRUE(dhd);
    EXPECT_EQ(dhd->GetPrintOrient(), printing::PrinterOrientation::poPortrait);
    EXPECT_EQ(dhd->GetPaperSize(), 9);
    EXPECT_EQ(TBill::FromBuiltin("TPrintNone"), nullptr);
}

TEST_F(BillTest, AssignCopiesLayoutAndPageSettingsThroughTheStream)
{
    auto source = TBill::FromBuiltin("TPrintJSD");
    ASSERT_TRUE(source);
    source->SetZoomRatio(80);
    source->SetOffset({3, 4});
    source->SetAutoFit(true);
    bill.Assign(*source);
    EXPECT_EQ(bill.SaveToStream(), source->SaveToStream());
    EXPECT_EQ(bill.GetZoomRatio(), 80);
    EXPECT_EQ(bill.GetOffset(), (printing::Point{3, 4}));
    EXPECT_TRUE(bill.AutoFit());
    EXPECT_EQ(bill.Width(), source->Width());
}

TEST_F(BillTest, ABadStreamThrowsAndChangesNothing)
{
    const auto before = bill.SaveToStream();
    auto bad = before;
    bad.resize(bad.size() / 2);
    EXPECT_THROW(bill.LoadFromStream(bad), LayoutStreamError);
    EXPECT_EQ(bill.SaveToStream(), before);
    EXPECT_EQ(bill.Height(), bill.GetPageHeight() + 10);
}

TEST_F(BillTest, ChangesAskForARepaint)
{
    int changed = 0;
    bill.SetOnChanged([&] { ++changed; });
    bill.SetDrawEdge(false);
    EXPECT_EQ(changed, 1);
    bill.SetDrawEdge(false);
    EXPECT_EQ(changed, 1) << "no change, no repaint";
    bill.SetRowCountBody(7);
    EXPECT_GE(changed, 2);
    bill.SetAutoSize(false);
    const int width = bill.Width();
    bill.SetColCount(9);
    EXPECT_EQ(bill.Width(), width) << "AutoSize off keeps the size";
}

} // namespace
} // namespace tally::layout
