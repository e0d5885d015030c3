#include "base/formatsettings.h"
#include "base/textcodec.h"
#include "datapacket/datapackettable.h"
#include "support/packettext.h"
#include "tabular/biffwriter.h"
#include "tabular/exportcolumn.h"
#include "tabular/exporterror.h"
#include "tabular/exportstream.h"
#include "tabular/tableexport.h"
#include "tabular/textexportwriter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace tally;
using namespace tally::tabular;
using ::testing::HasSubstr;

namespace fs = std::filesystem;

namespace {

using tally::test::packetText;

std::string readFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A fresh folder per test, removed afterwards.
class ExportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "-" + info->name();
        for (char &c : name)
            if (c == '/')
                c = '-';
        m_dir = fs::temp_directory_path() / ("tally-export-" + name);
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    void load(const std::string &text) { m_table.load(text); }

    ExportOutcome exportTo(ExportFormat format, const fs::path &path,
                           const ExportProgress &progress = {})
    {
        const std::vector<ExportColumn> columns = defaultExportColumns(m_table);
        return exportTable(m_table, columns, format, path.string(), progress);
    }

    std::string exported(ExportFormat format)
    {
        const fs::path path = m_dir / "out";
        EXPECT_EQ(exportTo(format, path), ExportOutcome::Completed);
        return readFile(path);
    }

    std::vector<std::string> folderEntries() const
    {
        std::vector<std::string> names;
        for (const auto &e : fs::directory_iterator(m_dir))
            names.push_back(e.path().filename().string());
        return names;
    }

    fs::path m_dir;
    datapacket::DataPacketTable m_table{FormatSettings::chinesePrc()};
};

// --- text --------------------------------------------------------------------

struct TextCase
{
    const char *scenario;
    const char *fields;
    const char *rows;
    const char *expected; // UTF-8; the file holds its code page bytes
};

const TextCase kTextCases[] = {
    {"empty table: the header line only",
     R"(<FIELD attrname="A" fieldtype="string" WIDTH="5"/><FIELD attrname="编号" fieldtype="string" WIDTH="3"/>)",
     "", "A    ,编号\r\n"},
    {"a 4-byte caption widens a 3-wide column",
     R"(<FIELD attrname="编号" fieldtype="string" WIDTH="3"/>)", R"(<ROW 编号="1"/>)",
     "编号\r\n1   \r\n"},
    {"a comma inside a value splits the line; nothing is quoted",
     R"(<FIELD attrname="A" fieldtype="string" WIDTH="3"/><FIELD attrname="B" fieldtype="string" WIDTH="3"/>)",
     R"(<ROW A="x,y" B="z"/>)", "A  ,B  \r\nx,y,z  \r\n"},
    {"a longer value is written whole, line breaks in it as they are",
     R"(<FIELD attrname="A" fieldtype="string" WIDTH="2"/>)", R"(<ROW A="abcd&#13;&#10;ef"/>)",
     "A \r\nabcd\r\nef\r\n"},
    {"Chinese characters count two bytes of the width",
     R"(<FIELD attrname="N" fieldtype="string" WIDTH="6"/>)", R"(<ROW N="牛肉面"/><ROW N="面"/>)",
     "N     \r\n牛肉面\r\n面    \r\n"},
    {"values longer than their widths push the rest of the line on",
     R"(<FIELD attrname="A" fieldtype="string" WIDTH="2"/><FIELD attrname="N" fieldtype="i4"/>)"
     R"(<FIELD attrname="F" fieldtype="r8"/><FIELD attrname="B" fieldtype="string" WIDTH="2"/>)",
     R"(<ROW A="abcd" N="-1234567890" F="0.123456789012345" B="面面"/>)"
     R"(<ROW A="x" N="5" F="0.5" B="y"/>)",
     "A ,N         ,F         ,B \r\nabcd,-1234567890,0.123456789012345,面面\r\n"
     "x ,5         ,0.5       ,y \r\n"},
    {"numbers unformatted, width 10; nulls as blanks",
     R"(<FIELD attrname="SL" fieldtype="i4"/><FIELD attrname="JE" fieldtype="r8" SUBTYPE="Money"/>)",
     R"(<ROW SL="-5" JE="1234567.5"/><ROW/>)",
     "SL        ,JE        \r\n-5        ,1234567.5 \r\n          ,          \r\n"},
};

void PrintTo(const TextCase &c, std::ostream *os)
{
    *os << c.scenario;
}

class TextExportTest : public ExportTest, public ::testing::WithParamInterface<TextCase>
{
};

TEST_P(TextExportTest, Writes)
{
    const TextCase &c = GetParam();
    load(packetText(c.fields, c.rows));
    EXPECT_EQ(exported(ExportFormat::Text), text::toCodePage(c.expected)) << c.scenario;
}

INSTANTIATE_TEST_SUITE_P(Cases, TextExportTest, ::testing::ValuesIn(kTextCases));

