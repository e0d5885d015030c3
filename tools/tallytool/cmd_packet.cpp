#include "commands.h"

#include "datapacket/datapackettable.h"
#include "datapacket/fielderror.h"
#include "datapacket/packeterror.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace tally::tool {

// packet FILE: the fields (name, kind, width), then every row's display texts,
// tab-separated. A packet that does not load gives one error line and status 2.
int runPacket(std::span<const std::string_view> args)
{
    if (args.size() != 1) {
        std::fputs("usage: tallytool packet FILE\n", stderr);
        return 1;
    }
    const std::string path(args[0]);
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "tallytool packet: %s: cannot open file\n", path.c_str());
        return 2;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    datapacket::DataPacketTable table(FormatSettings::fromSystemLocale());
    try {
        table.load(std::move(text));
    } catch (const datapacket::PacketError &e) {
        std::fprintf(stderr, "tallytool packet: %s: %s\n", path.c_str(), e.what());
        return 2;
    }

    std::string out;
    out += "fields: " + std::to_string(table.fieldCount()) + "\n";
    for (int i = 0; i < table.fieldCount(); ++i) {
        const datapacket::PacketField &f = table.field(i);
        out += f.name() + '\t' + std::string(datapacket::fieldKindName(f.kind())) + '\t' +
               std::to_string(f.displayWidth()) + '\n';
    }
    out += "rows: " + std::to_string(table.recordCount()) + "\n";
    try {
        for (table.first(); !table.eof(); table.next()) {
            out += std::to_string(table.recordNumber());
            for (int i = 0; i < table.fieldCount(); ++i)
                out += '\t' + table.field(i).displayText();
            out += '\n';
        }
    } catch (const datapacket::FieldError &e) {
        std::fprintf(stderr, "tallytool packet: %s: %s\n", path.c_str(), e.what());
        return 2;
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

} // namespace tally::tool
