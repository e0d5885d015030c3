#pragma once

#include "datapacket/datapackettable.h"
#include "layout/tbill.h"
#include "layout/tbilllayout.h"
#include "layout/tcell.h"

#include <string>

namespace tally::layout::testing_bill {

// An item packet of `records` rows with the fields CODE (text "R<i>"),
// NAME (text "品名<i>"), QTY (i4, i + 1) and AMT (r8, i + 1.25), where i
// is the 0-based record number.
inline std::string itemPacket(int records)
{
    std::string s = "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\">"
                    "<METADATA><FIELDS>"
                    "<FIELD attrname=\"CODE\" fieldtype=\"string\" WIDTH=\"12\"/>"
                    "<FIELD attrname=\"NAME\" fieldtype=\"string\" WIDTH=\"20\"/>"
                    "<FIELD attrname=\"QTY\" fieldtype=\"i4\"/>"
                    "<FIELD attrname=\"AMT\" fieldtype=\"r8\"/>"
                    "</FIELDS><PARAMS/></METADATA><ROWDATA>";
    for (int i = 0; i < records; ++i) {
        s += "<ROW CODE=\"R" + std::to_string(i) + "\" NAME=\"品名" + std::to_string(i) +
             "\" QTY=\"" + std::to_string(i + 1) + "\" AMT=\"" + std::to_string(i + 1) + ".25\"/>";
    }
    s += "</ROWDATA></DATAPACKET>";
    return s;
}

// A bill with one head row, `bodyRows` body rows over 6 columns (no left
// columns) and one tail row; grid rows 0 and last are 50 high, the rest 22.
inline void shapeSimple(TCustomBill &bill, int bodyRows)
{
    bill.SetColCountLeft(0);
    bill.SetRowCountHead(1);
    bill.SetRowCountTail(1);
    bill.SetRowCountBody(bodyRows);
}

// Grid row of body row k.
inline int bodyRow(const TCustomBill &bill, int k)
{
    return bill.Layout().BodyBlock().RowOrigin() + k;
}

} // namespace tally::layout::testing_bill