// --- BIFF --------------------------------------------------------------------

struct Record
{
    std::uint16_t type;
    std::string payload;
    bool operator==(const Record &) const = default;
};

void PrintTo(const Record &r, std::ostream *os)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04X:", r.type);
    *os << buf;
    for (const unsigned char b : r.payload) {
        std::snprintf(buf, sizeof buf, " %02X", b);
        *os << buf;
    }
}

std::vector<Record> records(const std::string &bytes)
{
    std::vector<Record> out;
    std::size_t pos = 0;
    const auto word = [&](std::size_t at) {
        return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                          static_cast<unsigned char>(bytes[at + 1]) << 8);
    };
    while (pos + 4 <= bytes.size()) {
        const std::uint16_t type = word(pos);
        const std::uint16_t length = word(pos + 2);
        out.push_back({type, bytes.substr(pos + 4, length)});
        pos += 4u + length;
    }
    EXPECT_EQ(pos, bytes.size()) << "the stream ends inside a record";
    return out;
}

// Little-endian 16-bit words, then raw bytes.
Record rec(std::uint16_t type, std::initializer_list<std::uint16_t> words,
           std::string_view tail = {})
{
    Record r{type, {}};
    for (const std::uint16_t w : words) {
        r.payload += static_cast<char>(w & 0xFF);
        r.payload += static_cast<char>(w >> 8);
    }
    r.payload += tail;
    return r;
}

Record label(std::uint16_t row, std::uint16_t col, std::string_view utf8)
{
    const std::string bytes = text::toCodePage(utf8);
    return rec(0x0204, {row, col, 0, static_cast<std::uint16_t>(bytes.size())}, bytes);
}

Record blank(std::uint16_t row, std::uint16_t col)
{
    return rec(0x0201, {row, col, 0x0017});
}

Record rk(std::uint16_t row, std::uint16_t col, std::uint32_t value)
{
    return rec(0x027E, {row, col, 0, static_cast<std::uint16_t>(value & 0xFFFF),
                        static_cast<std::uint16_t>(value >> 16)});
}

Record number(std::uint16_t row, std::uint16_t col, double value)
{
    std::string bytes(8, '\0');
    std::memcpy(bytes.data(), &value, 8); // little-endian machines only, as the stream
    return rec(0x0203, {row, col, 0}, bytes);
}

const Record kBof = rec(0x0809, {0x0000, 0x0010, 0, 0});
const Record kCodePage = rec(0x0042, {936});
const Record kEof = rec(0x000A, {});

TEST_F(ExportTest, EmptyTableBiffIsBofCodePageTitlesEof)
{
    load(packetText(
        R"(<FIELD attrname="A" fieldtype="i4"/><FIELD attrname="名称" fieldtype="string"/>)", ""));
    EXPECT_THAT(
        records(exported(ExportFormat::Biff)),
        ::testing::ElementsAre(kBof, kCodePage, label(0, 0, "A"), label(0, 1, "名称"), kEof));
}

struct BiffCase
{
    const char *scenario;
    const char *fields;
    const char *row;                   // one ROW element
    std::vector<Record> expectedCells; // row 1
};

const BiffCase kBiffCases[] = {
    {"a null number and a null text become BLANK with format 0x0017",
     R"(<FIELD attrname="N" fieldtype="i4"/><FIELD attrname="F" fieldtype="r8"/><FIELD attrname="T" fieldtype="string"/>)",
     "<ROW/>",
     {blank(1, 0), blank(1, 1), blank(1, 2)}},
    {"-5 is RK FFFFFFEE",
     R"(<FIELD attrname="N" fieldtype="i4"/>)",
     R"(<ROW N="-5"/>)",
     {rk(1, 0, 0xFFFFFFEE)}},
    {"the 30-bit edges stay RK",
     R"(<FIELD attrname="A" fieldtype="i4"/><FIELD attrname="B" fieldtype="i4"/><FIELD attrname="C" fieldtype="i2"/><FIELD attrname="D" fieldtype="ui1"/>)",
     R"(<ROW A="536870911" B="-536870912" C="-32768" D="255"/>)",
     {rk(1, 0, 0x7FFFFFFE), rk(1, 1, 0x80000002), rk(1, 2, 0xFFFE0002), rk(1, 3, 0x3FE)}},
    {"integers beyond 30 bits become NUMBER, not their low bits",
     R"(<FIELD attrname="A" fieldtype="i4"/><FIELD attrname="B" fieldtype="i4"/><FIELD attrname="C" fieldtype="ui4"/>)",
     R"(<ROW A="536870912" B="-536870913" C="4294967295"/>)",
     {number(1, 0, 536870912.0), number(1, 1, -536870913.0), number(1, 2, 4294967295.0)}},
    {"floats and money become NUMBER",
     R"(<FIELD attrname="F" fieldtype="r8"/><FIELD attrname="M" fieldtype="r8" SUBTYPE="Money"/>)",
     R"(<ROW F="2.85" M="-1234.5"/>)",
     {number(1, 0, 2.85), number(1, 1, -1234.5)}},
    {"text, the empty text, boolean, date and large integer become LABELs of the edit text",
     R"(<FIELD attrname="T" fieldtype="string"/><FIELD attrname="E" fieldtype="string"/><FIELD attrname="B" fieldtype="boolean"/><FIELD attrname="D" fieldtype="date"/><FIELD attrname="L" fieldtype="i8"/>)",
     R"(<ROW T="牛肉面" E="" B="TRUE" D="20240315" L="9007199254740993"/>)",
     {label(1, 0, "牛肉面"), label(1, 1, ""), label(1, 2, "True"), label(1, 3, "2024-3-15"),
      label(1, 4, "9007199254740993")}},
    {"a memo's LABEL is its edit text, not the memo",
     R"(<FIELD attrname="M" fieldtype="bin.hex" SUBTYPE="Text"/>)",
     R"(<ROW M="note"/>)",
     {label(1, 0, "(MEMO)")}},
    {"a comma and a line break stay inside one LABEL",
     R"(<FIELD attrname="T" fieldtype="string"/>)",
     R"(<ROW T="a,b&#13;&#10;c"/>)",
     {label(1, 0, "a,b\r\nc")}},
};

