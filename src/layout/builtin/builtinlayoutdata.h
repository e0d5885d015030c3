#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace tally::builtin::data {

// One embedded layout stream, generated at build time from its source.
struct BuiltinLayoutData
{
    std::string_view name;
    std::span<const std::uint8_t> bytes;
};

// Every embedded layout, in the order of their sources (generated file).
std::span<const BuiltinLayoutData> builtinLayoutTable();

} // namespace tally::builtin::data
