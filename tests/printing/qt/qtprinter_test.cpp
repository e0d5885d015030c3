#include "../casename.h"
#include "qtapp.h"
#include "support/printingfakes.h"

#include "printing/printroutines.h"
#include "printing/qt/outputtarget.h"
#include "printing/qt/qtprinter.h"

#include <QDir>
#include <QImage>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace tally::printing {
namespace {

using testing_fakes::ensureQtApp;

struct PaperCase
{
    const char *name;
    int paperSize;
    int length;
    int width;
    PrinterOrientation orient;
    double widthMm; // of the sheet as it is printed
    double heightMm;
};

class PaperTest : public testing::TestWithParam<PaperCase>
{
};

// A bill with nothing but its page setup.
class SetupBill : public TCustomBillBase
{
public:
    std::string GetCaption() const override { return {}; }
    int GetPageWidth() const override { return 0; }
    int GetPageHeight() const override { return 0; }
    int GetPageCount() const override { return 0; }
};

TEST_P(PaperTest, PaperCodesBecomePageSizes)
{
    ensureQtApp();
    const PaperCase &c = GetParam();
    QTemporaryDir dir;
    QtPrinter printer(OutputTarget::pdfFolder(dir.path()));
    SetupBill bill;
    bill.SetPaperSize(c.paperSize);
    bill.SetPaperLength(c.length);
    bill.SetPaperWidth(c.width);
    bill.SetPrintOrient(c.orient);
    ApplyPageSetup(bill, printer);

    const QSizeF sheet = printer.qprinter().pageLayout().fullRect(QPageLayout::Millimeter).size();
    EXPECT_NEAR(sheet.width(), c.widthMm, 0.5) << c.name;
    EXPECT_NEAR(sheet.height(), c.heightMm, 0.5) << c.name;
    EXPECT_EQ(printer.orientation(), c.orient) << c.name;

    const PrinterMetrics m = printer.metrics();
    EXPECT_EQ(m.dpiX, 600);
    // Page sizes are kept in whole points, a few device pixels off the millimetres.
    EXPECT_NEAR(m.paperWidth, c.widthMm / 25.4 * 600, 6) << c.name;
    EXPECT_EQ(m.offsetX, 0) << "a PDF page has no margin";
    EXPECT_EQ(m.offsetY, 0);
    EXPECT_EQ(m.pageWidth, m.paperWidth);
    EXPECT_EQ(m.pageHeight, m.paperHeight);

    // The PDF page is the sheet in whole points, turned as it is printed.
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        return;
    printer.beginDoc();
    printer.endDoc();
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {printer.lastOutputFile()});
    info.waitForFinished(30000);
    const QString expected = QStringLiteral("Page size:\\s+%1 x %2 pts")
                                 .arg(std::lround(c.widthMm / 25.4 * 72))
                                 .arg(std::lround(c.heightMm / 25.4 * 72));
    const QString out = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(out.contains(QRegularExpression(expected))) << c.name << "\n" << out.toStdString();
}

using O = PrinterOrientation;
INSTANTIATE_TEST_SUITE_P(
    Codes, PaperTest,
    testing::Values(PaperCase{"unchanged A4", 0, 0, 0, O::poPortrait, 210, 297},
                    PaperCase{"A4 landscape", 9, 0, 0, O::poLandscape, 297, 210},
                    PaperCase{"A3", 8, 0, 0, O::poPortrait, 297, 420},
                    PaperCase{"A5", 11, 0, 0, O::poPortrait, 148, 210},
                    PaperCase{"Letter", 1, 0, 0, O::poPortrait, 215.9, 279.4},
                    PaperCase{"B5 (JIS)", 13, 0, 0, O::poPortrait, 182, 257},
                    PaperCase{"user-defined 241 x 140", 256, 1400, 2410, O::poPortrait, 241, 140},
                    PaperCase{"user-defined landscape", 256, 1400, 2410, O::poLandscape, 140, 241},
                    PaperCase{"user-defined of size 0 keeps paper", 256, 0, 0, O::poPortrait, 210,
                              297},
                    PaperCase{"unknown code keeps paper", 9999, 0, 0, O::poPortrait, 210, 297}),
    testing_fakes::CaseName());

