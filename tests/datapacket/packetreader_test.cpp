#include "datapacket/datapackettable.h"
#include "datapacket/packetreader.h"
#include "support/packettext.h"

#include <gtest/gtest.h>

#include <vector>

namespace tally::datapacket {
namespace {

using test::packetText;

const std::string kOneInt = R"(<FIELD attrname="A" fieldtype="i4"/>)";
const std::string kGood = packetText(kOneInt, R"(<ROW A="1"/>)");
// A nested dataset column as other programs write it.
const std::string kNested = R"(<FIELD attrname="MX" fieldtype="nested"><FIELDS>)"
                            R"(<FIELD attrname="SL" fieldtype="i4"/></FIELDS><PARAMS/></FIELD>)";

std::string replaced(std::string s, std::string_view from, std::string_view to)
{
    s.replace(s.find(from), from.size(), to);
    return s;
}

struct FailureCase
{
    const char *name;
    std::string text;
    std::vector<FieldDef> declared;
    PacketStatus status;
    // Where the failure must be reported: the first occurrence of `at` in the
    // text plus `delta`; an empty `at` means the literal `delta`.
    std::string at;
    std::ptrdiff_t delta;
    std::string field;
    std::size_t row;
};

FieldDef decl(std::string name, FieldKind kind)
{
    FieldDef d;
    d.name = std::move(name);
    d.kind = kind;
    return d;
}

class PacketReaderFailure : public testing::TestWithParam<FailureCase>
{
};

TEST_P(PacketReaderFailure, ReportsStatusOffsetFieldAndRow)
{
    const FailureCase &c = GetParam();
    PacketData data;
    data.rowCount = 99;
    const PacketParseResult r = PacketReader::read(c.text, c.declared, data);
    EXPECT_FALSE(r);
    EXPECT_EQ(r.status, c.status) << packetStatusName(r.status) << ": " << r.description();
    const std::ptrdiff_t expected =
        c.at.empty() ? c.delta : static_cast<std::ptrdiff_t>(c.text.find(c.at)) + c.delta;
    ASSERT_TRUE(c.at.empty() || c.text.find(c.at) != std::string::npos) << c.at;
    EXPECT_EQ(r.offset, expected) << r.description();
    EXPECT_EQ(r.field, c.field);
    EXPECT_EQ(r.row, c.row);
    EXPECT_FALSE(r.message.empty());
    // Nothing half-read is handed out.
    EXPECT_EQ(data.rowCount, 0u);
    EXPECT_TRUE(data.fields.empty());
    EXPECT_TRUE(data.columns.empty());
}

const FailureCase kFailures[] = {
    {"Empty", "", {}, PacketStatus::NotAPacket, "", 0, "", 0},
    {"PlainText", "hello", {}, PacketStatus::NotAPacket, "", 0, "", 0},
    {"Truncated", kGood.substr(0, kGood.size() - 5), {}, PacketStatus::XmlSyntax, "", 180, "", 0},
    {"UnclosedAttribute",
     replaced(kGood, R"(A="1")", R"(A="1)"),
     {},
     PacketStatus::XmlSyntax,
     R"(A="1)",
     3,
     "",
     0},
    {"AttributesNotSeparated",
     replaced(kGood, R"(attrname="A" fieldtype)", R"(attrname="A"fieldtype)"),
     {},
     PacketStatus::XmlSyntax,
     "fieldtype",
     0,
     "",
     0},
    {"WrongRoot", "<PACKET/>", {}, PacketStatus::NotAPacket, "", 0, "", 0},
    {"TwoRoots", kGood + "<DATAPACKET/>", {}, PacketStatus::NotAPacket, "</DATAPACKET>", 13, "", 0},
    {"StrayCharacterAfterRoot",
     kGood + "x",
     {},
     PacketStatus::NotAPacket,
     "</DATAPACKET>",
     13,
     "",
     0},
    {"StrayTextBeforeRoot", "x" + kGood, {}, PacketStatus::NotAPacket, "", 0, "", 0},
    {"NoMetadata",
     R"(<DATAPACKET><ROWDATA/></DATAPACKET>)",
     {},
     PacketStatus::NotAPacket,
     "",
     0,
     "",
     0},
    {"NoFields",
     R"(<DATAPACKET><METADATA/><ROWDATA/></DATAPACKET>)",
     {},
     PacketStatus::NotAPacket,
     "<METADATA",
     0,
     "",
     0},
    {"NoRowdata",
     R"(<DATAPACKET><METADATA><FIELDS/></METADATA></DATAPACKET>)",
     {},
     PacketStatus::NotAPacket,
     "",
     0,
     "",
     0},
    {"TwoRowdata",
     kGood.substr(0, kGood.size() - 13) + "<ROWDATA/></DATAPACKET>",
     {},
     PacketStatus::NotAPacket,
     "<ROWDATA/>",
     0,
     "",
     0},
    {"OtherElementInRowdata",
     packetText(kOneInt, "<ROW A=\"1\"/><RECORD/>"),
     {},
     PacketStatus::NotAPacket,
     "<RECORD",
     0,
     "",
     0},
    {"TextInRowdata",
     packetText(kOneInt, "<ROW A=\"1\"/>junk"),
     {},
     PacketStatus::NotAPacket,
     "junk",
     0,
     "",
     0},
    {"FieldWithoutName",
     packetText(R"(<FIELD fieldtype="i4"/>)", ""),
     {},
     PacketStatus::BadFieldDef,
     "<FIELD ",
     0,
     "",
     0},
    {"FieldWithoutType",
     packetText(R"(<FIELD attrname="A"/>)", ""),
     {},
     PacketStatus::BadFieldDef,
     "<FIELD ",
     0,
     "A",
     0},
    {"UnknownType",
     packetText(R"(<FIELD attrname="A" fieldtype="xml"/>)", ""),
     {},
     PacketStatus::BadFieldDef,
     "\"xml\"",
     1,
     "A",
     0},
    {"WidthNotANumber",
     packetText(R"(<FIELD attrname="S" fieldtype="string" WIDTH="x8"/>)", ""),
     {},
     PacketStatus::BadFieldDef,
     "x8",
     0,
     "S",
     0},
    {"WidthNegative",
     packetText(R"(<FIELD attrname="S" fieldtype="string" WIDTH="-1"/>)", ""),
     {},
     PacketStatus::BadFieldDef,
     "-1",
     0,
     "S",
     0},
    {"DuplicateFieldIgnoringCase",
     packetText(R"(<FIELD attrname="JLBH" fieldtype="i4"/><FIELD attrname="jlbh" fieldtype="i4"/>)",
                ""),
     {},
     PacketStatus::BadFieldDef,
     "jlbh",
     0,
     "jlbh",
     0},
    {"IntegerNotANumber",
     packetText(kOneInt, R"(<ROW A="1"/><ROW A="12a"/>)"),
     {},
     PacketStatus::BadValue,
     "12a",
     0,
     "A",
     2},
    {"IntegerWithBlank",
     packetText(kOneInt, R"(<ROW A=" 1"/>)"),
     {},
     PacketStatus::BadValue,
     " 1",
     0,
     "A",
     1},
    {"IntegerOutOfRange",
     packetText(kOneInt, R"(<ROW A="2147483648"/>)"),
     {},
     PacketStatus::BadValue,
     "2147483648",
     0,
     "A",
     1},
    {"ByteOutOfRange",
     packetText(R"(<FIELD attrname="B" fieldtype="ui1"/>)", R"(<ROW B="256"/>)"),
     {},
     PacketStatus::BadValue,
     "256",
     0,
     "B",
     1},
    {"FloatWithComma",
     packetText(R"(<FIELD attrname="F" fieldtype="r8"/>)", R"(<ROW F="1,5"/>)"),
     {},
     PacketStatus::BadValue,
     "1,5",
     0,
     "F",
     1},
    {"FloatNotFinite",
     packetText(R"(<FIELD attrname="F" fieldtype="r8"/>)", R"(<ROW F="inf"/>)"),
     {},
     PacketStatus::BadValue,
     "inf",
     0,
     "F",
     1},
    {"DateOutOfCalendar",
     packetText(R"(<FIELD attrname="D" fieldtype="date"/>)", R"(<ROW D="20230229"/>)"),
     {},
     PacketStatus::BadValue,
     "20230229",
     0,
     "D",
     1},
    {"TimeOutOfClock",
     packetText(R"(<FIELD attrname="T" fieldtype="time"/>)", R"(<ROW T="24:00:00000"/>)"),
     {},
     PacketStatus::BadValue,
     "24:00",
     0,
     "T",
     1},
    {"BooleanWord",
     packetText(R"(<FIELD attrname="B" fieldtype="boolean"/>)", R"(<ROW B="maybe"/>)"),
     {},
     PacketStatus::BadValue,
     "maybe",
     0,
     "B",
     1},
    {"TextNotUtf8",
     packetText(R"(<FIELD attrname="S" fieldtype="string" WIDTH="8"/>)", "<ROW S=\"ab\xC3(\"/>"),
     {},
     PacketStatus::BadText,
     "\xC3",
     0,
     "S",
     1},
    {"TextWithSurrogateReference",
     packetText(R"(<FIELD attrname="S" fieldtype="string" WIDTH="8"/>)", R"(<ROW S="&#xD800;"/>)"),
     {},
     PacketStatus::BadText,
     "&#xD800;",
     0,
     "S",
     1},
    {"NulByte",
     replaced(kGood, "A=\"1\"", std::string("A=\"1\0\"", 6)),
     {},
     PacketStatus::BadText,
     std::string("\0", 1),
     0,
     "",
     0},
    {"DuplicateRowAttribute",
     packetText(kOneInt, R"(<ROW A="1" A="2"/>)"),
     {},
     PacketStatus::XmlSyntax,
     "A=\"2\"",
     0,
     "A",
     1},
    {"DeclaredFieldMissing",
     kGood,
     {decl("B", FieldKind::Int32)},
     PacketStatus::DeclaredMissing,
     "<FIELDS>",
     0,
     "B",
     0},
    {"DeclaredIntegerGetsString",
     packetText(R"(<FIELD attrname="JLBH" fieldtype="string" WIDTH="10"/>)", ""),
     {decl("JLBH", FieldKind::Int32)},
     PacketStatus::DeclaredMismatch,
     "string",
     0,
     "JLBH",
     0},
    {"DeclaredFloatGetsInteger",
     kGood,
     {decl("a", FieldKind::Float)},
     PacketStatus::DeclaredMismatch,
     "i4",
     0,
     "a",
     0},
    {"DeclaredTextGetsWideText",
     packetText(R"(<FIELD attrname="S" fieldtype="string.uni" WIDTH="10"/>)", ""),
     {decl("S", FieldKind::Text)},
     PacketStatus::DeclaredMismatch,
     "string.uni",
     0,
     "S",
     0},
    {"DeclaredIntegerGetsLargeInteger",
     packetText(R"(<FIELD attrname="N" fieldtype="i8"/>)", ""),
     {decl("N", FieldKind::Int32)},
     PacketStatus::DeclaredMismatch,
     "i8",
     0,
     "N",
     0},
    {"DeclaredTextGetsNestedDataset",
     packetText(kOneInt + kNested, ""),
     {decl("MX", FieldKind::Text)},
     PacketStatus::DeclaredMismatch,
     "nested",
     0,
     "MX",
     0},
    {"TextInRootBesideUnknownElements",
     replaced(kGood, "</ROWDATA>", "</ROWDATA><ERRORS/>junk"),
     {},
     PacketStatus::NotAPacket,
     "junk",
     0,
     "",
     0},
    {"NoMetadataBesideUnknownElements",
     R"(<DATAPACKET><ERRORS/><ROWDATA/></DATAPACKET>)",
     {},
     PacketStatus::NotAPacket,
     "",
     0,
     "",
     0},
};

INSTANTIATE_TEST_SUITE_P(Table, PacketReaderFailure, testing::ValuesIn(kFailures),
                         [](const auto &p) { return std::string(p.param.name); });

TEST(PacketReader, DescriptionNamesPlaceFieldAndRow)
{
    PacketData data;
    const PacketParseResult r =
        PacketReader::read(packetText(kOneInt, R"(<ROW A="x"/>)"), {}, data);
    EXPECT_EQ(r.description(), "offset " + std::to_string(r.offset) +
                                   ", field \"A\", row 1: \"x\" is not an integer");
}

TEST(PacketReader, DeclaredTableIgnoresBadValuesOfUndeclaredFields)
{
    PacketData data;
    const std::string text =
        packetText(R"(<FIELD attrname="A" fieldtype="i4"/><FIELD attrname="B" fieldtype="i4"/>)",
                   R"(<ROW A="1" B="junk"/>)");
    const std::vector<FieldDef> declared{decl("A", FieldKind::Int32)};
    EXPECT_TRUE(PacketReader::read(text, declared, data));
    EXPECT_EQ(data.fields.size(), 1u);
    EXPECT_EQ(data.rowCount, 1u);
}

struct ForeignPacketCase
{
    const char *name;
    std::string text;
    std::vector<std::vector<std::string>> rows; // display texts
};

// Packets from other programs: nested datasets and elements the subset does
// not name load; their top-level rows are the table.
class ForeignPacket : public testing::TestWithParam<ForeignPacketCase>
{
};

TEST_P(ForeignPacket, TopLevelRowsLoad)
{
    const ForeignPacketCase &c = GetParam();
    DataPacketTable table;
    ASSERT_NO_THROW(table.load(c.text));
    ASSERT_EQ(table.recordCount(), c.rows.size());
    for (std::size_t r = 0; r < c.rows.size(); ++r) {
        ASSERT_EQ(static_cast<std::size_t>(table.fieldCount()), c.rows[r].size());
        for (int f = 0; f < table.fieldCount(); ++f)
            EXPECT_EQ(table.cell(r, f).displayText(), c.rows[r][static_cast<std::size_t>(f)])
                << "row " << r << ", field " << table.field(f).name();
    }
}

const ForeignPacketCase kForeignPackets[] = {
    {"NestedRowsInTheFieldsElement",
     packetText(kOneInt + kNested, R"(<ROW A="1"><MX><ROWMX SL="1"/><ROWMX SL="2"/>)"
                                   R"(<ROWMX SL="3"/></MX></ROW><ROW A="2" MX="x"/>)"),
     {{"1", "(3 行)"}, {"2", "(0 行)"}}},
    {"NestedRowsRightInsideTheRow",
     packetText(kNested + kOneInt, R"(<ROW A="7"><ROW SL="1"/><ROWMX SL="2"/></ROW>)"),
     {{"(2 行)", "7"}}},
    {"TwoNestedFieldsKeepTheirRowsApart",
     packetText(kNested + replaced(kNested, "\"MX\"", "\"ZB\""),
                R"(<ROW><ROWMX/><ZB><ROWZB/><ROWZB/></ZB><ROW/></ROW>)"),
     {{"(1 行)", "(2 行)"}}},
    {"UnknownElementsOutsideTheRows",
     replaced(replaced(replaced(kGood, "</ROWDATA>", R"(</ROWDATA><ERRORS n="1"><E/></ERRORS>)"),
                       "<PARAMS/>", R"(<PARAMS LCID="2052"/><INDEXDEFS/>)"),
              "<FIELDS>", "<FIELDS><X/>"),
     {{"1"}}},
};

INSTANTIATE_TEST_SUITE_P(Table, ForeignPacket, testing::ValuesIn(kForeignPackets),
                         [](const auto &p) { return std::string(p.param.name); });

TEST(PacketReader, DeclaredFieldsLoadBesideNestedColumnsAndUnknownElements)
{
    DataPacketTable table;
    table.setDeclaredFields({decl("A", FieldKind::Int32)});
    table.load(replaced(packetText(kOneInt + kNested, R"(<ROW A="5"><MX><ROWMX/></MX></ROW>)"),
                        "</ROWDATA>", "</ROWDATA><ERRORS/>"));
    ASSERT_EQ(table.fieldCount(), 1);
    EXPECT_EQ(table.cell(0, 0).displayText(), "5");
}

struct TypeCodeCase
{
    const char *code;
    const char *subtype;
    FieldKind kind;
};

TEST(PacketReader, TypeCodes)
{
    const TypeCodeCase cases[] = {
        {"string", "", FieldKind::Text},
        {"string.uni", "", FieldKind::WideText},
        {"boolean", "", FieldKind::Boolean},
        {"i1", "", FieldKind::Int8},
        {"ui1", "", FieldKind::UInt8},
        {"i2", "", FieldKind::Int16},
        {"ui2", "", FieldKind::UInt16},
        {"i4", "Autoinc", FieldKind::Int32},
        {"ui4", "", FieldKind::UInt32},
        {"i8", "", FieldKind::Int64},
        {"r8", "Money", FieldKind::Float},
        {"fixed", "", FieldKind::Bcd},
        {"fixedFMT", "", FieldKind::Bcd},
        {"date", "", FieldKind::Date},
        {"time", "", FieldKind::Time},
        {"dateTime", "", FieldKind::DateTime},
        {"SQLdateTime", "", FieldKind::DateTime},
        {"bin.hex", "Binary", FieldKind::Blob},
        {"bin.hex", "Text", FieldKind::Memo},
        {"bin.hex", "WideText", FieldKind::Memo},
    };
    for (const TypeCodeCase &c : cases) {
        FieldKind kind = FieldKind::Text;
        EXPECT_TRUE(PacketReader::kindOfTypeCode(c.code, c.subtype, kind)) << c.code;
        EXPECT_EQ(kind, c.kind) << c.code;
    }
    FieldKind kind;
    EXPECT_FALSE(PacketReader::kindOfTypeCode("I4", "", kind));
    EXPECT_FALSE(PacketReader::kindOfTypeCode("nested", "", kind));
}

} // namespace
} // namespace tally::datapacket
