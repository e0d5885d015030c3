#include "layout/einvalidreportoperation.h"
#include "layout/tbilllayout.h"
#include "layout/tcell.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace tally::layout;

namespace {

void expectReportError(const std::function<void()> &call, const std::string &message)
{
    try {
        call();
        ADD_FAILURE() << "no error, expected " << message;
    } catch (const EInvalidReportOperation &e) {
        EXPECT_EQ(e.what(), message);
    }
}

TEST(TBillLayoutTest, NewLayoutShapeAndExtent)
{
    TBillLayout layout;
    EXPECT_EQ(layout.ColCount(), 6);
    EXPECT_EQ(layout.RowCount(), 10);
    EXPECT_EQ(layout.GetPageWidth(), 6 * 65);
    EXPECT_EQ(layout.GetPageHeight(), 8 * 23 + 2 * 51);
    EXPECT_EQ(layout.BodyBlock().ColOrigin(), 1);
    EXPECT_EQ(layout.BodyBlock().RowOrigin(), 3);
    EXPECT_EQ(layout.TailBlock().RowOrigin(), 8);
    EXPECT_EQ(layout.CellRect({1, 1, 2, 2}), (tally::printing::Rect{65, 51, 195, 97}));
    EXPECT_TRUE(layout.IsConsistent());
}

TEST(TBillLayoutTest, SlotLookupAndCellNames)
{
    TBillLayout layout;
    EXPECT_EQ(layout.CellAt(0, 1).CellName(), "A1");
    EXPECT_EQ(&layout.BlockAt(0, 3), &layout.LeftBlock());
    EXPECT_EQ(&layout.BlockAt(1, 3), &layout.BodyBlock());
    EXPECT_EQ(layout.CellAt(1, 3).CellName(), "B3");
    EXPECT_EQ(&layout.BlockAt(5, 8), &layout.TailBlock());
    expectReportError([&] { layout.BlockAt(0, 0); }, "行 0 列 0 越界!");
    expectReportError([&] { layout.CellAt(6, 2); }, "行 2 列 6 越界!");
    expectReportError([&] { layout.BlockAt(2, 9); }, "行 9 列 2 越界!");

    layout.SetColCount(27);
    EXPECT_EQ(layout.CellAt(26, 3).CellName(), "AA3");
    EXPECT_EQ(layout.GetPageWidth(), 27 * 65);
    EXPECT_TRUE(layout.IsConsistent());
}

TEST(TBillLayoutTest, EdgeSettersCheckTheirRange)
{
    TBillLayout layout;
    const std::function<void()> bad[] = {
        [&] { layout.SetTopLine(0, 0, false); },
        [&] { layout.SetTopLine(0, 10, false); },
        [&] { layout.SetLeftLine(7, 1, false); },
        [&] { layout.SetLeftLine(-1, 1, false); },
    };
    for (const auto &call : bad)
        expectReportError(call, "Grid index out of range");
    layout.SetLeftLine(6, 1, false); // the right edge of the last column
    layout.SetTopLine(0, 9, false);  // the line above the bottom area
    EXPECT_FALSE(layout.Edge(6, 1).LeftLine);
    EXPECT_FALSE(layout.Edge(0, 9).TopLine);
    EXPECT_TRUE(layout.Edge(0, 9).LeftLine);
}

TEST(TBillLayoutTest, RowCountChangesMoveTheTailAndItsLines)
{
    TBillLayout layout;
    layout.Rows().SetSize(8, 29); // the tail row
    layout.SetTopLine(2, 8, false);
    layout.LeftBlock().GetCell(0, 4).SetText("last");
    const int height = layout.GetPageHeight();

    layout.SetRowCountBody(7);
    EXPECT_EQ(layout.RowCountBody(), 7);
    EXPECT_EQ(layout.BodyBlock().RowCount(), 7);
    EXPECT_EQ(layout.TailBlock().RowOrigin(), 10);
    EXPECT_EQ(layout.Rows().Size(8), 22);
    EXPECT_EQ(layout.Rows().Size(9), 22);
    EXPECT_EQ(layout.Rows().Size(10), 29);
    EXPECT_FALSE(layout.Edge(2, 10).TopLine);
    // A new grid row starts with a copy of the flags of the row it displaced.
    EXPECT_FALSE(layout.Edge(2, 8).TopLine);
    EXPECT_TRUE(layout.Edge(1, 8).TopLine);
    // The block's former last row ends up on the last grid row of the block.
    EXPECT_EQ(layout.LeftBlock().GetCell(0, 6).Text(), "last");
    EXPECT_EQ(layout.GetPageHeight(), height + 2 * 23);
    EXPECT_TRUE(layout.IsConsistent());

    layout.SetRowCountBody(2);
    EXPECT_EQ(layout.RowCount(), 7);
    EXPECT_EQ(layout.TailBlock().RowOrigin(), 5);
    EXPECT_FALSE(layout.Edge(2, 5).TopLine);
    EXPECT_EQ(layout.Rows().Size(5), 29);
    EXPECT_EQ(layout.GetPageHeight(), height - 3 * 23);
    EXPECT_TRUE(layout.IsConsistent());

    layout.SetRowCountBody(0);
    layout.SetRowCountHead(0);
    EXPECT_EQ(layout.RowCount(), 3);
    layout.SetRowCountTail(0); // would leave two grid rows
    layout.SetRowCountHead(-1);
    EXPECT_EQ(layout.RowCount(), 3);
    layout.DeleteGridRow(1);
    EXPECT_EQ(layout.RowCount(), 3);
    layout.SetRowCountBody(1); // the templates come back with their rows
    EXPECT_EQ(layout.BodyBlock().FieldMap().size(), 5u);
    EXPECT_TRUE(layout.IsConsistent());
}

TEST(TBillLayoutTest, AddBlockRowKeepsLeftAndBodyTogether)
{
    TBillLayout layout;
    for (TBlock *block : {&layout.LeftBlock(), static_cast<TBlock *>(&layout.BodyBlock())}) {
        const int rows = layout.RowCount();
        const int index = block->RowOrigin() + block->RowCount();
        layout.AddBlockRow(*block);
        EXPECT_EQ(layout.RowCount(), rows + 1);
        EXPECT_EQ(layout.LeftBlock().RowCount(), layout.BodyBlock().RowCount());
        EXPECT_EQ(layout.Rows().Size(index), 22);
        EXPECT_TRUE(layout.IsConsistent());
    }
    layout.AddBlockRow(layout.HeadBlock());
    EXPECT_EQ(layout.RowCountHead(), 3);
    EXPECT_EQ(layout.LeftBlock().RowOrigin(), 4);
    EXPECT_TRUE(layout.IsConsistent());
}

TEST(TBillLayoutTest, GridColumnsCarryBlocksAndEdges)
{
    TBillLayout layout;
    layout.SetLeftLine(2, 1, false);
    layout.HeadBlock().Merge({1, 0, 2, 0});
    layout.InsertGridCol(2);
    EXPECT_EQ(layout.ColCount(), 7);
    EXPECT_EQ(layout.Cols().Size(2), 64);
    EXPECT_FALSE(layout.Edge(2, 1).LeftLine);
    EXPECT_FALSE(layout.Edge(3, 1).LeftLine);
    EXPECT_EQ(layout.HeadBlock().GetCell(3, 0).ColSpan(), 2);
    EXPECT_EQ(layout.BodyBlock().ColCount(), 6);
    EXPECT_TRUE(layout.IsConsistent());

    layout.DeleteGridCol(2);
    EXPECT_FALSE(layout.Edge(2, 1).LeftLine);
    EXPECT_TRUE(layout.Edge(3, 1).LeftLine);
    layout.DeleteGridCol(0); // the left block's only column
    EXPECT_EQ(layout.ColCountLeft(), 0);
    EXPECT_EQ(layout.BodyBlock().ColOrigin(), 0);
    EXPECT_TRUE(layout.IsConsistent());

    layout.SetColCount(1);
    layout.DeleteGridCol(0);
    EXPECT_EQ(layout.ColCount(), 1);
    expectReportError([&] { layout.InsertGridCol(3); }, "Grid index out of range");
    EXPECT_TRUE(layout.IsConsistent());
}

TEST(TBillLayoutTest, LeftColumnsMoveTheBodyOrigin)
{
    TBillLayout layout;
    layout.SetColCountLeft(0);
    EXPECT_EQ(layout.BodyBlock().ColCount(), 6);
    EXPECT_EQ(layout.BodyBlock().ColOrigin(), 0);
    layout.SetColCountLeft(3);
    EXPECT_EQ(layout.LeftBlock().ColCount(), 3);
    EXPECT_EQ(layout.BodyBlock().ColCount(), 3);
    EXPECT_EQ(layout.BodyBlock().ColOrigin(), 3);
    layout.SetColCountLeft(6); // must leave one body column
    EXPECT_EQ(layout.ColCountLeft(), 3);
    EXPECT_TRUE(layout.IsConsistent());
}

} // namespace
