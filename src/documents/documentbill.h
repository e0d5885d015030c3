#pragma once

namespace tally::datapacket {
class DataPacketTable;
}

namespace tally::documents {

// What a document form asks of its bill while it is being created. The bill
// adapter (a TBill with its built-in layout) implements it; tests use a fake.
class DocumentBill
{
public:
    virtual ~DocumentBill() = default;

    // Shows or hides the bill on its window.
    virtual void setVisible(bool visible) = 0;
    // Body rows per page (the bill paginates by it).
    virtual void setRowCountBody(int rows) = 0;
    // Binds the body rows to a table (not owned), or unbinds with nullptr.
    virtual void setDataSet(datapacket::DataPacketTable *table) = 0;
    // Prints every page on the current printer without a dialog. Printer and
    // variable failures propagate.
    virtual void print() = 0;
    // Opens the maximized, modal preview and returns when it is closed.
    virtual void preview() = 0;
};

} // namespace tally::documents
