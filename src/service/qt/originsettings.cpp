#include "service/qt/originsettings.h"

#include <QSettings>
#include <QStringList>

namespace tally::service {

OriginPolicy originPolicyFromSettings()
{
    const QString fromEnvironment = qEnvironmentVariable(kAllowedOriginsVariable);
    if (!fromEnvironment.trimmed().isEmpty())
        return OriginPolicy::fromList(fromEnvironment.toStdString());
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("VAZ"),
                             QStringLiteral("Tallyhost"));
    // An INI file reads "a, b" as a list, the registry may hold a multi-string:
    // either way the entries are joined back into one list.
    const QStringList entries =
        settings.value(QString::fromLatin1(kAllowedOriginsValue)).toStringList();
    return OriginPolicy::fromList(entries.join(QLatin1Char(' ')).toStdString());
}

QString describeOriginPolicy(const OriginPolicy &policy)
{
    QStringList origins;
    for (const std::string &origin : policy.origins())
        origins.append(QString::fromStdString(origin));
    return QStringLiteral("只接受以下网页来源的请求：") + origins.join(QStringLiteral(", "));
}

} // namespace tally::service
