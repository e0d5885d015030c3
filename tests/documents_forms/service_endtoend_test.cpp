// The whole road of a print request: the sample body is POSTed over HTTP to
// the running service, whose document window prints into a PDF spool folder
// while it is built; the test closes the window as the clerk would, gets the
// reply and reads the PDF back with pdfinfo and pdftotext.
#include "../support/qtwidgetsapp.h"
#include "documents/datapackettable.h"
#include "documents/qt/documentwindows.h"
#include "documents/qt/tprintdocument.h"
#include "printing/preview/tformpreview.h"
#include "service/requestjson.h"
#include "service/requesttext.h"
#include "service/tmainform.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
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
#include <string>
#include <vector>

namespace tally::documents {
namespace {

// Page settings and the preview's zoom type go to a scratch store.
class ScratchSettingsEnvironment : public testing_support::QtWidgetsEnvironment
{
public:
    void SetUp() override
    {
        QStandardPaths::setTestModeEnabled(true);
        QtWidgetsEnvironment::SetUp();
    }
};

const auto *const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new ScratchSettingsEnvironment);

using testing_support::processEventsUntil;

std::string readSample(const std::string &name)
{
    std::ifstream in(std::string(TALLY_SAMPLES_DIR) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The request a sample body carries, decoded as the service decodes it.
service::RequestJson decodeSample(const std::string &body)
{
    const service::UrlDecodeResult bytes = service::UrlDecode(body);
    return service::parseRequestJson(service::DecodeUtf8(bytes.bytes));
}

QString runTool(const QString &program, const QStringList &arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0)
        return {};
    return QString::fromUtf8(tool.readAllStandardOutput());
}

int darkPixels(const QImage &image)
{
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 96 ? 1 : 0;
    return dark;
}

template <class Window> Window *visibleWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *window = dynamic_cast<Window *>(widget); window && window->isVisible())
            return window;
    return nullptr;
}

class ServiceEndToEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_spool.isValid());
        qputenv("TALLY_PDF_DIR", m_spool.path().toUtf8());
        service::TMainForm::Options options;
        options.port = 0;
        options.showMessage = [](QWidget *, const QString &) {};
        m_form = std::make_unique<service::TMainForm>(std::move(options));
        registerDocumentWindows(*m_form);
        ASSERT_GT(m_form->listeningPort(), 0);
    }
    void TearDown() override
    {
        m_form.reset();
        qunsetenv("TALLY_PDF_DIR");
    }

    // Posts `body` and, on the GUI thread meanwhile, hands the document
    // window to `handleWindow` once it is on screen; that must close it. An
    // empty `handleWindow` expects no window at all. Returns the reply's
    // status, or 0 without a reply.
    int post(const std::string &body, const std::function<void(TPrintDocument &)> &handleWindow)
    {
        auto reply = std::async(std::launch::async, [port = m_form->listeningPort(), &body] {
            httplib::Client client("127.0.0.1", port);
            client.set_read_timeout(std::chrono::seconds(120));
            const httplib::Result r = client.Post("/", body, "application/x-www-form-urlencoded");
            return r ? r->status : 0;
        });
        const auto replied = [&] {
            return reply.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
        };
        bool handled = false;
        processEventsUntil([&] {
            if (!handled)
                if (TPrintDocument *window = visibleWindow<TPrintDocument>()) {
                    handled = true;
                    if (handleWindow)
                        handleWindow(*window);
                }
            return replied();
        });
        EXPECT_EQ(handled, bool(handleWindow)) << "a document window should come up iff expected";
        return replied() ? reply.get() : 0;
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
        return m_form->findChild<QPlainTextEdit *>(QStringLiteral("MemoMSG"))
            ->toPlainText()
            .split(QLatin1Char('\n'));
    }

    QTemporaryDir m_spool;
    std::unique_ptr<service::TMainForm> m_form;
};

struct PrintCase
{
    const char *sample;
    int pages;
    std::vector<const char *> texts; // title, header values, page texts
    const char *itemField;           // every item row's value of it is printed
};

