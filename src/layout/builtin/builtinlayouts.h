#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace tally::layout {
class TBillLayout;
}

namespace tally::builtin {

// Names of the built-in layouts (the form classes that print with them, such
// as "TPrintDHD"), in a fixed order.
std::vector<std::string_view> builtinLayoutNames();

// The embedded layout stream of a built-in layout, looked up by name (ASCII
// case is ignored). Empty when no layout has that name. The bytes live as long
// as the program.
std::span<const std::uint8_t> builtinLayoutStream(std::string_view name);

// A new layout read from the embedded stream through the stream reader; the
// caller owns it. nullptr when no layout has that name. Throws
// std::runtime_error when the stream does not read, which the build's own
// check of every stream rules out.
std::unique_ptr<layout::TBillLayout> loadBuiltinLayout(std::string_view name);

} // namespace tally::builtin
