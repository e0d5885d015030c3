#include "layout/builtin/layoutbuilder.h"
#include "layout/builtin/layoutsourceparser.h"

#include "layout/tbilllayout.h"
#include "layout/tcell.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace tally::builtin {
namespace {

using layout::TBillLayout;
using printing::HorzAlign;
using printing::SumScope;
using printing::VertAlign;

LayoutSource sourceOf(const std::string &name)
{
    std::ifstream in(std::string(TALLY_BUILTIN_LAYOUT_DIR) + "/" + name + ".layout",
                     std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    LayoutSourceParseResult result = parseLayoutSource(text.str());
    EXPECT_TRUE(result) << name << ":" << result.line << ": " << result.message;
    return result ? *result.source : LayoutSource();
}

struct Expected
{
    const char *name;
    int cols;
    int rows;
    int width;
    int height;
    int head;
    int body;
    int tail;
    layout::TPageSettings page;
    std::size_t topItems;
    std::size_t bottomItems;
};

void PrintTo(const Expected &e, std::ostream *os)
{
    *os << e.name;
}

// Figures read off the design tables, independent of the sources.
const Expected kLayouts[] = {
    // The order form prints portrait: 40 body rows need a standing A4 sheet.
    {"TPrintDHD", 12, 42, 743, 1065, 2, 36, 2, {100, 0, 0, 0, 9, 0, 0, false}, 14, 9},
    {"TPrintDHD_HX", 14, 42, 938, 1065, 2, 36, 2, {100, 31, 0, 1, 9, 0, 0, false}, 14, 9},
    {"TPrintJHD", 10, 42, 753, 1088, 2, 36, 2, {100, 2, 32, 0, 9, 0, 0, false}, 22, 5},
    {"TPrintTHD", 11, 9, 753, 324, 1, 5, 1, {100, 2, 0, 0, 9, 0, 0, false}, 17, 13},
    {"TPrintTHD_SLL", 6, 9, 739, 319, 1, 4, 2, {100, 0, 47, 0, 130, 0, 0, false}, 21, 4},
    {"TprintJJBJD", 12, 16, 949, 442, 2, 8, 4, {74, 2, 0, 0, 130, 0, 0, false}, 17, 7},
    {"TPrintJSD", 10, 9, 863, 315, 1, 5, 1, {88, 0, 0, 0, 9, 0, 0, false}, 20, 6},
    {"TPrintJSKKD", 4, 9, 682, 588, 1, 5, 1, {}, 28, 29},
    {"TPrintJXJSD", 4, 9, 682, 588, 1, 5, 1, {}, 28, 29},
    {"TprintSPCGBJD", 12, 12, 753, 350, 2, 8, 0, {100, 2, 0, 0, 9, 0, 0, false}, 9, 10},
};

class BuiltLayout : public testing::TestWithParam<Expected>
{
};

TEST_P(BuiltLayout, MatchesItsSourceAndTable)
{
    const Expected &e = GetParam();
    const LayoutSource source = sourceOf(e.name);
    const std::unique_ptr<TBillLayout> built = buildLayout(source);
    EXPECT_EQ(compareWithSource(*built, source), "");

    EXPECT_EQ(built->ColCount(), e.cols);
    EXPECT_EQ(built->RowCount(), e.rows);
    EXPECT_EQ(built->GetPageWidth(), e.width);
    EXPECT_EQ(built->GetPageHeight(), e.height);
    EXPECT_EQ(built->RowCountHead(), e.head);
    EXPECT_EQ(built->RowCountBody(), e.body);
    EXPECT_EQ(built->RowCountTail(), e.tail);
    EXPECT_EQ(built->ColCountLeft(), 0);
    EXPECT_EQ(built->PageSettings(), e.page);
    EXPECT_EQ(built->TopFooters().size(), e.topItems);
    EXPECT_EQ(built->BottomFooters().size(), e.bottomItems);
    EXPECT_TRUE(built->IsConsistent());
    for (const layout::TFooter &item : built->TopFooters())
        EXPECT_EQ(item.VAlign(), VertAlign::Top) << item.Text();
}

INSTANTIATE_TEST_SUITE_P(Builtin, BuiltLayout, testing::ValuesIn(kLayouts),
                         [](const auto &testInfo) { return std::string(testInfo.param.name); });

TEST(BuiltLayoutComparison, NoticesEveryKindOfDifference)
{
    const LayoutSource source = sourceOf("TPrintJHD");
    const std::vector<std::pair<const char *, void (*)(TBillLayout &)>> changes = {
        {"cell text", [](TBillLayout &l) { l.HeadBlock().GetCell(4, 0).SetText("进"); }},
        {"sum", [](TBillLayout &l) { l.TailBlock().GetCell(7, 0).SetSumKind(SumScope::Running); }},
        {"span",
         [](TBillLayout &l) {
             l.HeadBlock().Split({0, 0, 0, 0});
         }},
        {"free item",
         [](TBillLayout &l) {
             l.BottomFooters()[2].SetRect({77, 5, 101, 18});
         }},
        {"font", [](TBillLayout &l) { l.TopFooters()[0].SetFontSize(9); }},
        {"body template",
         [](TBillLayout &l) { l.BodyBlock().Template(1).SetHAlign(HorzAlign::Right); }},
        {"grid line", [](TBillLayout &l) { l.SetTopLine(5, 20, false); }},
        {"page", [](TBillLayout &l) { l.PageSettings().ZoomRatio = 90; }},
        {"column", [](TBillLayout &l) { l.Cols().SetSize(3, 66); }},
    };
    for (const auto &[what, change] : changes) {
        const std::unique_ptr<TBillLayout> built = buildLayout(source);
        change(*built);
        EXPECT_NE(compareWithSource(*built, source), "") << what;
    }
}

TEST(BuiltLayoutFacts, ReceiptTotalCoversSevenColumnsAndBothTailRows)
{
    const std::unique_ptr<TBillLayout> built = buildLayout(sourceOf("TPrintJHD"));
    const layout::TBlock &tail = built->TailBlock();
    const layout::TCell &total = tail.Slot(6, 1);
    EXPECT_EQ(total.Text(), "合计：");
    EXPECT_EQ(&total, &tail.Slot(0, 0));
    EXPECT_EQ(total.GridRect(), (layout::TGridRect{0, 39, 6, 40}));
    EXPECT_EQ(total.CellName(), "A39");
    for (int col : {7, 8, 9}) {
        EXPECT_EQ(&tail.Slot(col, 0), &tail.Slot(col, 1));
        EXPECT_EQ(tail.Slot(col, 0).SumKind(), SumScope::Total);
    }
    EXPECT_EQ(tail.Slot(7, 0).SumField(), 7);
    EXPECT_EQ(tail.Slot(9, 0).SumField(), 9);
}

TEST(BuiltLayoutFacts, OrderFormsLeaveTheirLastBodyColumnWithoutField)
{
    for (const char *name : {"TPrintDHD", "TPrintDHD_HX"}) {
        const LayoutSource source = sourceOf(name);
        const std::unique_ptr<TBillLayout> built = buildLayout(source);
        const std::vector<int> &map = built->BodyBlock().FieldMap();
        ASSERT_FALSE(map.empty());
        EXPECT_EQ(map.back(), static_cast<int>(source.fields.size())) << name;
    }
}

TEST(BuiltLayoutFacts, BodyRowCountMovesTailAndHiddenLines)
{
    // The return note stores 5 body rows and one tail row, its quantity copy
    // 4 body rows and two tail rows; documents with 3 items shrink both.
    const std::unique_ptr<TBillLayout> note = buildLayout(sourceOf("TPrintTHD"));
    note->SetRowCountBody(3);
    EXPECT_EQ(note->TailBlock().RowOrigin(), 5);
    EXPECT_EQ(note->RowCount(), 7);
    EXPECT_EQ(note->Rows().Size(6), 38);
    const std::unique_ptr<TBillLayout> copy = buildLayout(sourceOf("TPrintTHD_SLL"));
    copy->SetRowCountBody(3);
    EXPECT_EQ(copy->TailBlock().RowOrigin(), 5);
    EXPECT_EQ(copy->RowCount(), 8);
    EXPECT_EQ(copy->Rows().Size(7), 46);
    EXPECT_FALSE(copy->Edge(1, 6).LeftLine); // hidden at grid row 7 before

    // The order form hides left lines in its tail rows 39 and 40 and a top
    // line in the head; shrinking the body moves the tail ones with their rows.
    const std::unique_ptr<TBillLayout> order = buildLayout(sourceOf("TPrintDHD"));
    order->SetRowCountBody(10);
    EXPECT_FALSE(order->Edge(4, 13).LeftLine);
    EXPECT_FALSE(order->Edge(4, 14).LeftLine);
    EXPECT_TRUE(order->Edge(4, 15).LeftLine);
    EXPECT_FALSE(order->Edge(5, 2).TopLine);
    EXPECT_EQ(order->TailBlock().Slot(10, 0).SumKind(), SumScope::Page);
}

TEST(BuiltLayoutFacts, PurchasePriceNoteHasNoTailRows)
{
    const std::unique_ptr<TBillLayout> built = buildLayout(sourceOf("TprintSPCGBJD"));
    EXPECT_EQ(built->TailBlock().ColCount(), 12);
    EXPECT_EQ(built->TailBlock().RowCount(), 0);
    EXPECT_EQ(built->TailBlock().RowOrigin(), 11);
    EXPECT_EQ(built->Rows().Size(11), 34);
}

} // namespace
} // namespace tally::builtin
