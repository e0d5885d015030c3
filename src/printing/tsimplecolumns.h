#pragma once

#include "printing/simplebilltypes.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tally::printing {

class TSimpleColumns;

// One column of the list report. Left is computed by the collection: 0 for
// the first column, the previous column's Right for the others, so each
// column takes its width plus one pixel for the rule between columns.
class TSimpleColumn
{
public:
    // Width of the cell text area in layout pixels (initially 40).
    int Width() const { return m_width; }
    void SetWidth(int width);
    int Left() const { return m_left; }
    // Left + Width + 1.
    int Right() const { return m_left + m_width + 1; }
    // Alignment of the data texts (header captions are always centred).
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment alignment);
    const std::string &Caption() const { return m_caption; }
    void SetCaption(std::string caption);

    // Position in the collection, from 0.
    int Index() const;
    // The caption, or "Col " and the index when the caption is empty.
    std::string DisplayName() const;
    // Copies left, width, alignment and caption.
    void Assign(const TSimpleColumn &source);

private:
    friend class TSimpleColumns;
    explicit TSimpleColumn(TSimpleColumns &owner) : m_owner(&owner) {}

    TSimpleColumns *m_owner;
    int m_left = 0;
    int m_width = 40;
    TAlignment m_alignment = TAlignment::taCenter;
    std::string m_caption;
};

// The report's columns, left to right. Every change recomputes the column
// positions and calls the change handler (the owning report's size change).
class TSimpleColumns
{
public:
    explicit TSimpleColumns(std::function<void()> changed = {});
    TSimpleColumns(const TSimpleColumns &) = delete;
    TSimpleColumns &operator=(const TSimpleColumns &) = delete;

    int Count() const { return static_cast<int>(m_items.size()); }
    // Column i (0 ≤ i < Count); references stay valid until it is deleted.
    TSimpleColumn &Items(int i) { return *m_items.at(static_cast<std::size_t>(i)); }
    const TSimpleColumn &Items(int i) const { return *m_items.at(static_cast<std::size_t>(i)); }
    TSimpleColumn &operator[](int i) { return Items(i); }
    const TSimpleColumn &operator[](int i) const { return Items(i); }

    // Appends a column of width 40, centred, without caption.
    TSimpleColumn &Add();
    // Deletes column i; out-of-range indexes are ignored.
    void Delete(int i);
    // Right of the last column; 0 without columns.
    int TotalWidth() const;
    // Replaces the columns by copies of source's.
    void Assign(const TSimpleColumns &source);

private:
    friend class TSimpleColumn;
    void changed();
    int indexOf(const TSimpleColumn &column) const;

    std::vector<std::unique_ptr<TSimpleColumn>> m_items;
    std::function<void()> m_changed;
};

} // namespace tally::printing
