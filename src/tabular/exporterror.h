#pragma once

#include <stdexcept>
#include <string>

namespace tally::tabular {

// Thrown when an export cannot be completed: the file cannot be created or
// written, a value cannot be read in the form its column asks for, or the
// table does not fit the chosen format. The message says which. Nothing is
// left at the export's file name when it is thrown.
class ExportError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

} // namespace tally::tabular