const PrintCase kPrintCases[] = {
    {"order-form.body",
     1,
     {"商品订货单", "30005686", "1208", "杭州娃哈哈集团有限公司", "食品部", "有效", "共1页第1页",
      "王芳", "李强"},
     "SPCODE"},
    {"order-form-41-rows.body", 2, {"商品订货单", "30005686", "共2页第1页", "共2页第2页"}, "SPCODE"},
    {"order-form-landscape-23-rows.body",
     2,
     {"商品订货单（横向）", "30005686", "共2页第1页", "共2页第2页", "6921317905038"},
     "SPCODE"},
    {"purchase-receipt.body",
     1,
     {"进货单(未赋值)", "003005", "0815", "30005686", "联营", "赵敏", "孙立"},
     "SPCODE"},
    {"settlement-list.body",
     2,
     {"供应商结算清单", "166753", "2031", "杭州娃哈哈集团有限公司", "202611", "共2页第2页"},
     "SPCODE"},
    {"settlement-notice.body",
     1,
     {"商品结算通知单", "166753", "￥28,969.12", "￥3,765.98", "￥32,735.10", "满百折扣：￥12.50"},
     "JSKKMC"},
    {"dealer-settlement.body", 1, {"经销商品结算单", "166753", "￥36,120.00"}, "JSKKMC"},
    {"purchase-price-change.body", 1, {"采购价变进价单", "000012", "已确认", "第1页共1页"}, "SPCODE"},
    {"cost-price-change.body", 1, {"变进价单", "005678", "有效", "第1页共1页", "6.9027"}, "SPCODE"},
    {"return-quantity.body", 1, {"返厂单（数量联）", "6022190", "0815", "代销"}, "SPCODE"},
    {"return-note.body", 1, {"返厂单", "6022190", "0815", "吴刚", "郑华"}, "SPCODE"},
};

// Every document type: the POST prints one PDF with the title, the header
// values and every body row on the right number of pages, the log names the
// file, and the reply goes out once the window is closed.
TEST_F(ServiceEndToEndTest, EachDocumentTypePrintsItsPdf)
{
    for (const PrintCase &c : kPrintCases) {
        SCOPED_TRACE(c.sample);
        for (const QString &file : pdfFiles())
            QFile::remove(file);
        const std::string body = readSample(c.sample);
        ASSERT_FALSE(body.empty());

        QStringList printedWhileBuilt;
        EXPECT_EQ(post(body,
                       [&](TPrintDocument &window) {
                           printedWhileBuilt = pdfFiles();
                           EXPECT_EQ(window.outcome(), DocumentForm::Outcome::Printed);
                           window.close();
                       }),
                  200);
        ASSERT_EQ(printedWhileBuilt.size(), 1);
        const QString pdf = printedWhileBuilt.front();

        const QString info = runTool(QStringLiteral("pdfinfo"), {pdf});
        EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(c.pages))))
            << info.toStdString();
        const QString text = runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        for (const char *expected : c.texts)
            EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;

        DataPacketTable items;
        items.load(decodeSample(body).itemData);
        int rows = 0;
        for (items.first(); !items.eof(); items.next(), ++rows) {
            const std::string value = items.fieldByName(c.itemField).displayText();
            EXPECT_TRUE(text.contains(QString::fromStdString(value))) << "item row " << value;
        }
        EXPECT_GT(rows, 0);

        EXPECT_EQ(logLines().filter(QStringLiteral("已生成PDF文件：") + pdf).size(), 1);
        EXPECT_EQ(m_form->OpenCount(), 0);
    }
}

// A header packet without a declared field: the window shows 格式不正确,
// nothing is printed, the request still ends normally (no such log line).
TEST_F(ServiceEndToEndTest, MissingDeclaredFieldShowsMessageAndPrintsNothing)
{
    QString boxText;
    EXPECT_EQ(post(readSample("order-form-missing-field.body"),
                   [&](TPrintDocument &window) {
                       EXPECT_EQ(window.outcome(), DocumentForm::Outcome::BadFormat);
                       processEventsUntil(
                           [&] { return !window.findChildren<QMessageBox *>().isEmpty(); });
                       boxText = window.findChildren<QMessageBox *>().value(0)->text();
                       window.close();
                   }),
              200);
    EXPECT_EQ(boxText, QStringLiteral("格式不正确"));
    EXPECT_TRUE(pdfFiles().isEmpty());
    for (const QString &line : logLines())
        EXPECT_FALSE(line.endsWith(QStringLiteral("格式不正确"))) << line.toStdString();
    EXPECT_TRUE(logLines().last().endsWith(QStringLiteral("当前打开数量=0")));
}

