#include "../qtapp.h"

#include "printing/pdf/pdfdocument.h"
#include "printing/qt/pdf/pdfcanvas.h"
#include "printing/qt/qpaintercanvas.h"

#include <QDir>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace tally::printing {
namespace {

using Draw = std::function<void(Canvas &)>;

bool haveTool(const char *name)
{
    return !QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty();
}

QString run(const QString &tool, const QStringList &args)
{
    QProcess p;
    p.start(tool, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// One A4 page at 600 dpi through our writer.
void writeOurs(const QString &file, const Draw &draw)
{
    pdf::PdfDocument doc(file.toStdString());
    PdfCanvas canvas(doc, 600);
    canvas.beginPage(842);
    draw(canvas);
    doc.addPage(595, 842, canvas.finishPage());
    ASSERT_TRUE(doc.finish("标题", "Tallyhost", "D:20260101000000Z"));
}

// The same page through Qt's PDF engine, as PDF jobs were written before.
void writeQts(const QString &file, const Draw &draw)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(600);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setFullPage(true);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    printer.setOutputFileName(file);
    QPainter painter(&printer);
    {
        QPainterCanvas canvas(painter, 600, 600);
        draw(canvas);
    }
    painter.end();
}

QImage rasterise(const QString &pdf, const QString &stem)
{
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QStringLiteral("150"), QStringLiteral("-gray"),
         QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, stem});
    return QImage(stem + QStringLiteral(".png"));
}

