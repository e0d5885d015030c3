// The list window's export path over Qt (offscreen): the replace question,
// the ".txt" name of the text type, progress and the disabled panel while
// rows are written, the success report only after a complete file, and
// failures that leave the window usable. The writers' own bytes are tested
// with the writers; here files are read back only as far as the window
// decides them.
#include "listpackets.h"

#include "base/qt/containment.h"
#include "datapacket/datapackettable.h"
#include "support/qtwidgetsapp.h"
#include "tabular/qt/tblshowgrid.h"
#include "tabular/qt/tgridora.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

namespace tally::tabular {
namespace {

using test::goodsPacket;

constexpr int kText = 0;
constexpr int kSpreadsheet = 1;

const QString kQuestion = QStringLiteral("文件已经存在，是否覆盖?");
const QString kSuccess = QStringLiteral("导出数据成功。");
const QString kCloseFirst = QStringLiteral("请先关闭文件！");

QByteArray readBytes(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString &file, const QByteArray &bytes)
{
    QFile f(file);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

class TGridoraExportTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString path(const char *name) const { return m_dir.filePath(QString::fromUtf8(name)); }

    static QLineEdit &fileEdit(TGridora &w)
    {
        return *w.findChild<QLineEdit *>(QStringLiteral("eFileName"));
    }
    static QWidget &panel(TGridora &w)
    {
        return *w.findChild<QWidget *>(QStringLiteral("PanMain"));
    }
    static QProgressBar &bar(TGridora &w)
    {
        return *w.findChild<QProgressBar *>(QStringLiteral("pb"));
    }

    // Chooses the type and file name and clicks "导出", as the clerk does.
    static void exportAs(TGridora &w, int type, const QString &file)
    {
        w.findChild<QGroupBox *>(QStringLiteral("rgType"))
            ->findChildren<QRadioButton *>()
            .at(type)
            ->click();
        fileEdit(w).setText(file);
        w.findChild<QPushButton *>(QStringLiteral("btnExport"))->click();
    }

    // The boxes the window shows now (contained failures are shown after
    // the current event, so pending events run first).
    static std::vector<QMessageBox *> boxes(TGridora &w)
    {
        QCoreApplication::processEvents();
        std::vector<QMessageBox *> shown;
        for (QMessageBox *box : w.findChildren<QMessageBox *>())
            if (box->isVisible())
                shown.push_back(box);
        return shown;
    }
    static QStringList boxTexts(TGridora &w)
    {
        QStringList texts;
        for (const QMessageBox *box : boxes(w))
            texts.append(box->text());
        return texts;
    }
    static QMessageBox *failureBox(TGridora &w)
    {
        for (QMessageBox *box : boxes(w))
            if (box->objectName() == QLatin1String(Containment::kBoxName))
                return box;
        return nullptr;
    }

    QTemporaryDir m_dir;
};

// An existing file: the question names no file but concerns the name in the
// box, also when the text type then writes the ".txt" name. No leaves
// everything as it was; Yes deletes the file asked about and exports.
TEST_F(TGridoraExportTest, ReplaceQuestionConcernsTheNameInTheBox)
{
    struct Case
    {
        const char *name;
        int type;
        QMessageBox::StandardButton answer;
        const char *written; // null: nothing written
    };
    for (const Case &c : {
             Case{"spreadsheet, No", kSpreadsheet, QMessageBox::No, nullptr},
             Case{"spreadsheet, Yes", kSpreadsheet, QMessageBox::Yes, "a.xls"},
             Case{"text, No", kText, QMessageBox::No, nullptr},
             Case{"text, Yes", kText, QMessageBox::Yes, "a.txt"},
         }) {
        SCOPED_TRACE(c.name);
        QFile::remove(path("a.txt"));
        ASSERT_TRUE(writeBytes(path("a.xls"), "old"));
        TGridora w("标题", "0", goodsPacket(3));
        exportAs(w, c.type, path("a.xls"));

        const std::vector<QMessageBox *> asked = boxes(w);
        ASSERT_EQ(asked.size(), 1u);
        QMessageBox &box = *asked.front();
        EXPECT_EQ(box.text(), kQuestion);
        EXPECT_EQ(box.windowTitle(), QStringLiteral("提示"));
        EXPECT_EQ(box.icon(), QMessageBox::Question);
        EXPECT_EQ(box.standardButtons(), QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::No));
        // Nothing is touched while the question is open.
        EXPECT_EQ(readBytes(path("a.xls")), "old");

        box.button(c.answer)->click();
        if (!c.written) {
            EXPECT_EQ(readBytes(path("a.xls")), "old");
            EXPECT_FALSE(QFileInfo::exists(path("a.txt")));
            EXPECT_EQ(fileEdit(w).text(), path("a.xls"));
            EXPECT_TRUE(boxTexts(w).isEmpty());
            continue;
        }
        EXPECT_EQ(fileEdit(w).text(), path(c.written));
        EXPECT_EQ(QFileInfo::exists(path("a.xls")), c.type == kSpreadsheet);
        const QByteArray bytes = readBytes(path(c.written));
        if (c.type == kText)
            EXPECT_TRUE(bytes.startsWith("SPCODE    ,SPNAME")) << bytes.toStdString();
        else
            EXPECT_TRUE(bytes.startsWith(QByteArray::fromHex("0908"))); // BOF
        EXPECT_EQ(boxTexts(w), QStringList{kSuccess});
        EXPECT_TRUE(panel(w).isEnabled());
    }
}

// The text type writes its ".txt" name without asking when only that name
// exists: the question is about the name in the box.
TEST_F(TGridoraExportTest, TextTypeReplacesAnExistingTxtWithoutAsking)
{
    ASSERT_TRUE(writeBytes(path("b.txt"), "old"));
    TGridora w("标题", "0", goodsPacket(1));
    exportAs(w, kText, path("b.xls"));
    EXPECT_EQ(boxTexts(w), QStringList{kSuccess});
    EXPECT_EQ(readBytes(path("b.txt")), "SPCODE    ,SPNAME              ,JE        \r\n"
                                        "C1        ,"
                                        "\xc9\xcc\xc6\xb7"
                                        "1               ,1.5       \r\n");
    EXPECT_FALSE(QFileInfo::exists(path("b.xls")));
}

// Something under the name that cannot be deleted: "请先关闭文件！" and
// nothing is written.
TEST_F(TGridoraExportTest, UndeletableNameAsksToCloseTheFileFirst)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("c.xls/inside")));
    TGridora w("标题", "0", goodsPacket(2));
    exportAs(w, kSpreadsheet, path("c.xls"));
    const std::vector<QMessageBox *> asked = boxes(w);
    ASSERT_EQ(asked.size(), 1u);
    asked.front()->button(QMessageBox::Yes)->click();
    EXPECT_EQ(boxTexts(w), QStringList{kCloseFirst});
    EXPECT_TRUE(QFileInfo(path("c.xls")).isDir());
    EXPECT_TRUE(panel(w).isEnabled());
}

