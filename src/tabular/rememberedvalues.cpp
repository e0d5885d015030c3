#include "tabular/rememberedvalues.h"

#include <algorithm>

namespace tally::tabular {

RememberedValues::RememberedValues()
    : m_entries(std::make_unique<Entry[]>(std::size_t{1} << kSlotBits))
{
}

void RememberedValues::remember(std::uint64_t key, std::string_view bytes)
{
    if (bytes.size() > kCapacity)
        return;
    Entry *pair = pairOf(key);
    pair[1] = pair[0];
    pair[0].key = key;
    pair[0].length = static_cast<unsigned char>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), pair[0].bytes);
}

} // namespace tally::tabular