// A bill that prints Chinese text in the layout fonts and a black square in
// the corner of its content.
class SampleBill : public TCustomBillBase
{
public:
    int pages = 2;
    int failOnPage = 0;

    std::string GetCaption() const override { return "订货单"; }
    int GetPageWidth() const override { return 600; }
    int GetPageHeight() const override { return 400; }
    int GetPageCount() const override { return pages; }

protected:
    void RenderPage(Canvas &canvas, const DrawingFrame &frame, int pageIndex) override
    {
        if (pageIndex == failOnPage)
            throw std::runtime_error("field read failed");
        canvas.setBrushColor(kBlack);
        canvas.fillRect(frame.ScaleRect({0, 0, 20, 20}));
        canvas.setBrushStyle(Canvas::BrushStyle::Clear);
        const char *fonts[] = {"宋体", "黑体", "楷体_GB2312"};
        const char *texts[] = {"订货单号码 合同号", "供应商名称 金额合计", "审核人 制单人"};
        for (int i = 0; i < 3; ++i) {
            canvas.setFontName(fonts[i]);
            canvas.setFontSize(12);
            canvas.setFontHeight(frame.ScaleFontHeight(canvas.fontHeight()));
            canvas.drawText(texts[i], frame.ScaleRect({40, 40 + 40 * i, 500, 70 + 40 * i}),
                            Canvas::NoClip | Canvas::ExpandTabs | Canvas::NoPrefix);
        }
        canvas.setFontName("宋体");
        canvas.drawText("第" + std::to_string(pageIndex) + "页",
                        frame.ScaleRect({40, 200, 500, 240}), Canvas::NoPrefix);
    }
};

// Makes the application before any member needs it.
struct QtAppFirst
{
    QtAppFirst() { ensureQtApp(); }
};

class PdfTest : public testing::Test, private QtAppFirst
{
protected:
    PdfTest()
    {
        context.printer = &printer;
        bill.SetPrintContext(context);
    }

    static bool haveTool(const char *name)
    {
        return !QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty();
    }
    static QString run(const QString &tool, const QStringList &args)
    {
        QProcess p;
        p.start(tool, args);
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    QStringList pdfs() const
    {
        return QDir(dir.path()).entryList({QStringLiteral("*.pdf")}, QDir::Files);
    }

    QTemporaryDir dir;
    QtPrinter printer{OutputTarget::pdfFolder(dir.path() + QStringLiteral("/spool"))};
    PrintContext context;
    SampleBill bill;
};

TEST_F(PdfTest, ChineseTextComesBackFromThePdf)
{
    if (!haveTool("pdftotext") || !haveTool("pdfinfo"))
        GTEST_SKIP() << "poppler-utils not installed";
    QString reported;
    printer.setSpooledHandler([&](const QString &file) { reported = file; });
    bill.Print(false);

    ASSERT_FALSE(reported.isEmpty());
    EXPECT_EQ(reported, printer.lastOutputFile());
    EXPECT_TRUE(reported.startsWith(dir.path() + QStringLiteral("/spool/")));
    EXPECT_TRUE(QFileInfo::exists(reported));

    const QString text = run(QStringLiteral("pdftotext"), {reported, QStringLiteral("-")});
    for (const char *expected :
         {"订货单号码", "合同号", "供应商名称", "金额合计", "审核人", "制单人", "第1页", "第2页"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                << text.toStdString();
    const QString info = run(QStringLiteral("pdfinfo"), {reported});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))))
        << info.toStdString();
    EXPECT_TRUE(info.contains(QString::fromUtf8("报表:订货单"))) << info.toStdString();

    if (haveTool("pdffonts")) {
        const QString fonts = run(QStringLiteral("pdffonts"), {reported});
        EXPECT_TRUE(fonts.contains(QStringLiteral("UMing"))) << fonts.toStdString();
        EXPECT_TRUE(fonts.contains(QStringLiteral("UKai"))) << fonts.toStdString();
        EXPECT_TRUE(fonts.contains(QStringLiteral("ZenHei"))) << fonts.toStdString();
        EXPECT_FALSE(fonts.contains(QStringLiteral("Noto"))) << fonts.toStdString();
    }
}