// A target that cannot be written, or a window without data: the error in
// the failure box, no success, the panel usable, the display link resumed,
// nothing left under the name.
TEST_F(TGridoraExportTest, FailureIsShownAndLeavesTheWindowUsable)
{
    struct Case
    {
        const char *name;
        std::string packet;
        int type;
        const char *file;
        const char *error; // part of the failure text
    };
    for (const Case &c : {
             Case{"missing folder, spreadsheet", goodsPacket(3), kSpreadsheet, "none/d.xls",
                  "none"},
             Case{"missing folder, xlsx", goodsPacket(3), kSpreadsheet, "none/d.xlsx", "none"},
             Case{"missing folder, text", goodsPacket(3), kText, "none/d.xls", "none"},
             Case{"no packet", "<DATAPACKET", kSpreadsheet, "d.xls", "closed"},
         }) {
        SCOPED_TRACE(c.name);
        TGridora w("标题", "0", c.packet);
        boxes(w); // 格式不正确 of the bad packet
        for (QMessageBox *box : w.findChildren<QMessageBox *>())
            box->close();
        exportAs(w, c.type, path(c.file));
        const QMessageBox *failure = failureBox(w);
        ASSERT_NE(failure, nullptr);
        EXPECT_TRUE(failure->text().contains(QLatin1String(c.error)))
            << failure->text().toStdString();
        EXPECT_FALSE(boxTexts(w).contains(kSuccess));
        EXPECT_TRUE(panel(w).isEnabled());
        EXPECT_FALSE(w.table().displaySuspended());
        EXPECT_TRUE(QDir(m_dir.path()).entryList(QDir::Files).isEmpty());
    }
}

// While rows are written: the panel disabled, the display link suspended,
// the bar counting up to the record count, and no success report yet.
// Pending events run after each row, which is when this looks.
TEST_F(TGridoraExportTest, ProgressWhileRowsAreWritten)
{
    for (const int type : {kText, kSpreadsheet}) {
        SCOPED_TRACE(type);
        TGridora w("标题", "0", goodsPacket(40));
        struct Seen
        {
            bool panelEnabled;
            bool suspended;
            int bar;
            bool success;
        };
        std::vector<Seen> seen;
        QTimer look;
        look.setInterval(0);
        QObject::connect(&look, &QTimer::timeout, [&] {
            seen.push_back({panel(w).isEnabled(), w.table().displaySuspended(), bar(w).value(),
                            w.findChildren<QMessageBox *>().size() > 0});
        });
        look.start();
        exportAs(w, type, path("e.xls"));
        look.stop();

        ASSERT_GE(seen.size(), 40u);
        int last = 0;
        for (const Seen &s : seen) {
            EXPECT_FALSE(s.panelEnabled);
            EXPECT_TRUE(s.suspended);
            EXPECT_FALSE(s.success);
            EXPECT_GE(s.bar, last);
            last = s.bar;
        }
        EXPECT_EQ(bar(w).minimum(), 0);
        EXPECT_EQ(bar(w).maximum(), 40);
        EXPECT_EQ(bar(w).value(), 40);
        EXPECT_TRUE(panel(w).isEnabled());
        EXPECT_FALSE(w.table().displaySuspended());
        EXPECT_EQ(boxTexts(w), QStringList{kSuccess});
    }
}

