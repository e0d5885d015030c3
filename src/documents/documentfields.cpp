// Declared fields of the document tables, in declaration order: the order
// fixes the field positions the layouts' body columns show.
#include "documents/documenttables.h"

#include <array>

namespace tally::documents::tables {

namespace {

using K = datapacket::FieldKind;
using R = FieldSpec::TextRule;

constexpr FieldSpec text(std::string_view name, int size = 20)
{
    return {name, K::Text, size};
}
constexpr FieldSpec fixedText(std::string_view name, int size)
{
    return {name, K::Text, size, true};
}
constexpr FieldSpec integer(std::string_view name)
{
    return {name, K::Int32, 0};
}
constexpr FieldSpec real(std::string_view name)
{
    return {name, K::Float, 0};
}
constexpr FieldSpec money(std::string_view name)
{
    return {name, K::Float, 0, false, {}, {}, true};
}

constexpr std::array kOrderHeader{
    integer("JLBH"),   text("DEPT_NAME", 50), text("HTH", 8),    text("NAME", 80),
    text("HSFS", 1),   text("YXQ", 10),       text("JHDD", 30),  text("JHFS", 16),
    text("DJRMC", 16), text("DJSJ", 10),      text("SHRMC", 16), text("SHRQ", 10),
};

constexpr std::array kOrderItems{
    text("SPCODE", 10), text("NAME", 50), text("SPGG", 20), text("UNIT", 8),
    real("SPXS"),       integer("BZHL"),  integer("SPJS"),  real("JXSL"),
    real("JHDJ_HS"),    real("SPWKSL"),   real("JHJE_HS"),
};

constexpr std::array kOrderLandscapeItems{
    text("SPCODE", 10), text("BARCODE", 13), text("NAME", 50), text("SPGG", 20), text("SCRQ", 10),
    text("UNIT", 8),    real("SPXS"),        integer("BZHL"),  integer("SPJS"),  real("JXSL"),
    real("JHDJ_HS"),    real("SPWKSL"),      real("JHJE_HS"),
};

constexpr std::array kReceiptHeader{
    FieldSpec{"JLBH", K::Int32, 0, false, {}, "000000"},
    text("HTH", 8),
    text("HSFS", 1),
    text("DHDBH", 8),
    fixedText("DEPTID", 10),
    fixedText("KCDD", 8),
    fixedText("JHDW", 6),
    fixedText("DJRMC", 16),
    text("DJSJ", 10),
    fixedText("ZXRMC", 16),
    text("ZXRQ", 10),
};

// Fields 1 to 19, shared by the three settlement headers.
constexpr std::array kSettlementCommon{
    integer("JLBH"),      text("DEPT_NAME", 50), text("HTH", 8),       text("NAME", 80),
    text("YEARMONTH", 6), text("SHRMC", 16),     text("SHRQ", 10),     text("BYXSJE", 10),
    text("XSJE", 10),     text("XSCB", 10),      text("JSJE", 10),     text("KKJE", 30),
    text("JSJE_17", 10),  text("JSJE_13", 10),   text("JSJE_QT", 10),  text("ZZSJE_17", 10),
    text("ZZSJE_13", 10), text("ZZSJE_QT", 10),  text("BYTQJSJE", 10),
};

constexpr auto kSettlementListHeader = join(kSettlementCommon, std::array{text("BZ", 100)});

constexpr std::array kSettlementListItems{
    text("SPCODE", 10), text("NAME", 50), text("SPGG", 20), real("JXSL"),  real("XSSL"),
    real("XSJE"),       real("ZKFT"),     real("JSJE"),     real("ZZSJE"), real("JSJE_HS"),
};

constexpr auto kSettlementNoticeHeader =
    join(kSettlementCommon, std::array{text("TQJS", 1), text("SCMC", 100), text("ADDR", 100),
                                       text("PHONE", 20), text("KHH", 30), text("ZH", 20),
                                       text("GSH", 30), text("BZ", 30), text("MBZKJE", 10)});

constexpr std::array kSettlementNoticeItems{
    text("JSKKMC", 30),
    real("JSKKJE"),
    text("JSKKMC2", 30),
    real("JSKKJE2"),
};

constexpr std::array kPurchasePriceItems{
    text("BMDM", 12),
    text("BMMC", 50),
    text("SPCODE", 10),
    text("NAME", 30),
    FieldSpec{"SPGG", K::Text, 20, false, "规格"},
    text("BARCODE", 13),
    real("JHDJ_HS_NEW"),
    real("JHDJ_HS_OLD"),
    text("JXSL", 4),
    money("LSDJ"),
    integer("HTH"),
};

constexpr std::array kCostPriceItems{
    text("SPCODE", 10),
    text("NAME", 30),
    FieldSpec{"SPGG", K::Text, 20, false, "规格"},
    real("BJSL"),
    FieldSpec{"OLD_JHDJ", K::Float, 0, false, {}, {}, false, R::PriceOrBlank},
    FieldSpec{"NEW_JHDJ", K::Float, 0, false, {}, {}, false, R::PriceOrBlank},
    money("BJCEBHS"),
    money("BJCESJ"),
    integer("OLD_KCPCH"),
    integer("NEW_KCPCH"),
    money("JSHJ"),
};

constexpr std::array kReturnItems{
    text("SPCODE", 10), text("BARCODE", 13), text("NAME", 50),  real("JHDJ"),     real("THSL"),
    real("THJE_JJ"),    real("ZZSJE"),       real("THJE_HSJJ"), integer("KCPCH"), integer("JHDBH"),
};

constexpr std::array kReturnQuantityItems{
    fixedText("SPCODE", 10), fixedText("NAME", 30), fixedText("SPGG", 20),
    integer("THJS"),         real("BZHL"),          real("THXS"),
};

} // namespace

const std::span<const FieldSpec> orderHeader = kOrderHeader;
const std::span<const FieldSpec> orderItems = kOrderItems;
const std::span<const FieldSpec> orderLandscapeItems = kOrderLandscapeItems;
const std::span<const FieldSpec> receiptHeader = kReceiptHeader;
const std::span<const FieldSpec> settlementListHeader = kSettlementListHeader;
const std::span<const FieldSpec> settlementListItems = kSettlementListItems;
const std::span<const FieldSpec> settlementNoticeHeader = kSettlementNoticeHeader;
const std::span<const FieldSpec> settlementNoticeItems = kSettlementNoticeItems;
const std::span<const FieldSpec> purchasePriceItems = kPurchasePriceItems;
const std::span<const FieldSpec> costPriceItems = kCostPriceItems;
const std::span<const FieldSpec> returnItems = kReturnItems;
const std::span<const FieldSpec> returnQuantityItems = kReturnQuantityItems;

} // namespace tally::documents::tables
