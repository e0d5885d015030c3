#pragma once

#include <span>
#include <string_view>

namespace tally::tool {

// Each subcommand gets its own arguments (without the subcommand name) and
// returns the process exit status: 0 success, 1 usage, 2 input error.
using CommandFn = int (*)(std::span<const std::string_view> args);

struct Command
{
    std::string_view name;
    std::string_view usage;
    CommandFn run;
};

int runPacket(std::span<const std::string_view> args);
int runDocument(std::span<const std::string_view> args);
int runRender(std::span<const std::string_view> args);
int runLayout(std::span<const std::string_view> args);
int runBill(std::span<const std::string_view> args);
int runRequest(std::span<const std::string_view> args);
int runChart(std::span<const std::string_view> args);
int runExport(std::span<const std::string_view> args);
int runList(std::span<const std::string_view> args);
int runQuery(std::span<const std::string_view> args);

} // namespace tally::tool
