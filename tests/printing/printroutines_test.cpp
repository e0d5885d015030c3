#include "casename.h"
#include "support/printingfakes.h"

#include "printing/printroutines.h"

#include <gtest/gtest.h>

#include <ostream>

namespace tally::printing {
namespace {

using testing_fakes::FakeBill;
using testing_fakes::FakeDialog;
using testing_fakes::FakePrinter;
using Log = std::vector<std::string>;

class PrintTest : public testing::Test
{
protected:
    PrintTest() : bill(log)
    {
        context.printer = &printer;
        context.processEvents = [this] { ++pumped; };
        bill.SetPrintContext(context);
    }

    void answerDialog(FakeDialog::Answer answer)
    {
        context.makePrintDialog = [this, answer] {
            return std::make_unique<FakeDialog>(answer, &offered, &released);
        };
        bill.SetPrintContext(context);
    }

    Log log;
    FakePrinter printer;
    PrintContext context;
    FakeBill bill;
    int pumped = 0;
    PrintDialogOptions offered;
    int released = 0;
};

TEST_F(PrintTest, DirectPrintDrawsEveryPageInOneJob)
{
    bill.pages = 3;
    bill.Print(false);
    EXPECT_EQ(log, (Log{"BeginPrint", "CalcPages", "DrawPage 1", "DrawPage 2", "DrawPage 3",
                        "EndPrint"}));
    EXPECT_EQ(printer.log,
              (Log{"orient 0", "title 报表:订货单", "beginDoc", "newPage", "newPage", "endDoc"}));
    EXPECT_EQ(pumped, 3);
}

TEST_F(PrintTest, NoPagesStillMakesAnEmptyJob)
{
    bill.pages = 0;
    bill.caption.clear();
    bill.Print(false);
    EXPECT_EQ(log, (Log{"BeginPrint", "CalcPages", "EndPrint"}));
    EXPECT_EQ(printer.log, (Log{"orient 0", "title 报表:", "beginDoc", "endDoc"}));
}

struct PageSetupCase
{
    int paperSize;
    int length;
    int width;
    PrinterOrientation orient;
    Log expected;
};

void PrintTo(const PageSetupCase &c, std::ostream *os)
{
    *os << "paper " << c.paperSize << " " << c.length << "x" << c.width << " orient "
        << static_cast<int>(c.orient);
}

class PageSetupTest : public PrintTest, public testing::WithParamInterface<PageSetupCase>
{
};

TEST_P(PageSetupTest, PaperAndOrientationReachThePrinter)
{
    const PageSetupCase &c = GetParam();
    bill.SetPaperSize(c.paperSize);
    bill.SetPaperLength(c.length);
    bill.SetPaperWidth(c.width);
    bill.SetPrintOrient(c.orient);
    ApplyPageSetup(bill, printer);
    EXPECT_EQ(printer.log, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Papers, PageSetupTest,
    testing::Values(
        PageSetupCase{0, 1000, 2000, PrinterOrientation::poLandscape, {"orient 1"}},
        PageSetupCase{9, 1000, 2000, PrinterOrientation::poPortrait, {"paper 9", "orient 0"}},
        PageSetupCase{256,
                      1400,
                      2100,
                      PrinterOrientation::poPortrait,
                      {"paper 256", "extent 1400x2100", "orient 0"}},
        PageSetupCase{
            256, 0, 0, PrinterOrientation::poLandscape, {"paper 256", "extent 0x0", "orient 1"}}));

struct DialogCase
{
    const char *name;
    int pages;
    bool canCollate;
    // The user's answer; cancel when answer is false.
    bool accept;
    int from, to, copies;
    bool collate;
    // Expectations.
    bool rangeOffered;
    Log drawn;
    Log printerTail; // printer log after the orientation
};

class DialogTest : public PrintTest, public testing::WithParamInterface<DialogCase>
{
};

TEST_P(DialogTest, ChoicesOfTheDialogDecideTheJob)
{
    const DialogCase &c = GetParam();
    bill.pages = c.pages;
    printer.collateCapable = c.canCollate;
    answerDialog([c](PrintDialogOptions &o) {
        o.fromPage = c.from;
        o.toPage = c.to;
        o.copies = c.copies;
        o.collate = c.collate;
        return c.accept;
    });
    PrintReport(bill, context, true);

    EXPECT_EQ(offered.minPage, 1) << c.name;
    EXPECT_EQ(offered.maxPage, c.pages) << c.name;
    EXPECT_EQ(offered.fromPage, 1) << c.name;
    EXPECT_EQ(offered.toPage, c.pages) << c.name;
    EXPECT_EQ(offered.copies, 1) << c.name;
    EXPECT_FALSE(offered.collate) << c.name;
    EXPECT_EQ(offered.collateAvailable, c.canCollate) << c.name;
    EXPECT_EQ(offered.pageRangeEnabled, c.rangeOffered) << c.name;
    EXPECT_EQ(released, 1) << c.name;

    Log expectedBill{"BeginPrint", "CalcPages"};
    expectedBill.insert(expectedBill.end(), c.drawn.begin(), c.drawn.end());
    expectedBill.push_back("EndPrint");
    EXPECT_EQ(log, expectedBill) << c.name;
    Log expectedPrinter{"orient 0"};
    expectedPrinter.insert(expectedPrinter.end(), c.printerTail.begin(), c.printerTail.end());
    EXPECT_EQ(printer.log, expectedPrinter) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Answers, DialogTest,
    testing::Values(
        DialogCase{"all pages",
                   3,
                   true,
                   true,
                   1,
                   3,
                   1,
                   false,
                   true,
                   {"DrawPage 1", "DrawPage 2", "DrawPage 3"},
                   {"copies 1", "collate off", "title 报表:订货单", "beginDoc", "newPage",
                    "newPage", "endDoc"}},
        DialogCase{"range with copies and collation",
                   5,
                   true,
                   true,
                   2,
                   4,
                   3,
                   true,
                   true,
                   {"DrawPage 2", "DrawPage 3", "DrawPage 4"},
                   {"copies 3", "collate on", "title 报表:订货单", "beginDoc", "newPage", "newPage",
                    "endDoc"}},
        DialogCase{"one page offers no range",
                   1,
                   true,
                   true,
                   1,
                   1,
                   2,
                   false,
                   false,
                   {"DrawPage 1"},
                   {"copies 2", "collate off", "title 报表:订货单", "beginDoc", "endDoc"}},
        DialogCase{
            "collation off when the printer cannot collate",
            2,
            false,
            true,
            1,
            2,
            2,
            true,
            true,
            {"DrawPage 1", "DrawPage 2"},
            {"copies 2", "collate off", "title 报表:订货单", "beginDoc", "newPage", "endDoc"}},
        DialogCase{"range beyond the document is cut",
                   3,
                   true,
                   true,
                   0,
                   9,
                   1,
                   false,
                   true,
                   {"DrawPage 1", "DrawPage 2", "DrawPage 3"},
                   {"copies 1", "collate off", "title 报表:订货单", "beginDoc", "newPage",
                    "newPage", "endDoc"}},
        DialogCase{"cancel prints nothing", 3, true, false, 1, 3, 1, false, true, {}, {}}),
    testing_fakes::CaseName());

struct FailureCase
{
    const char *name;
    bool dialog;
    bool failCalcPages;
    int failOnPage;
    Log billLog;
    Log printerLog;
};

class FailureTest : public PrintTest, public testing::WithParamInterface<FailureCase>
{
};

TEST_P(FailureTest, EndPrintRunsAndTheJobIsAborted)
{
    const FailureCase &c = GetParam();
    bill.pages = 3;
    bill.failCalcPages = c.failCalcPages;
    bill.failOnPage = c.failOnPage;
    answerDialog([](PrintDialogOptions &) { return true; });
    EXPECT_THROW(bill.Print(c.dialog), std::runtime_error) << c.name;
    EXPECT_EQ(log, c.billLog) << c.name;
    EXPECT_EQ(printer.log, c.printerLog) << c.name;
    EXPECT_EQ(released, c.dialog ? 1 : 0) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FailureTest,
    testing::Values(FailureCase{"drawing fails on page 2",
                                false,
                                false,
                                2,
                                {"BeginPrint", "CalcPages", "DrawPage 1", "DrawPage 2", "EndPrint"},
                                {"orient 0", "title 报表:订货单", "beginDoc", "newPage",
                                 "abortDoc"}},
                    FailureCase{"drawing fails with dialog",
                                true,
                                false,
                                1,
                                {"BeginPrint", "CalcPages", "DrawPage 1", "EndPrint"},
                                {"orient 0", "copies 1", "collate off", "title 报表:订货单",
                                 "beginDoc", "abortDoc"}},
                    FailureCase{"pagination fails",
                                false,
                                true,
                                0,
                                {"BeginPrint", "CalcPages", "EndPrint"},
                                {"orient 0"}}),
    testing_fakes::CaseName());

TEST(PrintContextTest, MissingPrinterOrDialogIsAnError)
{
    Log log;
    FakeBill bill(log);
    EXPECT_THROW(bill.Print(false), std::logic_error);
    FakePrinter printer;
    PrintContext context;
    context.printer = &printer;
    bill.SetPrintContext(context);
    EXPECT_THROW(bill.Print(true), std::logic_error);
    EXPECT_TRUE(log.empty()) << "nothing started";
}

} // namespace
} // namespace tally::printing
