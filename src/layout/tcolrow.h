#pragma once

#include <vector>

namespace tally::layout {

// The ordered column widths (or row heights) of a layout. Each item starts
// where the previous one ends: its Position is the previous item's Position
// plus its Size plus one pixel for the grid line. Item 0 starts at 0.
// Index errors throw std::out_of_range.
class TColRow
{
public:
    TColRow() = default;

    // Number of items.
    int Count() const { return static_cast<int>(m_items.size()); }

    // Removes every item.
    void Clear() { m_items.clear(); }

    // Clears, then appends count items of the given size.
    void SetCount(int count, int size);

    // Appends an item after the last one; returns its index.
    int Add(int size);

    // Inserts an item before index (Count() appends), then recomputes positions.
    void Insert(int index, int size);

    // Removes an item, then recomputes positions.
    void Delete(int index);

    // Start of the item in layout pixels.
    int Position(int index) const { return item(index).Position; }

    // Position + Size + 1: where the next item starts.
    int EndPosition(int index) const;

    // Width/height of the item without its grid line.
    int Size(int index) const { return item(index).Size; }

    // Changes a size, then recomputes positions.
    void SetSize(int index, int size);

    friend bool operator==(const TColRow &a, const TColRow &b) { return a.m_items == b.m_items; }

private:
    struct Item
    {
        int Position = 0;
        int Size = 0;
        friend bool operator==(const Item &, const Item &) = default;
    };

    const Item &item(int index) const;
    void recompute();

    std::vector<Item> m_items;
};

} // namespace tally::layout
