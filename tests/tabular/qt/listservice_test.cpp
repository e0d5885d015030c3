// The whole road of a list request: a djlx "0" body POSTed over HTTP to the
// running service opens the list window; its print button, with PDF output
// forced, writes the spool PDF; once the window is closed the reply goes
// out. Set TALLY_LIST_PNG to keep a picture of the window.
#include "listpackets.h"

#include "support/qtwidgetsapp.h"
#include "support/runningservice.h"
#include "tabular/qt/listwindows.h"
#include "tabular/qt/tblshowgrid.h"
#include "tabular/qt/tgridora.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <future>
#include <optional>

namespace tally::tabular {
namespace {

using testing_support::processEventsUntil;
using testing_support::readSampleRequest;
using testing_support::ready;
using testing_support::runTool;
using testing_support::sendAsync;

std::string listRequest(const std::string &title, const std::string &prev,
                        const std::string &packet)
{
    // The packets of the documents are not read for a list.
    const nlohmann::json json = {{"title", title}, {"prev", prev},        {"djlx", "0"},
                                 {"data", packet}, {"Maindata", "<junk"}, {"Itemdata", "<junk"}};
    return QUrl::toPercentEncoding(QString::fromStdString(json.dump())).toStdString();
}

// A PDF's text with the date and time of the page-number footers left out,
// so two prints of one list compare equal.
QString pdfTextWithoutClock(const QString &pdf)
{
    QString text = runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    text.replace(QRegularExpression(QStringLiteral("(页号: \\d+/\\d+) [^\\n]*")),
                 QStringLiteral("\\1"));
    return text;
}

class ListServiceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_service.emplace();
        ASSERT_GT(m_service->port(), 0);
    }
    void TearDown() override { m_service.reset(); }

    QStringList pdfFiles() const { return m_service->pdfFiles(); }
    QStringList logLines() const { return m_service->logLines(); }

    std::optional<testing_support::RunningService> m_service;
};

TEST_F(ListServiceTest, ListRequestOpensWindowPrintsPdfAndRepliesWhenClosed)
{
    const int rows = 60;
    std::future<int> reply =
        sendAsync(m_service->port(), listRequest("商品清单", "0", test::goodsPacket(rows)));
    TGridora *window = nullptr;
    ASSERT_TRUE(processEventsUntil(
        [&] { return (window = testing_support::visibleWindow<TGridora>()) != nullptr; }));
    EXPECT_EQ(window->title(), "商品清单");
    EXPECT_EQ(window->grid().model()->rowCount(), rows);
    EXPECT_FALSE(ready(reply)) << "the reply waits for the window";

    processEventsUntil([] { return false; }, 200); // let the grid paint
    const QImage picture = window->grab().toImage();
    EXPECT_FALSE(picture.isNull());
    if (const QString png = qEnvironmentVariable("TALLY_LIST_PNG"); !png.isEmpty())
        picture.save(png);

    window->findChild<QPushButton *>(QStringLiteral("btnPrint"))->click();
    const QStringList pdfs = pdfFiles();
    ASSERT_EQ(pdfs.size(), 1);
    const QString pdf = pdfs.front();
    const QString text = runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    for (const char *expected : {"商品清单", "SPCODE", "SPNAME", "JE", "页号: 1/"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
    for (int i = 1; i <= rows; ++i) {
        const QString n = QString::number(i);
        EXPECT_TRUE(text.contains(QStringLiteral("C") + n)) << i;
        EXPECT_TRUE(text.contains(QStringLiteral("商品") + n)) << i;
        EXPECT_TRUE(text.contains(n + QStringLiteral(".5"))) << i;
    }
    EXPECT_EQ(logLines().filter(QStringLiteral("已生成PDF文件：") + pdf).size(), 1);

    window->close();
    ASSERT_TRUE(processEventsUntil([&] { return ready(reply); }));
    EXPECT_EQ(reply.get(), 200);
    EXPECT_EQ(m_service->form().OpenCount(), 0);
    EXPECT_EQ(logLines().last(), QStringLiteral("当前打开数量=0"));
}

// A packet that does not load: the window opens empty with 格式不正确, and
// the request ends normally (a failed load is the window's own business,
// not a failure the request logs).
TEST_F(ListServiceTest, BadPacketOpensEmptyWindowAndEndsNormally)
{
    std::future<int> reply =
        sendAsync(m_service->port(), listRequest("商品清单", "0", "<DATAPACKET"));
    TGridora *window = nullptr;
    ASSERT_TRUE(processEventsUntil(
        [&] { return (window = testing_support::visibleWindow<TGridora>()) != nullptr; }));
    QMessageBox *box = nullptr;
    ASSERT_TRUE(processEventsUntil([&] { return (box = window->findChild<QMessageBox *>()); }));
    EXPECT_EQ(box->text(), QStringLiteral("格式不正确"));
    EXPECT_EQ(window->grid().model()->columnCount(), 0);
    window->close();
    ASSERT_TRUE(processEventsUntil([&] { return ready(reply); }));
    EXPECT_EQ(reply.get(), 200);
    EXPECT_TRUE(logLines().filter(QStringLiteral("格式不正确")).isEmpty());
    EXPECT_TRUE(logLines().filter(QStringLiteral("sData=")).isEmpty());
    EXPECT_EQ(logLines().last(), QStringLiteral("当前打开数量=0"));
}

// The list samples, printed from the window right after it opens, give the
// same pages as the command-line tool prints from the same request.
TEST_F(ListServiceTest, WindowPrintsTheSamePagesAsTheTool)
{
    for (const char *sample :
         {"list-stock.body", "list-sales-120-rows.body", "list-supplier-money.body"}) {
        SCOPED_TRACE(sample);
        for (const QString &file : pdfFiles())
            QFile::remove(file);
        std::future<int> reply = sendAsync(m_service->port(), readSampleRequest(sample));
        TGridora *window = nullptr;
        ASSERT_TRUE(processEventsUntil(
            [&] { return (window = testing_support::visibleWindow<TGridora>()) != nullptr; }));
        window->setPreviewFlag("0"); // one sample asks for a preview; compare printed pages
        window->btnPrintClick();
        window->close();
        ASSERT_TRUE(processEventsUntil([&] { return ready(reply); }));
        ASSERT_EQ(pdfFiles().size(), 1);
        const QString printed = pdfTextWithoutClock(pdfFiles().front());

        const QTemporaryDir toolOut;
        const QString toolPdf = toolOut.filePath(QStringLiteral("tool.pdf"));
        runTool(QStringLiteral(TALLY_TOOL),
                {QStringLiteral("list"),
                 QStringLiteral(TALLY_SAMPLES_DIR "/") + QString::fromLatin1(sample),
                 QStringLiteral("--pdf"), toolPdf});
        const QString byTool = pdfTextWithoutClock(toolPdf);
        EXPECT_FALSE(printed.isEmpty());
        EXPECT_EQ(printed.toStdString(), byTool.toStdString());
    }
}

} // namespace
} // namespace tally::tabular
