// Variable tables of the document forms: which layout variable gets which
// text. Each group is tested in order, first match only; a later group works
// on the text as the earlier groups left it.
#include "documents/documenttables.h"

#include <array>

namespace tally::documents::tables {

namespace {

using V = ValueRule;

constexpr std::array kReceiptModeEntries{
    ModeEntry{0, "经销商品"}, ModeEntry{1, "代销商品"}, ModeEntry{2, "出租柜组商品"},
    ModeEntry{3, "联营"},     ModeEntry{4, "物扣"},     ModeEntry{5, "租赁"},
};
// The purchase receipt reads its mode as text; anything else prints empty.
constexpr ModeTable kReceiptModes{kReceiptModeEntries, "", true};

constexpr std::array kReturnModeEntries{
    ModeEntry{0, "经销"},
    ModeEntry{1, "代销"},
    ModeEntry{3, "联营"},
    ModeEntry{4, "租赁"},
};
constexpr ModeTable kReturnModes{kReturnModeEntries, "其它", false};

constexpr VariableRule rule(std::string_view name, ValueRule r, std::string_view source = {})
{
    return {name, r, source};
}
constexpr VariableRule sum(std::string_view name, std::string_view expression)
{
    return {name, V::CurrencySum, expression};
}

// Order form and its landscape variant.
constexpr std::array kOrderTitle{rule(":Ttitle", V::Title)};
constexpr std::array kOrderRules{
    rule(":PAGE", V::PageCountFirst),     rule(":pJLBH", V::SixDigits, "JLBH"),
    rule(":pHTH", V::Integer, "HTH"),     rule(":pGHS", V::Text, "NAME"),
    rule(":pDHBM", V::Text, "DEPT_NAME"), rule("pRQ", V::Text, "YXQ"),
    rule(":pJYFS", V::Text, "HSFS"),      rule(":ZDR", V::Text, "DJRMC"),
    rule(":SHR", V::Text, "SHRMC"),       rule(":DJSJ", V::Text, "DJSJ"),
    rule(":SHRQ", V::Text, "SHRQ"),       rule("YXBJ", V::Validity, "SHRMC"),
};
constexpr std::array kOrderGroups{VariableGroup{kOrderTitle}, VariableGroup{kOrderRules}};

// Purchase receipt.
constexpr std::array kReceiptRules{
    rule(":Title", V::Title),
    rule(":PAGE", V::PageCountFirst),
    rule(":pJLBH", V::SixDigits, "JLBH"),
    rule(":BM", V::Text, "DEPTID"),
    rule(":ZDRQ", V::Text, "DJSJ"),
    rule("::DYSJ", V::PrintTime),
    VariableRule{":JYFS", V::Mode, "HSFS", {}, {}, {}, &kReceiptModes},
    rule(":HT", V::Text, "HTH"),
    rule(":GHFMC", V::Text, "JHDW"),
    rule(":ydh", V::Text, "DHDBH"),
    rule(":RKDD", V::Text, "KCDD"),
    rule(":RKSJ", V::Text, "ZXRQ"),
    rule(":SHR", V::Text, "ZXRMC"),
    rule(":ZDR", V::Text, "DJRMC"),
};
constexpr std::array kReceiptGroups{VariableGroup{kReceiptRules}};

// Settlement list.
constexpr std::array kSettlementListRules{
    rule(":Title", V::Title),
    rule(":PAGE", V::PageCountFirst),
    rule("JLBH", V::SixDigits, "JLBH"),
    rule("WLDW", V::Text, "NAME"),
    rule("HTH", V::Integer, "HTH"),
    rule("ZXRQ", V::Text, "SHRQ"),
    rule("SHR_NAME", V::Text, "SHRMC"),
    rule("DYSJ", V::PrintTime),
    rule("YEARMONTH", V::Text, "YEARMONTH"),
    rule("BYXSJE", V::Text, "BYXSJE"),
    rule("XSJE", V::Text, "XSJE"),
    rule("XSCB", V::Text, "XSCB"),
    rule("KKJE", V::Text, "KKJE"),
    rule("JSJE", V::Text, "JSJE"),
};
constexpr std::array kSettlementListGroups{VariableGroup{kSettlementListRules}};

// Settlement notice with deductions: amounts are exact fixed-point sums.
constexpr std::array kSettlementNoticeRules{
    rule(":TITLE", V::Title),
    rule(":pJLBH", V::Integer, "JLBH"),
    rule(":HTH", V::Text, "HTH"),
    rule(":YEARMONTH", V::Text, "YEARMONTH"),
    rule(":DYRQ", V::PrintDate),
    rule(":GHDWMC", V::Text, "NAME"),
    rule(":DEPT", V::Text, "DEPT_NAME"),
    sum(":JK", "JSJE_17+JSJE_13+JSJE_QT"),
    sum(":SJ", "ZZSJE_17+ZZSJE_13+ZZSJE_QT"),
    sum(":JSHJ", "JSJE_17+JSJE_13+JSJE_QT+ZZSJE_17+ZZSJE_13+ZZSJE_QT"),
    sum(":JK17", "JSJE_17"),
    sum(":SJ17", "ZZSJE_17"),
    sum(":JSHJ17", "JSJE_17+ZZSJE_17"),
    sum(":JK13", "JSJE_13"),
    sum(":SJ13", "ZZSJE_13"),
    sum(":JSHJ13", "JSJE_13+ZZSJE_13"),
    sum(":JKQT", "JSJE_QT"),
    sum(":SJQT", "ZZSJE_QT"),
    sum(":JSHJQT", "JSJE_QT+ZZSJE_QT"),
    sum(":SJFKJE", "JSJE_17+JSJE_13+JSJE_QT+ZZSJE_17+ZZSJE_13+ZZSJE_QT-KKJE"),
    VariableRule{":SJXSJE", V::SettlementSales, "XSJE", "BYXSJE", "TQJS"},
    VariableRule{"MBZKJE", V::PrefixedCurrency, "MBZKJE", {}, {}, "满百折扣："},
    VariableRule{"BZ", V::PrefixedText, "BZ", {}, {}, "备注:  "},
    rule("SCMC", V::Text, "SCMC"),
    rule("PHONE", V::Text, "PHONE"),
    rule("ADDR", V::Text, "ADDR"),
    rule("GSH", V::Text, "GSH"),
    rule("KHH", V::Text, "KHH"),
    rule("ZH", V::Text, "ZH"),
};
constexpr std::array kSettlementNoticeGroups{VariableGroup{kSettlementNoticeRules}};

// Dealer settlement note. It prints with the settlement notice's layout, so
// after its own names it answers the notice's names as well; otherwise the
// paper would show ":JK" and the like instead of values.
constexpr std::array kDealerSettlementOwnRules{
    rule(":PAGE", V::PageIndexFirst), rule("JLBH", V::Integer, "JLBH"),
    rule("HTH", V::Text, "HTH"),      rule("GHDW", V::Text, "NAME"),
    rule("BM", V::Text, "DEPT_NAME"), rule("SHR", V::Text, "SHRMC"),
    rule("SHRQ", V::Text, "SHRQ"),    rule("DYSJ", V::PrintTime),
    rule(":Title", V::Title),
};
constexpr auto kDealerSettlementRules = join(kDealerSettlementOwnRules, kSettlementNoticeRules);
constexpr std::array kDealerSettlementGroups{VariableGroup{kDealerSettlementRules}};

// Purchase price change note.
constexpr std::array kPurchasePriceRules{
    rule(":PAGE", V::PageIndexFirst), rule("JLBH", V::SixDigits, "JLBH"),
    rule("ZDRQ", V::Text, "DJSJ"),    rule("ZDR", V::Text, "DJRMC"),
    rule("SHR", V::Text, "SHRMC"),    rule("SHRQ", V::Text, "SHRQ"),
    rule("ZXR", V::Text, "ZXRMC"),    rule("ZXRQ", V::Text, "ZXRQ"),
    rule("DYSJ", V::PrintTime),       rule(":Title", V::Title),
    rule("yxbj", V::Text, "QDBJ"),
};
// The supplier name and code of the price change layouts always print blank.
constexpr std::array kBlankSupplier{rule("GHDW", V::Empty), rule("GHDW_CODE", V::Empty)};
constexpr std::array kContractNumber{rule("HTH", V::Text, "HTH")};
constexpr std::array kPurchasePriceGroups{VariableGroup{kPurchasePriceRules},
                                          VariableGroup{kBlankSupplier},
                                          VariableGroup{kContractNumber}};

// Cost price change note.
constexpr std::array kCostPriceRules{
    rule(":PAGE", V::PageIndexFirst), rule("JLBH", V::SixDigits, "JLBH"),
    rule("ZDRQ", V::Text, "DJSJ"),    rule("ZDR", V::Text, "DJRMC"),
    rule("SHR", V::Text, "ZXRMC"),    rule("DYSJ", V::PrintTime),
    rule(":Title", V::Title),         rule("yxbj", V::Validity, "ZXRMC"),
};
constexpr std::array kDepartment{rule("BM", V::Text, "DEPTID")};
constexpr std::array kCostPriceGroups{VariableGroup{kCostPriceRules}, VariableGroup{kDepartment},
                                      VariableGroup{kBlankSupplier},
                                      VariableGroup{kContractNumber}};

constexpr std::array kReasonCell{rule("YY", V::Text, "REASON")};
constexpr std::array kPriceChangeCellGroups{VariableGroup{kReasonCell}};

// Return note.
constexpr std::array kReturnRules{
    rule("btTITLE", V::TitleAsReceived),
    rule("btJLBH", V::SixDigits, "JLBH"),
    rule("btDEPTID", V::Text, "DEPTID"),
    rule("btHTH", V::Text, "HTH"),
    rule("btGHDWDm", V::Empty),
    rule("btTHRQ", V::Text, "ZXRQ"),
    rule("btZDRQ", V::Text, "DJSJ"),
    rule("btDYSJ", V::PrintTime),
    rule("bwZDR", V::Text, "DJRMC"),
    rule("bwSHR", V::Text, "ZXRMC"),
    rule("btPage", V::PageCountFirst),
    rule(":YJZS", V::Empty),
    VariableRule{":HSFS", V::Mode, "HSFS", {}, {}, {}, &kReturnModes},
    rule(":YJBH", V::Empty),
};
constexpr std::array kReturnSignatures{rule("bwSENDER", V::Empty), rule("bwRECEIVER", V::Empty)};
constexpr std::array kReturnGroups{VariableGroup{kReturnRules}, VariableGroup{kReturnSignatures}};

// Return note, quantity copy.
constexpr std::array kReturnQuantityRules{
    rule("btTITLE", V::TitleAsReceived),
    rule("btJLBH", V::Text, "JLBH"),
    rule("btDEPTID", V::Text, "DEPTID"),
    rule("btHTH", V::Text, "HTH"),
    rule("btGHDWDm", V::Empty),
    rule("btGHDWName", V::Empty),
    rule("btTHRQ", V::Text, "ZXRQ"),
    rule("btZDRQ", V::Text, "DJSJ"),
    rule("btDYSJ", V::PrintTime),
    rule("bwZDR", V::Text, "DJRMC"),
    rule("bwSHR", V::Text, "ZXRMC"),
    VariableRule{":HSFS", V::Mode, "HSFS", {}, {}, {}, &kReturnModes},
    rule("btPage", V::PageCountFirst),
};
constexpr std::array kReturnQuantityGroups{VariableGroup{kReturnQuantityRules}};

} // namespace

const std::span<const VariableGroup> orderVariables = kOrderGroups;
const std::span<const VariableGroup> receiptVariables = kReceiptGroups;
const std::span<const VariableGroup> settlementListVariables = kSettlementListGroups;
const std::span<const VariableGroup> settlementNoticeVariables = kSettlementNoticeGroups;
const std::span<const VariableGroup> dealerSettlementVariables = kDealerSettlementGroups;
const std::span<const VariableGroup> purchasePriceVariables = kPurchasePriceGroups;
const std::span<const VariableGroup> costPriceVariables = kCostPriceGroups;
const std::span<const VariableGroup> returnVariables = kReturnGroups;
const std::span<const VariableGroup> returnQuantityVariables = kReturnQuantityGroups;
const std::span<const VariableGroup> priceChangeCells = kPriceChangeCellGroups;

} // namespace tally::documents::tables
