#pragma once

// The two packets of an order form request: one header row and `rows` item
// rows with the order form's declared fields.
#include <string>

namespace tally::bench {

inline std::string orderHeader()
{
    return R"(<?xml version="1.0" standalone="yes"?><DATAPACKET Version="2.0"><METADATA><FIELDS>)"
           R"(<FIELD attrname="JLBH" fieldtype="i4"/><FIELD attrname="DEPT_NAME" fieldtype="string" WIDTH="50"/>)"
           R"(<FIELD attrname="HTH" fieldtype="string" WIDTH="8"/><FIELD attrname="NAME" fieldtype="string" WIDTH="80"/>)"
           R"(<FIELD attrname="HSFS" fieldtype="string" WIDTH="1"/><FIELD attrname="YXQ" fieldtype="string" WIDTH="10"/>)"
           R"(<FIELD attrname="JHDD" fieldtype="string" WIDTH="30"/><FIELD attrname="JHFS" fieldtype="string" WIDTH="16"/>)"
           R"(<FIELD attrname="DJRMC" fieldtype="string" WIDTH="16"/><FIELD attrname="DJSJ" fieldtype="string" WIDTH="10"/>)"
           R"(<FIELD attrname="SHRMC" fieldtype="string" WIDTH="16"/><FIELD attrname="SHRQ" fieldtype="string" WIDTH="10"/>)"
           R"(</FIELDS><PARAMS/></METADATA><ROWDATA><ROW JLBH="30005686" DEPT_NAME="食品部" HTH="1208" )"
           R"(NAME="杭州娃哈哈集团有限公司" HSFS="0" YXQ="2026-12-31" JHDD="城东配送中心" JHFS="配送" )"
           R"(DJRMC="王芳" DJSJ="2026-12-08" SHRMC="李强" SHRQ="2026-12-09"/></ROWDATA></DATAPACKET>)";
}

inline std::string orderItems(int rows)
{
    std::string s =
        R"(<?xml version="1.0" standalone="yes"?><DATAPACKET Version="2.0"><METADATA><FIELDS>)"
        R"(<FIELD attrname="SPCODE" fieldtype="string" WIDTH="10"/><FIELD attrname="NAME" fieldtype="string" WIDTH="50"/>)"
        R"(<FIELD attrname="SPGG" fieldtype="string" WIDTH="20"/><FIELD attrname="UNIT" fieldtype="string" WIDTH="8"/>)"
        R"(<FIELD attrname="SPXS" fieldtype="r8"/><FIELD attrname="BZHL" fieldtype="i4"/><FIELD attrname="SPJS" fieldtype="i4"/>)"
        R"(<FIELD attrname="JXSL" fieldtype="r8"/><FIELD attrname="JHDJ_HS" fieldtype="r8"/>)"
        R"(<FIELD attrname="SPWKSL" fieldtype="r8"/><FIELD attrname="JHJE_HS" fieldtype="r8"/>)"
        R"(</FIELDS><PARAMS/></METADATA><ROWDATA>)";
    for (int i = 0; i < rows; ++i)
        s += R"(<ROW SPCODE="1002)" + std::to_string(100 + i) +
             R"(" NAME="康师傅红烧牛肉面" SPGG="105g" UNIT="袋" SPXS="24" BZHL="24" SPJS="5" )"
             R"(JXSL="13" JHDJ_HS="2.85" SPWKSL="0" JHJE_HS="342"/>)";
    s += "</ROWDATA></DATAPACKET>";
    return s;
}

} // namespace tally::bench
