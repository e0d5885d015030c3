#include "tabular/qt/tblshowqry.h"

#include "base/textcodec.h"
#include "tabular/queryconnection.h"
#include "tabular/queryerror.h"
#include "tabular/queryresult.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include <atomic>

namespace tally::tabular {

namespace {

using datapacket::FieldKind;

QString qtText(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// A Qt SQL connection under a name no other dataset uses, closed and
// removed when it goes out of scope (after the queries that used it).
class ScopedConnection
{
public:
    explicit ScopedConnection(const QueryConnection &settings)
    {
        static std::atomic<unsigned> counter{0};
        m_name = QStringLiteral("tally-query-%1").arg(++counter);
        const QString driver = qtText(settings.driver);
        if (!QSqlDatabase::isDriverAvailable(driver))
            throw QueryError("the Qt SQL driver " + settings.driver + " is not available");
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, m_name);
        m_added = true;
        db.setDatabaseName(qtText(settings.database));
        if (!settings.host.empty())
            db.setHostName(qtText(settings.host));
        if (settings.port > 0)
            db.setPort(settings.port);
        if (!settings.user.empty())
            db.setUserName(qtText(settings.user));
        if (!settings.password.empty())
            db.setPassword(qtText(settings.password));
        // The dataset only reads; a mistyped SQLite path must not create a file.
        if (settings.driver == "QSQLITE")
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open())
            throw QueryError(db.lastError().text().toStdString());
    }
    ~ScopedConnection()
    {
        if (!m_added)
            return;
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    ScopedConnection(const ScopedConnection &) = delete;
    ScopedConnection &operator=(const ScopedConnection &) = delete;

    QSqlDatabase database() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
    bool m_added = false;
};

FieldKind kindOf(const QSqlField &field)
{
    switch (field.metaType().id()) {
    case QMetaType::Bool:
        return FieldKind::Boolean;
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
        return FieldKind::Int32;
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return FieldKind::Int64;
    case QMetaType::Float:
    case QMetaType::Double:
        return FieldKind::Float;
    case QMetaType::QDate:
        return FieldKind::Date;
    case QMetaType::QTime:
        return FieldKind::Time;
    case QMetaType::QDateTime:
        return FieldKind::DateTime;
    default:
        return FieldKind::Text;
    }
}

LocalDateTime localOf(const QDate &d, const QTime &t)
{
    LocalDateTime v;
    if (d.isValid()) {
        v.year = d.year();
        v.month = d.month();
        v.day = d.day();
    }
    if (t.isValid()) {
        v.hour = t.hour();
        v.minute = t.minute();
        v.second = t.second();
        v.millisecond = t.msec();
    }
    return v;
}

QueryValue valueOf(const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        return std::monostate{};
    switch (v.metaType().id()) {
    case QMetaType::Bool:
        return v.toBool();
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return static_cast<std::int64_t>(v.toLongLong());
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return v.toDouble();
    case QMetaType::Float:
    case QMetaType::Double:
        return v.toDouble();
    case QMetaType::QDate:
        return localOf(v.toDate(), QTime());
    case QMetaType::QTime:
        return localOf(QDate(), v.toTime());
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        return localOf(dt.date(), dt.time());
    }
    case QMetaType::QByteArray: {
        const QByteArray bytes = v.toByteArray();
        return text::sanitizeUtf8(
            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    }
    default:
        return v.toString().toStdString();
    }
}

// An aggregate's result as the dataset keeps it: four-decimal currency, 0
// for null. Exact numerics arrive as text (high precision) and are parsed.
Currency currencyOf(const QVariant &v, const std::string &function)
{
    if (v.isNull() || !v.isValid())
        return Currency{};
    switch (v.metaType().id()) {
    case QMetaType::Bool:
        return Currency::fromScaled(v.toBool() ? 10000 : 0);
    case QMetaType::Float:
    case QMetaType::Double:
        return Currency::fromDouble(v.toDouble());
    default:
        break;
    }
    const std::string text = v.toString().toStdString();
    if (const std::optional<Currency> c = Currency::parse(text))
        return *c;
    throw QueryError(function + " gave \"" + text + "\", which is not a currency value");
}

} // namespace

TTblShowQry::TTblShowQry(std::string database, FormatSettings settings)
    : m_database(std::move(database)), m_table(std::move(settings))
{
}

TTblShowQry::~TTblShowQry() = default;

void TTblShowQry::SetTableName(std::string name)
{
    checkTableName(name);
    Close();
    markAggregates();
    m_sortFieldList.clear();
    m_sortDescending = false;
    m_tableName = std::move(name);
    rebuildSql();
}

void TTblShowQry::SetSortFieldList(std::string list)
{
    for (const std::string &f : splitNames(list))
        checkFieldName(f);
    m_sortFieldList = std::move(list);
    rebuildSql();
}

void TTblShowQry::SetSortDescending(bool descending)
{
    m_sortDescending = descending;
    rebuildSql();
}

void TTblShowQry::SetAggregateFieldList(std::string list)
{
    for (const std::string &f : splitNames(list))
        checkFieldName(f);
    m_aggregateFieldList = std::move(list);
    markAggregates();
}

void TTblShowQry::SetAggregateKinds(tabular::AggregateKinds kinds)
{
    m_aggregateKinds = kinds;
    markAggregates();
}

void TTblShowQry::markAggregates()
{
    if (!m_aggregateKinds.empty() && !splitNames(m_aggregateFieldList).empty())
        m_recompute = true;
    else if (!m_recompute)
        m_aggregateRows.clear(); // rows of an earlier table or field list are not this one's
}

void TTblShowQry::rebuildSql()
{
    m_sql = selectSql(m_tableName, m_sortFieldList, m_sortDescending);
}

void TTblShowQry::Close()
{
    m_table.close();
    m_rowKinds.clear();
    m_active = false;
}

void TTblShowQry::Open()
{
    if (m_sql.empty())
        throw QueryError("No SQL statement available");
    if (m_active)
        throw QueryError("Cannot perform this operation on an open dataset");

    const ScopedConnection connection(parseConnection(m_database));
    QueryResultBuilder result;
    {
        QSqlQuery query(connection.database());
        query.setForwardOnly(true);
        if (!query.exec(qtText(joinSql(m_sql))))
            throw QueryError(query.lastError().text().toStdString());
        const QSqlRecord record = query.record();
        for (int i = 0; i < record.count(); ++i) {
            const QSqlField field = record.field(i);
            result.addField(field.name().toStdString(), kindOf(field));
        }
        std::vector<QueryValue> row(static_cast<std::size_t>(record.count()));
        while (query.next()) {
            for (int i = 0; i < record.count(); ++i)
                row[static_cast<std::size_t>(i)] = valueOf(query.value(i));
            result.appendRow(row);
        }
        if (query.lastError().isValid())
            throw QueryError(query.lastError().text().toStdString());
    }
    m_table.loadData(result.take());
    m_active = true;

    applyFieldDisplays(m_table, FieldDisplays);
    if (OnLoadFieldDisplay)
        OnLoadFieldDisplay(*this);

    const std::vector<std::string> fields = splitNames(m_aggregateFieldList);
    if (m_recompute) {
        m_aggregateRows.clear();
        try {
            for (tabular::AggregateKind kind : aggregateOrder(m_aggregateKinds)) {
                TCalcRow row{kind, {}};
                QSqlQuery query(connection.database());
                query.setForwardOnly(true);
                query.setNumericalPrecisionPolicy(QSql::HighPrecision);
                if (!query.exec(qtText(joinSql(aggregateSql(kind, fields, m_tableName)))))
                    throw QueryError(query.lastError().text().toStdString());
                if (query.next()) {
                    const std::string function(aggregateFunction(kind));
                    for (std::size_t i = 0; i < fields.size(); ++i)
                        row.values.push_back(
                            currencyOf(query.value(static_cast<int>(i)), function));
                } else {
                    row.values.assign(fields.size(), Currency{});
                }
                m_aggregateRows.push_back(std::move(row));
            }
        } catch (...) {
            m_aggregateRows.clear();
            throw;
        }
        m_recompute = false;
    }

    if (!m_aggregateRows.empty()) {
        std::vector<int> columns;
        for (const std::string &name : fields) {
            const int column = result.fieldIndex(name);
            if (column < 0)
                throw QueryError("field \"" + name + "\" not found");
            columns.push_back(column);
        }
        for (const TCalcRow &row : m_aggregateRows)
            result.appendAggregateRow(columns, row.values);
        m_table.appendData(result.take());
        for (const TCalcRow &row : m_aggregateRows)
            m_rowKinds.push_back(row.kind);
    }
    m_table.first();
}

long long TTblShowQry::RecordCount() const
{
    return static_cast<long long>(m_table.recordCount());
}

long long TTblShowQry::RecordNumber() const
{
    return static_cast<long long>(m_table.recordNumber());
}

int TTblShowQry::AggregateCount() const
{
    return static_cast<int>(m_rowKinds.size());
}

AggregateRows::Kind TTblShowQry::AggregateKind(int i) const
{
    return m_rowKinds.at(static_cast<std::size_t>(i - 1));
}

} // namespace tally::tabular
