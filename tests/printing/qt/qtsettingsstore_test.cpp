#include "qtapp.h"
#include "support/printingfakes.h"

#include "printing/qt/qtprintcontext.h"
#include "printing/qt/qtsettingsstore.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace tally::printing {
namespace {

constexpr const char *kKey = "SOFTWARE\\VAZ\\Bill\\tallyhost-TPrintDHD-Bill1";

class QtSettingsStoreTest : public testing::Test
{
protected:
    QtSettingsStoreTest() : file(dir.path() + QStringLiteral("/bill.ini")), store(file)
    {
        testing_fakes::ensureQtApp();
    }

    QTemporaryDir dir;
    QString file;
    QtSettingsStore store;
};

TEST_F(QtSettingsStoreTest, ValuesRoundTripAndBadOnesReadAsMissing)
{
    store.writeInt(kKey, "DX", -12);
    store.writeInt(kKey, "ZOOM", 75);
    EXPECT_EQ(store.readInt(kKey, "DX"), -12);
    EXPECT_EQ(store.readInt(kKey, "ZOOM"), 75);
    EXPECT_EQ(store.readInt(kKey, "DY"), std::nullopt);
    EXPECT_EQ(store.readInt("SOFTWARE\\VAZ\\Bill\\other", "DX"), std::nullopt);
    {
        QSettings raw(file, QSettings::IniFormat);
        raw.setValue(QStringLiteral("SOFTWARE/VAZ/Bill/tallyhost-TPrintDHD-Bill1/Orient"),
                     QStringLiteral("landscape"));
        raw.setValue(QStringLiteral("SOFTWARE/VAZ/Bill/tallyhost-TPrintDHD-Bill1/PaperSize"),
                     QStringLiteral("99999999999"));
    }
    EXPECT_EQ(store.readInt(kKey, "Orient"), std::nullopt);
    EXPECT_EQ(store.readInt(kKey, "PaperSize"), std::nullopt);
}

TEST_F(QtSettingsStoreTest, BillSettingsSurviveThroughTheFile)
{
    std::vector<std::string> log;
    PrintContext context;
    context.settings = &store;
    context.executableName = "tallyhost";
    testing_fakes::FakeBill saved(log);
    saved.SetPrintContext(context);
    saved.SetName("Bill1");
    saved.SetHostName("TPrintDHD");
    saved.SetOffset({7, 9});
    saved.SetZoomRatio(80);
    saved.SetPrintOrient(PrinterOrientation::poLandscape);
    saved.SaveSettings();

    QtSettingsStore reopened(file);
    context.settings = &reopened;
    testing_fakes::FakeBill loaded(log);
    loaded.SetPrintContext(context);
    loaded.SetName("Bill1");
    loaded.SetHostName("TPrintDHD");
    loaded.AfterLoad();
    EXPECT_EQ(loaded.GetOffset(), (Point{7, 9}));
    EXPECT_EQ(loaded.GetZoomRatio(), 80);
    EXPECT_EQ(loaded.GetPrintOrient(), PrinterOrientation::poLandscape);
}

TEST(SettingsHostNameTest, NearestOrdinaryWindowOrDirectParent)
{
    testing_fakes::ensureQtApp();
    QWidget form;
    form.setObjectName(QStringLiteral("TPrintDHD"));
    QWidget panel(&form);
    panel.setObjectName(QStringLiteral("Panel1"));
    QWidget bill(&panel);
    EXPECT_EQ(SettingsHostName(&bill), "TPrintDHD");

    // A shell that is not an ordinary window (an embedded control's form).
    QWidget shell(nullptr, Qt::SubWindow);
    shell.setObjectName(QStringLiteral("ActiveFormX"));
    QWidget inner(&shell);
    inner.setObjectName(QStringLiteral("Inner"));
    QWidget embedded(&inner);
    EXPECT_EQ(SettingsHostName(&embedded), "Inner");

    QWidget alone;
    EXPECT_EQ(SettingsHostName(&alone), "");
}

} // namespace
} // namespace tally::printing
