#include "commands.h"

#include "service/requestintake.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace tally::tool {

int runRequest(std::span<const std::string_view> args)
{
    if (args.size() != 1) {
        std::fputs("usage: tallytool request BODYFILE\n", stderr);
        return 1;
    }
    std::ifstream in{std::string(args[0]), std::ios::binary};
    if (!in) {
        std::fprintf(stderr, "request: cannot read %.*s\n", static_cast<int>(args[0].size()),
                     args[0].data());
        return 2;
    }
    const std::string body{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    // No document windows here: every document type opens nothing.
    service::RequestIntake intake(
        [](const std::string &line) { std::printf("%s\n", line.c_str()); });
    intake.handleRequest("POST", body);
    return 0;
}

} // namespace tally::tool
