#include "service/qt/originsettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

namespace tally::service {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Each case gets a settings store of its own in a scratch folder.
class OriginSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
        qunsetenv(kAllowedOriginsVariable);
    }
    void TearDown() override { qunsetenv(kAllowedOriginsVariable); }

    static QSettings store()
    {
        return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("VAZ"),
                         QStringLiteral("Tallyhost"));
    }

    QTemporaryDir m_dir;
};

TEST_F(OriginSettingsTest, NothingSetMeansNoRestriction)
{
    EXPECT_FALSE(originPolicyFromSettings().restricted());
}

TEST_F(OriginSettingsTest, StoreValueAsStringOrList)
{
    {
        QSettings s = store();
        s.setValue(QStringLiteral("AllowedOrigins"),
                   QStringList{QStringLiteral("https://a.example"),
                               QStringLiteral("http://b.example:8080")});
    }
    EXPECT_THAT(originPolicyFromSettings().origins(),
                ElementsAre("https://a.example", "http://b.example:8080"));
    {
        QSettings s = store();
        s.setValue(QStringLiteral("AllowedOrigins"), QStringLiteral("https://c.example"));
    }
    EXPECT_THAT(originPolicyFromSettings().origins(), ElementsAre("https://c.example"));
}

TEST_F(OriginSettingsTest, HandWrittenFileWithCommas)
{
    const QString path = store().fileName();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General]\nAllowedOrigins=https://a.example, https://b.example\n");
    file.close();
    EXPECT_THAT(originPolicyFromSettings().origins(),
                ElementsAre("https://a.example", "https://b.example"));
}

TEST_F(OriginSettingsTest, EnvironmentWinsUnlessBlank)
{
    {
        QSettings s = store();
        s.setValue(QStringLiteral("AllowedOrigins"), QStringLiteral("https://store.example"));
    }
    qputenv(kAllowedOriginsVariable, "https://env.example");
    EXPECT_THAT(originPolicyFromSettings().origins(), ElementsAre("https://env.example"));
    qputenv(kAllowedOriginsVariable, "  ");
    EXPECT_THAT(originPolicyFromSettings().origins(), ElementsAre("https://store.example"));
}

} // namespace
} // namespace tally::service
