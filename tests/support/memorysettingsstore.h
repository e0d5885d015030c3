#pragma once

#include "printing/settingsstore.h"

#include <map>
#include <string>

namespace tally::printing {

// A settings store held in memory, for tests and for runs that must leave
// the user's settings alone. Values are kept as text, so a test can store a
// value that is not an integer.
class MemorySettingsStore : public SettingsStore
{
public:
    std::optional<std::int32_t> readInt(const std::string &key,
                                        const std::string &name) const override;
    void writeInt(const std::string &key, const std::string &name, std::int32_t value) override;

    // Stores raw text as a value (as a wrongly typed value would be found).
    void setRaw(const std::string &key, const std::string &name, const std::string &value);
    bool hasKey(const std::string &key) const { return m_keys.count(key) != 0; }
    // Number of values under the key.
    std::size_t valueCount(const std::string &key) const;
    // Makes every following write fail after the given number of writes.
    void failWritesAfter(int writes) { m_writesLeft = writes; }

private:
    std::map<std::string, std::map<std::string, std::string>> m_keys;
    int m_writesLeft = -1;
};

} // namespace tally::printing
