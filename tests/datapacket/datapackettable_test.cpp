#include "datapacket/datapackettable.h"
#include "datapacket/fielderror.h"
#include "datapacket/packeterror.h"
#include "support/packettext.h"

#include <gtest/gtest.h>

#include <vector>

namespace tally::datapacket {
namespace {

using test::packetText;

const std::string kHeaderFields = R"(<FIELD attrname="JLBH" fieldtype="i4"/>)"
                                  R"(<FIELD attrname="HTH" fieldtype="string" WIDTH="8"/>)"
                                  R"(<FIELD attrname="SHRMC" fieldtype="string" WIDTH="16"/>)"
                                  R"(<FIELD attrname="JE" fieldtype="r8"/>)";

std::string threeRows()
{
    return packetText(kHeaderFields, R"(<ROW JLBH="1" HTH="H1" SHRMC="张三" JE="1.5"/>)"
                                     R"(<ROW JLBH="2" HTH="H2" JE="2.5"/>)"
                                     R"(<ROW JLBH="3" HTH="H3" SHRMC="" JE="3.5"/>)");
}

FieldDef decl(std::string name, FieldKind kind, int size = 20)
{
    FieldDef d;
    d.name = std::move(name);
    d.kind = kind;
    d.size = size;
    return d;
}

TEST(DataPacketTable, LoadsFieldsRowsAndOpensOnFirstRow)
{
    DataPacketTable t;
    t.load(threeRows());
    EXPECT_TRUE(t.isActive());
    ASSERT_EQ(t.fieldCount(), 4);
    EXPECT_EQ(t.field(0).name(), "JLBH");
    EXPECT_EQ(t.field(0).kind(), FieldKind::Int32);
    EXPECT_EQ(t.field(1).size(), 8);
    EXPECT_EQ(t.field(3).kind(), FieldKind::Float);
    EXPECT_EQ(t.recordCount(), 3u);
    EXPECT_EQ(t.recordNumber(), 1u);
    EXPECT_FALSE(t.eof());
    EXPECT_EQ(t.field(2).asString(), "张三");
}

TEST(DataPacketTable, EmptyRowdataGivesFieldsWithoutRows)
{
    for (const char *rowdata : {"<ROWDATA></ROWDATA>", "<ROWDATA/>"}) {
        std::string text = packetText(kHeaderFields, "");
        text.replace(text.find("<ROWDATA></ROWDATA>"), 19, rowdata);
        DataPacketTable t;
        t.load(text);
        EXPECT_EQ(t.fieldCount(), 4) << rowdata;
        EXPECT_EQ(t.recordCount(), 0u);
        EXPECT_TRUE(t.eof());
        EXPECT_EQ(t.recordNumber(), 0u);
        t.next();
        EXPECT_TRUE(t.eof());
        EXPECT_TRUE(t.field(0).isNull());
        EXPECT_EQ(t.field(1).displayText(), "");
    }
}

struct MoveCase
{
    const char *name;
    void (*move)(DataPacketTable &);
    std::size_t recordNumber;
    bool eof;
};

const MoveCase kMoves[] = {
    {"First", [](DataPacketTable &t) { t.first(); }, 1, false},
    {"Next", [](DataPacketTable &t) { t.next(); }, 2, false},
    {"NextPastLast",
     [](DataPacketTable &t) {
         t.next();
         t.next();
         t.next();
     },
     3, true},
    {"MoveByTwo", [](DataPacketTable &t) { t.moveBy(2); }, 3, false},
    {"MoveByPastEnd", [](DataPacketTable &t) { t.moveBy(7); }, 3, true},
    {"MoveByHuge", [](DataPacketTable &t) { t.moveBy(1LL << 62); }, 3, true},
    {"MoveBackClamps",
     [](DataPacketTable &t) {
         t.moveBy(2);
         t.moveBy(-5);
     },
     1, false},
    {"MoveBackMinimum", [](DataPacketTable &t) { t.moveBy(-(1LL << 62) - 1); }, 1, false},
    {"MoveBackLeavesEnd",
     [](DataPacketTable &t) {
         t.moveBy(9);
         t.moveBy(-1);
     },
     2, false},
    {"MoveByZeroKeepsEnd",
     [](DataPacketTable &t) {
         t.moveBy(9);
         t.moveBy(0);
     },
     3, true},
    {"FirstAfterEnd",
     [](DataPacketTable &t) {
         t.moveBy(9);
         t.first();
     },
     1, false},
    {"RecordNumber", [](DataPacketTable &t) { t.setRecordNumber(3); }, 3, false},
    {"RecordNumberClampsHigh", [](DataPacketTable &t) { t.setRecordNumber(10); }, 3, false},
    {"RecordNumberClampsLow", [](DataPacketTable &t) { t.setRecordNumber(0); }, 1, false},
};

class Navigation : public testing::TestWithParam<MoveCase>
{
};

TEST_P(Navigation, MovesCurrentRowAndEndFlag)
{
    DataPacketTable t;
    t.load(threeRows());
    GetParam().move(t);
    EXPECT_EQ(t.recordNumber(), GetParam().recordNumber);
    EXPECT_EQ(t.eof(), GetParam().eof);
    EXPECT_EQ(t.field(0).asInteger(), static_cast<std::int64_t>(GetParam().recordNumber));
}

INSTANTIATE_TEST_SUITE_P(Table, Navigation, testing::ValuesIn(kMoves),
                         [](const auto &p) { return std::string(p.param.name); });

TEST(DataPacketTable, WalksEveryRowOnce)
{
    DataPacketTable t;
    t.load(threeRows());
    std::vector<std::int64_t> seen;
    for (t.first(); !t.eof(); t.next())
        seen.push_back(t.field(0).asInteger());
    EXPECT_EQ(seen, (std::vector<std::int64_t>{1, 2, 3}));
}

TEST(DataPacketTable, LookupIgnoresCase)
{
    DataPacketTable t;
    t.load(threeRows());
    EXPECT_EQ(&t.fieldByName("jlbh"), &t.field(0));
    EXPECT_EQ(t.findField("Shrmc"), &t.field(2));
    EXPECT_EQ(t.findField("NOPE"), nullptr);
    try {
        t.fieldByName("NOPE");
        FAIL() << "lookup of a missing field did not fail";
    } catch (const FieldError &e) {
        EXPECT_STREQ(e.what(), "field \"NOPE\" not found");
    }
    EXPECT_THROW(t.field(4), FieldError);
    EXPECT_THROW(t.field(-1), FieldError);
}

TEST(DataPacketTable, FailedLoadLeavesTableClosedAndEmpty)
{
    DataPacketTable t;
    t.load(threeRows());
    std::string bad = threeRows();
    bad.replace(bad.find("JLBH=\"3\""), 8, "JLBH=\"x\"");
    try {
        t.load(bad);
        FAIL() << "bad packet loaded";
    } catch (const PacketError &e) {
        EXPECT_EQ(e.status(), PacketStatus::BadValue);
        EXPECT_EQ(e.result().row, 3u);
        EXPECT_EQ(e.result().field, "JLBH");
        EXPECT_EQ(e.offset(), static_cast<std::ptrdiff_t>(bad.find("x\"")));
    }
    EXPECT_FALSE(t.isActive());
    EXPECT_EQ(t.recordCount(), 0u);
    EXPECT_EQ(t.fieldCount(), 0);
    EXPECT_TRUE(t.eof());
    // And it loads again afterwards.
    t.load(threeRows());
    EXPECT_EQ(t.recordCount(), 3u);
}

class DeclaredTable : public testing::Test
{
protected:
    void SetUp() override
    {
        FieldDef label = decl("HTH", FieldKind::Text, 4);
        label.displayLabel = "合同编号";
        table.setDeclaredFields(
            {label, decl("jlbh", FieldKind::Int32), decl("SHRMC", FieldKind::Text, 16)});
    }
    DataPacketTable table;
};

TEST_F(DeclaredTable, OnlyDeclaredFieldsAreVisibleInDeclaredOrder)
{
    table.load(threeRows());
    ASSERT_EQ(table.fieldCount(), 3);
    EXPECT_EQ(table.field(0).name(), "HTH");
    EXPECT_EQ(table.field(0).displayLabel(), "合同编号");
    EXPECT_EQ(table.field(1).displayLabel(), "jlbh");
    EXPECT_EQ(table.field(1).asInteger(), 1);
    EXPECT_EQ(table.findField("JE"), nullptr);
    EXPECT_THROW(table.fieldByName("JE"), FieldError);
}

TEST_F(DeclaredTable, DeclaredSizeWinsOverWidthAndValuesStayWhole)
{
    table.load(threeRows());
    // Declared 4 against WIDTH 8: the declaration gives the width, the text is the packet's.
    EXPECT_EQ(table.field(0).size(), 4);
    EXPECT_EQ(table.field(0).displayWidth(), 4);
    EXPECT_EQ(table.field(0).asString(), "H1");
}

TEST_F(DeclaredTable, MissingAttributeIsNull)
{
    table.load(threeRows());
    table.setRecordNumber(2);
    PacketField &shr = table.fieldByName("SHRMC");
    EXPECT_TRUE(shr.isNull());
    EXPECT_EQ(shr.displayText(), "");
    EXPECT_EQ(shr.asString(), "");
    EXPECT_THROW(shr.asInteger(), FieldError);
    table.next();
    // An empty attribute is the empty text, not null.
    EXPECT_FALSE(shr.isNull());
    EXPECT_EQ(shr.asString(), "");
}

TEST_F(DeclaredTable, FieldObjectsSurviveReloadAndFailure)
{
    PacketField *hth = &table.field(0);
    table.load(threeRows());
    EXPECT_THROW(table.load(packetText(R"(<FIELD attrname="HTH" fieldtype="string"/>)", "")),
                 PacketError);
    EXPECT_FALSE(table.isActive());
    EXPECT_EQ(table.fieldCount(), 3);
    EXPECT_EQ(&table.field(0), hth);
    EXPECT_TRUE(hth->isNull());
    table.load(threeRows());
    EXPECT_EQ(hth->asString(), "H1");
}

TEST(DataPacketTable, SuspendAndResumeDisplayNest)
{
    DataPacketTable t;
    std::vector<bool> calls;
    t.setDisplayObserver([&](bool suspended) { calls.push_back(suspended); });
    t.suspendDisplay();
    t.suspendDisplay();
    EXPECT_TRUE(t.displaySuspended());
    t.resumeDisplay();
    EXPECT_TRUE(t.displaySuspended());
    t.resumeDisplay();
    t.resumeDisplay(); // unbalanced resume is harmless
    EXPECT_FALSE(t.displaySuspended());
    EXPECT_EQ(calls, (std::vector<bool>{true, false}));
}

struct LenientCase
{
    const char *name;
    std::string text;
    int width; // display width of field 0
    const char *value;
};

class Leniency : public testing::TestWithParam<LenientCase>
{
};

TEST_P(Leniency, Loads)
{
    DataPacketTable t;
    t.load(GetParam().text);
    ASSERT_EQ(t.recordCount(), 1u);
    EXPECT_EQ(t.field(0).displayWidth(), GetParam().width);
    EXPECT_EQ(t.field(0).displayText(), GetParam().value);
}

const LenientCase kLenient[] = {
    {"WhiteSpaceBeforeProlog",
     " \r\n" + packetText(R"(<FIELD attrname="A" fieldtype="i4"/>)", R"(<ROW A="7"/>)"), 10, "7"},
    {"ByteOrderMark",
     "\xEF\xBB\xBF" + packetText(R"(<FIELD attrname="A" fieldtype="i4"/>)", R"(<ROW A="7"/>)"), 10,
     "7"},
    {"NoProlog",
     R"(<DATAPACKET Version="2.0"><METADATA><FIELDS><FIELD attrname="A" fieldtype="i4"/></FIELDS></METADATA><ROWDATA><ROW A="7"/></ROWDATA></DATAPACKET>)",
     10, "7"},
    {"LowerCaseWidthIsNotWidth",
     packetText(R"(<FIELD attrname="S" fieldtype="string" width="4"/>)", R"(<ROW S="abc"/>)"), 20,
     "abc"},
    {"WidthOnIntegerIgnored",
     packetText(R"(<FIELD attrname="A" fieldtype="i4" WIDTH="3"/>)", R"(<ROW A="12345"/>)"), 10,
     "12345"},
    {"OverlongTextKeptWhole",
     packetText(R"(<FIELD attrname="S" fieldtype="string" WIDTH="4"/>)",
                R"(<ROW S="康师傅红烧牛肉面"/>)"),
     4, "康师傅红烧牛肉面"},
    {"RowStateAndUnknownAttributesIgnored",
     packetText(R"(<FIELD attrname="A" fieldtype="i4"/>)", R"(<ROW RowState="4" A="7" X="?"/>)"),
     10, "7"},
    {"EscapedText",
     packetText(R"(<FIELD attrname="S" fieldtype="string" WIDTH="9"/>)",
                R"(<ROW S="a&amp;b&lt;&quot;&#x4E2D;"/>)"),
     9, "a&b<\"中"},
    {"CommentsAndWhiteSpaceBetweenElements",
     packetText("\n  <!-- x --><FIELD attrname=\"A\" fieldtype=\"i4\"/>\n", "\n<ROW A=\"7\"/>\n"),
     10, "7"},
    {"EmptyNumberIsNull", packetText(R"(<FIELD attrname="A" fieldtype="i4"/>)", R"(<ROW A=""/>)"),
     10, ""},
};

INSTANTIATE_TEST_SUITE_P(Table, Leniency, testing::ValuesIn(kLenient),
                         [](const auto &p) { return std::string(p.param.name); });

// Reads by position give every row's value and leave the current row where
// it is, so several readers can share one table.
TEST(DataPacketTable, CellReadsByPositionLeaveTheCurrentRow)
{
    DataPacketTable t;
    t.load(threeRows());
    t.next();
    struct Case
    {
        std::size_t row;
        int column;
        bool null;
        const char *text;
    };
    const Case cases[] = {
        {0, 0, false, "1"}, {2, 0, false, "3"}, {0, 2, false, "张三"},
        {1, 2, true, ""},   {2, 2, false, ""},  {1, 3, false, "2.5"},
    };
    for (const Case &c : cases) {
        const FieldCell cell = t.cell(c.row, c.column);
        EXPECT_EQ(cell.isNull(), c.null) << c.row << "," << c.column;
        EXPECT_EQ(cell.displayText(), c.text) << c.row << "," << c.column;
    }
    EXPECT_EQ(t.cell(2, 0).asInteger(), 3);
    EXPECT_DOUBLE_EQ(t.cell(0, 3).asFloat(), 1.5);
    EXPECT_EQ(t.cell(2, 3).asCurrency(), Currency::fromScaled(35000));
    EXPECT_EQ(t.recordNumber(), 2u);
    EXPECT_FALSE(t.eof());
}

TEST(DataPacketTable, CellOutsideTheTableIsAnError)
{
    DataPacketTable t;
    t.load(threeRows());
    EXPECT_THROW(t.cell(3, 0), FieldError);
    EXPECT_THROW(t.cell(0, 4), FieldError);
    // A failed read names the row it was asked for, not the current row.
    try {
        t.cell(1, 1).asInteger();
        ADD_FAILURE() << "H2 read as an integer";
    } catch (const FieldError &e) {
        EXPECT_NE(std::string(e.what()).find("row 2"), std::string::npos) << e.what();
    }
    t.close();
    EXPECT_THROW(t.cell(0, 0), FieldError);
}

PacketFieldInfo info(std::string name, FieldKind kind)
{
    PacketFieldInfo f;
    f.name = std::move(name);
    f.kind = kind;
    return f;
}

// Rows appended after a packet load keep the fields, their display settings
// and the text cells loaded before them.
TEST(DataPacketTable, AppendedRowsFollowTheLoadedOnes)
{
    DataPacketTable table;
    table.load(threeRows());
    table.fieldByName("SHRMC").setDisplayLabel("审核人");
    table.next();

    PacketData more;
    more.fields = {info("JLBH", FieldKind::Int32), info("HTH", FieldKind::Text),
                   info("SHRMC", FieldKind::Text), info("JE", FieldKind::Float)};
    more.rowCount = 1;
    more.text = std::string("H4\0李四\0", 10);
    for (const PacketFieldInfo &f : more.fields)
        more.columns.emplace_back().resize(f.kind, 1);
    more.columns[0].set(0, cell::fromInt(4));
    more.columns[1].set(0, cell::fromText(0));
    more.columns[2].set(0, cell::fromText(3));
    for (int c : {0, 1, 2})
        more.columns[static_cast<std::size_t>(c)].nulls.set(0, false);
    table.appendData(more);

    ASSERT_EQ(table.recordCount(), 4u);
    EXPECT_EQ(table.recordNumber(), 1u);
    EXPECT_EQ(table.fieldByName("SHRMC").displayLabel(), "审核人");
    EXPECT_EQ(table.cell(0, 2).asString(), "张三");
    EXPECT_EQ(table.cell(3, 0).asInteger(), 4);
    EXPECT_EQ(table.cell(3, 1).asString(), "H4");
    EXPECT_EQ(table.cell(3, 2).asString(), "李四");
    EXPECT_TRUE(table.cell(3, 3).isNull());
}

// A text cell with a length reads that many bytes, one without reads to its
// NUL; both keep reading the same once appended behind other text.
TEST(DataPacketTable, TextCellsReadTheirLengthOrUpToTheirNul)
{
    DataPacketTable table;
    table.load(threeRows());
    PacketData more;
    more.fields = {info("JLBH", FieldKind::Int32), info("HTH", FieldKind::Text),
                   info("SHRMC", FieldKind::Text), info("JE", FieldKind::Float)};
    more.rowCount = 2;
    more.text = std::string("H4\0李四\0", 10);
    for (const PacketFieldInfo &f : more.fields)
        more.columns.emplace_back().resize(f.kind, 2);
    more.columns[1].set(0, cell::fromText(0, 2));
    more.columns[2].set(0, cell::fromText(3));
    more.columns[1].set(1, cell::fromText(0, 1));
    more.columns[2].set(1, cell::fromText(3, 3));
    for (std::size_t row : {0u, 1u})
        for (std::size_t c : {1u, 2u})
            more.columns[c].nulls.set(row, false);
    table.appendData(more);
    table.appendData(more);

    ASSERT_EQ(table.recordCount(), 7u);
    for (std::size_t first : {3u, 5u}) {
        EXPECT_EQ(table.cell(first, 1).textView(), "H4");
        EXPECT_EQ(table.cell(first, 2).textView(), "李四");
        EXPECT_EQ(table.cell(first + 1, 1).textView(), "H");
        EXPECT_EQ(table.cell(first + 1, 2).asString(), "李");
    }
}

TEST(DataPacketTable, LoadDataRefusesDataWithoutACellPerRow)
{
    PacketData data;
    data.fields = {info("A", FieldKind::Int32)};
    data.rowCount = 2;
    data.columns.emplace_back().resize(FieldKind::Int32, 1);
    DataPacketTable table;
    EXPECT_THROW(table.loadData(data), std::invalid_argument);
    EXPECT_FALSE(table.isActive());

    DataPacketTable declared;
    declared.setDeclaredFields({decl("A", FieldKind::Int32)});
    data.columns[0].resize(FieldKind::Int32, 2);
    EXPECT_THROW(declared.loadData(data), std::invalid_argument);
    EXPECT_NO_THROW(table.loadData(data));
    EXPECT_EQ(table.recordCount(), 2u);
}

} // namespace
} // namespace tally::datapacket
