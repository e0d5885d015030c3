// The list window over Qt (offscreen): its controls as built, creation with
// a good packet and with packets that do not load or are extreme.
#include "listpackets.h"

#include "base/qt/containment.h"
#include "datapacket/datapackettable.h"
#include "printing/qt/preview/tformpreview.h"
#include "printing/tsimplebill.h"
#include "support/qtwidgetsapp.h"
#include "tabular/qt/tblshowgrid.h"
#include "tabular/qt/tgridora.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tally::tabular {
namespace {

using tally::test::packetText;
using test::goodsPacket;
using testing_support::processEventsUntil;

// Texts of the message boxes the window shows.
QStringList boxTexts(const QWidget &window)
{
    QStringList texts;
    for (const QMessageBox *box : window.findChildren<QMessageBox *>())
        texts.append(box->text());
    return texts;
}

// The text of a PDF as pdftotext extracts it.
QString pdfText(const QString &file)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {file, QStringLiteral("-")});
    tool.waitForFinished(60000);
    return QString::fromUtf8(tool.readAllStandardOutput());
}

class TGridoraTest : public ::testing::Test
{
protected:
    QStringList pdfFiles() const
    {
        QStringList files;
        for (const QString &name : QDir(m_spool.path()).entryList({QStringLiteral("*.pdf")}))
            files.append(QDir(m_spool.path()).filePath(name));
        return files;
    }

    void SetUp() override
    {
        ASSERT_TRUE(m_spool.isValid());
        qputenv("TALLY_PDF_DIR", m_spool.path().toUtf8());
    }
    void TearDown() override { qunsetenv("TALLY_PDF_DIR"); }

    QTemporaryDir m_spool;
};

TEST_F(TGridoraTest, ControlsAreInPlace)
{
    TGridora window("标题", "0", goodsPacket(2));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("打印导出"));
    EXPECT_EQ(window.size(), QSize(1044, 540));
    struct Control
    {
        const char *name;
        QRect geometry; // empty size: only the position is fixed
        const char *caption;
    };
    for (const Control &c : {
             Control{"btnPrint", {8, 8, 75, 25}, "打印"},
             Control{"btnExport", {88, 8, 75, 25}, "导出"},
             Control{"gbFileName", {174, 1, 345, 46}, "文件名称"},
             Control{"bFileName", {292, 16, 42, 20}, "…"},
             Control{"rgType", {536, 8, 217, 41}, "文件导出类型"},
             Control{"pb", {172, 51, 345, 18}, ""},
             Control{"cbExplore", {552, 54, 209, 0}, "成功后打开文件所在目录"},
             Control{"btnClose", {784, 16, 0, 0}, "退出"},
         }) {
        SCOPED_TRACE(c.name);
        const auto *widget = window.findChild<QWidget *>(QString::fromLatin1(c.name));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->pos(), c.geometry.topLeft());
        if (c.geometry.height() > 0) {
            EXPECT_EQ(widget->size(), c.geometry.size());
        } else if (c.geometry.width() > 0) {
            EXPECT_EQ(widget->width(), c.geometry.width());
        }
        QString caption;
        if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
            caption = button->text();
        else if (const auto *group = qobject_cast<const QGroupBox *>(widget))
            caption = group->title();
        EXPECT_EQ(caption, QString::fromUtf8(c.caption));
    }
    EXPECT_TRUE(window.findChild<QPushButton *>(QStringLiteral("btnClose"))->isHidden());
    EXPECT_FALSE(window.findChild<QCheckBox *>(QStringLiteral("cbExplore"))->isChecked());
    EXPECT_EQ(window.exportType(), 1);
    const auto radios =
        window.findChild<QGroupBox *>(QStringLiteral("rgType"))->findChildren<QRadioButton *>();
    ASSERT_EQ(radios.size(), 2);
    EXPECT_EQ(radios[0]->text(), QStringLiteral("文本文件"));
    EXPECT_EQ(radios[1]->text(), QStringLiteral("Excel文件"));
    EXPECT_EQ(window.findChild<QLineEdit *>(QStringLiteral("eFileName"))->width(), 277);
    EXPECT_EQ(window.findChild<QProgressBar *>(QStringLiteral("pb"))->value(), 0);
    const auto *pages = window.findChild<QTabWidget *>(QStringLiteral("PageControl1"));
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(pages->tabText(0), QStringLiteral("列表"));
    EXPECT_EQ(pages->tabText(1), QStringLiteral("图形"));
    EXPECT_EQ(pages->currentIndex(), 0);
    EXPECT_NE(window.findChild<QWidget *>(QStringLiteral("Splitter2")), nullptr);
    EXPECT_TRUE(window.findChild<QWidget *>(QStringLiteral("SimpleBill"))->isHidden());
    EXPECT_TRUE(window.grid().Zebra());
}