void PrintTo(const BiffCase &c, std::ostream *os)
{
    *os << c.scenario;
}

class BiffExportTest : public ExportTest, public ::testing::WithParamInterface<BiffCase>
{
};

TEST_P(BiffExportTest, Cells)
{
    const BiffCase &c = GetParam();
    load(packetText(c.fields, c.row));
    const std::vector<Record> all = records(exported(ExportFormat::Biff));
    const std::size_t columns = c.expectedCells.size();
    ASSERT_EQ(all.size(), 2 + columns + columns + 1) << c.scenario;
    const std::vector<Record> cells(all.begin() + 2 + static_cast<long>(columns), all.end() - 1);
    EXPECT_EQ(cells, c.expectedCells) << c.scenario;
    EXPECT_EQ(all.back(), kEof);
}

INSTANTIATE_TEST_SUITE_P(Cases, BiffExportTest, ::testing::ValuesIn(kBiffCases));

std::string repeated(std::string_view s, std::size_t n)
{
    std::string out;
    for (std::size_t i = 0; i < n; ++i)
        out += s;
    return out;
}

// Tens of thousands of rows of texts of every length (a few blocks of
// records), a LABEL of the largest size (from more UTF-8 bytes than a record
// holds) and one from more UTF-8 bytes than the writer buffers, so records
// cross every boundary of the writer's buffering and each still comes out
// whole.
TEST_F(ExportTest, ManyRowsAndTheLargestLabelComeOutWhole)
{
    constexpr std::uint16_t kRows = 30000;
    const std::string largest = repeated("中", (BiffWriter::kMaxLabelBytes - 1) / 2) + "a";
    ASSERT_EQ(text::codePageLength(largest), BiffWriter::kMaxLabelBytes);
    std::string rows;
    std::vector<Record> expected = {kBof, kCodePage, label(0, 0, "T"), label(0, 1, "N"),
                                    label(0, 2, "F")};
    for (std::uint16_t i = 1; i <= kRows; ++i) {
        // Row 2000: more UTF-8 than the writer buffers at once, which shrinks
        // to a fitting LABEL (each character the code page lacks is one '?').
        const std::string t = i == 1500   ? largest
                              : i == 2000 ? repeated("\xF0\x9F\x98\x80", 40000)
                                          : repeated(i % 2 ? "面" : "x", i % 97);
        rows += "<ROW T=\"" + t + "\" N=\"" + std::to_string(i - 1500) + "\" F=\"" +
                std::to_string(i) + ".25\"/>";
        expected.push_back(t.empty() ? label(i, 0, "") : label(i, 0, t));
        expected.push_back(rk(i, 1, static_cast<std::uint32_t>(i - 1500) << 2 | 2u));
        expected.push_back(number(i, 2, i + 0.25));
    }
    expected.push_back(kEof);
    load(
        packetText(R"(<FIELD attrname="T" fieldtype="string"/><FIELD attrname="N" fieldtype="i4"/>)"
                   R"(<FIELD attrname="F" fieldtype="r8"/>)",
                   rows));
    const std::string bytes = exported(ExportFormat::Biff);
    ASSERT_GT(bytes.size(), 2 * ExportStream::kBlockSize);
    const std::vector<Record> all = records(bytes);
    ASSERT_EQ(all.size(), expected.size());
    for (std::size_t k = 0; k < all.size(); ++k)
        ASSERT_EQ(all[k], expected[k]) << "record " << k;
}