// The content origin is the sheet's corner: the square drawn at (0, 0)
// reaches the very edge of the rendered page.
TEST_F(PdfTest, OriginIsTheCornerOfThePage)
{
    if (!haveTool("pdftoppm"))
        GTEST_SKIP() << "poppler-utils not installed";
    bill.pages = 1;
    bill.Print(false);
    const QString out = dir.path() + QStringLiteral("/page");
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QStringLiteral("48"), QStringLiteral("-png"),
         QStringLiteral("-singlefile"), printer.lastOutputFile(), out});
    const QImage page(out + QStringLiteral(".png"));
    ASSERT_FALSE(page.isNull());
    // 20 layout pixels at 96 per inch are 10 pixels at 48.
    EXPECT_LT(qGray(page.pixel(0, 0)), 64);
    EXPECT_LT(qGray(page.pixel(8, 8)), 64);
    EXPECT_GT(qGray(page.pixel(12, 12)), 192);
}

TEST_F(PdfTest, EveryJobGetsItsOwnFile)
{
    bill.Print(false);
    const QString first = printer.lastOutputFile();
    bill.Print(false);
    const QString second = printer.lastOutputFile();
    EXPECT_NE(first, second);
    EXPECT_TRUE(QFileInfo::exists(first));
    EXPECT_TRUE(QFileInfo::exists(second));
    EXPECT_TRUE(QFileInfo(first).fileName().startsWith(QString::fromUtf8("报表_订货单-")))
        << first.toStdString();
}

TEST_F(PdfTest, FailedJobLeavesNoFile)
{
    bill.failOnPage = 2;
    EXPECT_THROW(bill.Print(false), std::runtime_error);
    EXPECT_TRUE(QDir(dir.path() + QStringLiteral("/spool")).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(printer.lastOutputFile().isEmpty());
    // The printer is usable again afterwards.
    bill.failOnPage = 0;
    bill.Print(false);
    EXPECT_TRUE(QFileInfo::exists(printer.lastOutputFile()));
}

// A file that cannot be opened and one whose writes fail (a full disk, as
// /dev/full answers every write) are both errors, never a finished job.
TEST_F(PdfTest, UnwritableFileIsAnError)
{
    const QString targets[] = {dir.path() + QStringLiteral("/missing/dir/x.pdf"),
                               QStringLiteral("/dev/full")};
    for (const QString &target : targets) {
        SCOPED_TRACE(target.toStdString());
        if (!QFileInfo::exists(target) && target.startsWith(QStringLiteral("/dev/")))
            continue;
        QtPrinter bad(OutputTarget::pdfFile(target));
        QString spooled;
        bad.setSpooledHandler([&](const QString &file) { spooled = file; });
        PrintContext c;
        c.printer = &bad;
        bill.SetPrintContext(c);
        try {
            bill.Print(false);
            ADD_FAILURE() << "printing succeeded";
        } catch (const std::runtime_error &e) {
            EXPECT_TRUE(std::string(e.what()).find(target.toStdString()) != std::string::npos)
                << e.what();
        }
        EXPECT_TRUE(spooled.isEmpty());
        EXPECT_TRUE(bad.lastOutputFile().isEmpty());
    }
}

TEST(OutputTargetTest, EnvironmentForcesPdfIntoItsFolder)
{
    ensureQtApp();
    const QByteArray saved = qgetenv(OutputTarget::kPdfDirVariable);
    qputenv(OutputTarget::kPdfDirVariable, "/var/spool/tally");
    const OutputTarget forced = OutputTarget::choose();
    EXPECT_EQ(forced.kind, OutputTarget::Kind::PdfFolder);
    EXPECT_EQ(forced.path, QStringLiteral("/var/spool/tally"));

    qunsetenv(OutputTarget::kPdfDirVariable);
    const OutputTarget chosen = OutputTarget::choose();
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        EXPECT_EQ(chosen.kind, OutputTarget::Kind::PdfFolder);
        EXPECT_EQ(chosen.path, OutputTarget::defaultSpoolFolder());
    } else {
        EXPECT_EQ(chosen.kind, OutputTarget::Kind::SystemPrinter);
    }
    if (!saved.isNull())
        qputenv(OutputTarget::kPdfDirVariable, saved);
}

} // namespace
} // namespace tally::printing