// A packet that loads: its columns 64 wide, the export grid set and the
// export file in the current folder.
TEST_F(TGridoraTest, GoodPacketFillsTheGrid)
{
    TGridora window("标题", "0", goodsPacket(5));
    EXPECT_EQ(window.grid().model()->rowCount(), 5);
    for (int column = 0; column < 3; ++column)
        EXPECT_EQ(window.grid().columnWidth(column), 64);
    EXPECT_EQ(window.exportGrid(), &window.grid());
    EXPECT_EQ(window.fileName(),
              QDir::toNativeSeparators(QDir::current().filePath(QStringLiteral("temp.xls"))));
    EXPECT_EQ(window.title(), "标题");
    EXPECT_EQ(QDir(window.sd().directory()), QDir::current());
    EXPECT_EQ(window.sd().acceptMode(), QFileDialog::AcceptSave);
    EXPECT_TRUE(boxTexts(window).isEmpty());
}

// A packet that does not load: 格式不正确, and the window opens empty,
// without file name or export grid.
TEST_F(TGridoraTest, BadPacketGivesMessageAndEmptyWindow)
{
    for (const std::string &packet :
         {std::string("<DATAPACKET"), std::string(), std::string("<ROOT/>")}) {
        SCOPED_TRACE(packet);
        TGridora window("标题", "1", packet);
        QCoreApplication::processEvents();
        EXPECT_EQ(boxTexts(window), QStringList{QStringLiteral("格式不正确")});
        EXPECT_EQ(window.grid().model()->rowCount(), 0);
        EXPECT_EQ(window.grid().model()->columnCount(), 0);
        EXPECT_EQ(window.exportGrid(), nullptr);
        EXPECT_TRUE(window.fileName().isEmpty());
        EXPECT_FALSE(window.table().isActive());
    }
}

// Packets at the edges load and paint: 300 fields, a 10,000-character
// value, no rows at all.
TEST_F(TGridoraTest, ExtremePacketsShowWithoutFailing)
{
    std::string manyFields, manyValues;
    for (int i = 0; i < 300; ++i) {
        manyFields += "<FIELD attrname=\"F" + std::to_string(i) + "\" fieldtype=\"i4\"/>";
        manyValues += " F" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    }
    const std::string longValue(10000, 'x');
    struct Case
    {
        const char *name;
        std::string packet;
        int rows;
        int columns;
    };
    for (const Case &c : {
             Case{"300 fields", packetText(manyFields, "<ROW" + manyValues + "/>"), 1, 300},
             Case{"long value",
                  packetText("<FIELD attrname=\"S\" fieldtype=\"string\" WIDTH=\"10000\"/>",
                             "<ROW S=\"" + longValue + "\"/>"),
                  1, 1},
             Case{"no rows", goodsPacket(0), 0, 3},
         }) {
        SCOPED_TRACE(c.name);
        TGridora window("标题", "0", c.packet);
        window.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(window.grid().model()->rowCount(), c.rows);
        EXPECT_EQ(window.grid().model()->columnCount(), c.columns);
        window.grid().scrollToBottom();
        EXPECT_FALSE(window.grab().isNull());
        EXPECT_TRUE(boxTexts(window).isEmpty());
    }
}

// The control: no splitter, no stripes, no data until it is given some.
TEST_F(TGridoraTest, ControlModeWaitsForData)
{
    TGridora control(TGridora::Mode::Control);
    EXPECT_EQ(control.findChild<QWidget *>(QStringLiteral("Splitter2")), nullptr);
    EXPECT_FALSE(control.grid().Zebra());
    EXPECT_FALSE(control.table().isActive());
    EXPECT_TRUE(control.loadData("标题", goodsPacket(2)));
    EXPECT_EQ(control.grid().model()->rowCount(), 2);
}