// The text writer's counterpart: values longer than their width (one longer
// than a block at the start of a line, another in its middle and longer
// still, so that it needs a block of its own), pads of every length and 300
// columns of numbers, so lines cross every boundary of its buffering.
TEST_F(ExportTest, TextLinesComeOutWholeAcrossTheWritersBlocks)
{
    constexpr int kMiddle = 150; // the column after which U comes
    std::string fields = R"(<FIELD attrname="T" fieldtype="string" WIDTH="40"/>)";
    std::string header = "T" + std::string(39, ' ');
    for (int c = 0; c < 300; ++c) {
        fields += "<FIELD attrname=\"C" + std::to_string(c) + "\" fieldtype=\"i4\"/>";
        const std::string caption = "C" + std::to_string(c);
        header += "," + caption + std::string(10 - caption.size(), ' ');
        if (c == kMiddle) {
            fields += R"(<FIELD attrname="U" fieldtype="string" WIDTH="8"/>)";
            header += ",U       ";
        }
    }
    const auto padded = [](const std::string &t, std::size_t width) {
        return t + std::string(width - std::min(width, text::codePageLength(t)), ' ');
    };
    std::string rows, expected = header + "\r\n";
    for (int i = 1; i <= 400; ++i) {
        const std::string t = i == 200 ? repeated("y", ExportStream::kBlockSize + 100000)
                                       : repeated(i % 2 ? "面" : "x", i % 53);
        const std::string u = i == 300 ? repeated("z", ExportStream::kBlockSize + 200000)
                                       : repeated(i % 3 ? "牛" : "u", i % 7);
        rows += "<ROW T=\"" + t + "\" U=\"" + u + "\"";
        std::string line = padded(t, 40);
        for (int c = 0; c < 300; ++c) {
            const std::string n = std::to_string(i * 1000 + c);
            if ((i + c) % 7 != 0)
                rows += " C" + std::to_string(c) + "=\"" + n + "\"";
            line += "," + padded((i + c) % 7 != 0 ? n : "", 10);
            if (c == kMiddle)
                line += "," + padded(u, 8);
        }
        rows += "/>";
        expected += line + "\r\n";
    }
    load(packetText(fields, rows));
    const std::string written = exported(ExportFormat::Text);
    const std::string want = text::toCodePage(expected);
    ASSERT_EQ(written.size(), want.size());
    EXPECT_TRUE(written == want);
}

// Lines are written many rows at a time while their values fit their
// widths, and cell by cell for a while from a row with a longer value on.
// Whichever way a row goes, and wherever the writer's block ends, each line
// must be its cells padded: columns of every form, each with nulls in a
// pattern of its own, now and then a value longer than its width (a blob's
// far longer), a stretch of rows that all have one, and more rows than a
// block holds.
TEST_F(ExportTest, EveryLineIsItsCellsPaddedWhicheverWayItIsWritten)
{
    constexpr int kRows = 20000;
    std::string rows;
    for (int i = 0; i < kRows; ++i) {
        rows += "<ROW";
        // The texts' nulls are rare: reading a null cell's text (one that
        // was taken for present) would make the rows go cell by cell.
        if (i % 64 != 5) {
            const bool longer = i % 997 == 0 || (i >= 9000 && i < 9400);
            rows += " T=\"" + repeated(i % 2 ? "面" : "x", longer ? 45 : i % 19) + "\"";
        }
        if (i % 4 != 1)
            rows += " N=\"" + std::to_string(i % 1500 == 0 ? -2000000000 + i : i * 7) + "\"";
        if (i % 5 != 2)
            rows += " F=\"" + std::to_string(i % 1300 == 0 ? 1e11 + i * 0.25 : i * 0.25) + "\"";
        if (i % 6 != 3)
            rows += " D=\"2024" + std::string(i % 12 < 9 ? "0" : "") + std::to_string(i % 12 + 1) +
                    std::to_string(10 + i % 19) + "\"";
        if (i % 7 != 4)
            rows += std::string(" B=\"") + (i % 3 == 0 ? "TRUE" : "FALSE") + "\"";
        if (i % 64 != 40 && i % 64 != 41)
            rows += " M=\"ab\"";
        if (i % 9 != 8)
            rows += " X=\"" + repeated("0a", i % 1111 == 0 ? 300 : i % 5) + "\"";
        rows += "/>";
    }
    // Lines of 213 bytes: 64 of them take more room than a block has past
    // its size, so that near its end fewer rows are written at a time.
    load(packetText(
        R"(<FIELD attrname="T" fieldtype="string" WIDTH="40"/>)"
        R"(<FIELD attrname="N" fieldtype="i4"/><FIELD attrname="F" fieldtype="r8"/>)"
        R"(<FIELD attrname="D" fieldtype="date"/><FIELD attrname="B" fieldtype="boolean"/>)"
        R"(<FIELD attrname="M" fieldtype="string" WIDTH="120"/>)"
        R"(<FIELD attrname="X" fieldtype="bin.hex"/>)",
        rows));
    const std::vector<ExportColumn> columns = defaultExportColumns(m_table);
    std::string expected;
    const auto append = [&](std::size_t c, const std::string &value) {
        const std::size_t width = std::max<std::size_t>(
            static_cast<std::size_t>(columns[c].displayWidth), columns[c].caption.size());
        expected += text::toCodePage(value);
        expected += std::string(width - std::min(width, text::codePageLength(value)), ' ');
        expected += c + 1 < columns.size() ? "," : "\r\n";
    };
    for (std::size_t c = 0; c < columns.size(); ++c)
        append(c, columns[c].caption);
    for (std::size_t r = 0; r < kRows; ++r)
        for (std::size_t c = 0; c < columns.size(); ++c)
            append(c, m_table.field(static_cast<int>(c)).at(r).asString());
    ASSERT_GT(64 * (expected.size() / (kRows + 1)), TextExportWriter::kSlack);
    ASSERT_GT(expected.size(), ExportStream::kBlockSize);
    const std::string written = exported(ExportFormat::Text);
    ASSERT_EQ(written.size(), expected.size());
    EXPECT_TRUE(written == expected);
}

