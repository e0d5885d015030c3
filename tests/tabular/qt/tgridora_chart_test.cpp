// The list window's "图形" page over Qt (offscreen): the chart tab on the
// window's table, its lists rebuilt on every change of tab, and a drawing
// grabbed from the real window.
#include "listpackets.h"

#include "datapacket/datapackettable.h"
#include "support/qtwidgetsapp.h"
#include "tabular/qt/chartplayer.h"
#include "tabular/qt/charttabpage.h"
#include "tabular/qt/tgridora.h"

#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <string>

namespace tally::tabular {
namespace {

using tally::test::packetText;
using test::goodsPacket;

// Sales by region: two label fields, an integer and two money fields.
std::string salesPacket()
{
    return packetText("<FIELD attrname=\"QY\" fieldtype=\"string\" WIDTH=\"10\"/>"
                      "<FIELD attrname=\"DM\" fieldtype=\"string\" WIDTH=\"4\"/>"
                      "<FIELD attrname=\"BS\" fieldtype=\"i4\"/>"
                      "<FIELD attrname=\"XSE\" fieldtype=\"r8\" SUBTYPE=\"Money\"/>"
                      "<FIELD attrname=\"ML\" fieldtype=\"r8\" SUBTYPE=\"Money\"/>",
                      "<ROW QY=\"华东\" DM=\"E\" BS=\"12\" XSE=\"25000\" ML=\"3100\"/>"
                      "<ROW QY=\"华南\" DM=\"S\" BS=\"7\" XSE=\"18000\" ML=\"2300\"/>"
                      "<ROW QY=\"华北\" DM=\"N\" BS=\"9\" XSE=\"9500\" ML=\"1200\"/>"
                      "<ROW QY=\"西南\" DM=\"W\" BS=\"3\" XSE=\"4000\" ML=\"600\"/>");
}

QStringList entries(const QComboBox &box)
{
    QStringList out;
    for (int i = 0; i < box.count(); ++i)
        out.append(box.itemText(i));
    return out;
}

QStringList entries(const QListWidget &list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out.append(list.item(i)->text());
    return out;
}

QTabWidget &pages(TGridora &w)
{
    return *w.findChild<QTabWidget *>(QStringLiteral("PageControl1"));
}

QComboBox &xList(TGridora &w)
{
    return *w.findChild<QComboBox *>(QStringLiteral("comXField"));
}

QListWidget &yList(TGridora &w)
{
    return *w.findChild<QListWidget *>(QStringLiteral("lstYField"));
}

// The chart page is the window's "图形" tab and reads the window's table.
TEST(TGridoraChart, PageSitsOnTheSecondTab)
{
    TGridora w("标题", "0", salesPacket());
    EXPECT_TRUE(pages(w).widget(1)->isAncestorOf(&w.chartPage()));
    EXPECT_EQ(pages(w).tabText(1), QStringLiteral("图形"));
}

// Switching tabs back and forth rebuilds the lists: each field once, the
// choices of before gone.
TEST(TGridoraChart, ListsHoldEachFieldOnceAfterSwitchingTabs)
{
    TGridora w("标题", "0", salesPacket());
    for (const int switches : {1, 2, 3}) {
        SCOPED_TRACE(switches);
        for (int i = 0; i < switches; ++i) {
            pages(w).setCurrentIndex(1);
            xList(w).setCurrentIndex(0);
            yList(w).item(0)->setSelected(true);
            pages(w).setCurrentIndex(0);
        }
        pages(w).setCurrentIndex(1);
        EXPECT_EQ(entries(xList(w)), QStringList({QStringLiteral("QY"), QStringLiteral("DM")}));
        EXPECT_EQ(xList(w).currentIndex(), -1);
        EXPECT_EQ(entries(yList(w)), QStringList({QStringLiteral("XSE"), QStringLiteral("ML")}));
        EXPECT_TRUE(yList(w).selectedItems().isEmpty());
        EXPECT_FALSE(w.findChild<QPushButton *>(QStringLiteral("btnShow"))->isEnabled());
        pages(w).setCurrentIndex(0);
    }
}

// New data in the control: the lists follow the new packet's fields, also
// while the chart tab is showing.
TEST(TGridoraChart, NewDataRebuildsTheLists)
{
    TGridora control(TGridora::Mode::Control);
    ASSERT_TRUE(control.loadData("标题", salesPacket()));
    pages(control).setCurrentIndex(1);
    ASSERT_EQ(xList(control).count(), 2);
    ASSERT_TRUE(control.loadData("标题", goodsPacket(2)));
    EXPECT_EQ(entries(xList(control)),
              QStringList({QStringLiteral("SPCODE"), QStringLiteral("SPNAME")}));
    EXPECT_FALSE(control.loadData("标题", "<DATAPACKET"));
    EXPECT_EQ(xList(control).count(), 0);
    EXPECT_EQ(yList(control).count(), 0);
}

// "图形显示" on the real window draws the bars; the grab is written to the
// build folder for a look.
TEST(TGridoraChart, DrawingShowsInTheWindow)
{
    TGridora w("销售", "0", salesPacket());
    w.show();
    pages(w).setCurrentIndex(1);
    xList(w).setCurrentIndex(0);
    yList(w).item(0)->setSelected(true);
    w.findChild<QPushButton *>(QStringLiteral("btnShow"))->click();
    QCoreApplication::processEvents();

    const ChartPlayer::Picture p = w.chartPage().chart()->picture();
    EXPECT_EQ(p.labels, QStringList({QStringLiteral("华东"), QStringLiteral("华南"),
                                     QStringLiteral("华北"), QStringLiteral("西南")}));
    EXPECT_EQ(p.values, QList<double>({2.5, 1.8, 0.95, 0.4}));
    EXPECT_EQ(p.legend, QStringLiteral("XSE"));
    EXPECT_EQ(p.labelAxisTitle, QStringLiteral("QY"));
    EXPECT_FALSE(w.table().displaySuspended());

    const QPixmap shot = w.grab();
    EXPECT_EQ(shot.size(), QSize(1044, 540));
    EXPECT_TRUE(shot.save(QStringLiteral(TALLY_TEST_OUTPUT_DIR "/tgridora-chart.png")));
}

} // namespace
} // namespace tally::tabular
