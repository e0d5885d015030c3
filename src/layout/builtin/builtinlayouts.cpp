#include "layout/builtin/builtinlayouts.h"

#include "base/asciitext.h"
#include "layout/builtin/builtinlayoutdata.h"
#include "layout/layoutreader.h"
#include "layout/tbilllayout.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace tally::builtin {

namespace {

const data::BuiltinLayoutData *find(std::string_view name)
{
    const std::span<const data::BuiltinLayoutData> table = data::builtinLayoutTable();
    const auto it = std::find_if(table.begin(), table.end(), [&](const auto &entry) {
        return ascii::equalsIgnoringCase(entry.name, name);
    });
    return it == table.end() ? nullptr : &*it;
}

} // namespace

std::vector<std::string_view> builtinLayoutNames()
{
    std::vector<std::string_view> names;
    for (const data::BuiltinLayoutData &entry : data::builtinLayoutTable())
        names.push_back(entry.name);
    return names;
}

std::span<const std::uint8_t> builtinLayoutStream(std::string_view name)
{
    const data::BuiltinLayoutData *entry = find(name);
    return entry ? entry->bytes : std::span<const std::uint8_t>();
}

std::unique_ptr<layout::TBillLayout> loadBuiltinLayout(std::string_view name)
{
    const data::BuiltinLayoutData *entry = find(name);
    if (!entry)
        return nullptr;
    auto result = std::make_unique<layout::TBillLayout>();
    const layout::LayoutReadResult read = layout::LayoutReader::Read(entry->bytes, *result);
    if (!read)
        throw std::runtime_error("built-in layout " + std::string(entry->name) +
                                 " does not read at offset " + std::to_string(read.offset) + ": " +
                                 read.message);
    return result;
}

} // namespace tally::builtin
