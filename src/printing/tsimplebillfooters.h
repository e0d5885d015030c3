#pragma once

#include "printing/simplebilltypes.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tally::printing {

class TSimpleBillFooters;

// A free text of the list report, placed relative to the table: Position is
// the distance from the table's left edge (left aligned), from its right
// edge (right aligned) or from its centre (centred); Top is measured from the
// top of the content, or from the table's bottom edge when IsBottom.
class TSimpleBillFooter
{
public:
    int Position() const { return m_position; }
    void SetPosition(int position);
    int Top() const { return m_top; }
    void SetTop(int top);
    // The text before the report's footer callback rewrites it.
    const std::string &Caption() const { return m_caption; }
    void SetCaption(std::string caption);
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment alignment);
    bool IsBottom() const { return m_isBottom; }
    void SetIsBottom(bool isBottom);

    // The footer's font: a copy of the report's font when the footer was
    // made. SetFont copies the font and clears ParentFont; SetParentFont(true)
    // copies the report's current font again. A later change of the report's
    // font does not reach the footer by itself.
    const TSimpleFont &Font() const { return m_font; }
    void SetFont(const TSimpleFont &font);
    bool ParentFont() const { return m_parentFont; }
    void SetParentFont(bool parentFont);

    int Index() const;
    // The caption, or "Footer" and the index when the caption is empty.
    std::string DisplayName() const;
    // Copies position, top, alignment, caption and IsBottom, not the font.
    void Assign(const TSimpleBillFooter &source);

private:
    friend class TSimpleBillFooters;
    TSimpleBillFooter(TSimpleBillFooters &owner, TSimpleFont font)
        : m_owner(&owner), m_font(std::move(font))
    {
    }

    TSimpleBillFooters *m_owner;
    int m_position = 0;
    int m_top = 0;
    std::string m_caption;
    TAlignment m_alignment = TAlignment::taLeftJustify;
    bool m_isBottom = false;
    TSimpleFont m_font;
    bool m_parentFont = true;
};

// The report's footers, drawn in collection order. Every change calls the
// change handler (the owning report's repaint).
class TSimpleBillFooters
{
public:
    // parentFont gives the report's current font (for new footers and
    // ParentFont); changed is called after every change.
    TSimpleBillFooters(std::function<TSimpleFont()> parentFont, std::function<void()> changed);
    TSimpleBillFooters(const TSimpleBillFooters &) = delete;
    TSimpleBillFooters &operator=(const TSimpleBillFooters &) = delete;

    int Count() const { return static_cast<int>(m_items.size()); }
    TSimpleBillFooter &Items(int i) { return *m_items.at(static_cast<std::size_t>(i)); }
    const TSimpleBillFooter &Items(int i) const { return *m_items.at(static_cast<std::size_t>(i)); }
    TSimpleBillFooter &operator[](int i) { return Items(i); }
    const TSimpleBillFooter &operator[](int i) const { return Items(i); }

    // Appends a footer with the report's current font.
    TSimpleBillFooter &Add();
    // Deletes footer i; out-of-range indexes are ignored.
    void Delete(int i);
    void Clear();
    // Replaces the footers by copies of source's (Assign of each footer:
    // the copies have this report's font).
    void Assign(const TSimpleBillFooters &source);

private:
    friend class TSimpleBillFooter;
    void changed();
    int indexOf(const TSimpleBillFooter &footer) const;

    std::vector<std::unique_ptr<TSimpleBillFooter>> m_items;
    std::function<TSimpleFont()> m_parentFont;
    std::function<void()> m_changed;
};

} // namespace tally::printing