// A failure while printing (the order form reads its contract number as an
// integer) ends the document before its window shows: the log names both
// packets and 格式不正确, no PDF remains, the reply still goes out.
TEST_F(ServiceEndToEndTest, PrintFailureIsLoggedAndLeavesNoPdf)
{
    service::RequestJson request = decodeSample(readSample("order-form.body"));
    const std::string good = R"(HTH="1208")";
    const std::size_t at = request.mainData.find(good);
    ASSERT_NE(at, std::string::npos);
    request.mainData.replace(at, good.size(), R"(HTH="HT-1208")");
    const nlohmann::json json = {{"title", request.title},
                                 {"prev", request.prev},
                                 {"djlx", request.djlx},
                                 {"Maindata", request.mainData},
                                 {"Itemdata", request.itemData}};
    const QByteArray body = QUrl::toPercentEncoding(QString::fromStdString(json.dump()));

    EXPECT_EQ(post(body.toStdString(), {}), 200);
    EXPECT_TRUE(pdfFiles().isEmpty());
    QStringList tails;
    for (const QString &line : logLines())
        tails.append(line.mid(20)); // after the time stamp
    EXPECT_TRUE(tails.contains(QStringLiteral("sData=") + QString::fromStdString(request.mainData)));
    EXPECT_TRUE(tails.contains(QStringLiteral("sITEM=") + QString::fromStdString(request.itemData)));
    EXPECT_EQ(tails.count(QStringLiteral("格式不正确")), 1);
    EXPECT_EQ(tails.last(), QStringLiteral("当前打开数量=0"));
}

// prev "1": the preview opens over the whole screen showing the drawn page,
// prints nothing by itself, and the request waits for both the preview and
// the window. Set TALLY_PREVIEW_PNG_DIR to keep a picture of the preview.
TEST_F(ServiceEndToEndTest, PreviewRequestOpensMaximizedPreview)
{
    bool sawPreview = false;
    EXPECT_EQ(post(readSample("order-form-preview.body"),
                   [&](TPrintDocument &window) {
                       EXPECT_EQ(window.outcome(), DocumentForm::Outcome::Previewed);
                       using printing::preview::TFormPreview;
                       TFormPreview *preview = nullptr;
                       ASSERT_TRUE(processEventsUntil(
                           [&] { return (preview = visibleWindow<TFormPreview>()) != nullptr; }));
                       sawPreview = true;
                       EXPECT_TRUE(preview->isMaximized());
                       EXPECT_EQ(preview->frameGeometry(),
                                 QApplication::primaryScreen()->availableGeometry());
                       EXPECT_EQ(preview->findChild<QLabel *>(QStringLiteral("StatusPanel0"))
                                     ->text(),
                                 QStringLiteral("第 1 页"));
                       EXPECT_EQ(preview->CurrentPage(), 1);
                       // The sheet carries the drawn order form, not a blank page.
                       const QImage sheet = preview->PaintBox()->grab().toImage();
                       EXPECT_GT(darkPixels(sheet), 2000);
                       if (const QString dir = qEnvironmentVariable("TALLY_PREVIEW_PNG_DIR");
                           !dir.isEmpty())
                           preview->grab().save(dir + QStringLiteral("/order-form-preview.png"));
                       preview->close();
                       processEventsUntil([] { return !visibleWindow<TFormPreview>(); });
                       window.close();
                   }),
              200);
    EXPECT_TRUE(sawPreview);
    EXPECT_TRUE(pdfFiles().isEmpty());
}

} // namespace
} // namespace tally::documents
