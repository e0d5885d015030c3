#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace tally::printing {

// Thrown when a setting cannot be written.
class SettingsError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Persistent per-user integer settings under backslash-separated keys such
// as "SOFTWARE\VAZ\Bill\tallyhost-Form-Bill" (the registry of the current
// user on Windows, its file equivalent elsewhere).
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;

    // The value, or nothing when the key or value is missing or the value
    // is not a 32-bit integer. Never throws.
    virtual std::optional<std::int32_t> readInt(const std::string &key,
                                                const std::string &name) const = 0;
    // Writes a value, creating the key. Throws SettingsError on failure.
    virtual void writeInt(const std::string &key, const std::string &name, std::int32_t value) = 0;
    // Makes written values durable. Throws SettingsError on failure.
    virtual void flush() {}
};

} // namespace tally::printing
