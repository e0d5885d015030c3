#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace tally::datapacket {

// Thrown by a field read that cannot give the asked form (a text that is not
// a number, a value out of range) and by a lookup of a name no visible field
// has. The message names the field and, for reads, the row.
class FieldError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A value or name as the error messages quote it: in double quotes, cut
// after 40 bytes with "...".
inline std::string quotedExcerpt(std::string_view text)
{
    std::string q = "\"";
    q.append(text.substr(0, 40));
    if (text.size() > 40)
        q += "...";
    q += '"';
    return q;
}

} // namespace tally::datapacket
