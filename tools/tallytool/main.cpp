// tallytool: headless entry to the engine for automation and checks.
#include "commands.h"

#include <array>
#include <cstdio>
#include <string_view>
#include <vector>

namespace {

using tally::tool::Command;

constexpr std::array kCommands{
    Command{"packet", "packet FILE                 print the fields and rows of a data packet",
            tally::tool::runPacket},
    Command{"layout",
            "layout dump NAME|FILE        describe a layout as JSON\n"
            "  layout write NAME FILE      write a built-in layout's stream",
            tally::tool::runLayout},
    Command{"document",
            "document REQUEST            load a print request and show its variable texts",
            tally::tool::runDocument},
    Command{"render", "render REQUEST --pdf OUT.pdf  print a print request's document as PDF",
            tally::tool::runRender},
    Command{"bill",
            "bill LAYOUT ITEMS.xml --pdf OUT.pdf [--rows N]  print a built-in layout as PDF",
            tally::tool::runBill},
    Command{"request",
            "request BODYFILE            log lines of a print request body (nothing opens)",
            tally::tool::runRequest},
    Command{"chart",
            "chart REQUEST|PACKET --x FIELD --y FIELD --png OUT.png [--size WxH]\n"
            "                              draw a list's chart tab as a PNG image",
            tally::tool::runChart},
    Command{"export",
            "export REQUEST|PACKET (--text OUT | --xls OUT | --xlsx OUT)  export a list's rows",
            tally::tool::runExport},
    Command{"list",
            "list REQUEST|PACKET --pdf OUT.pdf [--title TEXT]  print a packet as the list report",
            tally::tool::runList},
    Command{
        "query",
        "query DATABASE TABLE [--sort F1;F2] [--desc] [--aggregate F1;F2 --kinds SUM,MAX,MIN,AVG]\n"
        "      [--pdf OUT.pdf | --xls OUT | --text OUT]\n"
        "                              read a table through the query dataset (SQLite file or\n"
        "                              connection string) and show, print or export it",
        tally::tool::runQuery},
};

int usage()
{
    std::fputs("usage: tallytool COMMAND [ARGS...]\n", stderr);
    for (const auto &c : kCommands)
        std::fprintf(stderr, "  %.*s\n", static_cast<int>(c.usage.size()), c.usage.data());
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return usage();
    const std::vector<std::string_view> args(argv + 2, argv + argc);
    const std::string_view name = argv[1];
    for (const auto &c : kCommands)
        if (c.name == name)
            return c.run(args);
    return usage();
}