// Rows go many at a time only where the writer's block has room for their
// lines and a little more; a value far longer than its width must not be
// written in place there. Here a blob's value twice as long as the room a
// block has past its size lies in a line that starts shortly before the
// block is full (the memory checker finds a write past the block).
TEST_F(ExportTest, AValueFarPastItsWidthNearABlocksEndIsWrittenWhole)
{
    const std::string fields =
        R"(<FIELD attrname="N" fieldtype="i4"/><FIELD attrname="X" fieldtype="bin.hex"/>)";
    // The columns' widths, from a table of the same fields.
    load(packetText(fields, R"(<ROW N="1" X="0a"/>)"));
    const std::vector<ExportColumn> columns = defaultExportColumns(m_table);
    const auto widthOf = [&](std::size_t c) {
        return std::max<std::size_t>(static_cast<std::size_t>(columns[c].displayWidth),
                                     columns[c].caption.size());
    };
    // The header is a line too.
    const std::size_t line = widthOf(0) + 1 + widthOf(1) + 2;
    for (const std::size_t beforeFull : {1000, 2000, 3000}) {
        SCOPED_TRACE(beforeFull);
        const std::size_t longRow = (ExportStream::kBlockSize - beforeFull) / line - 1;
        std::string rows;
        for (std::size_t r = 0; r < longRow + 200; ++r)
            rows += "<ROW N=\"" + std::to_string(r) + "\" X=\"" +
                    repeated("0a", r == longRow ? TextExportWriter::kSlack : 1) + "\"/>";
        load(packetText(fields, rows));
        std::string expected;
        const auto append = [&](std::size_t c, const std::string &value) {
            expected += value + std::string(widthOf(c) - std::min(widthOf(c), value.size()), ' ');
            expected += c == 0 ? "," : "\r\n";
        };
        append(0, columns[0].caption);
        append(1, columns[1].caption);
        for (std::size_t r = 0; r < m_table.recordCount(); ++r)
            for (std::size_t c = 0; c < 2; ++c)
                append(c, m_table.field(static_cast<int>(c)).at(r).asString());
        ASSERT_GT(expected.size(), ExportStream::kBlockSize);
        const std::string written = exported(ExportFormat::Text);
        ASSERT_EQ(written.size(), expected.size());
        EXPECT_TRUE(written == expected);
    }
}

// A text longer in UTF-8 than its width, though not in code page bytes, may
// not find room in what is left of a block. It then starts the next block,
// and the rest of its line (its padding, the next cell, the line end) must
// come with it: here the block's old bytes there are the header's, which
// differ.
TEST_F(ExportTest, ATextThatFitsOnlyInCodePageBytesStartsTheNextBlockWithItsLine)
{
    constexpr std::size_t kWidth = 6000;
    const std::string chinese = repeated("面", 2900); // 8700 bytes, 5800 in the code page
    const std::size_t capacity = ExportStream::kBlockSize + TextExportWriter::kSlack;
    const std::size_t line = kWidth + 1 + 10 + 2;
    // Left after the first row: room for a line of blanks, not for the text.
    const std::size_t left = line + 1000;
    ASSERT_LT(left, chinese.size());
    const std::size_t first = capacity - line - left - 1 - 10 - 2;
    ASSERT_LT(capacity - left, ExportStream::kBlockSize); // no block ends before
    load(packetText(R"(<FIELD attrname="A" fieldtype="string" WIDTH="6000"/>)"
                    R"(<FIELD attrname="N" fieldtype="i4"/>)",
                    "<ROW A=\"" + repeated("x", first) + "\" N=\"1\"/><ROW A=\"" + chinese +
                        "\"/><ROW A=\"y\" N=\"3\"/>"));
    const std::string expected = "A" + std::string(kWidth - 1, ' ') + ",N         \r\n" +
                                 repeated("x", first) + ",1         \r\n" + chinese +
                                 std::string(kWidth - 5800, ' ') + ",          \r\n" + "y" +
                                 std::string(kWidth - 1, ' ') + ",3         \r\n";
    const std::string written = exported(ExportFormat::Text);
    ASSERT_EQ(written.size(), text::codePageLength(expected));
    EXPECT_TRUE(written == text::toCodePage(expected));
}

