#include "support/printingfakes.h"

#include "datapacket/datapackettable.h"
#include "printing/listdocument.h"
#include "printing/tsimplebill.h"
#include "support/packettext.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tally::printing {
namespace {

using testing_fakes::FakePrinter;
using Texts = std::vector<std::string>;

constexpr const char *kFields = "<FIELD attrname=\"SPCODE\" fieldtype=\"string\" WIDTH=\"10\"/>"
                                "<FIELD attrname=\"SPNAME\" fieldtype=\"string\" WIDTH=\"20\"/>"
                                "<FIELD attrname=\"JE\" fieldtype=\"r8\" SUBTYPE=\"Money\"/>";

LocalDateTime fixedClock()
{
    return {2024, 11, 16, 9, 13, 55, 0};
}

class ListDocumentTest : public testing::Test
{
protected:
    void load(const std::string &rows)
    {
        table.load(test::packetText(kFields, rows));
        PrintContext context;
        context.printer = &printer;
        bill.SetPrintContext(context);
        bill.Title().SetCaption("商品清单");
        ApplyListReportDesign(bill);
    }
    // The texts page pageIndex draws, after the title and the header row.
    Texts pageTexts(int pageIndex)
    {
        RecordingCanvas canvas;
        bill.DrawPage(canvas, pageIndex, 1.0);
        Texts out;
        for (const auto &c : canvas.callsOf(RecordingCanvas::Op::DrawText))
            out.push_back(c.text);
        out.erase(out.begin(), out.begin() + 1 + bill.ColCount());
        return out;
    }

    datapacket::DataPacketTable table;
    FakePrinter printer;
    TSimpleBill bill;
};

TEST_F(ListDocumentTest, EveryVisibleFieldAfterTheRowNumber)
{
    load("<ROW SPCODE=\"C1\" SPNAME=\"苹果\" JE=\"12.5\"/><ROW SPCODE=\"C2\" JE=\"1234.567\"/>");
    ConfigureListReport(bill, table, DefaultListColumns(table), nullptr, fixedClock);
    bill.CalcPages();

    EXPECT_EQ(bill.RowCount(), 2);
    ASSERT_EQ(bill.ColCount(), 4);
    EXPECT_EQ(bill.Columns()[0].Caption(), "");
    EXPECT_EQ(bill.Columns()[0].Width(), 40);
    for (int i = 1; i < 4; ++i) {
        EXPECT_EQ(bill.Columns()[i].Width(), 66);
        EXPECT_EQ(bill.Columns()[i].Alignment(), TAlignment::taCenter);
    }
    EXPECT_EQ(bill.Columns()[3].Caption(), "JE");
    // Money prints as plain decimals; a missing value as the empty text.
    EXPECT_EQ(pageTexts(1), (Texts{"1", "C1", "苹果", "12.50", "2", "C2", "", "1234.57",
                                   "页号: 1/1 2024-11-16 9:13:55"}))
        << "\"@SubTitle\" is left out";
}

TEST_F(ListDocumentTest, ChosenColumnsCloseUpWithTheirGridWidths)
{
    load("<ROW SPCODE=\"C1\" SPNAME=\"苹果\" JE=\"12.5\"/>");
    const TSimpleFont gridFont{"楷体_GB2312", 11};
    ConfigureListReport(bill, table, {{2, "金额", 80}, {0, "编码", 30}}, &gridFont, fixedClock);
    bill.CalcPages();
    ASSERT_EQ(bill.ColCount(), 3);
    EXPECT_EQ(bill.Columns()[1].Caption(), "金额");
    EXPECT_EQ(bill.Columns()[1].Width(), 82);
    EXPECT_EQ(bill.Columns()[2].Left(), 41 + 83);
    EXPECT_EQ(bill.Font(), gridFont);
    EXPECT_EQ(pageTexts(1), (Texts{"1", "12.50", "C1", "页号: 1/1 2024-11-16 9:13:55"}));

    const TSimpleFont system{"System", 20};
    ConfigureListReport(bill, table, {{0, "编码", 30}}, &system, fixedClock);
    EXPECT_EQ(bill.Font(), gridFont) << "the \"System\" font is not taken over";
    EXPECT_EQ(bill.ColCount(), 2);

    EXPECT_THROW(ConfigureListReport(bill, table, {{3, "?", 30}}), std::out_of_range);
}

TEST_F(ListDocumentTest, PageNumbersCountThePagesAndTheTitleRepeats)
{
    std::string rows;
    for (int i = 1; i <= 25; ++i)
        rows += "<ROW SPCODE=\"C" + std::to_string(i) + "\"/>";
    load(rows);
    printer.pageMetrics = {96, 96, 800, 400, 0, 0, 800, 352}; // 10 rows under a 60 top space
    ConfigureListReport(bill, table, DefaultListColumns(table), nullptr, fixedClock);
    bill.CalcPages();
    ASSERT_EQ(bill.GetPageCount(), 3);
    const Texts last = pageTexts(3);
    EXPECT_EQ(last.front(), "21");
    EXPECT_EQ(last.back(), "页号: 3/3 2024-11-16 9:13:55");
}

TEST_F(ListDocumentTest, EmptyPacketGivesNoPages)
{
    load("");
    ConfigureListReport(bill, table, DefaultListColumns(table), nullptr, fixedClock);
    bill.CalcPages();
    EXPECT_EQ(bill.RowCount(), 0);
    EXPECT_EQ(bill.GetPageCount(), 0);
}

TEST_F(ListDocumentTest, RowNumberColumnWidensForLongNumbers)
{
    load("<ROW/>");
    ConfigureListReport(bill, table, DefaultListColumns(table));
    EXPECT_EQ(bill.Columns()[0].Width(), 40);

    TSimpleBill big;
    std::string rows;
    for (int i = 0; i < 100000; ++i)
        rows += "<ROW/>";
    table.load(test::packetText(kFields, rows));
    ConfigureListReport(big, table, DefaultListColumns(table));
    EXPECT_EQ(big.Columns()[0].Width(), 6 * 7 + 6);
}

TEST_F(ListDocumentTest, DesignOfTheListWindow)
{
    load("");
    EXPECT_EQ(bill.TopSpace(), 60);
    EXPECT_EQ(bill.Title().Font().Name, "黑体");
    EXPECT_EQ(bill.Title().Font().Height(96), -19);
    ASSERT_EQ(bill.Footers().Count(), 2);
    EXPECT_EQ(bill.Footers()[0].Caption(), "@PageNum");
    EXPECT_EQ(bill.Footers()[0].Alignment(), TAlignment::taRightJustify);
    EXPECT_EQ(bill.Footers()[1].Caption(), "@SubTitle");
    EXPECT_EQ(bill.Footers()[1].Top(), 40);
}

} // namespace
} // namespace tally::printing
