#include "printing/tsimplebillfooters.h"

namespace tally::printing {

void TSimpleBillFooter::SetPosition(int position)
{
    m_position = position;
    m_owner->changed();
}

void TSimpleBillFooter::SetTop(int top)
{
    m_top = top;
    m_owner->changed();
}

void TSimpleBillFooter::SetCaption(std::string caption)
{
    m_caption = std::move(caption);
    m_owner->changed();
}

void TSimpleBillFooter::SetAlignment(TAlignment alignment)
{
    m_alignment = alignment;
    m_owner->changed();
}

void TSimpleBillFooter::SetIsBottom(bool isBottom)
{
    m_isBottom = isBottom;
    m_owner->changed();
}

void TSimpleBillFooter::SetFont(const TSimpleFont &font)
{
    m_font = font;
    m_parentFont = false;
    m_owner->changed();
}

void TSimpleBillFooter::SetParentFont(bool parentFont)
{
    m_parentFont = parentFont;
    if (parentFont && m_owner->m_parentFont)
        m_font = m_owner->m_parentFont();
    m_owner->changed();
}

int TSimpleBillFooter::Index() const
{
    return m_owner->indexOf(*this);
}

std::string TSimpleBillFooter::DisplayName() const
{
    return m_caption.empty() ? "Footer" + std::to_string(Index()) : m_caption;
}

void TSimpleBillFooter::Assign(const TSimpleBillFooter &source)
{
    m_position = source.m_position;
    m_top = source.m_top;
    m_alignment = source.m_alignment;
    m_caption = source.m_caption;
    m_isBottom = source.m_isBottom;
    m_owner->changed();
}

TSimpleBillFooters::TSimpleBillFooters(std::function<TSimpleFont()> parentFont,
                                       std::function<void()> changed)
    : m_parentFont(std::move(parentFont)), m_changed(std::move(changed))
{
}

TSimpleBillFooter &TSimpleBillFooters::Add()
{
    m_items.push_back(std::unique_ptr<TSimpleBillFooter>(
        new TSimpleBillFooter(*this, m_parentFont ? m_parentFont() : TSimpleFont{})));
    TSimpleBillFooter &footer = *m_items.back();
    changed();
    return footer;
}

void TSimpleBillFooters::Delete(int i)
{
    if (i < 0 || i >= Count())
        return;
    m_items.erase(m_items.begin() + i);
    changed();
}

void TSimpleBillFooters::Clear()
{
    m_items.clear();
    changed();
}

void TSimpleBillFooters::Assign(const TSimpleBillFooters &source)
{
    if (&source == this)
        return;
    m_items.clear();
    // Each copy is a new footer of this report (its font), then takes the
    // source footer's place and text, as a footer's Assign does.
    for (const auto &footer : source.m_items) {
        m_items.push_back(std::unique_ptr<TSimpleBillFooter>(
            new TSimpleBillFooter(*this, m_parentFont ? m_parentFont() : TSimpleFont{})));
        TSimpleBillFooter &copy = *m_items.back();
        copy.m_position = footer->m_position;
        copy.m_top = footer->m_top;
        copy.m_alignment = footer->m_alignment;
        copy.m_caption = footer->m_caption;
        copy.m_isBottom = footer->m_isBottom;
    }
    changed();
}

void TSimpleBillFooters::changed()
{
    if (m_changed)
        m_changed();
}

int TSimpleBillFooters::indexOf(const TSimpleBillFooter &footer) const
{
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].get() == &footer)
            return static_cast<int>(i);
    return -1;
}

} // namespace tally::printing
