#include "documents/documentdef.h"

#include "base/numberformat.h"
#include "datapacket/datapackettable.h"
#include "datapacket/packetfield.h"
#include "documents/documenttables.h"

#include <algorithm>
#include <array>

namespace tally::documents {

namespace {

// Cost prices: blank for no price or 0, else four decimals with grouping.
std::string priceOrBlank(const datapacket::FieldCell &cell)
{
    if (cell.isNull())
        return {};
    const double value = cell.asFloat();
    if (value == 0)
        return {};
    return formatNumber(value, cell.field().table().formatSettings(), 4, 16);
}

const std::array<DocumentDef, 10> &definitions()
{
    using namespace tables;
    // Function-local so the tables it refers to are initialised first.
    static const std::array<DocumentDef, 10> defs{{
        {"1",
         "TPrintDHD",
         "PrintDHD",
         "打印订货单",
         1044,
         540,
         "ClientDataSetDHD",
         "ClientDataSetDHDITEM",
         "Bill1",
         "订单打印(未赋值)",
         40,
         "TPrintDHD",
         orderHeader,
         orderItems,
         orderVariables,
         false,
         {}},
        {"2",
         "TPrintJHD",
         "PrintJHD",
         "打印进货单",
         1044,
         540,
         "ClientDataSetJHD",
         "ClientDataSetJHDITEM",
         "Bill1",
         "进货单(未赋值)",
         32,
         "TPrintJHD",
         receiptHeader,
         {},
         receiptVariables,
         false,
         {}},
        {"3",
         "TPrintJSD",
         "PrintJSD",
         "打印结算单",
         1044,
         540,
         "ClientDataSetJSD",
         "ClientDataSetJSDITEM",
         "Bill1",
         "结算清单打印(未赋值)",
         8,
         "TPrintJSD",
         settlementListHeader,
         settlementListItems,
         settlementListVariables,
         false,
         {}},
        {"4",
         "TPrintJSKKD",
         "PrintJSKKD",
         "打印扣款单",
         1044,
         540,
         "ClientDataSetJSD",
         "ClientDataSetJSDITEM",
         "Bill1",
         "商品结算通知单(未赋值)",
         8,
         "TPrintJSKKD",
         settlementNoticeHeader,
         settlementNoticeItems,
         settlementNoticeVariables,
         false,
         {}},
        {"5",
         "TPrintJXJSD",
         "PrintJXJSD",
         "打印经销结算单",
         1044,
         540,
         "ClientDataSetJSD",
         "ClientDataSetJSDITEM",
         "Bill1",
         "经销商品单(未赋值)",
         8,
         "TPrintJXJSD",
         settlementNoticeHeader,
         settlementNoticeItems,
         dealerSettlementVariables,
         false,
         {}},
        {"8",
         "TprintSPCGBJD",
         "printSPCGBJD",
         "打印采购价变进价单",
         1288,
         551,
         "tblMain",
         "TblJJBJD",
         "Bill1",
         "商品结算通知单(未赋值)",
         40,
         "TprintSPCGBJD",
         {},
         purchasePriceItems,
         purchasePriceVariables,
         true,
         priceChangeCells},
        {"9",
         "TprintJJBJD",
         "printJJBJD",
         "打印变进价单",
         1288,
         551,
         "tblMain",
         "TblJJBJD",
         "Bill1",
         "商品结算通知单(未赋值)",
         8,
         "TprintJJBJD",
         {},
         costPriceItems,
         costPriceVariables,
         true,
         priceChangeCells},
        {"10",
         "TPrintTHD_SLL",
         "PrintTHD_SLL",
         "返厂单打印_数量联",
         829,
         388,
         "tblMain",
         "tblTHD",
         "billTHD",
         std::nullopt,
         8,
         "TPrintTHD_SLL",
         {},
         returnQuantityItems,
         returnQuantityVariables,
         true,
         {}},
        {"11",
         "TPrintTHD",
         "PrintTHD",
         "返厂单打印",
         1552,
         850,
         "tblMain",
         "tblTHD",
         "billTHD",
         std::nullopt,
         36,
         "TPrintTHD",
         {},
         returnItems,
         returnVariables,
         true,
         {}},
        {"12",
         "TPrintDHD_HX",
         "PrintDHD_HX",
         "打印订货单横向",
         1044,
         540,
         "ClientDataSetDHD",
         "ClientDataSetDHDITEM",
         "Bill1",
         "订单打印(未赋值)",
         22,
         "TPrintDHD_HX",
         orderHeader,
         orderLandscapeItems,
         orderVariables,
         false,
         {}},
    }};
    return defs;
}

} // namespace

std::span<const DocumentDef> documentDefs()
{
    return definitions();
}

const DocumentDef *findDocument(std::string_view djlx)
{
    const auto &defs = definitions();
    const auto it = std::find_if(defs.begin(), defs.end(),
                                 [djlx](const DocumentDef &d) { return d.djlx == djlx; });
    return it != defs.end() ? &*it : nullptr;
}

const DocumentDef *findDocumentByClass(std::string_view className)
{
    const auto &defs = definitions();
    const auto it = std::find_if(defs.begin(), defs.end(), [className](const DocumentDef &d) {
        return d.className == className;
    });
    return it != defs.end() ? &*it : nullptr;
}

std::vector<datapacket::FieldDef> toFieldDefs(std::span<const FieldSpec> specs)
{
    std::vector<datapacket::FieldDef> defs;
    defs.reserve(specs.size());
    for (const FieldSpec &field : specs) {
        datapacket::FieldDef def;
        def.name = std::string(field.name);
        def.kind = field.kind;
        def.size = field.size;
        def.fixedLength = field.fixedLength;
        def.displayLabel = std::string(field.displayLabel);
        def.displayFormat = std::string(field.displayFormat);
        def.currency = field.currency;
        if (field.textRule == FieldSpec::TextRule::PriceOrBlank)
            def.textCallback = priceOrBlank;
        defs.push_back(std::move(def));
    }
    return defs;
}

} // namespace tally::documents
