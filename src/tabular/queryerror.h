#pragma once

#include <stdexcept>

namespace tally::tabular {

// A query dataset's failure: its own messages ("No SQL statement
// available"), a refused name, or the database driver's message.
class QueryError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

} // namespace tally::tabular
