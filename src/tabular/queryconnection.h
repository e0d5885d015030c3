#pragma once

#include <string>
#include <string_view>

namespace tally::tabular {

// Where a query dataset reads: a Qt SQL driver and its connection settings.
struct QueryConnection
{
    std::string driver; // "QSQLITE", "QPSQL", ...
    std::string host;
    int port = -1; // -1: the driver's default
    std::string user;
    std::string password;
    std::string database; // database name, or the SQLite file
};

// Reads a connection string: "SCHEME://[USER[:PASSWORD]@]HOST[:PORT]/DATABASE"
// with the schemes postgresql (or postgres), mysql, odbc and sqlite (then the
// part after "://" is the file), or "qt+DRIVER://..." for any other Qt SQL
// driver; anything without "://" is an SQLite file path. User, password and
// database may be percent-encoded. Throws QueryError for an unknown scheme or
// a port that is not a number.
QueryConnection parseConnection(std::string_view text);

} // namespace tally::tabular
