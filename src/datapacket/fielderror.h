#pragma once

#include <stdexcept>
#include <string>

namespace tally::datapacket {

// Thrown by a field read that cannot give the asked form (a text that is not
// a number, a value out of range) and by a lookup of a name no visible field
// has. The message names the field and, for reads, the row.
class FieldError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

} // namespace tally::datapacket
