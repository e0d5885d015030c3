#include "base/formatsettings.h"
#include "datapacket/columnreader.h"
#include "datapacket/datapackettable.h"
#include "datapacket/fielderror.h"
#include "support/packettext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace tally::datapacket {
namespace {

using test::packetText;

// One field "V" of the given type code and extra FIELD attributes, one row
// with the given value (nullptr: attribute missing).
std::string oneValue(const std::string &type, const std::string &extra, const char *value)
{
    const std::string field = "<FIELD attrname=\"V\" fieldtype=\"" + type + "\" " + extra + "/>";
    const std::string row = value ? std::string("<ROW V=\"") + value + "\"/>" : "<ROW/>";
    return packetText(field, row);
}

struct ReadCase
{
    const char *name;
    const char *type;
    const char *extra;
    const char *value;
    const char *asString;
    const char *display;
    const char *edit;
    std::optional<std::int64_t> asInteger; // nullopt: the read fails
    std::optional<double> asFloat;         // nullopt: the read fails
    int displayWidth;
};

class FieldReads : public testing::TestWithParam<ReadCase>
{
};

TEST_P(FieldReads, ConvertAndDisplay)
{
    const ReadCase &c = GetParam();
    DataPacketTable t; // Chinese (PRC) settings
    t.load(oneValue(c.type, c.extra, c.value));
    const PacketField &f = t.field(0);
    EXPECT_EQ(f.isNull(), c.value == nullptr || (*c.value == 0 && !isTextKind(f.kind()) &&
                                                 f.kind() != FieldKind::Blob));
    EXPECT_EQ(f.asString(), c.asString);
    EXPECT_EQ(f.displayText(), c.display);
    EXPECT_EQ(f.editText(), c.edit);
    EXPECT_EQ(f.displayWidth(), c.displayWidth);
    if (c.asInteger)
        EXPECT_EQ(f.asInteger(), *c.asInteger);
    else
        EXPECT_THROW(f.asInteger(), FieldError);
    if (c.asFloat)
        EXPECT_DOUBLE_EQ(f.asFloat(), *c.asFloat);
    else
        EXPECT_THROW(f.asFloat(), FieldError);

    // The bulk reader gives the same, its shortcuts and its fallbacks alike.
    const ColumnReader cells(f);
    ASSERT_EQ(cells.rowCount(), 1U);
    EXPECT_EQ(cells.isNull(0), f.isNull());
    EXPECT_EQ(cells.text(0), f.textView());
    EXPECT_EQ(cells.cell(0).asString(), c.asString);
    EXPECT_EQ(cells.cell(0).editText(), c.edit);
    if (c.asInteger)
        EXPECT_EQ(cells.integer(0), *c.asInteger);
    else
        EXPECT_THROW(cells.integer(0), FieldError);
    if (c.asFloat)
        EXPECT_DOUBLE_EQ(cells.number(0), *c.asFloat);
    else
        EXPECT_THROW(cells.number(0), FieldError);
}

const ReadCase kReads[] = {
    // name, type, extra, value, asString, display, edit, asInteger, asFloat, width
    {"FloatGeneralForm", "r8", "", "50.80", "50.8", "50.8", "50.8", 51, 50.8, 10},
    {"FloatFifteenDigits", "r8", "", "0.1000000000000000055", "0.1", "0.1", "0.1", 0, 0.1, 10},
    {"FloatRoundsToNearest", "r8", "", "-2.5", "-2.5", "-2.5", "-2.5", -3, -2.5, 10},
    {"FloatMoney", "r8", "SUBTYPE=\"Money\"", "50.80", "50.8", "￥50.80", "50.80", 51, 50.8, 10},
    {"FloatMoneyGrouped", "r8", "SUBTYPE=\"Money\"", "32735.1", "32735.1", "￥32,735.10",
     "32735.10", 32735, 32735.1, 10},
    {"FloatNull", "r8", "", nullptr, "", "", "", 0, 0.0, 10},
    {"FloatEmptyIsNull", "r8", "", "", "", "", "", 0, 0.0, 10},
    {"Integer", "i4", "", "-42", "-42", "-42", "-42", -42, -42.0, 10},
    {"IntegerNull", "i4", "", nullptr, "", "", "", 0, 0.0, 10},
    {"Text", "string", "WIDTH=\"6\"", "12", "12", "12", "12", 12, 12.0, 6},
    {"TextDecimal", "string", "WIDTH=\"6\"", "1.5", "1.5", "1.5", "1.5", std::nullopt, 1.5, 6},
    {"TextNotANumber", "string", "WIDTH=\"6\"", "abc", "abc", "abc", "abc", std::nullopt,
     std::nullopt, 6},
    {"TextEmpty", "string", "WIDTH=\"6\"", "", "", "", "", std::nullopt, std::nullopt, 6},
    {"TextNullReadsLikeEmpty", "string", "WIDTH=\"6\"", nullptr, "", "", "", std::nullopt,
     std::nullopt, 6},
    {"WideText", "string.uni", "WIDTH=\"8\"", "中文", "中文", "中文", "中文", std::nullopt,
     std::nullopt, 8},
    {"Int8", "i1", "", "-128", "-128", "-128", "-128", -128, -128.0, 6},
    {"UInt8", "ui1", "", "255", "255", "255", "255", 255, 255.0, 6},
    {"Int16", "i2", "", "-32768", "-32768", "-32768", "-32768", -32768, -32768.0, 6},
    {"UInt16", "ui2", "", "65535", "65535", "65535", "65535", 65535, 65535.0, 6},
    {"UInt32", "ui4", "", "4294967295", "4294967295", "4294967295", "4294967295", 4294967295LL,
     4294967295.0, 10},
    {"Int64", "i8", "", "-9223372036854775808", "-9223372036854775808", "-9223372036854775808",
     "-9223372036854775808", INT64_MIN, -9223372036854775808.0, 15},
    {"Bcd", "fixed", "DECIMALS=\"4\" WIDTH=\"19\"", "1234.5600", "1234.56", "1234.56", "1234.56",
     1235, 1234.56, 21},
    {"BooleanTrue", "boolean", "", "TRUE", "True", "True", "True", 1, 1.0, 5},
    {"BooleanFalse", "boolean", "", "false", "False", "False", "False", 0, 0.0, 5},
    {"Date", "date", "", "20241116", "2024-11-16", "2024-11-16", "2024-11-16", 45612, 45612.0, 10},
    {"DateWithDashes", "date", "", "2024-01-05", "2024-1-5", "2024-1-5", "2024-1-5", 45296, 45296.0,
     10},
    {"Time", "time", "", "09:13:55000", "9:13:55", "9:13:55", "9:13:55", 0,
     (9 * 3600 + 13 * 60 + 55) / 86400.0, 10},
    {"DateTime", "dateTime", "", "20241116T09:13:55000", "2024-11-16 9:13:55", "2024-11-16 9:13:55",
     "2024-11-16 9:13:55", 45612, 45612 + (9 * 3600 + 13 * 60 + 55) / 86400.0, 18},
    {"DateTimeMidnight", "dateTime", "", "20241116T00:00:00000", "2024-11-16", "2024-11-16",
     "2024-11-16", 45612, 45612.0, 18},
    {"Memo", "bin.hex", "SUBTYPE=\"Text\"", "note", "note", "(MEMO)", "(MEMO)", std::nullopt,
     std::nullopt, 10},
    {"Blob", "bin.hex", "SUBTYPE=\"Binary\"", "AAEC", "AAEC", "(BLOB)", "(BLOB)", std::nullopt,
     std::nullopt, 10},
};

INSTANTIATE_TEST_SUITE_P(Table, FieldReads, testing::ValuesIn(kReads),
                         [](const auto &p) { return std::string(p.param.name); });

TEST(PacketField, DeclaredFloatShowsGeneralOrCurrencyForm)
{
    for (bool currency : {false, true}) {
        DataPacketTable t;
        FieldDef d;
        d.name = "JE";
        d.kind = FieldKind::Float;
        d.currency = currency;
        t.setDeclaredFields({d});
        t.load(packetText(R"(<FIELD attrname="JE" fieldtype="r8"/>)",
                          R"(<ROW JE="50.80"/><ROW JE="-1234.5"/>)"));
        EXPECT_EQ(t.field(0).displayText(), currency ? "￥50.80" : "50.8");
        t.next();
        EXPECT_EQ(t.field(0).displayText(), currency ? "￥-1,234.50" : "-1234.5");
    }
}

TEST(PacketField, CurrencyUsesTheUsersDecimals)
{
    FormatSettings fs = FormatSettings::chinesePrc();
    fs.currencyDecimals = 3;
    fs.currencyString = "$";
    DataPacketTable t(fs);
    t.load(oneValue("r8", "SUBTYPE=\"Money\"", "50.8"));
    EXPECT_EQ(t.field(0).displayText(), "$50.800");
    EXPECT_EQ(t.field(0).editText(), "50.800");
}

// A table of one field of the given kind, a row per value (nullopt: null).
DataPacketTable &fillTable(DataPacketTable &t, FieldKind kind, bool currency,
                           const std::vector<std::optional<std::uint64_t>> &cells)
{
    PacketData data;
    data.fields = {PacketFieldInfo{"V", kind, "", 0, 0, currency}};
    data.rowCount = cells.size();
    data.columns.emplace_back().resize(kind, cells.size());
    for (std::size_t r = 0; r < cells.size(); ++r) {
        if (cells[r]) {
            data.columns[0].set(r, *cells[r]);
            data.columns[0].nulls.set(r, false);
        }
    }
    t.loadData(std::move(data));
    return t;
}

TEST(PacketField, MoneyEditTextIsPrintfFixedWithTheUsersSeparator)
{
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<double> values = {0.0,   -0.0, 0.005,        0.015,           2.675, -1234.5,
                                        0.125, 1e20, -1e300,       1e-300,          50.8,  32735.1,
                                        inf,   -inf, std::nan(""), 999999999999.995};
    std::vector<std::optional<std::uint64_t>> cells;
    for (const double v : values)
        cells.push_back(cell::fromDouble(v));
    for (const int decimals : {0, 2, 4, -1})
        for (const char separator : {'.', ','}) {
            FormatSettings fs = FormatSettings::chinesePrc();
            fs.currencyDecimals = decimals;
            fs.decimalSeparator = separator;
            DataPacketTable t(fs);
            fillTable(t, FieldKind::Float, true, cells);
            for (std::size_t r = 0; r < values.size(); ++r) {
                char buf[400];
                std::snprintf(buf, sizeof buf, "%.*f", decimals, values[r]);
                std::string expected = buf;
                std::replace(expected.begin(), expected.end(), '.', separator);
                EXPECT_EQ(t.cell(r, 0).editText(), expected)
                    << values[r] << " with " << decimals << " decimals";
            }
        }
}

TEST(PacketField, DatesAtTheEdgesOfTheirRange)
{
    struct Case
    {
        LocalDateTime dt;
        const char *date, *time, *dateTime, *pattern;
    };
    const auto at = [](int y, int mo, int d, int h, int mi, int s, int ms) {
        return LocalDateTime{y, mo, d, h, mi, s, ms};
    };
    const std::vector<Case> cases = {
        {at(1899, 12, 30, 0, 0, 0, 0), "1899-12-30", "0:00:00", "1899-12-30",
         "1899-12-30 00:00:00.000 99"},
        {at(1, 1, 1, 0, 0, 0, 1), "0001-1-1", "0:00:00", "0001-1-1 0:00:00",
         "0001-01-01 00:00:00.001 01"},
        {at(9999, 12, 31, 23, 59, 59, 999), "9999-12-31", "23:59:59", "9999-12-31 23:59:59",
         "9999-12-31 23:59:59.999 99"},
        {at(2000, 2, 29, 12, 5, 9, 7), "2000-2-29", "12:05:09", "2000-2-29 12:05:09",
         "2000-02-29 12:05:09.007 00"},
    };
    std::vector<std::optional<std::uint64_t>> cells;
    for (const Case &c : cases)
        cells.push_back(cell::fromDateTime(c.dt.year, c.dt.month, c.dt.day, c.dt.hour, c.dt.minute,
                                           c.dt.second, c.dt.millisecond));
    for (const FieldKind kind : {FieldKind::Date, FieldKind::Time, FieldKind::DateTime}) {
        DataPacketTable t;
        fillTable(t, kind, false, cells);
        for (std::size_t r = 0; r < cases.size(); ++r) {
            const Case &c = cases[r];
            const char *expected = kind == FieldKind::Date   ? c.date
                                   : kind == FieldKind::Time ? c.time
                                                             : c.dateTime;
            EXPECT_EQ(t.cell(r, 0).asString(), expected) << r;
            EXPECT_EQ(t.cell(r, 0).editText(), expected) << r;
        }
        t.field(0).setDisplayFormat("yyyy-mm-dd hh:nn:ss.zzz yy");
        for (std::size_t r = 0; r < cases.size(); ++r)
            EXPECT_EQ(t.cell(r, 0).displayText(), cases[r].pattern) << r;
    }
}

// Date-time fields read their patterns again when the table's settings or
// their display format change after the load.
TEST(PacketField, DateTimeTextsFollowSettingsChangedAfterTheLoad)
{
    struct KindCase
    {
        FieldKind kind;
        const char *text;
    };
    const std::vector<KindCase> cases = {{FieldKind::Date, "04/03/2024"},
                                         {FieldKind::Time, "05:06:07"},
                                         {FieldKind::DateTime, "04/03/2024 05:06:07"}};
    for (const KindCase &c : cases) {
        DataPacketTable t;
        fillTable(t, c.kind, false, {cell::fromDateTime(2024, 3, 4, 5, 6, 7, 0)});
        FormatSettings fs = FormatSettings::chinesePrc();
        fs.shortDateFormat = "dd/mm/yyyy";
        fs.longTimeFormat = "hh:nn:ss";
        t.setFormatSettings(fs);
        EXPECT_EQ(t.cell(0, 0).asString(), c.text);
        EXPECT_EQ(t.cell(0, 0).displayText(), c.text);
        // Display formats keep the Chinese settings in their nested parts.
        t.field(0).setDisplayFormat("ddddd|yy");
        EXPECT_EQ(t.cell(0, 0).displayText(), "2024-3-4|24");
        t.field(0).setDisplayFormat("");
        EXPECT_EQ(t.cell(0, 0).displayText(), c.text);
    }
}

TEST(PacketField, AppendedReadsAddToTheBufferWhatTheTextReadsGive)
{
    DataPacketTable t;
    fillTable(t, FieldKind::Float, true,
              {cell::fromDouble(-1234.5), std::nullopt, cell::fromDouble(0.1 + 0.2)});
    for (const bool callback : {false, true}) {
        if (callback)
            t.field(0).setTextCallback([](const FieldCell &c) { return c.isNull() ? "-" : "v"; });
        for (std::size_t r = 0; r < 3; ++r) {
            const FieldCell c = t.cell(r, 0);
            std::string out = "|";
            c.appendString(out);
            out += '|';
            c.appendDisplayText(out);
            out += '|';
            c.appendEditText(out);
            EXPECT_EQ(out, "|" + c.asString() + "|" + c.displayText() + "|" + c.editText())
                << r << (callback ? " with callback" : "");
        }
    }
}

TEST(PacketField, DisplayFormatAppliesToNumbers)
{
    struct Case
    {
        const char *type, *value, *format, *display;
    };
    const Case cases[] = {
        {"i4", "42", "000000", "000042"},
        {"r8", "50.8", "0.00", "50.80"},
        {"r8", "1234.5", "#,##0.00", "1,234.50"},
        {"dateTime", "20241116T09:13:55000", "yyyy-mm-dd,hh:nn:ss", "2024-11-16,09:13:55"},
    };
    for (const Case &c : cases) {
        DataPacketTable t;
        t.load(oneValue(c.type, "", c.value));
        t.field(0).setDisplayFormat(c.format);
        EXPECT_EQ(t.field(0).displayText(), c.display) << c.type << " " << c.format;
    }
}

TEST(PacketField, TextCallbackDecidesEvenForNull)
{
    DataPacketTable t;
    t.load(packetText(R"(<FIELD attrname="P" fieldtype="r8"/>)", R"(<ROW P="6.1947"/><ROW/>)"));
    PacketField &p = t.field(0);
    p.setTextCallback([](const FieldCell &c) {
        return c.isNull() || c.asFloat() == 0 ? std::string("-") : c.asString() + "!";
    });
    EXPECT_EQ(p.displayText(), "6.1947!");
    // A read by position gives the callback that row, wherever the cursor is.
    EXPECT_EQ(t.cell(1, 0).displayText(), "-");
    EXPECT_EQ(t.recordNumber(), 1u);
    t.next();
    EXPECT_EQ(p.displayText(), "-");
    EXPECT_EQ(t.cell(0, 0).editText(), "6.1947!");
    p.setTextCallback({});
    EXPECT_EQ(p.displayText(), "");
}

TEST(PacketField, TextReadUsesTheUsersDecimalSeparator)
{
    FormatSettings fs = FormatSettings::chinesePrc();
    fs.decimalSeparator = ',';
    DataPacketTable t(fs);
    t.load(oneValue("string", "WIDTH=\"9\"", "3,25"));
    EXPECT_DOUBLE_EQ(t.field(0).asFloat(), 3.25);
    EXPECT_EQ(t.field(0).asCurrency(), Currency::fromScaled(32500));
}

TEST(PacketField, CurrencyReadsAddExactly)
{
    DataPacketTable t;
    t.load(packetText(R"(<FIELD attrname="JE" fieldtype="r8"/>)",
                      R"(<ROW JE="28969.12"/><ROW JE="3765.98"/>)"));
    Currency sum;
    for (t.first(); !t.eof(); t.next())
        sum = sum + t.field(0).asCurrency();
    EXPECT_EQ(sum, Currency::fromScaled(327351000));
    EXPECT_EQ(formatCurrency(sum, t.formatSettings()), "￥32,735.10");
}

TEST(PacketField, FailedReadNamesFieldRowAndText)
{
    DataPacketTable t;
    t.load(packetText(R"(<FIELD attrname="SL" fieldtype="string" WIDTH="4"/>)",
                      R"(<ROW SL="1"/><ROW SL="abc"/>)"));
    t.next();
    try {
        t.field(0).asFloat();
        FAIL() << "text read as a number";
    } catch (const FieldError &e) {
        EXPECT_STREQ(e.what(), "field \"SL\", row 2: \"abc\" is not a number");
    }
}

TEST(PacketField, OutOfRangeReadsFail)
{
    DataPacketTable t;
    t.load(packetText(R"(<FIELD attrname="F" fieldtype="r8"/><FIELD attrname="N" fieldtype="i8"/>)",
                      R"(<ROW F="1e300" N="9223372036854775807"/>)"));
    EXPECT_THROW(t.field(0).asInteger(), FieldError);
    EXPECT_THROW(t.field(0).asCurrency(), FieldError);
    EXPECT_THROW(t.field(1).asCurrency(), FieldError);
    EXPECT_EQ(t.field(0).displayText(), "1E300");
}

TEST(PacketField, ClosedTableReadsNull)
{
    DataPacketTable t;
    FieldDef d;
    d.name = "A";
    d.kind = FieldKind::Int32;
    t.setDeclaredFields({d});
    EXPECT_TRUE(t.field(0).isNull());
    EXPECT_EQ(t.field(0).asInteger(), 0);
    EXPECT_EQ(t.field(0).displayText(), "");
    const ColumnReader cells(t.field(0));
    EXPECT_EQ(cells.rowCount(), 0U);
    EXPECT_THROW(cells.isNull(0), FieldError);
    EXPECT_THROW(cells.nullFlags(0), FieldError);
}

// Down a column of many rows (the null flags span several words, the last
// one partly), with nulls scattered, in each kind of storage (integers
// narrow signed and unsigned, and wide): the bulk
// reader reads every row as at() does, by row or by blocks of 64 rows, and
// no row past the last.
TEST(ColumnReader, ReadsEveryRowAsAtDoes)
{
    std::string rows;
    for (int r = 0; r < 200; ++r) {
        rows += "<ROW";
        if (r % 3 != 0)
            rows += " I=\"" + std::to_string(r - 100) + "\"";
        if (r % 5 != 1)
            rows += " F=\"" + std::to_string(r) + ".25\"";
        if (r % 7 != 2)
            rows += " T=\"行" + std::to_string(r) + "\"";
        if (r % 2 == 0)
            rows += " D=\"2024010" + std::to_string(1 + r % 9) + "\"";
        // Unsigned 32-bit values on both sides of 2^31, 64-bit ones of both signs.
        if (r % 4 != 3)
            rows += " U=\"" + std::to_string(static_cast<std::uint64_t>(r) * 21474836) + "\"";
        if (r % 6 != 4)
            rows += " L=\"" + std::to_string((r - 100) * 98765432109LL) + "\"";
        rows += "/>";
    }
    DataPacketTable t;
    t.load(
        packetText(R"(<FIELD attrname="I" fieldtype="i4"/><FIELD attrname="F" fieldtype="r8"/>)"
                   R"(<FIELD attrname="T" fieldtype="string" WIDTH="8"/>)"
                   R"(<FIELD attrname="D" fieldtype="date"/>)"
                   R"(<FIELD attrname="U" fieldtype="ui4"/><FIELD attrname="L" fieldtype="i8"/>)",
                   rows));
    for (int c = 0; c < t.fieldCount(); ++c) {
        const PacketField &f = t.field(c);
        const ColumnReader cells(f);
        ASSERT_EQ(cells.rowCount(), 200U);
        for (std::size_t r = 0; r < 200; ++r) {
            const FieldCell cell = f.at(r);
            ASSERT_EQ(cells.isNull(r), cell.isNull()) << f.name() << " row " << r;
            EXPECT_EQ(cells.cell(r).asString(), cell.asString()) << f.name() << " row " << r;
            EXPECT_EQ(cells.text(r), cell.textView()) << f.name() << " row " << r;
            if (!isTextKind(f.kind())) {
                EXPECT_EQ(cells.integer(r), cell.asInteger()) << f.name() << " row " << r;
                EXPECT_EQ(cells.number(r), cell.asFloat()) << f.name() << " row " << r;
            }
            ASSERT_EQ((cells.nullFlags(r / 64) >> (r % 64) & 1) != 0, cell.isNull())
                << f.name() << " row " << r;
            if (cell.isNull())
                continue;
            EXPECT_EQ(cells.presentCell(r).asString(), cell.asString()) << f.name() << " row " << r;
            switch (cells.kind()) {
            case ColumnReader::Kind::Text:
                EXPECT_EQ(cells.presentText(r), cell.textView()) << f.name() << " row " << r;
                break;
            case ColumnReader::Kind::Integer:
                EXPECT_EQ(cells.presentInteger(r), cell.asInteger()) << f.name() << " row " << r;
                break;
            case ColumnReader::Kind::Float:
                EXPECT_EQ(cells.presentNumber(r), cell.asFloat()) << f.name() << " row " << r;
                break;
            case ColumnReader::Kind::Other:
                break;
            }
        }
        // Rows 200 to 255 of the last block are null; no block starts past it.
        EXPECT_EQ(cells.nullFlags(3) >> 8, ~std::uint64_t{0} >> 8) << f.name();
        EXPECT_THROW(cells.nullFlags(4), FieldError);
        EXPECT_THROW(cells.isNull(200), FieldError);
        EXPECT_THROW(cells.cell(200), FieldError);
    }
}

// Rows appended to a table get null flags of their own words, whose bits
// past the last row are clear: a block of them still reads those rows as null.
TEST(ColumnReader, NullFlagsPastTheLastRowOfAppendedRows)
{
    std::string rows;
    for (int r = 0; r < 64; ++r)
        rows += "<ROW I=\"" + std::to_string(r) + "\"/>";
    DataPacketTable t;
    t.load(packetText(R"(<FIELD attrname="I" fieldtype="i4"/>)", rows));
    PacketData more;
    PacketFieldInfo info;
    info.name = "I";
    info.kind = FieldKind::Int32;
    info.typeCode = "i4";
    more.fields = {info};
    more.rowCount = 6;
    more.columns.emplace_back().resize(FieldKind::Int32, 6);
    for (std::size_t r = 0; r < 6; r += 2) {
        more.columns[0].set(r, cell::fromInt(100 + static_cast<int>(r)));
        more.columns[0].nulls.set(r, false);
    }
    t.appendData(more);
    const ColumnReader cells(t.field(0));
    ASSERT_EQ(cells.rowCount(), 70U);
    EXPECT_EQ(cells.nullFlags(0), 0U);
    EXPECT_EQ(cells.nullFlags(1), ~std::uint64_t{0} << 6 | 0b101010);
    EXPECT_EQ(cells.presentInteger(68), 104);
}

} // namespace
} // namespace tally::datapacket
