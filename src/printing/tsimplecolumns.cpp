#include "printing/tsimplecolumns.h"

namespace tally::printing {

void TSimpleColumn::SetWidth(int width)
{
    m_width = width;
    m_owner->changed();
}

void TSimpleColumn::SetAlignment(TAlignment alignment)
{
    m_alignment = alignment;
    m_owner->changed();
}

void TSimpleColumn::SetCaption(std::string caption)
{
    m_caption = std::move(caption);
    m_owner->changed();
}

int TSimpleColumn::Index() const
{
    return m_owner->indexOf(*this);
}

std::string TSimpleColumn::DisplayName() const
{
    return m_caption.empty() ? "Col " + std::to_string(Index()) : m_caption;
}

void TSimpleColumn::Assign(const TSimpleColumn &source)
{
    m_left = source.m_left;
    m_width = source.m_width;
    m_alignment = source.m_alignment;
    m_caption = source.m_caption;
    m_owner->changed();
}

TSimpleColumns::TSimpleColumns(std::function<void()> changed) : m_changed(std::move(changed)) {}

TSimpleColumn &TSimpleColumns::Add()
{
    m_items.push_back(std::unique_ptr<TSimpleColumn>(new TSimpleColumn(*this)));
    TSimpleColumn &column = *m_items.back();
    changed();
    return column;
}

void TSimpleColumns::Delete(int i)
{
    if (i < 0 || i >= Count())
        return;
    m_items.erase(m_items.begin() + i);
    changed();
}

int TSimpleColumns::TotalWidth() const
{
    return m_items.empty() ? 0 : m_items.back()->Right();
}

void TSimpleColumns::Assign(const TSimpleColumns &source)
{
    if (&source == this)
        return;
    m_items.clear();
    for (const auto &column : source.m_items) {
        m_items.push_back(std::unique_ptr<TSimpleColumn>(new TSimpleColumn(*this)));
        TSimpleColumn &copy = *m_items.back();
        copy.m_left = column->m_left;
        copy.m_width = column->m_width;
        copy.m_alignment = column->m_alignment;
        copy.m_caption = column->m_caption;
    }
    changed();
}

void TSimpleColumns::changed()
{
    // Positions follow from the widths alone, so recomputing them all after
    // any change keeps them right whatever changed.
    int left = 0;
    for (const auto &column : m_items) {
        column->m_left = left;
        left = column->Right();
    }
    if (m_changed)
        m_changed();
}

int TSimpleColumns::indexOf(const TSimpleColumn &column) const
{
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].get() == &column)
            return static_cast<int>(i);
    return -1;
}

} // namespace tally::printing
