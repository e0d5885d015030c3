#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

namespace tally::tabular {

// The code page bytes an export wrote for recent values of one column, by
// the cells' value keys (FieldCell::valueKey). Dates and flags repeat down
// a column, and formatting them is most of what their cells cost: with
// this, each value is formatted once for the runs of cells that share it.
// Only values whose text depends on the value alone belong here (not those
// of a text callback).
class RememberedValues
{
public:
    // Values longer than this are not remembered.
    static constexpr std::size_t kCapacity = 38;

    RememberedValues();

    // The bytes remembered for `key`, at the start of kCapacity readable
    // bytes (a writer may copy those whole); nullopt when there are none.
    std::optional<std::string_view> find(std::uint64_t key) const
    {
        const Entry *pair = pairOf(key);
        for (const Entry *e = pair; e != pair + 2; ++e)
            if (e->length != kNone && e->key == key)
                return std::string_view(e->bytes, e->length);
        return std::nullopt;
    }
    // Remembers `bytes` for `key`, unless they are longer than kCapacity.
    void remember(std::uint64_t key, std::string_view bytes);

private:
    static constexpr unsigned char kNone = 0xFF;
    static constexpr int kSlotBits = 8;
    struct Entry
    {
        std::uint64_t key = 0;
        unsigned char length = kNone;
        char bytes[kCapacity] = {};
    };

    // Two slots per key: the newer value goes first, the older one moves to
    // the second, so two values that share slots do not evict each other.
    Entry *pairOf(std::uint64_t key) const
    {
        return m_entries.get() + (((key * 0x9E3779B97F4A7C15ULL) >> (64 - kSlotBits)) & ~1ULL);
    }

    std::unique_ptr<Entry[]> m_entries;
};

} // namespace tally::tabular
