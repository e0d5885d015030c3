#include "layout/builtin/layoutsourceparser.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace tally::builtin {
namespace {

using printing::HorzAlign;
using printing::SumScope;
using printing::VertAlign;

std::string readSource(const std::string &name)
{
    std::ifstream in(std::string(TALLY_BUILTIN_LAYOUT_DIR) + "/" + name + ".layout",
                     std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

LayoutSource parsedSource(const std::string &name)
{
    LayoutSourceParseResult result = parseLayoutSource(readSource(name));
    EXPECT_TRUE(result) << name << ":" << result.line << ": " << result.message;
    return result ? *result.source : LayoutSource();
}

const char *const kTiny = R"(# smallest source that uses every kind of line
layout: Tiny
caption: 小样
bill: Bill1
table: tblTiny
fields: A, B
page: ZoomRatio 80; Offset 3, -4; PrintOrient 1; PaperSize 256; PaperLength 2970; PaperWidth 2100; AutoFit
columns: 10, 20, 30
rows: top area 5; head 22; body 2 x 22; tail 21, 23; bottom area 5
extent: 63 × 127

top items:
| text | var | L, T, R, B | note |
|---|---|---|---|
| "T  1" | var | 1, 2, 3, 4 | font "黑体", 20 pt, bold, italic, underline, centred, middle |
| (empty) |  | 5, 6, 7, 8 |  |

bottom items: none

head cells:
| slot | text | span | align | var | sum |
| 0, 0 | "H" | +1 col | centre | var |  |

body columns:
| column | field | align |
| 0–1 | A | left |
| 2 | B | right |

tail cells:
| slot | text | span | align | var | sum |
| 0, 0 | "合 计" | +1 col +1 row | left |  |  |
| 2, 1 |  |  | right | var | running, B |

hidden lines:
| slot | line |
| 3, 2 | left |
| 0, 4 | top |
| 3, 2 | top |
)";

TEST(LayoutSourceParser, ReadsEveryKindOfLine)
{
    const LayoutSourceParseResult result = parseLayoutSource(kTiny);
    ASSERT_TRUE(result) << result.line << ": " << result.message;
    const LayoutSource &s = *result.source;
    EXPECT_EQ(s.name, "Tiny");
    EXPECT_EQ(s.caption, "小样");
    EXPECT_EQ(s.fields, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(s.page.zoomRatio, 80);
    EXPECT_EQ(s.page.offsetX, 3);
    EXPECT_EQ(s.page.offsetY, -4);
    EXPECT_EQ(s.page.printOrient, 1);
    EXPECT_EQ(s.page.paperSize, 256);
    EXPECT_EQ(s.page.paperLength, 2970);
    EXPECT_EQ(s.page.paperWidth, 2100);
    EXPECT_TRUE(s.page.autoFit);
    EXPECT_EQ(s.gridRows(), (std::vector<int>{5, 22, 22, 22, 21, 23, 5}));

    ASSERT_EQ(s.topItems.size(), 2u);
    const LayoutSource::Unit &title = s.topItems[0].unit;
    EXPECT_EQ(title.text, "T  1");
    EXPECT_EQ(title.fontName, "黑体");
    EXPECT_EQ(title.fontSize, 20);
    EXPECT_TRUE(title.bold && title.italic && title.underline);
    EXPECT_EQ(title.hAlign, HorzAlign::Centre);
    EXPECT_EQ(title.vAlign, VertAlign::Middle);
    EXPECT_FALSE(title.fixedText);
    const LayoutSource::FreeItem &plain = s.topItems[1];
    EXPECT_EQ(plain.unit.text, "");
    EXPECT_EQ(plain.unit.fontName, "宋体");
    EXPECT_EQ(plain.unit.fontSize, 9);
    EXPECT_EQ(plain.unit.hAlign, HorzAlign::Left);
    EXPECT_EQ(plain.unit.vAlign, VertAlign::Top);
    EXPECT_TRUE(plain.unit.fixedText);
    EXPECT_EQ((std::vector{plain.left, plain.top, plain.right, plain.bottom}),
              (std::vector{5, 6, 7, 8}));
    EXPECT_TRUE(s.bottomItems.empty());

    ASSERT_EQ(s.headCells.size(), 1u);
    EXPECT_EQ(s.headCells[0].colSpan, 1);
    EXPECT_EQ(s.headCells[0].unit.vAlign, VertAlign::Middle);
    ASSERT_EQ(s.tailCells.size(), 2u);
    EXPECT_EQ(s.tailCells[0].unit.text, "合 计");
    EXPECT_EQ(s.tailCells[0].unit.hAlign, HorzAlign::Left);
    EXPECT_EQ(s.tailCells[0].colSpan, 1);
    EXPECT_EQ(s.tailCells[0].rowSpan, 1);
    EXPECT_EQ(s.tailCells[1].unit.sumKind, SumScope::Running);
    EXPECT_EQ(s.tailCells[1].unit.sumField, 1);
    EXPECT_EQ(s.tailCells[1].unit.hAlign, HorzAlign::Right);

    ASSERT_EQ(s.bodyColumns.size(), 2u);
    EXPECT_EQ(s.bodyColumns[0].last, 1);
    EXPECT_EQ(s.fieldMap(), (std::vector{0, 0, 1}));

    // One entry per slot, in the order the stream lists edges.
    ASSERT_EQ(s.hiddenLines.size(), 2u);
    EXPECT_EQ(s.hiddenLines[0].col, 0);
    EXPECT_TRUE(s.hiddenLines[0].top);
    EXPECT_FALSE(s.hiddenLines[0].left);
    EXPECT_EQ(s.hiddenLines[1].col, 3);
    EXPECT_TRUE(s.hiddenLines[1].top && s.hiddenLines[1].left);
}

TEST(LayoutSourceParser, AcceptsByteOrderMarkAndCrLf)
{
    std::string text = "\xEF\xBB\xBF";
    for (const char *c = kTiny; *c; ++c)
        text += *c == '\n' ? std::string("\r\n") : std::string(1, *c);
    const LayoutSourceParseResult result = parseLayoutSource(text);
    ASSERT_TRUE(result) << result.line << ": " << result.message;
    EXPECT_EQ(result.source->name, "Tiny");
    EXPECT_EQ(result.source->topItems[0].unit.text, "T  1");
    EXPECT_EQ(result.source->hiddenLines.size(), 2u);
}

struct BadSource
{
    const char *name;
    const char *from; // replaced in kTiny
    const char *to;
    const char *lineWith; // text of the failing line; nullptr for a whole-file check
    const char *message;
};

void PrintTo(const BadSource &bad, std::ostream *os)
{
    *os << bad.name;
}

class LayoutSourceParserErrors : public testing::TestWithParam<BadSource>
{
};

TEST_P(LayoutSourceParserErrors, StopAtTheFaultyLine)
{
    const BadSource &bad = GetParam();
    std::string text = kTiny;
    const std::size_t at = text.find(bad.from);
    ASSERT_NE(at, std::string::npos) << bad.from;
    text.replace(at, std::string_view(bad.from).size(), bad.to);

    const LayoutSourceParseResult result = parseLayoutSource(text);
    ASSERT_FALSE(result);
    int expectedLine = 0;
    if (bad.lineWith) {
        const std::size_t pos = text.find(bad.lineWith);
        ASSERT_NE(pos, std::string::npos);
        expectedLine = 1 + static_cast<int>(std::count(text.begin(), text.begin() + pos, '\n'));
    }
    EXPECT_EQ(result.line, expectedLine) << result.message;
    EXPECT_NE(result.message.find(bad.message), std::string::npos) << result.message;
}

const BadSource kBadSources[] = {
    {"WrongExtent", "63 × 127", "63 × 128", nullptr, "extent is 63 × 127, not 63 × 128"},
    {"SpanOutsideBlock", "+1 col | centre", "+3 col | centre", "\"H\"", "outside the head block"},
    {"CellBelowBlock", "| 2, 1 |", "| 2, 2 |", "| 2, 2 |", "outside the tail block"},
    {"OverlappingCells", "| 2, 1 |", "| 1, 1 |", "| 1, 1 |", "overlaps the cell of line"},
    {"UnknownSumField", "running, B", "running, C", "running, C", "unknown field: C"},
    {"UnknownSumKind", "running, B", "daily, B", "daily, B", "page, running or total"},
    {"BodyFieldMismatch", "| 2 | B |", "| 2 | A |", "| 2 | A |", "shows field B, not A"},
    {"NoneWhereFieldExists", "| 2 | B |", "| 2 | none |", "| 2 | none |", "shows field B"},
    {"BodyGap", "| 2 | B |", "| 3 | B |", "| 3 | B |", "expected column 2"},
    {"BodyTooShort", "| 2 | B | right |\n", "", "| 0–1 |", "cover all 3 columns"},
    {"HiddenLineRightOfGrid", "| 3, 2 | left |", "| 4, 2 | left |", "| 4, 2 |", "outside the grid"},
    {"HiddenLineInTopArea", "| 0, 4 | top |", "| 0, 0 | top |", "| 0, 0 | top", "outside the grid"},
    {"HiddenLineTwice", "| 3, 2 | top |", "| 3,  2 | left |", "| 3,  2 | left |", "given twice"},
    {"WrongHeaderRow", "| slot | line |", "| slot | edge |", "| slot | edge |", "must read"},
    {"MissingHeaderRow", "| slot | line |\n", "", "| 3, 2 | left |", "must read"},
    {"UnterminatedText", "\"H\"", "\"H", "\"H", "unterminated text"},
    {"UnknownNote", "centred, middle", "centred, blink", "blink", "unknown note: blink"},
    {"NoteTwice", "20 pt, bold", "20 pt, 8 pt", "8 pt", "note given twice"},
    {"MissingSection", "bottom items: none\n", "", nullptr, "missing section: bottom items"},
    {"MissingExtent", "extent: 63 × 127\n", "", nullptr, "missing line: extent"},
    {"PaperLengthWithoutCustomSize", "PaperSize 256", "PaperSize 9", "PaperSize 9",
     "need PaperSize 256"},
    {"BadOrientation", "PrintOrient 1", "PrintOrient 2", "PrintOrient 2", "0 or 1"},
    {"RowsOutOfOrder", "head 22; body", "body 22; head", "rows:", "expected 'head'"},
    {"TwoTopRows", "top area 5;", "top area 5, 6;", "rows:", "one row each"},
    {"NotANumber", "columns: 10, 20, 30", "columns: 10, 2O, 30", "columns:", "not a number"},
    {"UnknownKey", "bill: Bill1", "colour: red", "colour:", "unknown line: colour"},
    {"HeaderAfterTables", "\nhidden lines:", "\ncolumns: 1\nhidden lines:", "columns: 1\n",
     "before the tables"},
    {"BadSpan", "+1 col +1 row", "+1 col +1", "+1 col +1 |", "span is"},
    {"HugeSpan", "+1 col +1 row", "+2147483647 col", "+2147483647", "outside the tail block"},
    {"ZeroSpan", "+1 col +1 row", "+0 col", "+0 col", "positive"},
};

INSTANTIATE_TEST_SUITE_P(Cases, LayoutSourceParserErrors, testing::ValuesIn(kBadSources),
                         [](const auto &testInfo) { return std::string(testInfo.param.name); });

// The ten sources of the program, checked against figures worth a second look.
const char *const kBuiltinNames[] = {"TPrintDHD",     "TPrintDHD_HX", "TPrintJHD", "TPrintTHD",
                                     "TPrintTHD_SLL", "TprintJJBJD",  "TPrintJSD", "TPrintJSKKD",
                                     "TPrintJXJSD",   "TprintSPCGBJD"};

TEST(BuiltinLayoutSources, AllParseUnderTheirOwnName)
{
    for (const char *name : kBuiltinNames)
        EXPECT_EQ(parsedSource(name).name, name);
}

TEST(BuiltinLayoutSources, WideOrderFormSharesTheFreeItemsOfTheOrderForm)
{
    const LayoutSource narrow = parsedSource("TPrintDHD");
    const LayoutSource wide = parsedSource("TPrintDHD_HX");
    const auto same = [](const std::vector<LayoutSource::FreeItem> &a,
                         const std::vector<LayoutSource::FreeItem> &b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto &x, const auto &y) {
            return x.unit.text == y.unit.text && x.unit.fixedText == y.unit.fixedText &&
                   x.unit.fontSize == y.unit.fontSize && x.unit.hAlign == y.unit.hAlign &&
                   x.left == y.left && x.top == y.top && x.right == y.right && x.bottom == y.bottom;
        });
    };
    EXPECT_EQ(narrow.topItems.size(), 14u);
    EXPECT_EQ(narrow.bottomItems.size(), 9u);
    EXPECT_TRUE(same(narrow.topItems, wide.topItems));
    EXPECT_TRUE(same(narrow.bottomItems, wide.bottomItems));
}

TEST(BuiltinLayoutSources, DealerNoteMovesOnlyTwoTopItemsOfTheSettlementNotice)
{
    const std::string notice = readSource("TPrintJSKKD");
    const std::string dealer = readSource("TPrintJXJSD");
    std::istringstream a(notice);
    std::istringstream b(dealer);
    std::vector<std::string> differing;
    for (std::string x, y; std::getline(a, x) && std::getline(b, y);)
        if (x != y)
            differing.push_back(y);
    EXPECT_EQ(differing, (std::vector<std::string>{
                             "# Dealer settlement note (the settlement notice with two top items "
                             "moved).",
                             "layout: TPrintJXJSD",
                             "caption: 打印经销结算单",
                             "| \"供应商：\" |  | 172, 82, 220, 94 |  |",
                             "| \":GHDWMC\" | var | 223, 83, 265, 95 |  |",
                         }));
    EXPECT_EQ(std::count(notice.begin(), notice.end(), '\n'),
              std::count(dealer.begin(), dealer.end(), '\n'));
    const LayoutSource parsed = parsedSource("TPrintJXJSD");
    ASSERT_GE(parsed.topItems.size(), 11u);
    EXPECT_EQ(parsed.topItems[9].unit.text, "供应商：");
    EXPECT_EQ(parsed.topItems[10].unit.text, ":GHDWMC");
}

TEST(BuiltinLayoutSources, QuantityCopyTotalKeepsItsFifteenSpaces)
{
    const LayoutSource s = parsedSource("TPrintTHD_SLL");
    ASSERT_GE(s.tailCells.size(), 2u);
    EXPECT_EQ(s.tailCells[1].unit.text, "合" + std::string(15, ' ') + "计");
    EXPECT_EQ(s.tailCells[1].colSpan, 4);
}

TEST(BuiltinLayoutSources, CostPriceNoteMapsFieldsAroundItsMergedTemplate)
{
    const LayoutSource s = parsedSource("TprintJJBJD");
    EXPECT_EQ(s.fieldMap(), (std::vector{0, 1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(s.fields[s.fieldMap()[3]], "SPGG");
    EXPECT_EQ(s.fields[s.fieldMap()[11]], "JSHJ");
    EXPECT_EQ(s.page.zoomRatio, 74);
}

} // namespace
} // namespace tally::builtin
