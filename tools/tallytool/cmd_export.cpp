#include "commands.h"
#include "requestfile.h"

#include "base/formatsettings.h"
#include "datapacket/datapackettable.h"
#include "datapacket/packeterror.h"
#include "tabular/exportcolumn.h"
#include "tabular/exporterror.h"
#include "tabular/tableexport.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace tally::tool {

namespace {

int fail(const std::string &path, const std::string &message)
{
    std::fprintf(stderr, "tallytool export: %s: %s\n", path.c_str(), message.c_str());
    return 2;
}

// A bare packet is XML ("<", possibly after a byte order mark and blanks);
// anything else is read as a print request.
bool looksLikePacket(const std::string &text)
{
    std::size_t i = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    i = text.find_first_not_of(" \t\r\n", i);
    return i != std::string::npos && text[i] == '<';
}

} // namespace

// export REQUEST|PACKET (--text OUT | --xls OUT | --xlsx OUT): the list
// window's default export (every visible field, in order) of a request of
// document type "0" or of a bare packet, written to OUT exactly as named.
int runExport(std::span<const std::string_view> args)
{
    using tabular::ExportFormat;
    if (args.size() != 3 || (args[1] != "--text" && args[1] != "--xls" && args[1] != "--xlsx")) {
        std::fputs("usage: tallytool export REQUEST|PACKET (--text OUT | --xls OUT | --xlsx OUT)\n",
                   stderr);
        return 1;
    }
    const std::string path(args[0]);
    const std::string out(args[2]);
    const ExportFormat format = args[1] == "--text"  ? ExportFormat::Text
                                : args[1] == "--xls" ? ExportFormat::Biff
                                                     : ExportFormat::Xlsx;

    std::string packet;
    {
        std::ifstream in(path, std::ios::binary);
        if (!in)
            return fail(path, "cannot open file");
        packet.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (!looksLikePacket(packet)) {
        try {
            const service::RequestJson request = readRequestFile(path);
            if (request.djlx != "0")
                return fail(path, "djlx \"" + request.djlx + "\" is not the generic list (\"0\")");
            packet = request.data;
        } catch (const std::exception &e) {
            return fail(path, e.what());
        }
    }

    datapacket::DataPacketTable table(FormatSettings::fromSystemLocale());
    try {
        table.load(std::move(packet));
    } catch (const datapacket::PacketError &e) {
        return fail(path, e.what());
    }
    const std::vector<tabular::ExportColumn> columns = tabular::defaultExportColumns(table);
    try {
        tabular::exportTable(table, columns, format, out);
    } catch (const tabular::ExportError &e) {
        return fail(path, e.what());
    }
    std::printf("exported %zu rows of %zu columns to %s\n", table.recordCount(), columns.size(),
                out.c_str());
    return 0;
}

} // namespace tally::tool
