#include "tabular/qt/charttabpage.h"

#include "datapacket/datapackettable.h"
#include "tabular/qt/chartplayer.h"

#include "support/qtwidgetsapp.h"

#include <QComboBox>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tally::tabular {
namespace {

using ::testing::ElementsAre;

const auto *const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new testing_support::QtWidgetsEnvironment);

// Sales by region: a label, an integer and two money columns.
const char *const kSales =
    "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
    "<FIELD attrname=\"QY\" fieldtype=\"string\" WIDTH=\"10\"/>"
    "<FIELD attrname=\"BS\" fieldtype=\"i4\"/>"
    "<FIELD attrname=\"XSE\" fieldtype=\"r8\" SUBTYPE=\"Money\"/>"
    "<FIELD attrname=\"ML\" fieldtype=\"r8\" SUBTYPE=\"Money\"/>"
    "</FIELDS><PARAMS/></METADATA><ROWDATA>"
    "<ROW QY=\"华东\" BS=\"12\" XSE=\"25000\" ML=\"3100\"/>"
    "<ROW QY=\"华南\" BS=\"7\" XSE=\"18000\" ML=\"2300\"/>"
    "<ROW QY=\"华北\" BS=\"9\" XSE=\"9500\" ML=\"1200\"/>"
    "<ROW QY=\"华南\" BS=\"3\" XSE=\"4000\" ML=\"600\"/>"
    "</ROWDATA></DATAPACKET>";

class ChartTabPageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        table.load(kSales);
        table.field(0).setDisplayLabel("区域");
        table.field(1).setDisplayLabel("笔数");
        table.field(2).setDisplayLabel("销售额");
        page = std::make_unique<ChartTabPage>(
            table, [this](QWidget *, const std::string &text) { reports.push_back(text); });
        page->resize(900, 480);
        comX = page->findChild<QComboBox *>(QStringLiteral("comXField"));
        lstY = page->findChild<QListWidget *>(QStringLiteral("lstYField"));
        btnShow = page->findChild<QPushButton *>(QStringLiteral("btnShow"));
        rbnMny = page->findChild<QRadioButton *>(QStringLiteral("rbnMnyType"));
        rbnVal = page->findChild<QRadioButton *>(QStringLiteral("rbnValType"));
        ASSERT_TRUE(comX && lstY && btnShow && rbnMny && rbnVal);
    }

    QStringList items(const QListWidget *list) const
    {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out.append(list->item(i)->text());
        return out;
    }

    datapacket::DataPacketTable table;
    std::vector<std::string> reports;
    std::unique_ptr<ChartTabPage> page;
    QComboBox *comX = nullptr;
    QListWidget *lstY = nullptr;
    QPushButton *btnShow = nullptr;
    QRadioButton *rbnMny = nullptr;
    QRadioButton *rbnVal = nullptr;
};

TEST_F(ChartTabPageTest, ListsAfterSwitchingTabsTwice)
{
    page->PageControl1Change();
    page->PageControl1Change();
    EXPECT_EQ(comX->count(), 1);
    EXPECT_EQ(comX->itemText(0), QStringLiteral("区域"));
    EXPECT_EQ(comX->currentIndex(), -1);
    // A money field exists: money mode.
    EXPECT_TRUE(rbnMny->isChecked());
    EXPECT_EQ(items(lstY), QStringList({QStringLiteral("销售额"), QStringLiteral("ML")}));
    EXPECT_FALSE(btnShow->isEnabled());
    EXPECT_EQ(btnShow->text(), QStringLiteral("图形显示"));
    EXPECT_EQ(btnShow->mapTo(page->findChild<QWidget *>(QStringLiteral("PanelXY")), QPoint()),
              QPoint(24, 312));

    rbnVal->click();
    EXPECT_EQ(items(lstY), QStringList({QStringLiteral("区域"), QStringLiteral("笔数")}));
    EXPECT_TRUE(page->state().valueFields() == std::vector<int>({0, 1}));
}

