// Loads arbitrary bytes as a data packet, once with every packet field visible
// and once with declared fields, and reads every value of every row.
#include "documents/datapackettable.h"
#include "documents/fielderror.h"
#include "documents/packeterror.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void readAll(tally::DataPacketTable &table)
{
    for (table.first(); !table.eof(); table.next()) {
        for (int i = 0; i < table.fieldCount(); ++i) {
            const tally::PacketField &f = table.field(i);
            (void)f.isNull();
            (void)f.displayText();
            (void)f.editText();
            (void)f.asString();
            (void)f.displayWidth();
            try {
                (void)f.asInteger();
            } catch (const tally::FieldError &) {
            }
            try {
                (void)f.asFloat();
            } catch (const tally::FieldError &) {
            }
            try {
                (void)f.asCurrency();
            } catch (const tally::FieldError &) {
            }
        }
    }
}

void load(tally::DataPacketTable &table, const std::string &text)
{
    try {
        table.load(text);
    } catch (const tally::PacketError &e) {
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
    tally::DataPacketTable open;
    load(open, text);

    tally::DataPacketTable declared;
    auto def = [](const char *name, tally::FieldKind kind) {
        tally::FieldDef d;
        d.name = name;
        d.kind = kind;
        return d;
    };
    tally::FieldDef money = def("JE", tally::FieldKind::Float);
    money.currency = true;
    tally::FieldDef formatted = def("SL", tally::FieldKind::Float);
    formatted.displayFormat = "#,##0.00";
    declared.setDeclaredFields({def("A", tally::FieldKind::Text), def("N", tally::FieldKind::Int32),
                                money, formatted, def("D", tally::FieldKind::DateTime)});
    load(declared, text);
    return 0;
}
