// tallytool layout: dump a layout stream as JSON, write a built-in layout.
#include "commands.h"

#include "layout/builtin/builtinlayouts.h"
#include "layout/layoutjson.h"
#include "layout/layoutreader.h"
#include "layout/layoutwriter.h"
#include "layout/tbilllayout.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace tally::tool {

namespace {

using namespace tally::layout;

// Fills layout from the named built-in layout, read from its embedded stream
// through the stream reader; false when no built-in layout has that name.
bool loadBuiltinLayout(std::string_view name, TBillLayout &layout)
{
    const std::unique_ptr<TBillLayout> builtin = tally::builtin::loadBuiltinLayout(name);
    if (!builtin)
        return false;
    layout.Swap(*builtin);
    return true;
}

// Fills layout from a built-in name or a stream file; prints why it cannot.
bool loadLayout(std::string_view source, TBillLayout &layout)
{
    std::ifstream file{std::string(source), std::ios::binary};
    if (!file) {
        if (loadBuiltinLayout(source, layout))
            return true;
        std::fprintf(stderr, "layout: unknown layout or unreadable file: %.*s\n",
                     static_cast<int>(source.size()), source.data());
        return false;
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    const LayoutReadResult result = LayoutReader::Read(bytes, layout);
    if (!result) {
        std::fprintf(stderr, "layout: %.*s: %s at offset %zu\n", static_cast<int>(source.size()),
                     source.data(), result.message.c_str(), result.offset);
        return false;
    }
    return true;
}

int dump(std::string_view source)
{
    TBillLayout layout;
    if (!loadLayout(source, layout))
        return 2;
    std::fputs(LayoutToJson(layout).c_str(), stdout);
    return 0;
}

int write(std::string_view name, std::string_view path)
{
    TBillLayout layout;
    if (!loadBuiltinLayout(name, layout)) {
        std::fprintf(stderr, "layout: unknown layout: %.*s\n", static_cast<int>(name.size()),
                     name.data());
        return 2;
    }
    const std::vector<std::uint8_t> bytes = LayoutWriter::Write(layout);
    std::ofstream out{std::string(path), std::ios::binary};
    out.write(reinterpret_cast<const char *>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "layout: cannot write %.*s\n", static_cast<int>(path.size()),
                     path.data());
        return 2;
    }
    return 0;
}

} // namespace

int runLayout(std::span<const std::string_view> args)
{
    if (args.size() == 2 && args[0] == "dump")
        return dump(args[1]);
    if (args.size() == 3 && args[0] == "write")
        return write(args[1], args[2]);
    std::fputs("usage: tallytool layout dump NAME|FILE\n"
               "       tallytool layout write NAME FILE\n",
               stderr);
    return 1;
}

} // namespace tally::tool