// An empty table still gives a complete file and the success report.
TEST_F(TGridoraExportTest, EmptyTableExportsTheHeaderOnly)
{
    TGridora w("标题", "0", goodsPacket(0));
    exportAs(w, kText, path("f.txt"));
    EXPECT_EQ(readBytes(path("f.txt")), "SPCODE    ,SPNAME              ,JE        \r\n");
    EXPECT_EQ(boxTexts(w), QStringList{kSuccess});
    EXPECT_EQ(bar(w).value(), bar(w).maximum());
}

// The grid's shown columns in the grid's order, each with its caption and
// its field's display width; a hidden column is left out.
TEST_F(TGridoraExportTest, ExportFollowsTheGridsColumns)
{
    TGridora w("标题", "0", goodsPacket(2));
    w.grid().setColumnHidden(1, true);
    w.grid().horizontalHeader()->moveSection(2, 0);
    exportAs(w, kText, path("g.txt"));
    EXPECT_EQ(readBytes(path("g.txt")), "JE        ,SPCODE    \r\n"
                                        "1.5       ,C1        \r\n"
                                        "2.5       ,C2        \r\n");
}

// "成功后打开文件所在目录": the folder of the written file opens after a
// complete export only.
TEST_F(TGridoraExportTest, FolderOpensOnlyAfterSuccessWhenTicked)
{
    struct Case
    {
        const char *name;
        bool ticked;
        const char *file;
        bool opens;
    };
    for (const Case &c :
         {Case{"ticked", true, "h.xls", true}, Case{"not ticked", false, "h.xls", false},
          Case{"ticked, failed", true, "none/h.xls", false}}) {
        SCOPED_TRACE(c.name);
        TGridora w("标题", "0", goodsPacket(2));
        QStringList opened;
        w.setFolderOpener([&](const QString &folder) { opened.append(folder); });
        w.findChild<QCheckBox *>(QStringLiteral("cbExplore"))->setChecked(c.ticked);
        QFile::remove(path(c.file));
        exportAs(w, kText, path(c.file));
        boxes(w);
        EXPECT_EQ(opened, c.opens ? QStringList{m_dir.path()} : QStringList());
    }
}

// Closing the window while it exports stops the export (nothing written,
// no success) and closes the window once the export has unwound.
TEST_F(TGridoraExportTest, ClosingStopsTheExport)
{
    TGridora w("标题", "0", goodsPacket(40));
    w.show();
    QTimer closer;
    closer.setSingleShot(true);
    closer.setInterval(0);
    QObject::connect(&closer, &QTimer::timeout, [&] { w.close(); });
    closer.start();
    exportAs(w, kSpreadsheet, path("i.xls"));
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(testing_support::processEventsUntil([&] { return !w.isVisible(); }));
    EXPECT_FALSE(QFileInfo::exists(path("i.xls")));
    EXPECT_FALSE(boxTexts(w).contains(kSuccess));
    EXPECT_TRUE(panel(w).isEnabled());
}

// "…": the dialog starts from the name in the box, offers both spreadsheet
// kinds, and the chosen name goes back into the box as it was chosen.
TEST_F(TGridoraExportTest, SaveDialogPutsTheChosenNameInTheBox)
{
    TGridora w("标题", "0", goodsPacket(1));
    fileEdit(w).setText(path("j.xlsx"));
    w.findChild<QPushButton *>(QStringLiteral("bFileName"))->click();
    QFileDialog &sd = w.sd();
    EXPECT_TRUE(sd.isVisible());
    EXPECT_EQ(sd.nameFilters(), QStringList({QStringLiteral("文本文件(*.xls)"),
                                             QStringLiteral("Excel工作簿(*.xlsx)")}));
    EXPECT_EQ(sd.selectedNameFilter(), QStringLiteral("Excel工作簿(*.xlsx)"));
    EXPECT_EQ(sd.selectedFiles(), QStringList{path("j.xlsx")});
    EXPECT_TRUE(sd.defaultSuffix().isEmpty());

    sd.selectFile(path("k"));
    static_cast<QDialog &>(sd).accept(); // QFileDialog hides it
    EXPECT_EQ(fileEdit(w).text(), QDir::toNativeSeparators(path("k")));
}

} // namespace
} // namespace tally::tabular
