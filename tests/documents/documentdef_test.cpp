#include "documents/documentdef.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace tally::documents {
namespace {

TEST(DocumentDefs, TenDocumentsWithUniqueCodesClassesAndWindows)
{
    std::set<std::string_view> codes, classes, windows;
    for (const DocumentDef &d : documentDefs()) {
        codes.insert(d.djlx);
        classes.insert(d.className);
        windows.insert(d.windowName);
        EXPECT_EQ(findDocument(d.djlx), &d);
        EXPECT_EQ(findDocumentByClass(d.className), &d);
        EXPECT_EQ(d.layoutName, d.className) << "each form prints its own built-in layout";
        EXPECT_FALSE(d.footerGroups.empty()) << d.className;
    }
    EXPECT_EQ(codes.size(), 10u);
    EXPECT_EQ(classes.size(), 10u);
    EXPECT_EQ(windows.size(), 10u);
}

TEST(DocumentDefs, CodesAreComparedExactly)
{
    for (const char *code : {"0", "01", " 1", "1 ", "6", "7", "13", ""})
        EXPECT_EQ(findDocument(code), nullptr) << '"' << code << '"';
}

struct DefCase
{
    const char *djlx;
    const char *className;
    const char *windowName;
    const char *caption;
    int width, height;
    const char *billName;
    std::optional<std::string_view> defaultTitle;
    int cap;
    std::size_t headerFields, itemFields;
    bool cellCallback;
};

const DefCase kDefs[] = {
    {"1", "TPrintDHD", "PrintDHD", "打印订货单", 1044, 540, "Bill1", "订单打印(未赋值)", 40, 12, 11,
     false},
    {"12", "TPrintDHD_HX", "PrintDHD_HX", "打印订货单横向", 1044, 540, "Bill1", "订单打印(未赋值)",
     22, 12, 13, false},
    {"2", "TPrintJHD", "PrintJHD", "打印进货单", 1044, 540, "Bill1", "进货单(未赋值)", 32, 11, 0,
     false},
    {"3", "TPrintJSD", "PrintJSD", "打印结算单", 1044, 540, "Bill1", "结算清单打印(未赋值)", 8, 20,
     10, false},
    {"4", "TPrintJSKKD", "PrintJSKKD", "打印扣款单", 1044, 540, "Bill1", "商品结算通知单(未赋值)",
     8, 28, 4, false},
    {"5", "TPrintJXJSD", "PrintJXJSD", "打印经销结算单", 1044, 540, "Bill1", "经销商品单(未赋值)",
     8, 28, 4, false},
    {"8", "TprintSPCGBJD", "printSPCGBJD", "打印采购价变进价单", 1288, 551, "Bill1",
     "商品结算通知单(未赋值)", 40, 0, 11, true},
    {"9", "TprintJJBJD", "printJJBJD", "打印变进价单", 1288, 551, "Bill1", "商品结算通知单(未赋值)",
     8, 0, 11, true},
    {"11", "TPrintTHD", "PrintTHD", "返厂单打印", 1552, 850, "billTHD", std::nullopt, 36, 0, 10,
     true},
    {"10", "TPrintTHD_SLL", "PrintTHD_SLL", "返厂单打印_数量联", 829, 388, "billTHD", std::nullopt,
     8, 0, 6, true},
};

class DocumentDefTable : public ::testing::TestWithParam<DefCase>
{
};

TEST_P(DocumentDefTable, MatchesTheDocumentList)
{
    const DefCase &c = GetParam();
    const DocumentDef *d = findDocument(c.djlx);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->className, c.className);
    EXPECT_EQ(d->windowName, c.windowName);
    EXPECT_EQ(d->caption, c.caption);
    EXPECT_EQ(d->width, c.width);
    EXPECT_EQ(d->height, c.height);
    EXPECT_EQ(d->billName, c.billName);
    EXPECT_EQ(d->defaultTitle, c.defaultTitle);
    EXPECT_EQ(d->bodyRowCap, c.cap);
    EXPECT_EQ(d->headerFields.size(), c.headerFields);
    EXPECT_EQ(d->itemFields.size(), c.itemFields);
    EXPECT_EQ(d->hasCellCallback, c.cellCallback);
}

INSTANTIATE_TEST_SUITE_P(All, DocumentDefTable, ::testing::ValuesIn(kDefs),
                         [](const auto &p) { return std::string(p.param.className); });

// Body columns show fields by position, so the declaration order matters.
TEST(DocumentDefs, ItemFieldOrderFollowsTheLayoutColumns)
{
    const auto names = [](std::string_view djlx) {
        std::string out;
        for (const FieldSpec &f : findDocument(djlx)->itemFields)
            out += std::string(f.name) + " ";
        return out;
    };
    EXPECT_EQ(names("1"), "SPCODE NAME SPGG UNIT SPXS BZHL SPJS JXSL JHDJ_HS SPWKSL JHJE_HS ");
    EXPECT_EQ(names("12"), "SPCODE BARCODE NAME SPGG SCRQ UNIT SPXS BZHL SPJS JXSL JHDJ_HS "
                           "SPWKSL JHJE_HS ");
    EXPECT_EQ(names("9"), "SPCODE NAME SPGG BJSL OLD_JHDJ NEW_JHDJ BJCEBHS BJCESJ OLD_KCPCH "
                          "NEW_KCPCH JSHJ ");
    EXPECT_EQ(names("10"), "SPCODE NAME SPGG THJS BZHL THXS ");
}

TEST(DocumentDefs, SettlementHeadersShareTheFirstNineteenFields)
{
    const auto list = findDocument("3")->headerFields;
    const auto notice = findDocument("4")->headerFields;
    for (std::size_t i = 0; i < 19; ++i)
        EXPECT_EQ(list[i].name, notice[i].name) << i;
    EXPECT_EQ(list[19].name, "BZ");
    EXPECT_EQ(list[19].size, 100);
    EXPECT_EQ(notice[19].name, "TQJS");
    EXPECT_EQ(notice[26].name, "BZ");
    EXPECT_EQ(notice[26].size, 30);
    EXPECT_EQ(notice[27].name, "MBZKJE");
}

TEST(DocumentDefs, FieldDefsCarryFormatsLabelsAndCallbacks)
{
    const std::vector<datapacket::FieldDef> receipt = toFieldDefs(findDocument("2")->headerFields);
    EXPECT_EQ(receipt[0].displayFormat, "000000");
    EXPECT_TRUE(receipt[4].fixedLength);
    EXPECT_FALSE(receipt[1].fixedLength);

    const std::vector<datapacket::FieldDef> cost = toFieldDefs(findDocument("9")->itemFields);
    EXPECT_EQ(cost[2].displayLabel, "规格");
    EXPECT_TRUE(static_cast<bool>(cost[4].textCallback));
    EXPECT_TRUE(static_cast<bool>(cost[5].textCallback));
    EXPECT_FALSE(static_cast<bool>(cost[3].textCallback));
    EXPECT_TRUE(cost[6].currency);
    EXPECT_EQ(cost[8].kind, datapacket::FieldKind::Int32);
}

} // namespace
} // namespace tally::documents
