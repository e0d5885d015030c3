#pragma once

#include "printing/settingsstore.h"

#include <QString>

#include <memory>

class QSettings;

namespace tally::printing {

// Settings through QSettings in native format: on Windows the current
// user's registry (a key "SOFTWARE\VAZ\Bill\x" is
// HKEY_CURRENT_USER\SOFTWARE\VAZ\Bill\x, values as DWORD); elsewhere the
// user's configuration file of organisation "VAZ" and application "Bill",
// with the rest of the key as group.
class QtSettingsStore : public SettingsStore
{
public:
    // The user's native store.
    QtSettingsStore();
    // An INI file instead (tests, portable runs); the whole key is the group.
    explicit QtSettingsStore(const QString &iniFile);
    ~QtSettingsStore() override;

    std::optional<std::int32_t> readInt(const std::string &key,
                                        const std::string &name) const override;
    void writeInt(const std::string &key, const std::string &name, std::int32_t value) override;
    void flush() override;

private:
    // Opens the settings holding key with the key's group entered.
    std::unique_ptr<QSettings> open(const std::string &key) const;

    QString m_iniFile;
};

} // namespace tally::printing