// Dates, date-times and flags are formatted once per value and remembered
// for the rows after, in both formats: with more values than are remembered at once, long
// and short ones, nulls between them and an order that keeps replacing what
// is remembered, every row still shows its own value.
TEST_F(ExportTest, RememberedValuesStayWithTheirRows)
{
    std::string rows;
    for (int i = 0; i < 3000; ++i) {
        const int seconds = i * 7919 % 86400;
        char date[16], time[16];
        std::snprintf(date, sizeof date, "20%02d%02d%02d", i * 7 % 30, i % 12 + 1, i * 13 % 28 + 1);
        std::snprintf(time, sizeof time, "%02d:%02d:%02d000", seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
        rows += "<ROW";
        if (i % 11 != 0)
            rows += " D=\"" + std::string(date) + "\"";
        if (i % 13 != 0)
            rows += " DT=\"" + std::string(date) +
                    (i % 4 == 0 ? "T00:00:00000" : "T" + std::string(time)) + "\"";
        if (i % 5 != 0)
            rows += std::string(" B=\"") + (i % 3 == 0 ? "TRUE" : "FALSE") + "\"";
        rows += "/>";
    }
    load(packetText(
        R"(<FIELD attrname="D" fieldtype="date"/><FIELD attrname="DT" fieldtype="dateTime"/>)"
        R"(<FIELD attrname="B" fieldtype="boolean"/>)",
        rows));
    const std::vector<ExportColumn> columns = defaultExportColumns(m_table);
    const auto padded = [&](std::size_t c, const std::string &value) {
        const std::size_t width = std::max<std::size_t>(
            static_cast<std::size_t>(columns[c].displayWidth), columns[c].caption.size());
        return value + std::string(width - std::min(width, value.size()), ' ');
    };
    std::string expected = padded(0, "D") + "," + padded(1, "DT") + "," + padded(2, "B") + "\r\n";
    for (std::size_t r = 0; r < 3000; ++r)
        for (std::size_t c = 0; c < 3; ++c)
            expected += padded(c, m_table.field(static_cast<int>(c)).at(r).asString()) +
                        (c < 2 ? "," : "\r\n");
    EXPECT_TRUE(exported(ExportFormat::Text) == expected);

    // The spreadsheet's LABELs of their edit texts likewise.
    std::vector<Record> labels = {kBof, kCodePage, label(0, 0, "D"), label(0, 1, "DT"),
                                  label(0, 2, "B")};
    for (std::uint16_t r = 0; r < 3000; ++r)
        for (std::uint16_t c = 0; c < 3; ++c) {
            const datapacket::FieldCell cell = m_table.field(c).at(r);
            labels.push_back(cell.isNull() ? blank(r + 1, c) : label(r + 1, c, cell.editText()));
        }
    labels.push_back(kEof);
    const std::vector<Record> all = records(exported(ExportFormat::Biff));
    ASSERT_EQ(all.size(), labels.size());
    for (std::size_t k = 0; k < all.size(); ++k)
        ASSERT_EQ(all[k], labels[k]) << "record " << k;
}

// --- golden files ------------------------------------------------------------

// Compares with a golden file; TALLY_REGENERATE_GOLDEN=1 rewrites it instead.
void expectGolden(const std::string &actual, const std::string &name)
{
    const std::string path = std::string(TALLY_TEST_DATA_DIR) + "/tabular/export/" + name;
    if (const char *regenerate = std::getenv("TALLY_REGENERATE_GOLDEN");
        regenerate && *regenerate == '1') {
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    ASSERT_TRUE(fs::exists(path)) << path;
    EXPECT_EQ(actual, readFile(path)) << name;
}

TEST_F(ExportTest, ListTableGoldenFiles)
{
    load(readFile(std::string(TALLY_TEST_DATA_DIR) + "/tabular/export/list.xml"));
    expectGolden(exported(ExportFormat::Biff), "list.xls");
    expectGolden(exported(ExportFormat::Text), "list.txt");
}

// --- progress, stop, current row ---------------------------------------------

TEST_F(ExportTest, ProgressAfterEveryRowAndTheCurrentRowStays)
{
    load(packetText(R"(<FIELD attrname="N" fieldtype="i4"/>)",
                    R"(<ROW N="1"/><ROW N="2"/><ROW N="3"/>)"));
    m_table.setRecordNumber(2);
    for (const ExportFormat format : {ExportFormat::Text, ExportFormat::Biff, ExportFormat::Xlsx}) {
        std::vector<std::size_t> seen;
        exportTo(format, m_dir / "out", [&](std::size_t n) {
            seen.push_back(n);
            return true;
        });
        EXPECT_THAT(seen, ::testing::ElementsAre(1, 2, 3));
        EXPECT_EQ(m_table.recordNumber(), 2u);
    }
}

TEST_F(ExportTest, StopLeavesNoFileAndTheOldOneStays)
{
    load(packetText(R"(<FIELD attrname="N" fieldtype="i4"/>)",
                    R"(<ROW N="1"/><ROW N="2"/><ROW N="3"/>)"));
    for (const ExportFormat format : {ExportFormat::Text, ExportFormat::Biff, ExportFormat::Xlsx}) {
        std::ofstream(m_dir / "out") << "old";
        EXPECT_EQ(exportTo(format, m_dir / "out", [](std::size_t n) { return n < 2; }),
                  ExportOutcome::Stopped);
        EXPECT_EQ(readFile(m_dir / "out"), "old");
        EXPECT_THAT(folderEntries(), ::testing::ElementsAre("out"));
    }
}

TEST_F(ExportTest, ThroughALinkTheLinkedFileIsReplaced)
{
    load(packetText(R"(<FIELD attrname="N" fieldtype="i4"/>)", R"(<ROW N="1"/>)"));
    std::ofstream(m_dir / "real") << "old";
    fs::create_symlink("real", m_dir / "link");
    exportTo(ExportFormat::Text, m_dir / "link");
    EXPECT_TRUE(fs::is_symlink(m_dir / "link"));
    EXPECT_EQ(readFile(m_dir / "real"), "N         \r\n1         \r\n");
}

// The stream writers reserve room for the least they will write before they
// write it. Room reserved past what was written stays taken on the disk, so
// the reservation must never pass the file's bytes: here every value fits its
// width and the text's lines are as short as they can be.
TEST_F(ExportTest, TheFileTakesNoMoreRoomOnDiskThanItsBytes)
{
    std::string rows;
    for (int i = 0; i < 20000; ++i)
        rows += "<ROW T=\"面" + std::to_string(i % 10) + "\" N=\"" + std::to_string(i) + "\"/>";
    load(packetText(R"(<FIELD attrname="T" fieldtype="string" WIDTH="4"/>)"
                    R"(<FIELD attrname="N" fieldtype="i4"/>)",
                    rows));
    for (const ExportFormat format : {ExportFormat::Text, ExportFormat::Biff}) {
        const fs::path out = m_dir / "out";
        ASSERT_EQ(exportTo(format, out), ExportOutcome::Completed);
        struct stat st
        {
        };
        ASSERT_EQ(::stat(out.c_str(), &st), 0);
        // Whole blocks of the file system, and what it may add to the last.
        constexpr std::uint64_t kGrain = 64 * 1024;
        const auto size = static_cast<std::uint64_t>(st.st_size);
        EXPECT_LE(static_cast<std::uint64_t>(st.st_blocks) * 512,
                  (size + kGrain - 1) / kGrain * kGrain)
            << "format " << static_cast<int>(format) << ", " << size << " bytes";
    }
}

// --- faults --------------------------------------------------------------------

struct FaultCase
{
    const char *scenario;
    ExportFormat format;
    std::string packet;
    const char *message; // empty: the export succeeds
};

std::vector<FaultCase> faultCases()
{
    const std::string big = packetText(R"(<FIELD attrname="T" fieldtype="string" WIDTH="10"/>)",
                                       "<ROW T=\"" + repeated("x", 100000) + "\"/>");
    std::string wideFields, wideRow = "<ROW";
    for (int i = 0; i < 300; ++i) {
        wideFields += "<FIELD attrname=\"C" + std::to_string(i) + "\" fieldtype=\"i4\"/>";
        wideRow += " C" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    }
    const std::string wide = packetText(wideFields, wideRow + "/>");
    std::string tallRows;
    for (int i = 0; i < 65536; ++i)
        tallRows += "<ROW/>";
    const std::string tall = packetText(R"(<FIELD attrname="N" fieldtype="i4"/>)", tallRows);
    return {
        {"a 100,000-byte value: text writes it whole", ExportFormat::Text, big, ""},
        {"a 100,000-byte value: too long for a BIFF LABEL", ExportFormat::Biff, big,
         "a text of 100000 bytes does not fit an .xls cell (at most 65527)"},
        {"a 100,000-byte value: too long for an xlsx cell", ExportFormat::Xlsx, big,
         "a text longer than 32767 characters does not fit an .xlsx cell"},
        {"a Chinese value one code page byte longer than a BIFF LABEL holds", ExportFormat::Biff,
         packetText(R"(<FIELD attrname="T" fieldtype="string"/>)",
                    "<ROW T=\"" + repeated("中", 32764) + "\"/>"),
         "a text of 65528 bytes does not fit an .xls cell (at most 65527)"},
        {"a 200,000-byte value: more than the BIFF writer buffers at once", ExportFormat::Biff,
         packetText(R"(<FIELD attrname="T" fieldtype="string"/>)",
                    "<ROW T=\"" + repeated("x", 200000) + "\"/>"),
         "a text of 200000 bytes does not fit an .xls cell (at most 65527)"},
        {"300 columns: text", ExportFormat::Text, wide, ""},
        {"300 columns: beyond the 256 columns of an .xls sheet", ExportFormat::Biff, wide,
         "an .xls file holds at most 256 columns, this table has 300"},
        {"300 columns: xlsx", ExportFormat::Xlsx, wide, ""},
        {"65,536 rows and the title row: beyond the rows of an .xls sheet", ExportFormat::Biff,
         tall, "an .xls file holds at most 65536 rows with the title row, this table needs 65537"},
    };
}

void PrintTo(const FaultCase &c, std::ostream *os)
{
    *os << c.scenario;
}

class ExportFaultTest : public ExportTest, public ::testing::WithParamInterface<FaultCase>
{
};

TEST_P(ExportFaultTest, ClearErrorAndNoFile)
{
    const FaultCase &c = GetParam();
    load(c.packet);
    const fs::path out = m_dir / "out";
    if (*c.message == '\0') {
        EXPECT_EQ(exportTo(c.format, out), ExportOutcome::Completed) << c.scenario;
        EXPECT_THAT(folderEntries(), ::testing::ElementsAre("out"));
        return;
    }
    std::ofstream(out) << "old";
    try {
        exportTo(c.format, out);
        ADD_FAILURE() << c.scenario << ": no error";
    } catch (const ExportError &e) {
        EXPECT_THAT(e.what(), HasSubstr(c.message)) << c.scenario;
    }
    EXPECT_EQ(readFile(out), "old") << c.scenario;
    EXPECT_THAT(folderEntries(), ::testing::ElementsAre("out")) << c.scenario;
}

INSTANTIATE_TEST_SUITE_P(Cases, ExportFaultTest, ::testing::ValuesIn(faultCases()));

TEST_F(ExportTest, UnwritableTargets)
{
    load(packetText(R"(<FIELD attrname="T" fieldtype="string"/>)", R"(<ROW T="a"/>)"));
    for (const ExportFormat format : {ExportFormat::Text, ExportFormat::Biff, ExportFormat::Xlsx}) {
        // A folder that does not exist.
        EXPECT_THROW(
            {
                try {
                    exportTo(format, m_dir / "missing" / "out");
                } catch (const ExportError &e) {
                    EXPECT_THAT(e.what(), HasSubstr("cannot create a file in the folder of"));
                    EXPECT_THAT(e.what(), HasSubstr("No such file or directory"));
                    throw;
                }
            },
            ExportError);
        // A name that is a folder.
        EXPECT_THROW(exportTo(format, m_dir), ExportError);
    }
    EXPECT_TRUE(folderEntries().empty());
}

TEST_F(ExportTest, FullDeviceFailsAndStaysADevice)
{
    if (!fs::is_character_file("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    load(packetText(R"(<FIELD attrname="T" fieldtype="string"/>)", R"(<ROW T="a"/>)"));
    for (const ExportFormat format : {ExportFormat::Text, ExportFormat::Biff}) {
        try {
            exportTo(format, "/dev/full");
            ADD_FAILURE() << "no error";
        } catch (const ExportError &e) {
            EXPECT_THAT(e.what(), HasSubstr("cannot write \"/dev/full\": No space left on device"));
        }
    }
    // A workbook needs a file of its own.
    try {
        exportTo(ExportFormat::Xlsx, "/dev/full");
        ADD_FAILURE() << "no error";
    } catch (const ExportError &e) {
        EXPECT_THAT(e.what(), HasSubstr("not a regular file"));
    }
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

// --- names ---------------------------------------------------------------------

TEST(ExportNames, SpreadsheetFormatAndTextName)
{
    const struct
    {
        const char *name;
        ExportFormat format;
        const char *textName;
    } cases[] = {
        {"/tmp/temp.xls", ExportFormat::Biff, "/tmp/temp.txt"},
        {"/tmp/temp.xlsx", ExportFormat::Xlsx, "/tmp/temp.txt"},
        {"/tmp/TEMP.XLSX", ExportFormat::Xlsx, "/tmp/TEMP.txt"},
        {"/tmp/a.xlsx.bak", ExportFormat::Biff, "/tmp/a.xlsx.txt"},
        {"/tmp/noext", ExportFormat::Biff, "/tmp/noext.txt"},
        {"xlsx", ExportFormat::Biff, "xlsx.txt"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(spreadsheetFormatFor(c.name), c.format) << c.name;
        EXPECT_EQ(textExportFileName(c.name), c.textName) << c.name;
    }
}

} // namespace
