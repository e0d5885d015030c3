// The query dataset against a real database: SQLite (a file of the test's
// own), or the PostgreSQL cluster whose connection string the file named by
// TALLY_QUERY_URL_FILE holds. The same cases hold on both.
#include "tabular/qt/tblshowqry.h"
#include "tabular/queryerror.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace tally::tabular {
namespace {

using K = AggregateKind;

// Eight sales records inserted out of id order, a table whose name needs its
// quotes, and one whose aggregated column holds only nulls.
const char *const kSetup[] = {
    "DROP TABLE IF EXISTS sales",
    "CREATE TABLE sales (id INTEGER, qy VARCHAR(20), grp INTEGER, a INTEGER, b REAL)",
    "INSERT INTO sales VALUES (5, '东北', 1, 5, 6.25)",
    "INSERT INTO sales VALUES (2, '华北', 2, 2, 2.5)",
    "INSERT INTO sales VALUES (8, '海外', 2, 8, 10)",
    "INSERT INTO sales VALUES (1, '华东', 1, 1, 1.25)",
    "INSERT INTO sales VALUES (7, '华中', 1, 7, 8.75)",
    "INSERT INTO sales VALUES (3, '华南', 1, 3, 3.75)",
    "INSERT INTO sales VALUES (6, '西北', 2, 6, 7.5)",
    "INSERT INTO sales VALUES (4, '西南', 2, 4, 5)",
    "DROP TABLE IF EXISTS \"order lines\"",
    "CREATE TABLE \"order lines\" (id INTEGER, amount NUMERIC(10,2))",
    "INSERT INTO \"order lines\" VALUES (2, 2.25)",
    "INSERT INTO \"order lines\" VALUES (1, 10.5)",
    "INSERT INTO \"order lines\" VALUES (3, 0.3)",
    "DROP TABLE IF EXISTS empty_vals",
    "CREATE TABLE empty_vals (id INTEGER, v INTEGER)",
    "INSERT INTO empty_vals VALUES (1, NULL)",
    "INSERT INTO empty_vals VALUES (2, NULL)",
};

std::string g_database;
// Why the database could not be made ready; every case fails with it (a
// failure in the environment itself would only skip them).
std::string g_setupError;

class DatabaseEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "test_tabular_query_qt";
        static char *argv[] = {name, nullptr};
        m_app = std::make_unique<QCoreApplication>(argc, argv);

        g_setupError = prepare();
    }
    void TearDown() override
    {
        {
            QSqlDatabase db = QSqlDatabase::database(QStringLiteral("setup"), false);
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("setup"));
        m_app.reset();
    }

private:
    std::string prepare()
    {
        QSqlDatabase db;
        if (const char *urlFile = std::getenv("TALLY_QUERY_URL_FILE")) {
            std::ifstream in(urlFile);
            if (!std::getline(in, g_database))
                return std::string("no PostgreSQL connection string in ") + urlFile +
                       ": the cluster did not start (see the test query.postgres.start)";
            db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("setup"));
            const auto at = g_database.find('@'), colon = g_database.rfind(':'),
                       slash = g_database.rfind('/');
            db.setUserName(QString::fromStdString(g_database.substr(13, at - 13)));
            db.setHostName(QString::fromStdString(g_database.substr(at + 1, colon - at - 1)));
            db.setPort(std::stoi(g_database.substr(colon + 1, slash - colon - 1)));
            db.setDatabaseName(QString::fromStdString(g_database.substr(slash + 1)));
        } else {
            if (!m_dir.isValid())
                return "no temporary folder for the SQLite file";
            g_database = m_dir.filePath(QStringLiteral("shop.db")).toStdString();
            db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("setup"));
            db.setDatabaseName(QString::fromStdString(g_database));
        }
        if (!db.open())
            return g_database + ": " + db.lastError().text().toStdString();
        QSqlQuery query(db);
        for (const char *sql : kSetup)
            if (!query.exec(QString::fromUtf8(sql)))
                return std::string(sql) + ": " + query.lastError().text().toStdString();
        return {};
    }

    std::unique_ptr<QCoreApplication> m_app;
    QTemporaryDir m_dir;
};

const auto *const g_environment = ::testing::AddGlobalTestEnvironment(new DatabaseEnvironment);

class TblShowQry : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(g_setupError, ""); }
};

std::vector<long long> column(const TTblShowQry &q, const char *name)
{
    std::vector<long long> values;
    const int c = q.table().fieldByName(name).index();
    for (std::size_t r = 0; r < q.table().recordCount(); ++r)
        values.push_back(q.table().cell(r, c).asInteger());
    return values;
}

std::vector<std::string> labels(const TTblShowQry &q)
{
    std::vector<std::string> out;
    for (long long n = 1; n <= static_cast<long long>(q.table().recordCount()); ++n)
        out.push_back(AggregateRowLabel(q, n));
    return out;
}