TEST_F(ChartTabPageTest, ButtonFollowsTheChoicesAndDraws)
{
    page->PageControl1Change();
    comX->setCurrentIndex(0);
    EXPECT_FALSE(btnShow->isEnabled());
    lstY->item(0)->setSelected(true);
    EXPECT_TRUE(btnShow->isEnabled());
    btnShow->click();
    EXPECT_THAT(reports, ElementsAre());

    const ChartPlayer::Picture p = page->chart()->picture();
    EXPECT_EQ(p.labels.size(), 4);
    EXPECT_EQ(p.labels.at(0), QStringLiteral("华东"));
    // The repeated label keeps its own bar.
    EXPECT_TRUE(p.labels.at(3).startsWith(QStringLiteral("华南")));
    EXPECT_THAT(p.values, ElementsAre(2.5, 1.8, 0.95, 0.4));
    EXPECT_EQ(p.legend, QStringLiteral("销售额"));
    EXPECT_EQ(p.valueAxisTitle, QStringLiteral("销售额（万元）"));
    EXPECT_EQ(p.labelAxisTitle, QStringLiteral("区域"));
    EXPECT_DOUBLE_EQ(p.axisMinimum, 0);
    EXPECT_DOUBLE_EQ(p.axisMaximum, 2.5);
    EXPECT_DOUBLE_EQ(p.step, 0.2);

    // Shown for a look: bars, labels, titles and legend.
    page->show();
    const QPixmap shot = page->grab();
    EXPECT_TRUE(shot.save(QStringLiteral(TALLY_TEST_OUTPUT_DIR "/charttabpage.png")));
}

TEST_F(ChartTabPageTest, SmallerMoneyDrawingDropsTheDivisor)
{
    page->PageControl1Change();
    comX->setCurrentIndex(0);
    lstY->item(0)->setSelected(true);
    btnShow->click();
    lstY->item(0)->setSelected(false);
    lstY->item(1)->setSelected(true);
    btnShow->click();
    const ChartPlayer::Picture p = page->chart()->picture();
    EXPECT_THAT(p.values, ElementsAre(3100, 2300, 1200, 600));
    EXPECT_EQ(p.valueAxisTitle, QStringLiteral("ML（元）"));
    EXPECT_DOUBLE_EQ(p.axisMaximum, 3100);
    EXPECT_DOUBLE_EQ(p.step, 200);
}

TEST_F(ChartTabPageTest, ValueThatIsNoNumberIsReportedAndKeepsThePicture)
{
    page->PageControl1Change();
    comX->setCurrentIndex(0);
    rbnVal->click();
    lstY->item(1)->setSelected(true);
    btnShow->click();
    ASSERT_EQ(page->chart()->picture().values.size(), 4);

    // The label column charted as values: its first text stops the drawing.
    lstY->item(1)->setSelected(false);
    lstY->item(0)->setSelected(true);
    btnShow->click();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports.front().find("\"华东\""), std::string::npos) << reports.front();
    EXPECT_THAT(page->chart()->picture().values, ElementsAre(12, 7, 9, 3));
    EXPECT_FALSE(table.displaySuspended());
}

TEST(ChartPlayer, TableWithoutRowsGivesAnEmptyAxisOfOneStep)
{
    ChartPlayer chart;
    for (const ChartCall &call :
         {ChartCall{OpenValues{0}}, ChartCall{CloseValues{}}, ChartCall{LegendText{0, "JE"}},
          ChartCall{AxisValue{AxisSetting::Maximum, -1e20}}, ChartCall{SetChartType{}},
          ChartCall{AxisValue{AxisSetting::Step, 1}}})
        chart.play(call);
    const ChartPlayer::Picture p = chart.picture();
    EXPECT_TRUE(p.values.isEmpty());
    EXPECT_DOUBLE_EQ(p.axisMinimum, 0);
    EXPECT_DOUBLE_EQ(p.axisMaximum, 1);
    EXPECT_DOUBLE_EQ(p.step, 1);
}

} // namespace
} // namespace tally::tabular
