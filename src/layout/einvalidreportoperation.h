#pragma once

#include <stdexcept>
#include <string>

namespace tally::layout {

// The structural error of the layout engine: bad slot indices, out-of-range
// edge flags and the like. Carries the message the system shows.
class EInvalidReportOperation : public std::runtime_error
{
public:
    explicit EInvalidReportOperation(const std::string &message) : std::runtime_error(message) {}
};

// The message of every slot/edge index error.
inline constexpr const char *kGridIndexOutOfRange = "Grid index out of range";

} // namespace tally::layout
