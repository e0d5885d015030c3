#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace tally::layout {

// Messages of layout stream read errors.
inline constexpr const char *kInvalidPropertyValue = "Invalid property value";
inline constexpr const char *kStreamReadError = "Stream read error";

// A failed read of a layout stream: the offset of the item that could not be
// read and the message. Thrown inside the reader; callers get a result.
class LayoutStreamError : public std::runtime_error
{
public:
    LayoutStreamError(std::size_t offset, const std::string &message)
        : std::runtime_error(message), m_offset(offset)
    {
    }

    std::size_t Offset() const { return m_offset; }

private:
    std::size_t m_offset;
};

} // namespace tally::layout
