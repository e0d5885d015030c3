#include "documents/documentform.h"

#include "documents/documentbill.h"
#include "documents/documentdef.h"
#include "documents/variableresolver.h"

#include <algorithm>
#include <exception>

namespace tally::documents {

DocumentForm::DocumentForm(const DocumentDef &def, DocumentRequest request, FormatSettings settings,
                           Clock clock)
    : m_def(def), m_title(std::move(request.title)), m_prev(std::move(request.prev)),
      m_mainData(std::move(request.mainData)), m_itemData(std::move(request.itemData)),
      m_settings(settings), m_clock(std::move(clock)), m_header(settings), m_items(settings)
{
    m_header.setDeclaredFields(toFieldDefs(def.headerFields));
    m_items.setDeclaredFields(toFieldDefs(def.itemFields));
}

bool DocumentForm::load()
{
    m_loaded = false;
    m_loadError.clear();
    try {
        m_header.load(m_mainData);
    } catch (const std::exception &e) {
        m_loadError = std::string(m_def.headerTable) + ": " + e.what();
        return false;
    }
    try {
        m_items.load(m_itemData);
    } catch (const std::exception &e) {
        m_header.close();
        m_loadError = std::string(m_def.itemTable) + ": " + e.what();
        return false;
    }
    m_loaded = true;
    return true;
}

int DocumentForm::bodyRowCount() const
{
    const std::size_t count = m_loaded ? m_items.recordCount() : 0;
    if (count == 0)
        return 1;
    return static_cast<int>(
        std::min<std::size_t>(count, static_cast<std::size_t>(m_def.bodyRowCap)));
}

int DocumentForm::pageCount() const
{
    const std::size_t count = m_loaded ? m_items.recordCount() : 0;
    if (count == 0)
        return 1;
    const auto rows = static_cast<std::size_t>(bodyRowCount());
    return static_cast<int>((count + rows - 1) / rows);
}

DocumentForm::Outcome DocumentForm::create(DocumentBill &bill,
                                           const std::function<void(std::string_view)> &showMessage)
{
    bill.setVisible(false);
    if (!load()) {
        if (showMessage)
            showMessage(kBadFormatMessage);
        return Outcome::BadFormat;
    }
    // Rows first, binding second: the bill never paginates a table with a
    // zero-row body.
    bill.setRowCountBody(bodyRowCount());
    bill.setDataSet(bindsItems() ? &m_items : nullptr);
    bill.setVisible(true);
    if (wantsPreview()) {
        bill.preview();
        return Outcome::Previewed;
    }
    bill.print();
    return Outcome::Printed;
}

VariableContext DocumentForm::context(int pageIndex, int pageCount)
{
    return VariableContext{m_header,   m_title, m_def.defaultTitle, pageIndex, pageCount,
                           m_settings, m_clock};
}

std::string DocumentForm::footerText(int pageIndex, int pageCount, std::string text)
{
    VariableContext ctx = context(pageIndex, pageCount);
    return VariableResolver::resolve(m_def.footerGroups, std::move(text), ctx);
}

bool DocumentForm::hasCellCallback() const
{
    return m_def.hasCellCallback;
}

std::string DocumentForm::cellText(int pageIndex, int pageCount, std::string text)
{
    if (!m_def.hasCellCallback)
        return text;
    VariableContext ctx = context(pageIndex, pageCount);
    return VariableResolver::resolve(m_def.cellGroups, std::move(text), ctx);
}

} // namespace tally::documents
