// The whole road of a print request: the sample body is POSTed over HTTP to
// the running service, whose document window prints into a PDF spool folder
// while it is built; the test closes the window as the clerk would, gets the
// reply and reads the PDF back with pdfinfo and pdftotext.
#include "servicefixture.h"

#include "datapacket/datapackettable.h"
#include "documents/qt/tprintdocument.h"
#include "printing/qt/preview/tformpreview.h"

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tally::documents {
namespace {

using test::decodeBody;
using test::readSampleRequest;
using test::runTool;
using test::visibleWindow;
using testing_support::processEventsUntil;

int darkPixels(const QImage &image)
{
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 96 ? 1 : 0;
    return dark;
}

using ServiceEndToEndTest = test::ServiceFixture;

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
    {"order-form-41-rows.body",
     2,
     {"商品订货单", "30005686", "共2页第1页", "共2页第2页"},
     "SPCODE"},
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
    {"purchase-price-change.body",
     1,
     {"采购价变进价单", "000012", "已确认", "第1页共1页"},
     "SPCODE"},
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
        const std::string body = readSampleRequest(c.sample);
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
        EXPECT_TRUE(
            info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(c.pages))))
            << info.toStdString();
        const QString text = runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        for (const char *expected : c.texts)
            EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;

        datapacket::DataPacketTable items;
        items.load(decodeBody(body).itemData);
        int rows = 0;
        for (items.first(); !items.eof(); items.next(), ++rows) {
            const std::string value = items.fieldByName(c.itemField).displayText();
            EXPECT_TRUE(text.contains(QString::fromStdString(value))) << "item row " << value;
        }
        EXPECT_GT(rows, 0);

        EXPECT_EQ(logLines().filter(QStringLiteral("已生成PDF文件：") + pdf).size(), 1);
        EXPECT_EQ(form().OpenCount(), 0);
    }
}

// A header packet without a declared field: the window shows 格式不正确,
// nothing is printed, the request still ends normally (no such log line).
TEST_F(ServiceEndToEndTest, MissingDeclaredFieldShowsMessageAndPrintsNothing)
{
    QString boxText;
    EXPECT_EQ(post(readSampleRequest("order-form-missing-field.body"),
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
    service::RequestJson request = decodeBody(readSampleRequest("order-form.body"));
    const std::string good = R"(HTH="1208")";
    const std::size_t at = request.mainData.find(good);
    ASSERT_NE(at, std::string::npos);
    request.mainData.replace(at, good.size(), R"(HTH="HT-1208")");
    EXPECT_EQ(post(test::encodeRequest(request), {}), 200);
    EXPECT_TRUE(pdfFiles().isEmpty());
    const QStringList tails = logLines();
    EXPECT_TRUE(
        tails.contains(QStringLiteral("sData=") + QString::fromStdString(request.mainData)));
    EXPECT_TRUE(
        tails.contains(QStringLiteral("sITEM=") + QString::fromStdString(request.itemData)));
    EXPECT_EQ(tails.count(QStringLiteral("格式不正确")), 1);
    // The cause follows at once, in the words of the failure itself.
    const qsizetype failed = tails.indexOf(QStringLiteral("格式不正确"));
    ASSERT_GE(failed, 0);
    EXPECT_TRUE(tails.value(failed + 1).startsWith(QStringLiteral("原因：")))
        << tails.value(failed + 1).toStdString();
    EXPECT_TRUE(tails.value(failed + 1).contains(QStringLiteral("HT-1208")))
        << tails.value(failed + 1).toStdString();
    EXPECT_EQ(tails.last(), QStringLiteral("当前打开数量=0"));
}

// prev "1": the preview opens over the whole screen showing the drawn page,
// prints nothing by itself, and the request waits for both the preview and
// the window. Set TALLY_PREVIEW_PNG_DIR to keep a picture of the preview.
TEST_F(ServiceEndToEndTest, PreviewRequestOpensMaximizedPreview)
{
    bool sawPreview = false;
    EXPECT_EQ(post(readSampleRequest("order-form-preview.body"),
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
                       EXPECT_EQ(
                           preview->findChild<QLabel *>(QStringLiteral("StatusPanel0"))->text(),
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
