// Loads arbitrary bytes as a data packet, once with every packet field visible
// and once with declared fields, and reads every value of every row.
#include "datapacket/datapackettable.h"
#include "datapacket/fielderror.h"
#include "datapacket/packeterror.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void readAll(tally::datapacket::DataPacketTable &table)
{
    for (table.first(); !table.eof(); table.next()) {
        for (int i = 0; i < table.fieldCount(); ++i) {
            const tally::datapacket::PacketField &f = table.field(i);
            (void)f.isNull();
            (void)f.displayText();
            (void)f.editText();
            (void)f.asString();
            (void)f.displayWidth();
            try {
                (void)f.asInteger();
            } catch (const tally::datapacket::FieldError &) {
            }
            try {
                (void)f.asFloat();
            } catch (const tally::datapacket::FieldError &) {
            }
            try {
                (void)f.asCurrency();
            } catch (const tally::datapacket::FieldError &) {
            }
        }
    }
}

void load(tally::datapacket::DataPacketTable &table, const std::string &text)
{
    try {
        table.load(text);
    } catch (const tally::datapacket::PacketError &e) {
        // A failed load leaves nothing behind.
        if (table.isActive() || table.recordCount() != 0 || e.result().message.empty())
            __builtin_trap();
        return;
    }
    readAll(table);
    table.moveBy(-3);
    table.setRecordNumber(static_cast<long long>(table.recordCount()) / 2);
    readAll(table);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    tally::datapacket::DataPacketTable open;
    load(open, text);

    tally::datapacket::DataPacketTable declared;
    auto def = [](const char *name, tally::datapacket::FieldKind kind) {
        tally::datapacket::FieldDef d;
        d.name = name;
        d.kind = kind;
        return d;
    };
    tally::datapacket::FieldDef money = def("JE", tally::datapacket::FieldKind::Float);
    money.currency = true;
    tally::datapacket::FieldDef formatted = def("SL", tally::datapacket::FieldKind::Float);
    formatted.displayFormat = "#,##0.00";
    declared.setDeclaredFields({def("A", tally::datapacket::FieldKind::Text),
                                def("N", tally::datapacket::FieldKind::Int32), money, formatted,
                                def("D", tally::datapacket::FieldKind::DateTime)});
    load(declared, text);
    return 0;
}
