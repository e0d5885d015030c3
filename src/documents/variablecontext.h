#pragma once

#include "base/datetimeformat.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tally {
struct FormatSettings;
}
namespace tally::datapacket {
class DataPacketTable;
}

namespace tally::documents {

// Where local time comes from; tests pass a fixed clock.
using Clock = std::function<LocalDateTime()>;

// What a variable's text may depend on. Everything is borrowed from the
// document form that asks; the title is the form's own and may receive the
// default title.
struct VariableContext
{
    const datapacket::DataPacketTable &header;
    std::string &title;
    std::optional<std::string_view> defaultTitle;
    int pageIndex = 1; // 1-based
    int pageCount = 1;
    const FormatSettings &settings;
    const Clock &clock;
};

} // namespace tally::documents
