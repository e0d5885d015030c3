// The query dataset's engine rules: SQL text, refused names, aggregate order
// and labels, connection strings, field displays and the result table.
#include "datapacket/datapackettable.h"
#include "datapacket/fielderror.h"
#include "tabular/fielddisplay.h"
#include "tabular/queryconnection.h"
#include "tabular/queryerror.h"
#include "tabular/queryresult.h"
#include "tabular/querysql.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tally::tabular {
namespace {

using Lines = std::vector<std::string>;
using datapacket::FieldKind;

struct SelectCase
{
    const char *name;
    std::string table;
    std::string sort;
    bool descending;
    Lines sql;
};

class SelectSqlTest : public ::testing::TestWithParam<SelectCase>
{
};

TEST_P(SelectSqlTest, Lines)
{
    const SelectCase &c = GetParam();
    EXPECT_EQ(selectSql(c.table, c.sort, c.descending), c.sql);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SelectSqlTest,
    ::testing::Values(
        SelectCase{"bare_table", "sales", "", false, {"SELECT * FROM \"sales\"", "ORDER BY 1"}},
        SelectCase{"no_table", "", "a", true, {}},
        SelectCase{"descending_without_sort",
                   "sales",
                   "",
                   true,
                   {"SELECT * FROM \"sales\"", "ORDER BY 1"}},
        SelectCase{"two_descending",
                   "sales",
                   "A;B",
                   true,
                   {"SELECT * FROM \"sales\"", "ORDER BY A DESC", ",B DESC"}},
        SelectCase{"two_ascending",
                   "sales",
                   "A;B",
                   false,
                   {"SELECT * FROM \"sales\"", "ORDER BY A", ",B"}},
        SelectCase{"blanks_and_empty_names",
                   "sales",
                   " A ;; B\tC ",
                   false,
                   {"SELECT * FROM \"sales\"", "ORDER BY A", ",B", ",C"}},
        SelectCase{"blank_in_table_name",
                   "order lines",
                   "",
                   false,
                   {"SELECT * FROM \"order lines\"", "ORDER BY 1"}},
        SelectCase{"chinese_names",
                   "销售",
                   "数量",
                   true,
                   {"SELECT * FROM \"销售\"", "ORDER BY 数量 DESC"}}),
    [](const auto &p) { return std::string(p.param.name); });

struct RefusedCase
{
    const char *name;
    std::string table;
    std::string fields;
};

class RefusedNameTest : public ::testing::TestWithParam<RefusedCase>
{
};

// A name that would end the quoting or be SQL of the caller's making never
// reaches the SQL text.
TEST_P(RefusedNameTest, Throws)
{
    const RefusedCase &c = GetParam();
    EXPECT_THROW(selectSql(c.table, c.fields, false), QueryError);
    const std::vector<std::string> fields = splitNames(c.fields.empty() ? "a" : c.fields);
    EXPECT_THROW(aggregateSql(AggregateKind::Sum, fields, c.table), QueryError);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedNameTest,
    ::testing::Values(RefusedCase{"quote_in_table", "sa\"les", ""},
                      RefusedCase{"quote_closing_table", "x\"; DROP TABLE t; --", ""},
                      RefusedCase{"nul_in_table", std::string("sa\0les", 6), ""},
                      RefusedCase{"quoted_field", "sales", "\"a\""},
                      RefusedCase{"nul_in_field", "sales", std::string("a\0b", 3)},
                      RefusedCase{"expression_field", "sales", "a)+(select"},
                      RefusedCase{"comment_field", "sales", "a--"},
                      RefusedCase{"comma_field", "sales", "a,b"}),
    [](const auto &p) { return std::string(p.param.name); });

TEST(AggregateSql, OneLinePerFieldThenTheQuotedTable)
{
    const std::vector<std::string> fields{"a", "b", "c"};
    EXPECT_EQ(aggregateSql(AggregateKind::Max, fields, "sales"),
              (Lines{"select MAX(a)", ", MAX(b)", ", MAX(c)", "from \"sales\""}));
    EXPECT_EQ(aggregateSql(AggregateKind::Avg, std::vector<std::string>{"a"}, "t"),
              (Lines{"select AVG(a)", "from \"t\""}));
    EXPECT_THROW(aggregateSql(AggregateKind::Sum, std::vector<std::string>{}, "t"), QueryError);
}

TEST(AggregateOrder, MaxMinAvgSumWhateverTheSet)
{
    using K = AggregateKind;
    EXPECT_EQ(aggregateOrder(K::Sum | K::Max), (std::vector<K>{K::Max, K::Sum}));
    EXPECT_EQ(aggregateOrder(K::Sum | K::Avg | K::Min | K::Max),
              (std::vector<K>{K::Max, K::Min, K::Avg, K::Sum}));
    EXPECT_EQ(aggregateOrder(AggregateKinds{}), std::vector<K>{});
}

struct ConnectionCase
{
    const char *name;
    std::string text;
    QueryConnection expected;
};

class ConnectionTest : public ::testing::TestWithParam<ConnectionCase>
{
};

TEST_P(ConnectionTest, Parts)
{
    const ConnectionCase &c = GetParam();
    const QueryConnection got = parseConnection(c.text);
    EXPECT_EQ(got.driver, c.expected.driver);
    EXPECT_EQ(got.host, c.expected.host);
    EXPECT_EQ(got.port, c.expected.port);
    EXPECT_EQ(got.user, c.expected.user);
    EXPECT_EQ(got.password, c.expected.password);
    EXPECT_EQ(got.database, c.expected.database);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConnectionTest,
    ::testing::Values(
        ConnectionCase{"sqlite_path", "/tmp/shop.db", {"QSQLITE", "", -1, "", "", "/tmp/shop.db"}},
        ConnectionCase{
            "sqlite_scheme", "sqlite:///tmp/a%20b.db", {"QSQLITE", "", -1, "", "", "/tmp/a b.db"}},
        ConnectionCase{"postgresql",
                       "postgresql://clerk@127.0.0.1:5433/shop",
                       {"QPSQL", "127.0.0.1", 5433, "clerk", "", "shop"}},
        ConnectionCase{"password",
                       "postgres://clerk:p%40ss@db/shop",
                       {"QPSQL", "db", -1, "clerk", "p@ss", "shop"}},
        ConnectionCase{
            "other_driver", "qt+QMARIADB://u@h:3306/d", {"QMARIADB", "h", 3306, "u", "", "d"}}),
    [](const auto &p) { return std::string(p.param.name); });

TEST(Connection, RefusesUnknownSchemeAndBadPort)
{
    EXPECT_THROW(parseConnection("oracle://h/d"), QueryError);
    EXPECT_THROW(parseConnection("postgresql://h:port/d"), QueryError);
    EXPECT_THROW(parseConnection("postgresql://h:70000/d"), QueryError);
}

// The result of "a text, an integer and a float column", two records.
datapacket::PacketData twoRecords(QueryResultBuilder &b)
{
    b.addField("qy", FieldKind::Text);
    b.addField("js", FieldKind::Int32);
    b.addField("je", FieldKind::Float);
    b.appendRow(std::vector<QueryValue>{std::string("华东"), std::int64_t{3}, 1.25});
    b.appendRow(std::vector<QueryValue>{std::monostate{}, std::string("7"), std::int64_t{2}});
    return b.take();
}

TEST(QueryResult, LoadsIntoATableReadByCell)
{
    QueryResultBuilder b;
    datapacket::DataPacketTable table;
    table.loadData(twoRecords(b));
    ASSERT_EQ(table.recordCount(), 2u);
    EXPECT_EQ(table.field(0).size(), 4); // 华东 in code page 936
    EXPECT_EQ(table.cell(0, 0).asString(), "华东");
    EXPECT_TRUE(table.cell(1, 0).isNull());
    EXPECT_EQ(table.cell(1, 1).asInteger(), 7);
    EXPECT_DOUBLE_EQ(table.cell(0, 2).asFloat(), 1.25);
    EXPECT_DOUBLE_EQ(table.cell(1, 2).asFloat(), 2.0);
}

// Aggregate values are currency: an integer field rounds half away from
// zero, a float keeps four decimals, a text field gets the plain number.
TEST(QueryResult, AggregateRowsConvertToTheFieldKind)
{
    QueryResultBuilder b;
    datapacket::DataPacketTable table;
    table.loadData(twoRecords(b));
    table.field(2).setDisplayLabel("金额");
    const std::vector<int> columns{1, 2, 0};
    b.appendAggregateRow(columns, std::vector<Currency>{Currency::fromScaled(45000),
                                                        Currency::fromScaled(-12345),
                                                        Currency::fromScaled(-25000)});
    b.appendAggregateRow(columns, std::vector<Currency>{Currency::fromScaled(-45000), Currency{},
                                                        Currency::fromScaled(10000)});
    table.appendData(b.take());
    ASSERT_EQ(table.recordCount(), 4u);
    EXPECT_EQ(table.field(2).displayLabel(), "金额");
    EXPECT_EQ(table.cell(2, 1).asInteger(), 5);
    EXPECT_DOUBLE_EQ(table.cell(2, 2).asFloat(), -1.2345);
    EXPECT_EQ(table.cell(2, 0).asString(), "-2.5");
    EXPECT_EQ(table.cell(3, 1).asInteger(), -5);
    EXPECT_EQ(table.cell(3, 0).asString(), "1");
    EXPECT_EQ(table.cell(0, 0).asString(), "华东"); // text before the appended rows stays
}

TEST(QueryResult, AppendRefusesOtherFields)
{
    QueryResultBuilder b;
    datapacket::DataPacketTable table;
    table.loadData(twoRecords(b));
    QueryResultBuilder other;
    other.addField("qy", FieldKind::Int32);
    other.addField("js", FieldKind::Int32);
    other.addField("je", FieldKind::Float);
    EXPECT_THROW(table.appendData(other.take()), std::invalid_argument);
    EXPECT_EQ(table.recordCount(), 2u);
}

struct DisplayCase
{
    FieldDisplay display;
    std::string label;
    std::string format;
};

TEST(FieldDisplays, LabelAndDecimalsOfNumericKindTwo)
{
    const std::vector<DisplayCase> cases{
        {{"je", "金额", 2, 2}, "金额", "0.00"}, {{"je", "金额", 2, 0}, "金额", "0."},
        {{"je", "金额", 1, 2}, "金额", ""},     {{"js", "件数", 2, 3}, "件数", "0.000"},
        {{"qy", "区域", 2, 2}, "区域", ""}, // a display format only on a numeric field
    };
    for (const DisplayCase &c : cases) {
        QueryResultBuilder b;
        datapacket::DataPacketTable table;
        table.loadData(twoRecords(b));
        applyFieldDisplays(table, std::span(&c.display, 1));
        const datapacket::PacketField &f = table.fieldByName(c.display.fieldName);
        EXPECT_EQ(f.displayLabel(), c.label);
        EXPECT_EQ(f.displayFormat(), c.format) << c.display.fieldName;
    }
    QueryResultBuilder b;
    datapacket::DataPacketTable table;
    table.loadData(twoRecords(b));
    const std::vector<FieldDisplay> missing{{"je", "金额", 2, 2}, {"nope", "x", 0, 0}};
    EXPECT_THROW(applyFieldDisplays(table, missing), datapacket::FieldError);
    EXPECT_EQ(table.field(2).displayLabel(), "金额");
}

} // namespace
} // namespace tally::tabular
