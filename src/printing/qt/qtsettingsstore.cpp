#include "printing/qt/qtsettingsstore.h"

#include <QSettings>
#include <QStringList>

#include <limits>

namespace tally::printing {

QtSettingsStore::QtSettingsStore() = default;

QtSettingsStore::QtSettingsStore(const QString &iniFile) : m_iniFile(iniFile) {}

QtSettingsStore::~QtSettingsStore() = default;

std::unique_ptr<QSettings> QtSettingsStore::open(const std::string &key) const
{
    const QString k = QString::fromStdString(key);
    if (!m_iniFile.isEmpty()) {
        auto s = std::make_unique<QSettings>(m_iniFile, QSettings::IniFormat);
        s->beginGroup(QString(k).replace(QLatin1Char('\\'), QLatin1Char('/')));
        return s;
    }
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\") + k,
                                       QSettings::NativeFormat);
#else
    // SOFTWARE\<organisation>\<application>\<rest> becomes the user's file of
    // that organisation and application, group <rest>.
    QStringList parts = k.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (parts.size() >= 3 &&
        parts.front().compare(QLatin1String("SOFTWARE"), Qt::CaseInsensitive) == 0) {
        auto s = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             parts.at(1), parts.at(2));
        parts.erase(parts.begin(), parts.begin() + 3);
        if (!parts.isEmpty())
            s->beginGroup(parts.join(QLatin1Char('/')));
        return s;
    }
    auto s = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                         QStringLiteral("VAZ"), QStringLiteral("Bill"));
    s->beginGroup(parts.join(QLatin1Char('/')));
    return s;
#endif
}

std::optional<std::int32_t> QtSettingsStore::readInt(const std::string &key,
                                                     const std::string &name) const
{
    const auto s = open(key);
    const QVariant v = s->value(QString::fromStdString(name));
    if (!v.isValid())
        return std::nullopt;
    bool ok = false;
    const qlonglong n = v.toLongLong(&ok);
    if (!ok || n < std::numeric_limits<std::int32_t>::min() ||
        n > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(n);
}

void QtSettingsStore::writeInt(const std::string &key, const std::string &name, std::int32_t value)
{
    const auto s = open(key);
    // An int is written as a DWORD into the registry.
    s->setValue(QString::fromStdString(name), static_cast<int>(value));
    s->sync();
    if (s->status() != QSettings::NoError)
        throw SettingsError("cannot write setting " + name + " under " + key);
}

void QtSettingsStore::flush()
{
    // Every write is synchronised as it happens.
}

} // namespace tally::printing
