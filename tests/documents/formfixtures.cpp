#include "formfixtures.h"

#include "documents/documentdef.h"

#include <stdexcept>

namespace tally::documents::test {

namespace {

Column text(std::string name, int width)
{
    return {std::move(name), "string", width};
}
Column i4(std::string name)
{
    return {std::move(name), "i4", 0};
}

// Header columns of the documents with declared header fields, from the
// declarations themselves, so the packets fit them.
std::vector<Column> declaredColumns(std::span<const FieldSpec> fields)
{
    std::vector<Column> out;
    for (const FieldSpec &f : fields) {
        Column c{std::string(f.name)};
        switch (f.kind) {
        case datapacket::FieldKind::Int32:
            c.type = "i4";
            break;
        case datapacket::FieldKind::Float:
            c.type = "r8";
            if (f.currency)
                c.subtype = "Money";
            break;
        default:
            c.width = f.size;
            break;
        }
        out.push_back(std::move(c));
    }
    return out;
}

const Row kOrderRow{
    {"JLBH", "30005686"},
    {"DEPT_NAME", "生鲜部"},
    {"HTH", "1208"},
    {"NAME", "上海光明乳业有限公司"},
    {"HSFS", "1"},
    {"YXQ", "2026-12-31"},
    {"JHDD", "一号配送中心"},
    {"JHFS", "直送"},
    {"DJRMC", "王芳"},
    {"DJSJ", "2026-12-08"},
    {"SHRMC", "李强"},
    {"SHRQ", "2026-12-09"},
};

const Row kReceiptRow{
    {"JLBH", "3005"},       {"HTH", "0815"},   {"HSFS", "3"},          {"DHDBH", "30005686"},
    {"DEPTID", "0102"},     {"KCDD", "A01"},   {"JHDW", "100234"},     {"DJRMC", "赵敏"},
    {"DJSJ", "2026-12-07"}, {"ZXRMC", "孙立"}, {"ZXRQ", "2026-12-08"},
};

const Row kSettlementRow{
    {"JLBH", "166753"},      {"DEPT_NAME", "百货部"},
    {"HTH", "2031"},         {"NAME", "杭州娃哈哈集团有限公司"},
    {"YEARMONTH", "202611"}, {"SHRMC", "周敏"},
    {"SHRQ", "2026-12-05"},  {"BYXSJE", "35210.5"},
    {"XSJE", "36120"},       {"XSCB", "30050.2"},
    {"JSJE", "28969.12"},    {"KKJE", "308.5"},
    {"JSJE_17", "0"},        {"JSJE_13", "28969.12"},
    {"JSJE_QT", "0"},        {"ZZSJE_17", "0"},
    {"ZZSJE_13", "3765.98"}, {"ZZSJE_QT", "0"},
    {"BYTQJSJE", "0"},       {"BZ", ""},
};

const Row kNoticeExtra{
    {"TQJS", "0"},
    {"SCMC", "华联超市城东店"},
    {"ADDR", "杭州市上城区解放路88号"},
    {"PHONE", "0571-87654321"},
    {"KHH", "工商银行解放路支行"},
    {"ZH", "1202021209900012345"},
    {"GSH", "330102123456789"},
    {"BZ", "x"},
    {"MBZKJE", "12.5"},
};

} // namespace

HeaderFixture headerFixture(std::string_view djlx)
{
    const DocumentDef *def = findDocument(djlx);
    if (!def)
        throw std::invalid_argument("no document " + std::string(djlx));
    const std::vector<Column> declared = declaredColumns(def->headerFields);
    if (djlx == "1" || djlx == "12")
        return {declared, kOrderRow};
    if (djlx == "2")
        return {declared, kReceiptRow};
    if (djlx == "3")
        return {declared, kSettlementRow};
    if (djlx == "4" || djlx == "5")
        return {declared, withChanges(kSettlementRow, kNoticeExtra)};
    if (djlx == "8")
        return {{i4("JLBH"), text("DJSJ", 10), text("DJRMC", 16), text("SHRMC", 16),
                 text("SHRQ", 10), text("ZXRMC", 16), text("ZXRQ", 10), text("QDBJ", 10),
                 text("HTH", 8), text("REASON", 60)},
                {{"JLBH", "12"},
                 {"DJSJ", "2026-12-01"},
                 {"DJRMC", "陈静"},
                 {"SHRMC", "刘洋"},
                 {"SHRQ", "2026-12-02"},
                 {"ZXRMC", "黄磊"},
                 {"ZXRQ", "2026-12-03"},
                 {"QDBJ", "已确认"},
                 {"HTH", "2031"},
                 {"REASON", "供应商原料涨价"}}};
    if (djlx == "9")
        return {{i4("JLBH"), text("DJSJ", 10), text("DJRMC", 16), text("ZXRMC", 16),
                 text("DEPTID", 10), text("HTH", 8), text("REASON", 60), text("GHDW", 80)},
                {{"JLBH", "5678"},
                 {"DJSJ", "2026-12-02"},
                 {"DJRMC", "陈静"},
                 {"ZXRMC", "黄磊"},
                 {"DEPTID", "0201"},
                 {"HTH", "0815"},
                 {"REASON", "进价调整"},
                 {"GHDW", "杭州娃哈哈集团有限公司"}}};
    // Return notes "10" and "11".
    return {{i4("JLBH"), text("DEPTID", 10), text("HTH", 8), text("ZXRQ", 10), text("DJSJ", 10),
             text("DJRMC", 16), text("ZXRMC", 16), i4("HSFS")},
            {{"JLBH", "6022190"},
             {"DEPTID", "0301"},
             {"HTH", "0815"},
             {"ZXRQ", "2026-12-06"},
             {"DJSJ", "2026-12-04"},
             {"DJRMC", "吴刚"},
             {"ZXRMC", "郑华"},
             {"HSFS", "4"}}};
}

std::vector<Column> itemColumns(std::string_view djlx)
{
    const DocumentDef *def = findDocument(djlx);
    if (!def)
        throw std::invalid_argument("no document " + std::string(djlx));
    if (!def->itemFields.empty())
        return declaredColumns(def->itemFields);
    // The purchase receipt takes the packet's own fields in the layout's order.
    return {text("SPCODE", 10), text("BARCODE", 13),  text("NAME", 50),  text("SPGG", 20),
            {"RKXS", "r8", 0},  {"JHDJ_HS", "r8", 0}, {"JXSL", "r8", 0}, {"JHJE_JJ", "r8", 0},
            {"ZZSJE", "r8", 0}, {"HSJE_HJ", "r8", 0}};
}

std::vector<Row> itemRows(std::string_view djlx, int count)
{
    const std::vector<Column> columns = itemColumns(djlx);
    std::vector<Row> rows;
    for (int i = 1; i <= count; ++i) {
        Row row;
        for (const Column &c : columns) {
            std::string value;
            if (c.type == "i4")
                value = std::to_string(i);
            else if (c.type == "r8")
                value = std::to_string(i) + ".5";
            else
                value = c.name.substr(0, 2) + std::to_string(i);
            row.emplace_back(c.name, value);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace tally::documents::test