TEST_F(TblShowQry, BareTableNameOrdersByTheFirstColumn)
{
    TTblShowQry q(g_database);
    q.SetTableName("sales");
    EXPECT_EQ(q.SQL(), (std::vector<std::string>{"SELECT * FROM \"sales\"", "ORDER BY 1"}));
    q.Open();
    ASSERT_TRUE(q.Active());
    EXPECT_EQ(q.table().fieldCount(), 5);
    EXPECT_EQ(column(q, "id"), (std::vector<long long>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(q.table().recordNumber(), 1u);
    EXPECT_EQ(q.table().cell(0, 1).asString(), "华东");
    EXPECT_DOUBLE_EQ(q.table().cell(7, 4).asFloat(), 10.0);
    EXPECT_TRUE(q.aggregateRowKinds().empty());
}

TEST_F(TblShowQry, TwoSortFieldsDescending)
{
    TTblShowQry q(g_database);
    q.SetTableName("sales");
    q.SetSortFieldList("grp;a");
    q.SetSortDescending(true);
    EXPECT_EQ(q.SQL(), (std::vector<std::string>{"SELECT * FROM \"sales\"", "ORDER BY grp DESC",
                                                 ",a DESC"}));
    q.Open();
    EXPECT_EQ(column(q, "a"), (std::vector<long long>{8, 6, 4, 2, 7, 5, 3, 1}));
}

// Setting the table name starts over: no sort.
TEST_F(TblShowQry, TableNameClearsTheSort)
{
    TTblShowQry q(g_database);
    q.SetSortFieldList("grp");
    q.SetSortDescending(true);
    q.SetTableName("sales");
    EXPECT_EQ(q.SortFieldList(), "");
    EXPECT_FALSE(q.SortDescending());
    EXPECT_EQ(q.SQL().back(), "ORDER BY 1");
}

TEST_F(TblShowQry, SumAndMaxOverTwoFieldsGiveTenRows)
{
    TTblShowQry q(g_database);
    q.SetAggregateFieldList("a;b");
    q.SetAggregateKinds(K::Sum | K::Max);
    q.SetTableName("sales");
    q.Open();
    ASSERT_EQ(q.table().recordCount(), 10u);
    EXPECT_EQ(q.aggregateRowKinds(), (std::vector<K>{K::Max, K::Sum}));
    EXPECT_EQ(column(q, "a"), (std::vector<long long>{1, 2, 3, 4, 5, 6, 7, 8, 8, 36}));
    EXPECT_DOUBLE_EQ(q.table().cell(8, 4).asFloat(), 10.0);
    EXPECT_DOUBLE_EQ(q.table().cell(9, 4).asFloat(), 45.0);
    EXPECT_TRUE(q.table().cell(9, 1).isNull()); // fields not aggregated stay empty
    EXPECT_EQ(labels(q),
              (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "最大值", "合计"}));
    ASSERT_EQ(q.AggregateRows().size(), 2u);
    EXPECT_EQ(q.AggregateRows()[1].values,
              (std::vector<Currency>{Currency::fromScaled(360000), Currency::fromScaled(450000)}));
    EXPECT_FALSE(q.aggregatesMarked());
    EXPECT_EQ(q.table().recordNumber(), 1u);
}

// AVG of an integer column is a real in one database and an exact numeric in
// the other; both give the currency value 4.5.
TEST_F(TblShowQry, AllFourKindsInTheirOrder)
{
    TTblShowQry q(g_database);
    q.SetAggregateFieldList("a b");
    q.SetAggregateKinds(K::Avg | K::Sum | K::Min | K::Max);
    q.SetTableName("sales");
    q.Open();
    ASSERT_EQ(q.table().recordCount(), 12u);
    EXPECT_EQ(q.aggregateRowKinds(), (std::vector<K>{K::Max, K::Min, K::Avg, K::Sum}));
    EXPECT_EQ(labels(q).back(), "合计");
    EXPECT_EQ(labels(q)[10], "平均值");
    ASSERT_EQ(q.AggregateRows().size(), 4u);
    EXPECT_EQ(q.AggregateRows()[2].values,
              (std::vector<Currency>{Currency::fromScaled(45000), Currency::fromScaled(56250)}));
    EXPECT_EQ(column(q, "a"), (std::vector<long long>{1, 2, 3, 4, 5, 6, 7, 8, 8, 1, 5, 36}));
    EXPECT_DOUBLE_EQ(q.table().cell(10, 4).asFloat(), 5.625);
}

// Aggregate rows computed for one table do not follow the dataset to the next
// once no aggregates are asked for.
TEST_F(TblShowQry, NoAggregatesAskedNoAggregateRows)
{
    TTblShowQry q(g_database);
    q.SetAggregateFieldList("a");
    q.SetAggregateKinds(K::Sum);
    q.SetTableName("sales");
    q.Open();
    EXPECT_EQ(q.table().recordCount(), 9u);
    q.SetAggregateKinds({});
    q.SetTableName("empty_vals");
    q.Open();
    EXPECT_EQ(q.table().recordCount(), 2u);
    EXPECT_TRUE(q.aggregateRowKinds().empty());
}

TEST_F(TblShowQry, MissingAggregateFieldLeavesTheDatasetOpenWithoutAggregateRows)
{
    TTblShowQry q(g_database);
    q.SetAggregateFieldList("a;nosuch");
    q.SetAggregateKinds(K::Sum);
    q.SetTableName("sales");
    EXPECT_THROW(q.Open(), QueryError);
    EXPECT_TRUE(q.Active());
    EXPECT_EQ(q.table().recordCount(), 8u);
    EXPECT_TRUE(q.aggregateRowKinds().empty());
    EXPECT_TRUE(q.AggregateRows().empty());
    EXPECT_TRUE(q.aggregatesMarked());

    q.Close();
    q.SetAggregateFieldList("a");
    q.Open();
    EXPECT_EQ(q.table().recordCount(), 9u);
    EXPECT_EQ(q.table().cell(8, 3).asInteger(), 36);
}

TEST_F(TblShowQry, MissingDisplayFieldLeavesTheDatasetOpen)
{
    TTblShowQry q(g_database);
    q.SetAggregateFieldList("a");
    q.SetAggregateKinds(K::Sum);
    q.SetTableName("sales");
    q.FieldDisplays = {{"b", "金额", 2, 2}, {"nosuch", "x", 0, 0}};
    EXPECT_ANY_THROW(q.Open());
    EXPECT_TRUE(q.Active());
    EXPECT_EQ(q.table().recordCount(), 8u);
    EXPECT_TRUE(q.aggregatesMarked());
}

TEST_F(TblShowQry, FieldDisplaysThenTheCallback)
{
    TTblShowQry q(g_database);
    q.SetTableName("sales");
    q.FieldDisplays = {{"b", "金额", 2, 2}, {"qy", "区域", 2, 2}};
    std::string seen;
    q.OnLoadFieldDisplay = [&seen](TTblShowQry &d) {
        seen = d.table().fieldByName("b").displayLabel();
    };
    q.Open();
    EXPECT_EQ(seen, "金额");
    EXPECT_EQ(q.table().fieldByName("b").displayFormat(), "0.00");
    EXPECT_EQ(q.table().fieldByName("qy").displayLabel(), "区域");
    EXPECT_EQ(q.table().cell(0, 4).displayText(), "1.25");
}

TEST_F(TblShowQry, QuotedNameWithABlank)
{
    TTblShowQry q(g_database);
    q.SetAggregateFieldList("amount");
    q.SetAggregateKinds(K::Sum);
    q.SetTableName("order lines");
    q.Open();
    ASSERT_EQ(q.table().recordCount(), 4u);
    EXPECT_EQ(column(q, "id"), (std::vector<long long>{1, 2, 3, 0}));
    EXPECT_EQ(q.AggregateRows()[0].values, std::vector<Currency>{Currency::fromScaled(130500)});
}

TEST_F(TblShowQry, NullAggregatesAreZero)
{
    TTblShowQry q(g_database);
    q.SetAggregateFieldList("v");
    q.SetAggregateKinds(K::Sum | K::Avg);
    q.SetTableName("empty_vals");
    q.Open();
    ASSERT_EQ(q.table().recordCount(), 4u);
    EXPECT_EQ(q.AggregateRows()[0].values, std::vector<Currency>{Currency{}});
    EXPECT_FALSE(q.table().cell(3, 1).isNull());
    EXPECT_EQ(q.table().cell(3, 1).asInteger(), 0);
}

TEST_F(TblShowQry, QuoteInTableNameIsRefused)
{
    TTblShowQry q(g_database);
    q.SetTableName("sales");
    EXPECT_THROW(q.SetTableName("sales\" WHERE 1=0 --"), QueryError);
    EXPECT_THROW(q.SetTableName(std::string("sales\0x", 7)), QueryError);
    EXPECT_EQ(q.TableName(), "sales");
    EXPECT_EQ(q.SQL().front(), "SELECT * FROM \"sales\"");
    EXPECT_THROW(q.SetSortFieldList("a;(select"), QueryError);
    EXPECT_THROW(q.SetAggregateFieldList("\"a\""), QueryError);
    q.Open();
    EXPECT_EQ(q.table().recordCount(), 8u);
}

TEST_F(TblShowQry, OpeningRules)
{
    TTblShowQry q(g_database);
    try {
        q.Open();
        ADD_FAILURE() << "opened without SQL";
    } catch (const QueryError &e) {
        EXPECT_STREQ(e.what(), "No SQL statement available");
    }
    q.SetTableName("sales");
    q.Open();
    try {
        q.Open();
        ADD_FAILURE() << "opened twice";
    } catch (const QueryError &e) {
        EXPECT_STREQ(e.what(), "Cannot perform this operation on an open dataset");
    }
    EXPECT_EQ(q.table().recordCount(), 8u);
}

// The driver's own message comes through; nothing opens.
TEST_F(TblShowQry, MissingTableFailsWithTheDriversMessage)
{
    TTblShowQry q(g_database);
    q.SetTableName("nosuch");
    try {
        q.Open();
        ADD_FAILURE() << "opened a missing table";
    } catch (const QueryError &e) {
        EXPECT_NE(std::string(e.what()).find("nosuch"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(q.Active());
}

} // namespace
} // namespace tally::tabular
