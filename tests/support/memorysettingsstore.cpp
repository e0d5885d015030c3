#include "memorysettingsstore.h"

#include <charconv>

namespace tally::printing {

std::optional<std::int32_t> MemorySettingsStore::readInt(const std::string &key,
                                                         const std::string &name) const
{
    const auto k = m_keys.find(key);
    if (k == m_keys.end())
        return std::nullopt;
    const auto v = k->second.find(name);
    if (v == k->second.end())
        return std::nullopt;
    const std::string &text = v->second;
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

void MemorySettingsStore::writeInt(const std::string &key, const std::string &name,
                                   std::int32_t value)
{
    if (m_writesLeft == 0)
        throw SettingsError("cannot write setting " + name);
    if (m_writesLeft > 0)
        --m_writesLeft;
    m_keys[key][name] = std::to_string(value);
}

void MemorySettingsStore::setRaw(const std::string &key, const std::string &name,
                                 const std::string &value)
{
    m_keys[key][name] = value;
}

std::size_t MemorySettingsStore::valueCount(const std::string &key) const
{
    const auto k = m_keys.find(key);
    return k == m_keys.end() ? 0 : k->second.size();
}

} // namespace tally::printing
