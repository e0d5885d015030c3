#include "casename.h"
#include "support/printingfakes.h"

#include "support/memorysettingsstore.h"

#include <gtest/gtest.h>

#include <map>

namespace tally::printing {
namespace {

using testing_fakes::FakeBill;
using testing_fakes::FakeMessages;

constexpr const char *kKey = "SOFTWARE\\VAZ\\Bill\\tallyhost-TPrintDHD-Bill1";

class SettingsTest : public testing::Test
{
protected:
    SettingsTest() : bill(log)
    {
        PrintContext context;
        context.settings = &store;
        context.messages = &messages;
        context.executableName = "tallyhost";
        bill.SetPrintContext(context);
        bill.SetName("Bill1");
        bill.SetHostName("TPrintDHD");
        // Values a form could have stored with the bill.
        bill.SetOffset({3, 4});
        bill.SetZoomRatio(90);
        bill.SetPaperSize(9);
    }

    std::vector<std::string> log;
    MemorySettingsStore store;
    FakeMessages messages;
    FakeBill bill;
};

TEST_F(SettingsTest, KeyNamesProgramHostAndBill)
{
    EXPECT_EQ(bill.GetSettingsKey(), "tallyhost-TPrintDHD-Bill1");
    bill.SetHostName("ActiveFormX");
    bill.SetName("TblBill");
    EXPECT_EQ(bill.GetSettingsKey(), "tallyhost-ActiveFormX-TblBill");
}

TEST(SettingsKeyTest, DefaultsToTheRunningExecutable)
{
    std::vector<std::string> log;
    FakeBill bill(log);
    bill.SetName("Bill1");
    bill.SetHostName("Form1");
    EXPECT_EQ(bill.GetSettingsKey(), "test_printing-Form1-Bill1");
}

TEST_F(SettingsTest, MissingKeyKeepsEveryValue)
{
    bill.AfterLoad();
    EXPECT_EQ(bill.GetOffset(), (Point{3, 4}));
    EXPECT_EQ(bill.GetZoomRatio(), 90);
    EXPECT_EQ(bill.GetPaperSize(), 9);
    EXPECT_FALSE(store.hasKey(kKey)) << "loading creates nothing";
}

struct PartialReadCase
{
    const char *name;
    std::map<std::string, std::string> stored;
    Point offset;
    int zoom;
    PrinterOrientation orient;
    int paperSize;
    int paperLength;
    int paperWidth;
};

class PartialReadTest : public SettingsTest, public testing::WithParamInterface<PartialReadCase>
{
};

TEST_P(PartialReadTest, ReadingStopsAtTheFirstGap)
{
    const PartialReadCase &c = GetParam();
    for (const auto &[name, value] : c.stored)
        store.setRaw(kKey, name, value);
    bill.SetPaperLength(11);
    bill.SetPaperWidth(12);
    bill.LoadSettings();
    EXPECT_EQ(bill.GetOffset(), c.offset) << c.name;
    EXPECT_EQ(bill.GetZoomRatio(), c.zoom) << c.name;
    EXPECT_EQ(bill.GetPrintOrient(), c.orient) << c.name;
    EXPECT_EQ(bill.GetPaperSize(), c.paperSize) << c.name;
    EXPECT_EQ(bill.GetPaperLength(), c.paperLength) << c.name;
    EXPECT_EQ(bill.GetPaperWidth(), c.paperWidth) << c.name;
}

using P = PrinterOrientation;
INSTANTIATE_TEST_SUITE_P(
    Stored, PartialReadTest,
    testing::Values(
        PartialReadCase{"all seven",
                        {{"DX", "10"},
                         {"DY", "-5"},
                         {"ZOOM", "50"},
                         {"Orient", "1"},
                         {"PaperSize", "256"},
                         {"PaperLength", "1400"},
                         {"PaperWidth", "2100"}},
                        {10, -5},
                        50,
                        P::poLandscape,
                        256,
                        1400,
                        2100},
        PartialReadCase{
            "only offset", {{"DX", "10"}, {"DY", "20"}}, {10, 20}, 90, P::poPortrait, 9, 11, 12},
        PartialReadCase{"gap stops later values",
                        {{"DX", "10"}, {"ZOOM", "50"}, {"PaperSize", "8"}},
                        {10, 4},
                        90,
                        P::poPortrait,
                        9,
                        11,
                        12},
        PartialReadCase{"wrong type stops",
                        {{"DX", "1"}, {"DY", "2"}, {"ZOOM", "fifty"}, {"Orient", "1"}},
                        {1, 2},
                        90,
                        P::poPortrait,
                        9,
                        11,
                        12},
        PartialReadCase{
            "zoom below 1 skipped, reading goes on",
            {{"DX", "1"}, {"DY", "2"}, {"ZOOM", "0"}, {"Orient", "1"}, {"PaperSize", "8"}},
            {1, 2},
            90,
            P::poLandscape,
            8,
            11,
            12},
        PartialReadCase{
            "unknown orientation skipped",
            {{"DX", "1"}, {"DY", "2"}, {"ZOOM", "120"}, {"Orient", "7"}, {"PaperSize", "8"}},
            {1, 2},
            120,
            P::poPortrait,
            8,
            11,
            12},
        PartialReadCase{"nothing readable", {{"DY", "2"}}, {3, 4}, 90, P::poPortrait, 9, 11, 12}),
    testing_fakes::CaseName());

TEST_F(SettingsTest, SaveWritesSevenValuesAndConfirms)
{
    bill.SetPrintOrient(P::poLandscape);
    bill.SetPaperSize(256);
    bill.SetPaperLength(1400);
    bill.SetPaperWidth(2100);
    bill.SaveSettings();
    EXPECT_EQ(store.valueCount(kKey), 7u);
    EXPECT_EQ(store.readInt(kKey, "DX"), 3);
    EXPECT_EQ(store.readInt(kKey, "DY"), 4);
    EXPECT_EQ(store.readInt(kKey, "ZOOM"), 90);
    EXPECT_EQ(store.readInt(kKey, "Orient"), 1);
    EXPECT_EQ(store.readInt(kKey, "PaperSize"), 256);
    EXPECT_EQ(store.readInt(kKey, "PaperLength"), 1400);
    EXPECT_EQ(store.readInt(kKey, "PaperWidth"), 2100);
    EXPECT_EQ(messages.shown, (std::vector<std::string>{"提示: 打印设置保存成功!"}));

    // What was saved comes back into a fresh bill.
    std::vector<std::string> otherLog;
    FakeBill other(otherLog);
    other.SetPrintContext(bill.Context());
    other.SetName("Bill1");
    other.SetHostName("TPrintDHD");
    other.AfterLoad();
    EXPECT_EQ(other.GetOffset(), (Point{3, 4}));
    EXPECT_EQ(other.GetPrintOrient(), P::poLandscape);
    EXPECT_EQ(other.GetPaperWidth(), 2100);
}

TEST_F(SettingsTest, DesignTimeSavesNothing)
{
    PrintContext context = bill.Context();
    context.designTime = true;
    bill.SetPrintContext(context);
    bill.SaveSettings();
    EXPECT_FALSE(store.hasKey(kKey));
    EXPECT_EQ(messages.shown, (std::vector<std::string>{"提示: 设计时不保存打印设置!"}));
}

TEST_F(SettingsTest, WriteFailurePropagatesWithoutConfirmation)
{
    store.failWritesAfter(3);
    EXPECT_THROW(bill.SaveSettings(), SettingsError);
    EXPECT_EQ(store.valueCount(kKey), 3u) << "values written before the failure stay";
    EXPECT_TRUE(messages.shown.empty());
}

TEST(SettingsNoStoreTest, LoadIgnoresAndSaveFails)
{
    std::vector<std::string> log;
    FakeBill bill(log);
    bill.LoadSettings();
    EXPECT_EQ(bill.GetZoomRatio(), 100);
    EXPECT_THROW(bill.SaveSettings(), SettingsError);
}

TEST(BillBaseTest, NewBillHasDefaultPageSetup)
{
    std::vector<std::string> log;
    FakeBill bill(log);
    EXPECT_EQ(bill.GetPrintOrient(), P::poPortrait);
    EXPECT_EQ(bill.GetOffset(), (Point{0, 0}));
    EXPECT_EQ(bill.GetPaperSize(), 0);
    EXPECT_EQ(bill.GetPaperLength(), 0);
    EXPECT_EQ(bill.GetPaperWidth(), 0);
    EXPECT_EQ(bill.GetZoomRatio(), 100);
}

TEST(BillBaseTest, PreviewNeedsAWindow)
{
    std::vector<std::string> log;
    FakeBill bill(log);
    EXPECT_THROW(bill.Preview(), std::logic_error);
    PrintContext context;
    IPrintable *shown = nullptr;
    context.showPreview = [&](IPrintable &p, bool maximized, bool modal) {
        shown = &p;
        EXPECT_TRUE(maximized && modal);
    };
    bill.SetPrintContext(context);
    bill.Preview();
    EXPECT_EQ(shown, &bill);
}

} // namespace
} // namespace tally::printing
