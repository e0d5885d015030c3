#include "tabular/querysql.h"

#include "tabular/queryerror.h"

namespace tally::tabular {

std::vector<AggregateKind> aggregateOrder(AggregateKinds kinds)
{
    std::vector<AggregateKind> order;
    for (AggregateKind k :
         {AggregateKind::Max, AggregateKind::Min, AggregateKind::Avg, AggregateKind::Sum})
        if (kinds.contains(k))
            order.push_back(k);
    return order;
}

std::string_view aggregateFunction(AggregateKind kind)
{
    switch (kind) {
    case AggregateKind::Sum:
        return "SUM";
    case AggregateKind::Max:
        return "MAX";
    case AggregateKind::Min:
        return "MIN";
    case AggregateKind::Avg:
        return "AVG";
    }
    return {};
}

std::vector<std::string> splitNames(std::string_view list)
{
    std::vector<std::string> names;
    std::string name;
    for (char c : list) {
        if (c == ';' || c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            if (!name.empty())
                names.push_back(std::move(name));
            name.clear();
        } else {
            name += c;
        }
    }
    if (!name.empty())
        names.push_back(std::move(name));
    return names;
}

void checkTableName(std::string_view name)
{
    if (name.find('"') != std::string_view::npos || name.find('\0') != std::string_view::npos)
        throw QueryError("table name \"" + std::string(name.substr(0, name.find('\0'))) +
                         "\" holds a double quote or NUL and is refused");
}

void checkFieldName(std::string_view name)
{
    bool plain = !name.empty();
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (!(u >= 0x80 || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
              (c >= '0' && c <= '9') || c == '_' || c == '$'))
            plain = false;
    }
    if (!plain)
        throw QueryError("field name \"" + std::string(name.substr(0, name.find('\0'))) +
                         "\" is not a plain name and is refused");
}

std::vector<std::string> selectSql(std::string_view tableName, std::string_view sortFieldList,
                                   bool descending)
{
    if (tableName.empty())
        return {};
    checkTableName(tableName);
    const std::vector<std::string> sort = splitNames(sortFieldList);
    for (const std::string &f : sort)
        checkFieldName(f);
    std::vector<std::string> lines{"SELECT * FROM \"" + std::string(tableName) + '"'};
    if (sort.empty()) {
        lines.emplace_back("ORDER BY 1");
        return lines;
    }
    const std::string suffix = descending ? " DESC" : "";
    lines.push_back("ORDER BY " + sort.front() + suffix);
    for (std::size_t i = 1; i < sort.size(); ++i)
        lines.push_back("," + sort[i] + suffix);
    return lines;
}

std::vector<std::string> aggregateSql(AggregateKind kind, std::span<const std::string> fields,
                                      std::string_view tableName)
{
    checkTableName(tableName);
    if (fields.empty())
        throw QueryError("no field to aggregate");
    for (const std::string &f : fields)
        checkFieldName(f);
    const std::string function(aggregateFunction(kind));
    std::vector<std::string> lines{"select " + function + "(" + fields.front() + ")"};
    for (std::size_t i = 1; i < fields.size(); ++i)
        lines.push_back(", " + function + "(" + fields[i] + ")");
    lines.push_back("from \"" + std::string(tableName) + '"');
    return lines;
}

std::string joinSql(std::span<const std::string> lines)
{
    std::string text;
    for (const std::string &line : lines) {
        if (!text.empty())
            text += '\n';
        text += line;
    }
    return text;
}

} // namespace tally::tabular
