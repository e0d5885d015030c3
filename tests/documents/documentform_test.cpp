#include "datapacket/fielderror.h"
#include "documents/documentdef.h"
#include "documents/documentform.h"
#include "formfixtures.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tally::documents {
namespace {

using test::Column;
using test::Row;

DocumentForm makeForm(std::string_view djlx, std::string header, std::string items,
                      std::string title = "")
{
    return DocumentForm(*findDocument(djlx),
                        {std::move(title), "0", std::move(header), std::move(items)},
                        FormatSettings::chinesePrc(), test::fixedNow);
}

std::string fixtureHeader(std::string_view djlx)
{
    const test::HeaderFixture f = test::headerFixture(djlx);
    return test::packet(f.columns, {f.row});
}

std::string fixtureItems(std::string_view djlx, int count)
{
    return test::packet(test::itemColumns(djlx), test::itemRows(djlx, count));
}

std::vector<Column> without(std::vector<Column> columns, std::string_view name)
{
    std::erase_if(columns, [&](const Column &c) { return c.name == name; });
    return columns;
}

std::vector<Column> retyped(std::vector<Column> columns, std::string_view name, const char *type)
{
    for (Column &c : columns)
        if (c.name == name)
            c.type = type;
    return columns;
}

// Body rows and pages: the item count up to the cap, pages rounded up.
struct RowsCase
{
    const char *scenario;
    const char *djlx;
    int items;
    int bodyRows;
    int pages;
};

const RowsCase kRows[] = {
    {"OrderFortyOneRowsTwoPages", "1", 41, 40, 2},
    {"OrderThreeRows", "1", 3, 3, 1},
    {"OrderTwentyThreeRowsOnePage", "1", 23, 23, 1},
    {"LandscapeTwentyThreeRowsTwoPages", "12", 23, 22, 2},
    {"ReceiptThirtyThreeRows", "2", 33, 32, 2},
    {"ListEightRowsOnePage", "3", 8, 8, 1},
    {"ListNineRowsTwoPages", "3", 9, 8, 2},
    {"PurchasePriceNinetyFiveRows", "8", 95, 40, 3},
    {"ReturnThirtySixRows", "11", 36, 36, 1},
    {"QuantitySeventeenRows", "10", 17, 8, 3},
    // Without items: one page with an empty body rather than no page at all.
    {"OrderNoItemsOnePage", "1", 0, 1, 1},
    {"NoticeNoItemsOnePage", "4", 0, 1, 1},
};

class DocumentRows : public ::testing::TestWithParam<RowsCase>
{
};

TEST_P(DocumentRows, SizeTheBodyToTheItems)
{
    const RowsCase &c = GetParam();
    DocumentForm form = makeForm(c.djlx, fixtureHeader(c.djlx), fixtureItems(c.djlx, c.items));
    ASSERT_TRUE(form.load()) << form.loadError();
    EXPECT_EQ(form.itemCount(), static_cast<std::size_t>(c.items));
    EXPECT_EQ(form.bodyRowCount(), c.bodyRows);
    EXPECT_EQ(form.pageCount(), c.pages);
    EXPECT_EQ(form.bindsItems(), c.items > 0);
}

INSTANTIATE_TEST_SUITE_P(Documents, DocumentRows, ::testing::ValuesIn(kRows),
                         [](const auto &p) { return std::string(p.param.scenario); });

// Packets that do not load: the form reports it and prints nothing.
struct LoadFailure
{
    const char *scenario;
    const char *djlx;
    std::string header;
    std::string items;
    const char *tableInMessage;
};

std::vector<LoadFailure> loadFailures()
{
    const test::HeaderFixture order = test::headerFixture("1");
    const test::HeaderFixture ret = test::headerFixture("11");
    return {
        {"MalformedHeader", "1", "<DATAPACKET Version=\"2.0\"><METADATA>", fixtureItems("1", 2),
         "ClientDataSetDHD"},
        {"EmptyHeaderText", "1", "", fixtureItems("1", 2), "ClientDataSetDHD"},
        {"HeaderMissingDeclaredField", "1",
         test::packet(without(order.columns, "HTH"), {order.row}), fixtureItems("1", 2),
         "ClientDataSetDHD"},
        {"HeaderNumberAsText", "1",
         test::packet(retyped(order.columns, "JLBH", "string"), {order.row}), fixtureItems("1", 2),
         "ClientDataSetDHD"},
        {"ItemsMissingDeclaredField", "11", test::packet(ret.columns, {ret.row}),
         test::packet(without(test::itemColumns("11"), "KCPCH"), test::itemRows("11", 2)),
         "tblTHD"},
        {"ItemIntegerAsText", "11", test::packet(ret.columns, {ret.row}),
         test::packet(retyped(test::itemColumns("11"), "JHDBH", "string"), test::itemRows("11", 2)),
         "tblTHD"},
        {"MalformedItems", "3", fixtureHeader("3"), "<DATAPACKET>", "ClientDataSetJSDITEM"},
    };
}

class DocumentLoadFailure : public ::testing::TestWithParam<LoadFailure>
{
};

TEST_P(DocumentLoadFailure, LeavesTheFormUnloaded)
{
    const LoadFailure &c = GetParam();
    DocumentForm form = makeForm(c.djlx, c.header, c.items);
    EXPECT_FALSE(form.load());
    EXPECT_FALSE(form.isLoaded());
    EXPECT_FALSE(form.bindsItems());
    EXPECT_EQ(form.itemCount(), 0u);
    EXPECT_NE(form.loadError().find(c.tableInMessage), std::string::npos) << form.loadError();
}

INSTANTIATE_TEST_SUITE_P(Packets, DocumentLoadFailure, ::testing::ValuesIn(loadFailures()),
                         [](const auto &p) { return std::string(p.param.scenario); });

TEST(DocumentForm, HeaderFieldsBeyondTheDeclaredOnesAreIgnored)
{
    test::HeaderFixture f = test::headerFixture("1");
    f.columns.push_back({"EXTRA", "string", 10});
    f.row.emplace_back("EXTRA", "x");
    DocumentForm form = makeForm("1", test::packet(f.columns, {f.row}), fixtureItems("1", 1));
    ASSERT_TRUE(form.load()) << form.loadError();
    EXPECT_EQ(form.header().fieldCount(), 12);
}

TEST(DocumentForm, HeaderWithoutRowsPrintsEmptyTextsAndZeroNumbers)
{
    const test::HeaderFixture f = test::headerFixture("1");
    DocumentForm form = makeForm("1", test::packet(f.columns, {}), fixtureItems("1", 1));
    ASSERT_TRUE(form.load()) << form.loadError();
    EXPECT_EQ(form.footerText(1, 1, ":pJLBH"), "000000");
    EXPECT_EQ(form.footerText(1, 1, ":pGHS"), "");
    EXPECT_EQ(form.footerText(1, 1, "YXBJ"), "未生效");
    EXPECT_THROW(form.footerText(1, 1, ":pHTH"), datapacket::FieldError);
}

TEST(DocumentForm, DefaultTitleStaysSetForLaterPages)
{
    DocumentForm form = makeForm("1", fixtureHeader("1"), fixtureItems("1", 1));
    ASSERT_TRUE(form.load());
    EXPECT_EQ(form.title(), "");
    EXPECT_EQ(form.footerText(1, 2, ":Ttitle"), "订单打印(未赋值)");
    EXPECT_EQ(form.title(), "订单打印(未赋值)");

    DocumentForm note = makeForm("11", fixtureHeader("11"), fixtureItems("11", 1));
    ASSERT_TRUE(note.load());
    EXPECT_EQ(note.footerText(1, 1, "btTITLE"), "");
    EXPECT_EQ(note.title(), "");
}

TEST(DocumentForm, PreviewOnlyForExactlyOne)
{
    for (const auto &[prev, preview] : std::vector<std::pair<const char *, bool>>{{"1", true},
                                                                                  {"0", false},
                                                                                  {"true", false},
                                                                                  {"", false},
                                                                                  {" 1", false},
                                                                                  {"01", false}}) {
        DocumentForm form(*findDocument("1"), {"", prev, "", ""});
        EXPECT_EQ(form.wantsPreview(), preview) << '"' << prev << '"';
    }
}

TEST(DocumentForm, PrintTimeLeavesOutMidnight)
{
    LocalDateTime midnight = test::fixedNow();
    midnight.hour = midnight.minute = midnight.second = 0;
    DocumentForm form(*findDocument("3"), {"", "0", fixtureHeader("3"), fixtureItems("3", 1)},
                      FormatSettings::chinesePrc(), [midnight] { return midnight; });
    ASSERT_TRUE(form.load());
    EXPECT_EQ(form.footerText(1, 1, "DYSJ"), "2026-12-10");
}

TEST(DocumentForm, CurrencyFollowsTheUserSettings)
{
    FormatSettings fs = FormatSettings::chinesePrc();
    fs.currencyString = "€";
    fs.currencyFormat = 3;
    fs.thousandSeparator = '.';
    fs.decimalSeparator = ',';
    test::HeaderFixture f = test::headerFixture("4");
    f.row = test::withChanges(
        f.row,
        {{"JSJE_13", "28969,12"}, {"ZZSJE_13", "3765,98"}, {"KKJE", "308,5"}, {"MBZKJE", "12,5"}});
    DocumentForm form(*findDocument("4"),
                      {"", "0", test::packet(f.columns, {f.row}), fixtureItems("4", 1)}, fs,
                      test::fixedNow);
    ASSERT_TRUE(form.load()) << form.loadError();
    EXPECT_EQ(form.footerText(1, 1, ":SJFKJE"), "32.426,60 €");
    EXPECT_EQ(form.footerText(1, 1, "MBZKJE"), "满百折扣：12,50 €");
}

// The price change notes put the header's reason into cells reading "YY".
struct CellCase
{
    const char *djlx;
    const char *text;
    const char *expected;
};

TEST(DocumentForm, CellCallbacks)
{
    const CellCase cases[] = {
        {"8", "YY", "供应商原料涨价"},
        {"8", "yy", "yy"},
        {"8", "商品编码", "商品编码"},
        {"9", "YY", "进价调整"},
        {"11", "YY", "YY"},
        {"10", "btTITLE", "btTITLE"},
        {"1", "YY", "YY"},
    };
    for (const CellCase &c : cases) {
        DocumentForm form = makeForm(c.djlx, fixtureHeader(c.djlx), fixtureItems(c.djlx, 1));
        ASSERT_TRUE(form.load()) << c.djlx;
        EXPECT_EQ(form.cellText(1, 1, c.text), c.expected) << c.djlx << " " << c.text;
    }
    EXPECT_TRUE(findDocument("11")->hasCellCallback);
    EXPECT_FALSE(findDocument("1")->hasCellCallback);
}

TEST(DocumentForm, ReasonCellWithoutReasonFieldFails)
{
    test::HeaderFixture f = test::headerFixture("8");
    DocumentForm form =
        makeForm("8", test::packet(without(f.columns, "REASON"), {f.row}), fixtureItems("8", 1));
    ASSERT_TRUE(form.load());
    EXPECT_THROW(form.cellText(1, 1, "YY"), datapacket::FieldError);
}

// Cost prices: blank for 0 and for no value, else four decimals with grouping.
TEST(DocumentForm, CostPriceCellsBlankZeroAndNull)
{
    const std::vector<Column> columns = test::itemColumns("9");
    const std::vector<std::pair<std::optional<std::string>, std::string>> prices = {
        {"6.1947", "6.1947"}, {"1234.5", "1,234.5000"}, {"0", ""},
        {std::nullopt, ""},   {"-2.5", "-2.5000"},      {"1234567.12345", "1,234,567.1235"},
    };
    std::vector<Row> rows;
    for (const auto &[price, text] : prices) {
        Row row = test::itemRows("9", 1).front();
        row = test::withChanges(row, {{"OLD_JHDJ", price}, {"NEW_JHDJ", price}});
        rows.push_back(row);
    }
    DocumentForm form = makeForm("9", fixtureHeader("9"), test::packet(columns, rows));
    ASSERT_TRUE(form.load()) << form.loadError();
    datapacket::DataPacketTable &items = form.items();
    items.first();
    for (const auto &[price, text] : prices) {
        EXPECT_EQ(items.fieldByName("OLD_JHDJ").displayText(), text) << price.value_or("null");
        EXPECT_EQ(items.fieldByName("NEW_JHDJ").displayText(), text) << price.value_or("null");
        items.next();
    }
}

TEST(DocumentForm, DeclaredFormatsShowInTheTables)
{
    DocumentForm receipt = makeForm("2", fixtureHeader("2"), fixtureItems("2", 1));
    ASSERT_TRUE(receipt.load()) << receipt.loadError();
    EXPECT_EQ(receipt.header().fieldByName("JLBH").displayText(), "003005");
    // The receipt's items keep the packet's own fields in packet order.
    EXPECT_EQ(receipt.items().fieldCount(), 10);
    EXPECT_EQ(receipt.items().field(1).name(), "BARCODE");

    test::HeaderFixture f = test::headerFixture("8");
    Row item = test::withChanges(test::itemRows("8", 1).front(), {{"LSDJ", "12.5"}});
    DocumentForm price = makeForm("8", test::packet(f.columns, {f.row}),
                                  test::packet(test::itemColumns("8"), {item}));
    ASSERT_TRUE(price.load()) << price.loadError();
    EXPECT_EQ(price.items().fieldByName("LSDJ").displayText(), "￥12.50");
    EXPECT_EQ(price.items().fieldByName("SPGG").displayLabel(), "规格");
}

} // namespace
} // namespace tally::documents
