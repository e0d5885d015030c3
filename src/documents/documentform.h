#pragma once

#include "base/formatsettings.h"
#include "datapacket/datapackettable.h"
#include "documents/variablecontext.h"

#include <functional>
#include <string>
#include <string_view>

namespace tally::documents {

class DocumentBill;
struct DocumentDef;

// The texts of one print request, as a document form receives them (UTF-8).
struct DocumentRequest
{
    std::string title;
    std::string prev;     // "1" asks for a preview
    std::string mainData; // header packet
    std::string itemData; // item packet
};

// The window-free part of a document print form: the header and item tables,
// their loading, the bill's body size and page count, and the texts of the
// layout's variables. A Qt form or the command-line renderer drives it and
// owns the bill. Used by one thread at a time.
class DocumentForm
{
public:
    // The message a document shows when its packets do not load.
    static constexpr std::string_view kBadFormatMessage = "格式不正确";

    // `def` must outlive the form (the built-in definitions do). The clock
    // gives the print time and date.
    DocumentForm(const DocumentDef &def, DocumentRequest request,
                 FormatSettings settings = FormatSettings::chinesePrc(),
                 Clock clock = &LocalDateTime::now);

    DocumentForm(const DocumentForm &) = delete;
    DocumentForm &operator=(const DocumentForm &) = delete;

    const DocumentDef &definition() const { return m_def; }
    // The form's title: the request's, or the default once a variable asked for it.
    const std::string &title() const { return m_title; }
    const std::string &prev() const { return m_prev; }
    // True when `prev` is exactly "1": preview instead of printing at once.
    bool wantsPreview() const { return m_prev == "1"; }
    const FormatSettings &formatSettings() const { return m_settings; }

    // Loads the header table, then the item table. Returns false when either
    // fails (malformed packet, a declared field missing or of another kind);
    // loadError() then says why, and the form must print nothing.
    bool load();
    bool isLoaded() const { return m_loaded; }
    const std::string &loadError() const { return m_loadError; }

    // Item rows after load().
    std::size_t itemCount() const { return m_items.recordCount(); }
    // Body rows per page for the bill: the item count up to the document's
    // cap. Without items it is 1: the bill then prints one page with an empty
    // body (see bindsItems).
    int bodyRowCount() const;
    // Pages a bill of bodyRowCount() rows needs: items divided by rows,
    // rounded up; 1 without items.
    int pageCount() const;
    // Whether the bill should be bound to the item table. An unbound bill
    // draws one page with empty body cells and sums, which is what a document
    // without items prints.
    bool bindsItems() const { return m_loaded && m_items.recordCount() > 0; }

    // The text of a free variable item: `text` holds the stored name on entry.
    // Unknown names come back unchanged. Throws FieldError when a header read
    // fails (missing field, text that is not a number).
    std::string footerText(int pageIndex, int pageCount, std::string text);

    // What creating the form did with the document.
    enum class Outcome
    {
        BadFormat, // the packets did not load: message shown, bill hidden, nothing output
        Printed,
        Previewed,
    };

    // The creation sequence of a document window: hide the bill, load both
    // packets (on failure show kBadFormatMessage through `showMessage` and
    // stop), size and bind the bill's body, show the bill, then preview when
    // `prev` is "1", else print at once. Failures of printing or previewing
    // propagate to the caller.
    Outcome create(DocumentBill &bill, const std::function<void(std::string_view)> &showMessage);

    // Whether the document connects a cell callback at all.
    bool hasCellCallback() const;
    // The text of a variable grid cell whose current text is `text`.
    std::string cellText(int pageIndex, int pageCount, std::string text);

    datapacket::DataPacketTable &header() { return m_header; }
    datapacket::DataPacketTable &items() { return m_items; }
    const datapacket::DataPacketTable &header() const { return m_header; }
    const datapacket::DataPacketTable &items() const { return m_items; }

private:
    VariableContext context(int pageIndex, int pageCount);

    const DocumentDef &m_def;
    std::string m_title;
    std::string m_prev;
    std::string m_mainData;
    std::string m_itemData;
    FormatSettings m_settings;
    Clock m_clock;
    datapacket::DataPacketTable m_header;
    datapacket::DataPacketTable m_items;
    bool m_loaded = false;
    std::string m_loadError;
};

} // namespace tally::documents
