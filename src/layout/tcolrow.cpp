#include "layout/tcolrow.h"

#include <stdexcept>
#include <string>

namespace tally::layout {

namespace {

[[noreturn]] void listIndexError(int index)
{
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
}

} // namespace

const TColRow::Item &TColRow::item(int index) const
{
    if (index < 0 || index >= Count())
        listIndexError(index);
    return m_items[static_cast<std::size_t>(index)];
}

void TColRow::SetCount(int count, int size)
{
    m_items.clear();
    for (int i = 0; i < count; ++i)
        Add(size);
}

int TColRow::Add(int size)
{
    const int position = m_items.empty() ? 0 : EndPosition(Count() - 1);
    m_items.push_back({position, size});
    return Count() - 1;
}

void TColRow::Insert(int index, int size)
{
    if (index < 0 || index > Count())
        listIndexError(index);
    m_items.insert(m_items.begin() + index, Item{0, size});
    recompute();
}

void TColRow::Delete(int index)
{
    item(index);
    m_items.erase(m_items.begin() + index);
    recompute();
}

int TColRow::EndPosition(int index) const
{
    const Item &it = item(index);
    return it.Position + it.Size + 1;
}

void TColRow::SetSize(int index, int size)
{
    item(index);
    m_items[static_cast<std::size_t>(index)].Size = size;
    recompute();
}

void TColRow::recompute()
{
    int position = 0;
    for (Item &it : m_items) {
        it.Position = position;
        position += it.Size + 1;
    }
}

} // namespace tally::layout
