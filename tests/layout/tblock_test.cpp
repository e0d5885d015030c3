#include "base/muldiv.h"
#include "layout/einvalidreportoperation.h"
#include "layout/reportutils.h"
#include "layout/tblock.h"
#include "layout/tbodyblock.h"
#include "layout/tcell.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace tally::layout;

namespace {

// Expects the call to fail with the layout engine's error and message.
void expectReportError(const std::function<void()> &call, const char *message)
{
    try {
        call();
        ADD_FAILURE() << "no error, expected " << message;
    } catch (const EInvalidReportOperation &e) {
        EXPECT_STREQ(e.what(), message);
    }
}

TEST(TBlockTest, MergeKeepsFirstTextAndSplitRestoresCells)
{
    // Merging 2x2 whose anchor is empty takes the top-right text.
    TBlock block(4, 3);
    block.GetCell(2, 1).SetText("right");
    block.GetCell(1, 2).SetText("below");
    block.Merge({2, 2, 1, 1}); // reversed corners are normalised
    const TCell &merged = block.GetCell(1, 1);
    for (int c = 1; c <= 2; ++c)
        for (int r = 1; r <= 2; ++r)
            EXPECT_EQ(&block.GetCell(c, r), &merged);
    EXPECT_EQ(merged.Text(), "right");
    EXPECT_EQ(merged.GridRect(), (TGridRect{1, 2, 2, 3}));
    EXPECT_EQ(block.OwnedCellCount(), 9u);
    EXPECT_TRUE(block.IsConsistent());

    block.Split({2, 2, 2, 2});
    EXPECT_EQ(block.OwnedCellCount(), 12u);
    EXPECT_EQ(block.GetCell(1, 1).Text(), "right");
    EXPECT_FALSE(block.GetCell(1, 1).Merged());
    for (const auto &[c, r] : std::vector<std::pair<int, int>>{{2, 1}, {1, 2}, {2, 2}}) {
        const TCell &cell = block.GetCell(c, r);
        EXPECT_FALSE(cell.DiffersFromDefault());
        EXPECT_EQ(cell.Col(), c);
        EXPECT_EQ(cell.Row(), r);
    }
    EXPECT_TRUE(block.IsConsistent());
}

TEST(TBlockTest, RangeErrorsChangeNothing)
{
    TBlock block(3, 2);
    block.Merge({0, 0, 1, 0});
    const std::vector<std::function<void()>> calls{
        [&] { block.GetCell(3, 0); },       [&] { block.GetCell(0, -1); },
        [&] { block.Merge({0, 0, 3, 1}); }, [&] { block.Merge({-1, 0, 0, 0}); },
        [&] { block.Split({0, 0, 0, 2}); }, [&] { block.InsertCol(5); },
        [&] { block.DeleteCol(3); },        [&] { block.DeleteRow(-1); },
        [&] { block.InsertRow(3); },
    };
    for (const auto &call : calls)
        expectReportError(call, "Grid index out of range");
    EXPECT_EQ(block.ColCount(), 3);
    EXPECT_EQ(block.RowCount(), 2);
    EXPECT_EQ(block.GetCell(1, 0).ColSpan(), 1);
    EXPECT_TRUE(block.IsConsistent());
}

TEST(TBlockTest, InsertColAtAnchorOfMergedCellWidensIt)
{
    TBlock block(4, 2);
    block.Merge({1, 0, 2, 0});
    block.GetCell(3, 0).SetText("shifted");
    block.InsertCol(1);
    const TCell &merged = block.GetCell(1, 0);
    EXPECT_EQ(merged.Col(), 1);
    EXPECT_EQ(merged.ColSpan(), 2);
    for (int c = 1; c <= 3; ++c)
        EXPECT_EQ(&block.GetCell(c, 0), &merged);
    EXPECT_EQ(block.GetCell(4, 0).Text(), "shifted");
    EXPECT_EQ(block.GetCell(4, 0).Col(), 4);
    // The unmerged row gets a fresh cell in the new column.
    EXPECT_EQ(block.GetCell(1, 1).Col(), 1);
    EXPECT_EQ(block.GetCell(2, 1).Col(), 2);
    EXPECT_TRUE(block.IsConsistent());
}

TEST(TBlockTest, DeletingTheOnlyRowOfAWideCellFreesItOnce)
{
    struct Case
    {
        const char *name;
        int rows;
        int deletedRow;
    } cases[] = {{"rows below shift up", 3, 1}, {"last row disappears", 2, 1}};
    for (const Case &c : cases) {
        TBlock block(4, c.rows);
        block.Merge({0, c.deletedRow, 2, c.deletedRow});
        if (c.deletedRow + 1 < c.rows)
            block.GetCell(1, c.deletedRow + 1).SetText("below");
        block.DeleteRow(c.deletedRow);
        EXPECT_EQ(block.RowCount(), c.rows - 1) << c.name;
        EXPECT_EQ(block.OwnedCellCount(), static_cast<std::size_t>(4 * (c.rows - 1))) << c.name;
        EXPECT_TRUE(block.IsConsistent()) << c.name;
        if (c.deletedRow + 1 < c.rows) {
            EXPECT_EQ(block.GetCell(1, c.deletedRow).Text(), "below");
            EXPECT_EQ(block.GetCell(1, c.deletedRow).Row(), c.deletedRow);
        }
    }
}

TEST(TBlockTest, StructuralChangesKeepEveryCellOwnedOnce)
{
    // A tall merged cell in one column, a wide one in one row, and a 2x2 one.
    TBlock block(5, 5);
    block.Merge({0, 0, 0, 2});
    block.Merge({1, 4, 4, 4});
    block.Merge({2, 1, 3, 2});
    struct Step
    {
        const char *name;
        std::function<void()> run;
    } steps[] = {
        {"delete the tall cell's column", [&] { block.DeleteCol(0); }},
        {"insert inside the square", [&] { block.InsertRow(2); }},
        {"delete the square's first column", [&] { block.DeleteCol(1); }},
        {"insert at the wide cell's anchor", [&] { block.InsertCol(0); }},
        {"delete the wide cell's row", [&] { block.DeleteRow(5); }},
        {"insert at the end", [&] { block.InsertCol(block.ColCount()); }},
        {"delete down to nothing",
         [&] {
             while (block.RowCount() > 0)
                 block.DeleteRow(0);
         }},
        {"grow again", [&] { block.InsertRow(-1); }},
    };
    for (const Step &step : steps) {
        step.run();
        EXPECT_TRUE(block.IsConsistent()) << step.name;
    }
    EXPECT_EQ(block.RowCount(), 1);
    EXPECT_EQ(block.OwnedCellCount(), static_cast<std::size_t>(block.ColCount()));
}

TEST(TBlockTest, ExpandRectGrowsOverMergedCells)
{
    TBlock block(5, 4);
    block.SetColOrigin(2);
    block.SetRowOrigin(3);
    block.Merge({1, 0, 2, 1});
    block.Merge({2, 2, 3, 3});
    // Grid (4,4) is block slot (2,1), inside the first merged cell only;
    // adding the row below pulls in the second one as well.
    EXPECT_EQ(block.ExpandRect({4, 4, 4, 4}), (TGridRect{3, 3, 4, 4}));
    EXPECT_EQ(block.ExpandRect({4, 4, 4, 5}), (TGridRect{3, 3, 5, 6}));
    EXPECT_EQ(block.ExpandRect({2, 3, 2, 3}), (TGridRect{2, 3, 2, 3}));
}

TEST(TBodyBlockTest, FieldMapFollowsMergedTemplates)
{
    TBodyBlock body(5, 3);
    body.Merge({2, 0, 3, 0});
    EXPECT_EQ(body.FieldMap(), (std::vector<int>{0, 1, 2, 2, 3}));
    body.InsertCol(3); // inside the merged template
    EXPECT_EQ(body.FieldMap(), (std::vector<int>{0, 1, 2, 2, 2, 3}));
    body.DeleteCol(2);
    EXPECT_EQ(body.FieldMap(), (std::vector<int>{0, 1, 2, 2, 3}));
    body.Split({3, 0, 3, 0});
    EXPECT_EQ(body.FieldMap(), (std::vector<int>{0, 1, 2, 3, 4}));
    body.Merge({0, 0, 4, 0});
    EXPECT_EQ(body.FieldMap(), (std::vector<int>{0, 0, 0, 0, 0}));
    EXPECT_EQ(body.OwnedCellCount(), 1u);
    EXPECT_TRUE(body.IsConsistent());
}

TEST(TBodyBlockTest, CellsAreVariableTemplatesAndSurviveZeroRows)
{
    TBodyBlock body(3, 2);
    body.Template(1).SetHAlign(tally::printing::HorzAlign::Centre);
    body.Merge({1, 0, 2, 0});
    TCell &cell = body.GetCell(2, 1);
    EXPECT_EQ(&cell, &body.Template(1));
    EXPECT_EQ(cell.Row(), 1);
    EXPECT_FALSE(cell.FixedText());
    EXPECT_EQ(cell.CellName(), "B2");
    expectReportError([&] { body.GetCell(0, 2); }, "Grid index out of range");

    body.DeleteRow(0);
    body.DeleteRow(0);
    EXPECT_TRUE(body.Empty());
    expectReportError([&] { body.GetCell(0, 0); }, "Grid index out of range");
    body.InsertRow(-1);
    EXPECT_EQ(body.RowCount(), 1);
    EXPECT_EQ(body.Template(1).ColSpan(), 1);
    EXPECT_EQ(body.Template(1).HAlign(), tally::printing::HorzAlign::Centre);
    EXPECT_EQ(body.FieldMap(), (std::vector<int>{0, 1, 1}));
}

TEST(ReportUtilsTest, CellNamesAndMulDiv)
{
    const std::pair<int, const char *> letters[] = {{0, "A"},    {25, "Z"},   {26, "AA"},
                                                    {27, "AB"},  {51, "AZ"},  {52, "BA"},
                                                    {701, "ZZ"}, {702, "AAA"}};
    for (const auto &[column, name] : letters)
        EXPECT_EQ(ColumnLetters(column), name) << column;

    struct MulDivCase
    {
        int value, numerator, denominator;
        std::optional<int> result;
    } cases[] = {
        {70, 96, 120, 56},
        {1, 96, 192, 1},
        {-1, 96, 192, -1},
        {3, 96, 144, 2},
        {5, 2, 4, 3},
        {-5, 2, 4, -3},
        {7, 1, 0, std::nullopt},
        {INT32_MAX, 2, 1, std::nullopt},
        {INT32_MAX, 96, 96, INT32_MAX},
    };
    for (const MulDivCase &c : cases)
        EXPECT_EQ(tally::MulDivChecked(c.value, c.numerator, c.denominator), c.result)
            << c.value << "/" << c.denominator;
}

} // namespace
