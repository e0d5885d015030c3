#pragma once

// The large packet the benchmarks share, so their figures are comparable.
#include <cstdio>
#include <string>

namespace tally::bench {

// 100,000 rows of twelve fields (four each of text, integer and float),
// about 20 MB.
inline const std::string &largeListPacket()
{
    static const std::string text = [] {
        std::string s = "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\">"
                        "<METADATA><FIELDS>"
                        "<FIELD attrname=\"SPCODE\" fieldtype=\"string\" WIDTH=\"13\"/>"
                        "<FIELD attrname=\"NAME\" fieldtype=\"string\" WIDTH=\"40\"/>"
                        "<FIELD attrname=\"UNIT\" fieldtype=\"string\" WIDTH=\"4\"/>"
                        "<FIELD attrname=\"BZ\" fieldtype=\"string\" WIDTH=\"30\"/>"
                        "<FIELD attrname=\"JLBH\" fieldtype=\"i4\"/>"
                        "<FIELD attrname=\"SL\" fieldtype=\"i4\"/>"
                        "<FIELD attrname=\"BZSL\" fieldtype=\"i4\"/>"
                        "<FIELD attrname=\"HH\" fieldtype=\"i4\"/>"
                        "<FIELD attrname=\"JJ\" fieldtype=\"r8\"/>"
                        "<FIELD attrname=\"SJ\" fieldtype=\"r8\"/>"
                        "<FIELD attrname=\"JE\" fieldtype=\"r8\" SUBTYPE=\"Money\"/>"
                        "<FIELD attrname=\"SE\" fieldtype=\"r8\"/>"
                        "</FIELDS><PARAMS/></METADATA><ROWDATA>";
        char row[512];
        for (int i = 0; i < 100000; ++i) {
            const int n = std::snprintf(
                row, sizeof row,
                "<ROW SPCODE=\"69%011d\" NAME=\"康师傅红烧牛肉面 %d号 &amp; 550ml\" UNIT=\"箱\" "
                "BZ=\"备注 第%d行\" JLBH=\"%d\" SL=\"%d\" BZSL=\"%d\" HH=\"%d\" "
                "JJ=\"%d.%02d\" SJ=\"%d.5\" JE=\"%d.%02d\" SE=\"%.6f\"/>\n",
                i * 7, i % 1000, i, 100000 + i, i % 97, 24, i, i % 500, i % 100, i % 900, i * 3,
                i % 100, i * 0.013);
            s.append(row, static_cast<std::size_t>(n));
        }
        s += "</ROWDATA></DATAPACKET>";
        return s;
    }();
    return text;
}

} // namespace tally::bench