// The print button of a window whose packet did not load fails with the
// table's own error in a box; the window stays.
TEST_F(TGridoraTest, PrintWithoutDataFailsContained)
{
    TGridora window("标题", "0", "<DATAPACKET");
    window.show();
    window.findChild<QPushButton *>(QStringLiteral("btnPrint"))->click();
    QMessageBox *failure = nullptr;
    ASSERT_TRUE(testing_support::processEventsUntil([&] {
        failure = window.findChild<QMessageBox *>(QString::fromLatin1(Containment::kBoxName));
        return failure != nullptr;
    }));
    EXPECT_TRUE(failure->text().contains(QStringLiteral("closed")))
        << failure->text().toStdString();
    EXPECT_TRUE(pdfFiles().isEmpty());
    EXPECT_TRUE(window.isVisible());
}

// Only the exact text "1" previews; any other flag prints (at once, as PDF
// output is forced here).
TEST_F(TGridoraTest, OnlyTheExactOnePreviews)
{
    using printing::preview::TFormPreview;
    struct Case
    {
        const char *prev;
        bool previews;
    };
    for (const Case &c : {Case{"1", true}, Case{"0", false}, Case{"", false}, Case{" 1", false},
                          Case{"true", false}}) {
        SCOPED_TRACE(c.prev);
        for (const QString &file : pdfFiles())
            QFile::remove(file);
        TGridora window("标题", c.prev, goodsPacket(3));
        window.show();
        window.btnPrintClick();
        QCoreApplication::processEvents();
        auto *preview = window.findChild<TFormPreview *>();
        EXPECT_EQ(preview != nullptr && preview->isVisible(), c.previews);
        EXPECT_EQ(pdfFiles().size(), c.previews ? 0 : 1);
        if (preview)
            preview->close();
        QCoreApplication::processEvents();
    }
}

// A grid column the clerk hid is left out and the others close up, in grid
// order, with the widths the grid shows.
TEST_F(TGridoraTest, HiddenColumnsAreLeftOutOfThePrint)
{
    TGridora window("标题", "0", goodsPacket(3));
    window.grid().setColumnHidden(1, true);
    window.grid().setColumnWidth(2, 90);
    window.btnPrintClick();
    const printing::TSimpleBill &bill = window.simpleBill();
    ASSERT_EQ(bill.ColCount(), 3);
    EXPECT_EQ(bill.Columns()[1].Caption(), "SPCODE");
    EXPECT_EQ(bill.Columns()[2].Caption(), "JE");
    EXPECT_EQ(bill.Columns()[2].Width(), 92);
    ASSERT_EQ(pdfFiles().size(), 1);
    const QString text = pdfText(pdfFiles().front());
    EXPECT_TRUE(text.contains(QStringLiteral("C2")));
    EXPECT_FALSE(text.contains(QStringLiteral("商品2")));
}

// No rows: a report without pages. Many rows: the title on every page.
TEST_F(TGridoraTest, PagesFollowTheRows)
{
    TGridora empty("空表", "0", goodsPacket(0));
    empty.btnPrintClick();
    EXPECT_EQ(empty.simpleBill().RowCount(), 0);
    EXPECT_EQ(empty.simpleBill().GetPageCount(), 0);
    for (const QString &file : pdfFiles())
        QFile::remove(file);

    TGridora window("aa", "0", goodsPacket(120));
    window.btnPrintClick();
    const int pages = window.simpleBill().GetPageCount();
    EXPECT_GT(pages, 1);
    ASSERT_EQ(pdfFiles().size(), 1);
    const QStringList pageTexts = pdfText(pdfFiles().front()).split(QLatin1Char('\f'));
    for (int page = 0; page < pages; ++page) {
        SCOPED_TRACE(page);
        EXPECT_TRUE(pageTexts.value(page).contains(QStringLiteral("aa")));
        EXPECT_TRUE(
            pageTexts.value(page).contains(QStringLiteral("页号: %1/%2").arg(page + 1).arg(pages)));
    }
}

} // namespace
} // namespace tally::tabular
