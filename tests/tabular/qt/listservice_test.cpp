// The whole road of a list request: a djlx "0" body POSTed over HTTP to the
// running service opens the list window; its print button, with PDF output
// forced, writes the spool PDF; once the window is closed the reply goes
// out. Set TALLY_LIST_PNG to keep a picture of the window.
#include "listpackets.h"

#include "service/qt/tmainform.h"
#include "support/qtwidgetsapp.h"
#include "tabular/qt/listwindows.h"
#include "tabular/qt/tblshowgrid.h"
#include "tabular/qt/tgridora.h"
#include "tallyhost/hostwindows.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <future>
#include <sstream>

namespace tally::tabular {
namespace {

using testing_support::processEventsUntil;

std::future<int> postAsync(int port, const std::string &body)
{
    return std::async(std::launch::async, [port, body] {
        httplib::Client client("127.0.0.1", port);
        client.set_read_timeout(std::chrono::seconds(120));
        const httplib::Result r = client.Post("/", body, "application/x-www-form-urlencoded");
        return r ? r->status : 0;
    });
}

bool ready(std::future<int> &reply)
{
    return reply.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

std::string listRequest(const std::string &title, const std::string &prev,
                        const std::string &packet)
{
    // The packets of the documents are not read for a list.
    const nlohmann::json json = {{"title", title}, {"prev", prev},        {"djlx", "0"},
                                 {"data", packet}, {"Maindata", "<junk"}, {"Itemdata", "<junk"}};
    return QUrl::toPercentEncoding(QString::fromStdString(json.dump())).toStdString();
}

TGridora *visibleListWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *window = dynamic_cast<TGridora *>(widget); window && window->isVisible())
            return window;
    return nullptr;
}

QString runTool(const QString &program, const QStringList &arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << ": " << tool.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(tool.readAllStandardOutput());
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

std::string readSample(const std::string &name)
{
    std::ifstream in(std::string(TALLY_SAMPLES_DIR) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class ListServiceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QStandardPaths::setTestModeEnabled(true);
        ASSERT_TRUE(m_spool.isValid());
        qputenv("TALLY_PDF_DIR", m_spool.path().toUtf8());
        service::TMainForm::Options options;
        options.port = 0;
        options.showMessage = [](QWidget *, const QString &) {};
        m_form = std::make_unique<service::TMainForm>(std::move(options));
        host::registerHostWindows(*m_form);
        ASSERT_GT(m_form->listeningPort(), 0);
    }
    void TearDown() override
    {
        m_form.reset();
        qunsetenv("TALLY_PDF_DIR");
    }

    QStringList pdfFiles() const
    {
        QStringList files;
        for (const QString &name : QDir(m_spool.path()).entryList({QStringLiteral("*.pdf")}))
            files.append(QDir(m_spool.path()).filePath(name));
        return files;
    }

    QStringList logLines() const
    {
        QCoreApplication::processEvents();
        QStringList lines;
        const QString text =
            m_form->findChild<QPlainTextEdit *>(QStringLiteral("MemoMSG"))->toPlainText();
        for (const QString &line : text.split(QLatin1Char('\n')))
            lines.append(line.mid(20)); // after the time stamp
        return lines;
    }

    QTemporaryDir m_spool;
    std::unique_ptr<service::TMainForm> m_form;
};

TEST_F(ListServiceTest, ListRequestOpensWindowPrintsPdfAndRepliesWhenClosed)
{
    const int rows = 60;
    std::future<int> reply =
        postAsync(m_form->listeningPort(), listRequest("商品清单", "0", test::goodsPacket(rows)));
    TGridora *window = nullptr;
    ASSERT_TRUE(processEventsUntil([&] { return (window = visibleListWindow()) != nullptr; }));
    EXPECT_EQ(window->title(), "商品清单");
    EXPECT_EQ(window->grid().model()->rowCount(), rows);
    EXPECT_FALSE(ready(reply)) << "the reply waits for the window";

    processEventsUntil([] { return false; }, 200); // let the grid paint
    const QImage picture = window->grab().toImage();
    EXPECT_FALSE(picture.isNull());
    if (const QString png = qEnvironmentVariable("TALLY_LIST_PNG"); !png.isEmpty())
        picture.save(png);

    window->findChild<QPushButton *>(QStringLiteral("btnPrint"))->click();
    const QStringList pdfs = QDir(m_spool.path()).entryList({QStringLiteral("*.pdf")});
    ASSERT_EQ(pdfs.size(), 1);
    const QString pdf = QDir(m_spool.path()).filePath(pdfs.front());
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_TRUE(tool.waitForFinished(60000));
    const QString text = QString::fromUtf8(tool.readAllStandardOutput());
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
    EXPECT_EQ(m_form->OpenCount(), 0);
    EXPECT_EQ(logLines().last(), QStringLiteral("当前打开数量=0"));
}

// A packet that does not load: the window opens empty with 格式不正确, and
// the request ends normally (a failed load is the window's own business,
// not a failure the request logs).
TEST_F(ListServiceTest, BadPacketOpensEmptyWindowAndEndsNormally)
{
    std::future<int> reply =
        postAsync(m_form->listeningPort(), listRequest("商品清单", "0", "<DATAPACKET"));
    TGridora *window = nullptr;
    ASSERT_TRUE(processEventsUntil([&] { return (window = visibleListWindow()) != nullptr; }));
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
        std::future<int> reply = postAsync(m_form->listeningPort(), readSample(sample));
        TGridora *window = nullptr;
        ASSERT_TRUE(processEventsUntil([&] { return (window = visibleListWindow()) != nullptr; }));
        window->setPreviewFlag("0"); // one sample asks for a preview; compare printed pages
        window->btnPrintClick();
        window->close();
        ASSERT_TRUE(processEventsUntil([&] { return ready(reply); }));
        ASSERT_EQ(pdfFiles().size(), 1);
        const QString printed = pdfTextWithoutClock(pdfFiles().front());

        const QString toolPdf = QDir(m_spool.path()).filePath(QStringLiteral("tool.out"));
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
