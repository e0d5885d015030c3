#include "printing/billpagination.h"
#include "printing/printer.h"

#include <gtest/gtest.h>

namespace tally::printing {
namespace {

TEST(BillPaginationTest, AutoFitRows)
{
    struct Case
    {
        int pageHeight, offsetY, fixed, rowHeight, zoom, expected;
    };
    for (const Case c : {
             Case{1000, 0, 300, 22, 100, 30}, // 70000 / 2300
             Case{1000, 0, 300, 22, 50, 73},  // (100000 - 15000) / 1150
             Case{1000, 100, 300, 22, 100, 26},
             Case{300, 0, 300, 22, 100, 0},   // no room: the caller uses 1
             Case{200, 0, 300, 22, 100, -4},  // negative: ignored by the setter
             Case{1000, 0, 300, 22, 0, -1},   // zoom 0 would divide by zero
             Case{1000, 0, 300, -1, 100, -1}, // so would a row of height -1
         }) {
        EXPECT_EQ(AutoFitBodyRows(c.pageHeight, c.offsetY, c.fixed, c.rowHeight, c.zoom),
                  c.expected)
            << c.pageHeight << " " << c.offsetY << " " << c.zoom;
    }
}

TEST(BillPaginationTest, PageHeightInScreenPixels)
{
    PrinterMetrics m;
    m.dpiY = 600;
    m.pageHeight = 6250;
    EXPECT_EQ(PageHeightInScreenPixels(m, 96), 1000);
    m.dpiY = 0;
    EXPECT_EQ(PageHeightInScreenPixels(m, 96), -1);
}

TEST(BillPaginationTest, PageCount)
{
    EXPECT_EQ(BodyPageCount(95, 40), 3);
    EXPECT_EQ(BodyPageCount(80, 40), 2);
    EXPECT_EQ(BodyPageCount(1, 40), 1);
    EXPECT_EQ(BodyPageCount(0, 40), 0) << "an open table without records";
    EXPECT_EQ(BodyPageCount(0, 0), 0);
    EXPECT_EQ(BodyPageCount(5, 0), 1) << "no body rows: head and tail print once";
}

TEST(BillPaginationTest, SumRanges)
{
    struct Case
    {
        int kind, page, rows, records, first, end;
    };
    for (const Case c : {
             Case{1, 2, 8, 20, 8, 16},
             Case{1, 3, 8, 20, 16, 20},
             Case{1, 4, 8, 20, 20, 20},
             Case{2, 2, 8, 20, 0, 16},
             Case{2, 2, 8, 11, 0, 11}, // records 1 to 11
             Case{3, 1, 8, 20, 0, 20},
             Case{3, 2, 0, 7, 0, 7},
             Case{0, 1, 8, 20, 0, 0},
             Case{4, 1, 8, 20, 0, 0},
             Case{2, 1, 8, 0, 0, 0},
         }) {
        const RecordRange r =
            SumRecordRange(static_cast<SumScope>(c.kind), c.page, c.rows, c.records);
        EXPECT_EQ(r.first, c.first) << c.kind << " " << c.page << " " << c.records;
        EXPECT_EQ(r.end, c.end) << c.kind << " " << c.page << " " << c.records;
    }
}

} // namespace
} // namespace tally::printing
