// Variable texts of every document, from a fixture header packet per document.
#include "datapacket/fielderror.h"
#include "documents/documentdef.h"
#include "documents/documentform.h"
#include "formfixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

namespace tally::documents {
namespace {

using test::Column;
using test::Row;

struct VariableCase
{
    const char *scenario;
    const char *djlx;
    Row changes; // header values replacing the fixture's (nullopt: no value)
    const char *title;
    int page;
    int pages;
    const char *variable;
    std::optional<std::string> expected; // nullopt: a header read fails
    const char *dropColumn = nullptr;    // a header field the packet leaves out
    const char *columnType = nullptr;    // with dropColumn: re-add it with this type
};

const std::optional<std::string> kFails = std::nullopt;

// clang-format off
const VariableCase kCases[] = {
    // Order form: the title group, then the value group on what the title left.
    {"OrderTitleDefault", "1", {}, "", 1, 1, ":Ttitle", "订单打印(未赋值)"},
    {"OrderTitleGiven", "1", {}, "蔬菜订货单", 1, 1, ":Ttitle", "蔬菜订货单"},
    {"OrderTitleNamingPageVariable", "1", {}, ":PAGE", 1, 3, ":Ttitle", "共3页第1页"},
    {"OrderPage", "1", {}, "", 2, 2, ":PAGE", "共2页第2页"},
    {"OrderNumberLong", "1", {}, "", 1, 1, ":pJLBH", "30005686"},
    {"OrderNumberPadded", "1", {{"JLBH", "12"}}, "", 1, 1, ":pJLBH", "000012"},
    {"OrderContractAsInteger", "1", {{"HTH", "0815"}}, "", 1, 1, ":pHTH", "815"},
    {"OrderContractNotInteger", "1", {{"HTH", "HT-12"}}, "", 1, 1, ":pHTH", kFails},
    {"OrderContractEmpty", "1", {{"HTH", ""}}, "", 1, 1, ":pHTH", kFails},
    {"OrderSupplier", "1", {}, "", 1, 1, ":pGHS", "上海光明乳业有限公司"},
    {"OrderDepartment", "1", {}, "", 1, 1, ":pDHBM", "生鲜部"},
    {"OrderValidUntilWithoutColon", "1", {}, "", 1, 1, "pRQ", "2026-12-31"},
    {"OrderModeAsStored", "1", {{"HSFS", "x"}}, "", 1, 1, ":pJYFS", "x"},
    {"OrderClerk", "1", {}, "", 1, 1, ":ZDR", "王芳"},
    {"OrderApprover", "1", {}, "", 1, 1, ":SHR", "李强"},
    {"OrderEntryDate", "1", {}, "", 1, 1, ":DJSJ", "2026-12-08"},
    {"OrderApprovalDate", "1", {}, "", 1, 1, ":SHRQ", "2026-12-09"},
    {"OrderValid", "1", {}, "", 1, 1, "YXBJ", "有效"},
    {"OrderNotYetValid", "1", {{"SHRMC", std::nullopt}}, "", 1, 1, "YXBJ", "未生效"},
    {"OrderUnknownNameStays", "1", {}, "", 1, 1, ":XYZ", ":XYZ"},
    {"OrderNamesAreCaseSensitive", "1", {}, "", 1, 1, ":pjlbh", ":pjlbh"},
    {"OrderOtherDocumentsNameStays", "1", {}, "", 1, 1, ":Title", ":Title"},
    {"LandscapeTitleDefault", "12", {}, "", 1, 1, ":Ttitle", "订单打印(未赋值)"},
    {"LandscapeNumber", "12", {{"JLBH", "12"}}, "", 1, 1, ":pJLBH", "000012"},
    {"LandscapePage", "12", {}, "", 1, 2, ":PAGE", "共2页第1页"},

    // Purchase receipt.
    {"ReceiptTitleDefault", "2", {}, "", 1, 1, ":Title", "进货单(未赋值)"},
    {"ReceiptNumberPadded", "2", {}, "", 1, 1, ":pJLBH", "003005"},
    {"ReceiptNumberLong", "2", {{"JLBH", "30005686"}}, "", 1, 1, ":pJLBH", "30005686"},
    {"ReceiptModeJointVenture", "2", {}, "", 1, 1, ":JYFS", "联营"},
    {"ReceiptModeDistribution", "2", {{"HSFS", "0"}}, "", 1, 1, ":JYFS", "经销商品"},
    {"ReceiptModeCounterRent", "2", {{"HSFS", "2"}}, "", 1, 1, ":JYFS", "出租柜组商品"},
    {"ReceiptModeLease", "2", {{"HSFS", "5"}}, "", 1, 1, ":JYFS", "租赁"},
    {"ReceiptModeUnknownCode", "2", {{"HSFS", "6"}}, "", 1, 1, ":JYFS", ""},
    {"ReceiptModeNotANumber", "2", {{"HSFS", "x"}}, "", 1, 1, ":JYFS", ""},
    {"ReceiptModeEmpty", "2", {{"HSFS", ""}}, "", 1, 1, ":JYFS", ""},
    {"ReceiptPrintTimeTwoColons", "2", {}, "", 1, 1, "::DYSJ", "2026-12-10 9:05:03"},
    {"ReceiptPrintTimeOneColonStays", "2", {}, "", 1, 1, ":DYSJ", ":DYSJ"},
    {"ReceiptContractAsText", "2", {}, "", 1, 1, ":HT", "0815"},
    {"ReceiptDepartment", "2", {}, "", 1, 1, ":BM", "0102"},
    {"ReceiptEntryDate", "2", {}, "", 1, 1, ":ZDRQ", "2026-12-07"},
    {"ReceiptSupplier", "2", {}, "", 1, 1, ":GHFMC", "100234"},
    {"ReceiptOrderNumber", "2", {}, "", 1, 1, ":ydh", "30005686"},
    {"ReceiptStore", "2", {}, "", 1, 1, ":RKDD", "A01"},
    {"ReceiptStoreDate", "2", {}, "", 1, 1, ":RKSJ", "2026-12-08"},
    {"ReceiptApproverIsExecutor", "2", {}, "", 1, 1, ":SHR", "孙立"},
    {"ReceiptClerk", "2", {}, "", 1, 1, ":ZDR", "赵敏"},
    {"ReceiptPage", "2", {}, "", 3, 4, ":PAGE", "共4页第3页"},

    // Settlement list.
    {"ListTitleDefault", "3", {}, "", 1, 1, ":Title", "结算清单打印(未赋值)"},
    {"ListNumberSixDigits", "3", {}, "", 1, 1, "JLBH", "166753"},
    {"ListNumberPadded", "3", {{"JLBH", "12"}}, "", 1, 1, "JLBH", "000012"},
    {"ListSupplier", "3", {}, "", 1, 1, "WLDW", "杭州娃哈哈集团有限公司"},
    {"ListContract", "3", {}, "", 1, 1, "HTH", "2031"},
    {"ListContractNotInteger", "3", {{"HTH", ""}}, "", 1, 1, "HTH", kFails},
    {"ListApprovalDate", "3", {}, "", 1, 1, "ZXRQ", "2026-12-05"},
    {"ListApprover", "3", {}, "", 1, 1, "SHR_NAME", "周敏"},
    {"ListPrintTime", "3", {}, "", 1, 1, "DYSJ", "2026-12-10 9:05:03"},
    {"ListMonth", "3", {}, "", 1, 1, "YEARMONTH", "202611"},
    {"ListAmountsAsStored", "3", {}, "", 1, 1, "BYXSJE", "35210.5"},
    {"ListSales", "3", {}, "", 1, 1, "XSJE", "36120"},
    {"ListCost", "3", {}, "", 1, 1, "XSCB", "30050.2"},
    {"ListDeductions", "3", {}, "", 1, 1, "KKJE", "308.5"},
    {"ListSettled", "3", {}, "", 1, 1, "JSJE", "28969.12"},
    {"ListPage", "3", {}, "", 1, 2, ":PAGE", "共2页第1页"},

    // Settlement notice: exact fixed-point sums in the currency format.
    {"NoticeTitleDefault", "4", {}, "", 1, 1, ":TITLE", "商品结算通知单(未赋值)"},
    {"NoticeNumberPlain", "4", {}, "", 1, 1, ":pJLBH", "166753"},
    {"NoticeNumberNotPadded", "4", {{"JLBH", "12"}}, "", 1, 1, ":pJLBH", "12"},
    {"NoticeContractAsText", "4", {{"HTH", "0815"}}, "", 1, 1, ":HTH", "0815"},
    {"NoticeMonth", "4", {}, "", 1, 1, ":YEARMONTH", "202611"},
    {"NoticePrintDate", "4", {}, "", 1, 1, ":DYRQ", "2026-12-10"},
    {"NoticeSupplier", "4", {}, "", 1, 1, ":GHDWMC", "杭州娃哈哈集团有限公司"},
    {"NoticeDepartment", "4", {}, "", 1, 1, ":DEPT", "百货部"},
    {"NoticePrice", "4", {}, "", 1, 1, ":JK", "￥28,969.12"},
    {"NoticeTax", "4", {}, "", 1, 1, ":SJ", "￥3,765.98"},
    {"NoticeTotal", "4", {}, "", 1, 1, ":JSHJ", "￥32,735.10"},
    {"NoticePayable", "4", {}, "", 1, 1, ":SJFKJE", "￥32,426.60"},
    {"NoticePrice17", "4", {{"JSJE_17", "1000.005"}}, "", 1, 1, ":JK17", "￥1,000.01"},
    {"NoticeTax17", "4", {}, "", 1, 1, ":SJ17", "￥0.00"},
    {"NoticeTotal17", "4", {{"JSJE_17", "100"}, {"ZZSJE_17", "17"}}, "", 1, 1, ":JSHJ17",
     "￥117.00"},
    {"NoticePrice13", "4", {}, "", 1, 1, ":JK13", "￥28,969.12"},
    {"NoticeTax13", "4", {}, "", 1, 1, ":SJ13", "￥3,765.98"},
    {"NoticeTotal13Exact", "4", {{"JSJE_13", "0.1"}, {"ZZSJE_13", "0.2"}}, "", 1, 1,
     ":JSHJ13", "￥0.30"},
    {"NoticePriceOther", "4", {{"JSJE_QT", "55.5"}}, "", 1, 1, ":JKQT", "￥55.50"},
    {"NoticeTaxOther", "4", {{"ZZSJE_QT", "3.33"}}, "", 1, 1, ":SJQT", "￥3.33"},
    {"NoticeTotalOther", "4", {{"JSJE_QT", "55.5"}, {"ZZSJE_QT", "3.33"}}, "", 1, 1,
     ":JSHJQT", "￥58.83"},
    {"NoticeLargeAmountKeepsEveryDigit", "4", {{"JSJE_13", "123456789.12"}}, "", 1, 1, ":JK",
     "￥123,456,789.12"},
    {"NoticePayableNegative", "4", {{"JSJE_13", "100"}, {"ZZSJE_13", "0"}}, "", 1, 1,
     ":SJFKJE", "￥-208.50"},
    {"NoticeEmptyAmountFails", "4", {{"JSJE_17", ""}}, "", 1, 1, ":JK", kFails},
    {"NoticeTextAmountFails", "4", {{"KKJE", "无"}}, "", 1, 1, ":SJFKJE", kFails},
    {"NoticeUnusedEmptyAmountIsFine", "4", {{"JSJE_17", ""}}, "", 1, 1, ":JK13",
     "￥28,969.12"},
    {"NoticeSalesThisMonth", "4", {}, "", 1, 1, ":SJXSJE", "￥35,210.50"},
    {"NoticeSalesSettledOne", "4", {{"TQJS", "1"}}, "", 1, 1, ":SJXSJE", "￥36,120.00"},
    {"NoticeSalesMonthEnd", "4", {{"TQJS", "月末结算"}}, "", 1, 1, ":SJXSJE", "￥36,120.00"},
    {"NoticeFullHundredDiscount", "4", {}, "", 1, 1, "MBZKJE", "满百折扣：￥12.50"},
    {"NoticeNoDiscount", "4", {{"MBZKJE", ""}}, "", 1, 1, "MBZKJE", ""},
    {"NoticeRemark", "4", {}, "", 1, 1, "BZ", "备注:  x"},
    {"NoticeNoRemark", "4", {{"BZ", ""}}, "", 1, 1, "BZ", ""},
    {"NoticeStore", "4", {}, "", 1, 1, "SCMC", "华联超市城东店"},
    {"NoticePhone", "4", {}, "", 1, 1, "PHONE", "0571-87654321"},
    {"NoticeAddress", "4", {}, "", 1, 1, "ADDR", "杭州市上城区解放路88号"},
    {"NoticeTaxNumber", "4", {}, "", 1, 1, "GSH", "330102123456789"},
    {"NoticeBank", "4", {}, "", 1, 1, "KHH", "工商银行解放路支行"},
    {"NoticeAccount", "4", {}, "", 1, 1, "ZH", "1202021209900012345"},

    // Dealer settlement note: its own names first, then the notice's.
    {"DealerPageIndexFirst", "5", {}, "", 1, 2, ":PAGE", "第1页共2页"},
    {"DealerNumber", "5", {{"JLBH", "12"}}, "", 1, 1, "JLBH", "12"},
    {"DealerContract", "5", {}, "", 1, 1, "HTH", "2031"},
    {"DealerSupplier", "5", {}, "", 1, 1, "GHDW", "杭州娃哈哈集团有限公司"},
    {"DealerDepartment", "5", {}, "", 1, 1, "BM", "百货部"},
    {"DealerApprover", "5", {}, "", 1, 1, "SHR", "周敏"},
    {"DealerApprovalDate", "5", {}, "", 1, 1, "SHRQ", "2026-12-05"},
    {"DealerPrintTime", "5", {}, "", 1, 1, "DYSJ", "2026-12-10 9:05:03"},
    {"DealerOwnTitle", "5", {}, "", 1, 1, ":Title", "经销商品单(未赋值)"},
    {"DealerLayoutTitleUsesOwnDefault", "5", {}, "", 1, 1, ":TITLE", "经销商品单(未赋值)"},
    {"DealerLayoutNumber", "5", {}, "", 1, 1, ":pJLBH", "166753"},
    {"DealerLayoutPrice", "5", {}, "", 1, 1, ":JK", "￥28,969.12"},
    {"DealerLayoutPayable", "5", {}, "", 1, 1, ":SJFKJE", "￥32,426.60"},
    {"DealerLayoutDiscount", "5", {}, "", 1, 1, "MBZKJE", "满百折扣：￥12.50"},
    {"DealerLayoutRemark", "5", {}, "", 1, 1, "BZ", "备注:  x"},

    // Purchase price change note: three groups.
    {"PurchasePriceTitleDefault", "8", {}, "", 1, 1, ":Title", "商品结算通知单(未赋值)"},
    {"PurchasePriceTitleNamingLaterGroup", "8", {}, "HTH", 1, 1, ":Title", "2031"},
    {"PurchasePricePage", "8", {}, "", 2, 3, ":PAGE", "第2页共3页"},
    {"PurchasePriceNumber", "8", {}, "", 1, 1, "JLBH", "000012"},
    {"PurchasePriceEntryDate", "8", {}, "", 1, 1, "ZDRQ", "2026-12-01"},
    {"PurchasePriceClerk", "8", {}, "", 1, 1, "ZDR", "陈静"},
    {"PurchasePriceApprover", "8", {}, "", 1, 1, "SHR", "刘洋"},
    {"PurchasePriceApprovalDate", "8", {}, "", 1, 1, "SHRQ", "2026-12-02"},
    {"PurchasePriceExecutor", "8", {}, "", 1, 1, "ZXR", "黄磊"},
    {"PurchasePriceExecutionDate", "8", {}, "", 1, 1, "ZXRQ", "2026-12-03"},
    {"PurchasePricePrintTime", "8", {}, "", 1, 1, "DYSJ", "2026-12-10 9:05:03"},
    {"PurchasePriceValidityAsStored", "8", {}, "", 1, 1, "yxbj", "已确认"},
    {"PurchasePriceSupplierBlank", "8", {}, "", 1, 1, "GHDW", ""},
    {"PurchasePriceSupplierCodeBlank", "8", {}, "", 1, 1, "GHDW_CODE", ""},
    {"PurchasePriceContract", "8", {}, "", 1, 1, "HTH", "2031"},
    {"PurchasePriceContractMissing", "8", {}, "", 1, 1, "HTH", kFails, "HTH"},
    {"PurchasePriceNumberAsText", "8", {{"JLBH", "12"}}, "", 1, 1, "JLBH", "000012", "JLBH",
     "string"},

    // Cost price change note: four groups.
    {"CostPriceTitleDefault", "9", {}, "", 1, 1, ":Title", "商品结算通知单(未赋值)"},
    {"CostPricePage", "9", {}, "", 1, 1, ":PAGE", "第1页共1页"},
    {"CostPriceNumber", "9", {}, "", 1, 1, "JLBH", "005678"},
    {"CostPriceEntryDate", "9", {}, "", 1, 1, "ZDRQ", "2026-12-02"},
    {"CostPriceClerk", "9", {}, "", 1, 1, "ZDR", "陈静"},
    {"CostPriceApproverIsExecutor", "9", {}, "", 1, 1, "SHR", "黄磊"},
    {"CostPricePrintTime", "9", {}, "", 1, 1, "DYSJ", "2026-12-10 9:05:03"},
    {"CostPriceValid", "9", {}, "", 1, 1, "yxbj", "有效"},
    {"CostPriceNotYetValid", "9", {{"ZXRMC", std::nullopt}}, "", 1, 1, "yxbj", "未生效"},
    {"CostPriceDepartment", "9", {}, "", 1, 1, "BM", "0201"},
    {"CostPriceSupplierAlwaysBlank", "9", {}, "", 1, 1, "GHDW", ""},
    {"CostPriceSupplierCodeBlank", "9", {}, "", 1, 1, "GHDW_CODE", ""},
    {"CostPriceContract", "9", {}, "", 1, 1, "HTH", "0815"},
    {"CostPriceApprovalDateNotAnswered", "9", {}, "", 1, 1, "SHRQ", "SHRQ"},

    // Return note.
    {"ReturnTitleEmptyHasNoDefault", "11", {}, "", 1, 1, "btTITLE", ""},
    {"ReturnTitleGiven", "11", {}, "返厂单", 1, 1, "btTITLE", "返厂单"},
    {"ReturnNumberLong", "11", {}, "", 1, 1, "btJLBH", "6022190"},
    {"ReturnNumberPadded", "11", {{"JLBH", "12"}}, "", 1, 1, "btJLBH", "000012"},
    {"ReturnDepartment", "11", {}, "", 1, 1, "btDEPTID", "0301"},
    {"ReturnContract", "11", {}, "", 1, 1, "btHTH", "0815"},
    {"ReturnSupplierCodeBlank", "11", {}, "", 1, 1, "btGHDWDm", ""},
    {"ReturnDate", "11", {}, "", 1, 1, "btTHRQ", "2026-12-06"},
    {"ReturnEntryDate", "11", {}, "", 1, 1, "btZDRQ", "2026-12-04"},
    {"ReturnPrintTime", "11", {}, "", 1, 1, "btDYSJ", "2026-12-10 9:05:03"},
    {"ReturnClerk", "11", {}, "", 1, 1, "bwZDR", "吴刚"},
    {"ReturnApprover", "11", {}, "", 1, 1, "bwSHR", "郑华"},
    {"ReturnPage", "11", {}, "", 1, 2, "btPage", "共2页第1页"},
    {"ReturnBoxCountBlank", "11", {}, "", 1, 1, ":YJZS", ""},
    {"ReturnBoxNumberBlank", "11", {}, "", 1, 1, ":YJBH", ""},
    {"ReturnModeLease", "11", {}, "", 1, 1, ":HSFS", "租赁"},
    {"ReturnModeTwoIsOther", "11", {{"HSFS", "2"}}, "", 1, 1, ":HSFS", "其它"},
    {"ReturnModeDistribution", "11", {{"HSFS", "0"}}, "", 1, 1, ":HSFS", "经销"},
    {"ReturnModeConsignment", "11", {{"HSFS", "1"}}, "", 1, 1, ":HSFS", "代销"},
    {"ReturnModeJointVenture", "11", {{"HSFS", "3"}}, "", 1, 1, ":HSFS", "联营"},
    {"ReturnSenderBlank", "11", {}, "", 1, 1, "bwSENDER", ""},
    {"ReturnReceiverBlank", "11", {}, "", 1, 1, "bwRECEIVER", ""},
    {"ReturnSupplierNameNotAnswered", "11", {}, "", 1, 1, "btGHDWName", "btGHDWName"},
    {"ReturnModeTextNotInteger", "11", {{"HSFS", "x"}}, "", 1, 1, ":HSFS", kFails, "HSFS",
     "string"},

    // Return note, quantity copy.
    {"QuantityTitleEmpty", "10", {}, "", 1, 1, "btTITLE", ""},
    {"QuantityNumberLong", "10", {}, "", 1, 1, "btJLBH", "6022190"},
    {"QuantityNumberNotPadded", "10", {{"JLBH", "12"}}, "", 1, 1, "btJLBH", "12"},
    {"QuantitySupplierNameBlank", "10", {}, "", 1, 1, "btGHDWName", ""},
    {"QuantitySupplierCodeBlank", "10", {}, "", 1, 1, "btGHDWDm", ""},
    {"QuantityModeLease", "10", {}, "", 1, 1, ":HSFS", "租赁"},
    {"QuantityModeTwoIsOther", "10", {{"HSFS", "2"}}, "", 1, 1, ":HSFS", "其它"},
    {"QuantityModeAsText", "10", {{"HSFS", "3"}}, "", 1, 1, ":HSFS", "联营", "HSFS", "string"},
    {"QuantityPage", "10", {}, "", 3, 3, "btPage", "共3页第3页"},
    {"QuantityApprover", "10", {}, "", 1, 1, "bwSHR", "郑华"},
    {"QuantitySenderNotAnswered", "10", {}, "", 1, 1, "bwSENDER", "bwSENDER"},
};
// clang-format on

class DocumentVariables : public ::testing::TestWithParam<VariableCase>
{
};

std::string headerPacket(const VariableCase &c)
{
    test::HeaderFixture fixture = test::headerFixture(c.djlx);
    Row row = test::withChanges(fixture.row, c.changes);
    if (c.dropColumn) {
        const auto match = [&](const Column &col) { return col.name == c.dropColumn; };
        fixture.columns.erase(std::remove_if(fixture.columns.begin(), fixture.columns.end(), match),
                              fixture.columns.end());
        if (c.columnType)
            fixture.columns.push_back({c.dropColumn, c.columnType, 10});
        else
            std::erase_if(row, [&](const auto &v) { return v.first == c.dropColumn; });
    }
    return test::packet(fixture.columns, {row});
}

TEST_P(DocumentVariables, GivesText)
{
    const VariableCase &c = GetParam();
    const DocumentDef *def = findDocument(c.djlx);
    ASSERT_NE(def, nullptr);
    DocumentForm form(*def,
                      {c.title, "0", headerPacket(c),
                       test::packet(test::itemColumns(c.djlx), test::itemRows(c.djlx, 2))},
                      FormatSettings::chinesePrc(), test::fixedNow);
    ASSERT_TRUE(form.load()) << form.loadError();
    if (c.expected)
        EXPECT_EQ(form.footerText(c.page, c.pages, c.variable), *c.expected);
    else
        EXPECT_THROW(form.footerText(c.page, c.pages, c.variable), datapacket::FieldError);
}

INSTANTIATE_TEST_SUITE_P(AllDocuments, DocumentVariables, ::testing::ValuesIn(kCases),
                         [](const auto &p) { return std::string(p.param.scenario); });

} // namespace
} // namespace tally::documents