class PdfCanvasTest : public testing::Test
{
protected:
    PdfCanvasTest() { testing_fakes::ensureQtApp(); }
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

// Everything the bills draw: pens of each width, style and mode, fills,
// text of every alignment, wrapped, clipped and not, in each style, with
// a background and without, after an origin shift.
void featureSheet(Canvas &c)
{
    c.shiftOrigin(120, 150);
    int y = 0;
    for (const int width : {0, 1, 6, 13}) {
        c.setPenWidth(width);
        int x = 0;
        for (const Canvas::PenStyle style :
             {Canvas::PenStyle::Solid, Canvas::PenStyle::Dash, Canvas::PenStyle::Dot,
              Canvas::PenStyle::DashDot, Canvas::PenStyle::Clear}) {
            c.setPenStyle(style);
            c.moveTo(x, y);
            c.lineTo(x + 700, y);
            c.lineTo(x + 700, y + 200);
            c.lineTo(x, y);
            x += 900;
        }
        y += 300;
    }
    c.setPenStyle(Canvas::PenStyle::Solid);
    c.setPenWidth(6);
    c.setPenColor(Color{200, 30, 30});
    c.setPenMode(Canvas::PenMode::Xor);
    c.moveTo(0, y);
    c.lineTo(1500, y + 100);
    c.setPenMode(Canvas::PenMode::Copy);
    c.setPenColor(kBlack);
    y += 250;

    c.setBrushColor(Color{230, 240, 255});
    c.fillRect({0, y, 1200, y + 300});
    c.setBrushColor(Color::fromBgr(0x00C0C0C0));
    c.fillRect({1300, y, 2000, y + 300});
    y += 400;

    c.setFontName("宋体");
    c.setFontSize(12);
    const unsigned aligns[] = {Canvas::AlignLeft, Canvas::AlignCenter, Canvas::AlignRight};
    for (const unsigned align : aligns) {
        c.setBrushStyle(align == Canvas::AlignCenter ? Canvas::BrushStyle::Solid
                                                     : Canvas::BrushStyle::Clear);
        c.drawText("商品订货单 Order 12.50", {0, y, 2400, y + 150}, align | Canvas::NoPrefix);
        y += 160;
    }
    c.setBrushStyle(Canvas::BrushStyle::Clear);
    c.drawText("杭州娃哈哈集团有限公司 雪花啤酒勇闯天涯 康师傅红烧牛肉面 105g*24",
               {0, y, 1000, y + 600}, Canvas::WordBreak);
    y += 650;
    // Too long for its box: clipped, and not.
    c.drawText("经销商品结算单经销商品结算单经销商品结算单", {0, y, 700, y + 80}, 0);
    c.drawText("经销商品结算单经销商品结算单经销商品结算单", {0, y + 200, 700, y + 280},
               Canvas::NoClip);
    y += 400;
    const unsigned styles[] = {Canvas::Bold, Canvas::Italic, Canvas::Underline, Canvas::StrikeOut,
                               Canvas::Bold | Canvas::Underline};
    for (const unsigned style : styles) {
        c.setFontStyle(style);
        c.drawText("变进价单 Style 6.9027", {0, y, 2400, y + 150}, 0);
        y += 170;
    }
    c.setFontStyle(Canvas::Regular);
    c.setFontName("楷体_GB2312");
    c.setFontSize(18);
    c.drawText("商品结算通知单 ￥32,735.10", {0, y, 3000, y + 250}, Canvas::AlignCenter);
    c.setFontName("黑体");
    c.drawText("门店库存查询", {0, y + 300, 3000, y + 550}, 0);
    // Hangul is in none of the Song faces: Qt falls back to another font.
    c.setFontName("宋体");
    c.setFontSize(12);
    c.drawText("订货 한글 Order", {0, y + 600, 3000, y + 800}, 0);
}

// The PDF canvas draws what QPainterCanvas drew into Qt's PDF output:
// both rasterised at 150 dpi differ in anti-aliasing at most.
TEST_F(PdfCanvasTest, DrawsAsQtsPdfOutputDid)
{
    if (!haveTool("pdftoppm"))
        GTEST_SKIP() << "poppler-utils not installed";
    writeOurs(path("ours.pdf"), featureSheet);
    writeQts(path("qt.pdf"), featureSheet);
    const QImage ours = rasterise(path("ours.pdf"), path("ours"));
    const QImage qts = rasterise(path("qt.pdf"), path("qt"));
    ASSERT_FALSE(ours.isNull());
    ASSERT_EQ(ours.size(), qts.size());
    int ink = 0, differing = 0;
    for (int y = 0; y < ours.height(); ++y) {
        for (int x = 0; x < ours.width(); ++x) {
            const int a = qGray(ours.pixel(x, y));
            const int b = qGray(qts.pixel(x, y));
            ink += b < 250;
            differing += std::abs(a - b) > 64;
        }
    }
    EXPECT_GT(ink, 20000);
    EXPECT_LE(differing, ink / 200) << differing << " of " << ink << " ink pixels differ";
}

// Text extraction gives the real characters, Chinese and Latin, and bold
// (drawn twice by imitation) once.
TEST_F(PdfCanvasTest, TextComesBackFromThePdf)
{
    if (!haveTool("pdftotext") || !haveTool("pdfinfo") || !haveTool("pdffonts"))
        GTEST_SKIP() << "poppler-utils not installed";
    writeOurs(path("text.pdf"), [](Canvas &c) {
        c.setFontSize(12);
        c.drawText("订货单号码 供应商名称 Order 12.50", {100, 100, 4000, 300}, 0);
        c.setFontStyle(Canvas::Bold);
        c.setFontName("楷体_GB2312");
        c.drawText("金额合计", {100, 400, 4000, 600}, 0);
        c.setFontStyle(Canvas::Regular);
        c.setFontName("黑体");
        c.drawText("审核人：用户", {100, 700, 4000, 900}, 0);
        c.setFontName("宋体");
        c.drawText("订货 한글 Order", {100, 1000, 4000, 1200}, 0);
    });
    const QString text = run(QStringLiteral("pdftotext"), {path("text.pdf"), QStringLiteral("-")});
    for (const char *expected :
         {"订货单号码 供应商名称 Order 12.50", "审核人：用户", "订货 한글 Order"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                << text.toStdString();
    EXPECT_EQ(text.count(QString::fromUtf8("金额合计")), 1) << text.toStdString();
    EXPECT_FALSE(text.contains(QString::fromUtf8("金金"))) << text.toStdString();

    const QString info = run(QStringLiteral("pdfinfo"), {path("text.pdf")});
    EXPECT_TRUE(info.contains(QString::fromUtf8("标题"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("595 x 842 pts"))) << info.toStdString();
    // Each face once, embedded as a subset with a ToUnicode map.
    const QString fonts = run(QStringLiteral("pdffonts"), {path("text.pdf")});
    for (const char *face : {"UMing", "UKai", "ZenHei"})
        EXPECT_EQ(fonts.count(QString::fromLatin1(face)), 1) << face << "\n" << fonts.toStdString();
    EXPECT_EQ(fonts.count(QStringLiteral("CID TrueType      Identity-H       yes yes yes")), 3)
        << fonts.toStdString();
}

} // namespace
} // namespace tally::printing
