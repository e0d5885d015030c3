// A picture of the preview window over a small order form drawn with the
// real QPainter canvas. Set TALLY_PREVIEW_PNG_DIR to keep the pictures.
#include "previewfakes.h"

#include "printing/custombillbase.h"
#include "printing/qt/preview/qtpreviewenvironment.h"
#include "printing/qt/preview/tformpreview.h"
#include "printing/qt/qtprinter.h"
#include "support/memorysettingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tally::printing::preview {
namespace {

using namespace testing_fakes;

const testing::Environment *const kQt = testing::AddGlobalTestEnvironment(new QtEnvironment);

// Two pages of an order form: title, header fields, an item grid and a
// page footer, in layout pixels.
class OrderFormBill : public TCustomBillBase
{
public:
    std::string GetCaption() const override { return "订货单"; }
    int GetPageWidth() const override { return 700; }
    int GetPageHeight() const override { return 960; }
    int GetPageCount() const override { return 2; }

protected:
    void RenderPage(Canvas &c, const DrawingFrame &f, int page) override
    {
        c.setFontName("黑体");
        c.setFontSize(18);
        c.setFontHeight(f.ScaleFontHeight(c.fontHeight()));
        c.setBrushStyle(Canvas::BrushStyle::Clear);
        c.drawText("订 货 单", f.ScaleRect({0, 0, 700, 40}), Canvas::AlignCenter);
        c.setFontName("宋体");
        c.setFontSize(10);
        c.setFontHeight(f.ScaleFontHeight(c.fontHeight()));
        c.drawText("单号：DHD20261210001", f.ScaleRect({0, 60, 340, 80}), Canvas::AlignLeft);
        c.drawText("日期：2026-12-10", f.ScaleRect({360, 60, 700, 80}), Canvas::AlignRight);
        const int cols[] = {0, 60, 200, 400, 480, 580, 700};
        const char *heads[] = {"行号", "商品编码", "品名", "数量", "单价", "金额"};
        const int top = 90;
        const int rowH = 28;
        const int rows = 20;
        c.setPenColor(kBlack);
        for (int r = 0; r <= rows + 1; ++r) {
            c.moveTo(f.ScaleX(0), f.ScaleY(top + r * rowH));
            c.lineTo(f.ScaleX(700), f.ScaleY(top + r * rowH));
        }
        for (int x : cols) {
            c.moveTo(f.ScaleX(x), f.ScaleY(top));
            c.lineTo(f.ScaleX(x), f.ScaleY(top + (rows + 1) * rowH));
        }
        for (int i = 0; i < 6; ++i)
            c.drawText(heads[i], f.ScaleRect({cols[i], top + 6, cols[i + 1], top + rowH}),
                       Canvas::AlignCenter);
        for (int r = 1; r <= rows; ++r) {
            const int n = (page - 1) * rows + r;
            const int y = top + r * rowH + 6;
            c.drawText(std::to_string(n), f.ScaleRect({cols[0], y, cols[1], y + 20}),
                       Canvas::AlignCenter);
            c.drawText("SP" + std::to_string(10000 + n),
                       f.ScaleRect({cols[1] + 4, y, cols[2], y + 20}), Canvas::AlignLeft);
            c.drawText("矿泉水 550ml", f.ScaleRect({cols[2] + 4, y, cols[3], y + 20}),
                       Canvas::AlignLeft);
            c.drawText(std::to_string(n * 3), f.ScaleRect({cols[3], y, cols[4] - 4, y + 20}),
                       Canvas::AlignRight);
            c.drawText("1.50", f.ScaleRect({cols[4], y, cols[5] - 4, y + 20}), Canvas::AlignRight);
            c.drawText(std::to_string(n * 3 * 3 / 2) + ".00",
                       f.ScaleRect({cols[5], y, cols[6] - 4, y + 20}), Canvas::AlignRight);
        }
        c.drawText("第 " + std::to_string(page) + " 页 共 2 页", f.ScaleRect({0, 920, 700, 940}),
                   Canvas::AlignCenter);
    }
};

struct Shot
{
    const char *name;
    int zoomType;
    QSize size;
};

TEST(PreviewGrabTest, WindowShowsSheetPageAndMargins)
{
    QTemporaryDir spool;
    ASSERT_TRUE(spool.isValid());
    QtPrinter printer(OutputTarget::pdfFolder(spool.path()));
    MemorySettingsStore store;
    FakeMessages messages;
    PrintContext context;
    context.settings = &store;
    context.messages = &messages;
    QtPreviewEnvironment environment(printer, context);
    // A printer with margins, so the corner marks have room.
    FakeMetrics metrics;
    metrics.value = {600, 600, 4960, 7016, 150, 120, 4660, 6736};

    const Shot shots[] = {{"whole_page", 3, {900, 760}}, {"actual_size", 1, {900, 760}}};
    for (const Shot &shot : shots) {
        OrderFormBill bill;
        bill.SetOffset({40, 30});
        store.writeInt(TFormPreview::kSettingsKey, TFormPreview::kZoomTypeValue, shot.zoomType);
        PreviewServices services = environment.Services();
        services.metrics = &metrics;
        QPointer<TFormPreview> window = ShowPreview(nullptr, bill, false, false, services);
        window->resize(shot.size);
        QCoreApplication::processEvents();

        const QImage image = window->grab().toImage();
        ASSERT_FALSE(image.isNull());
        const QString dir = qEnvironmentVariable("TALLY_PREVIEW_PNG_DIR");
        if (!dir.isEmpty())
            image.save(QDir(dir).filePath(
                QStringLiteral("preview_%1.png").arg(QString::fromLatin1(shot.name))));

        // The sheet is white where nothing is printed and dark where the
        // grid lies: look inside the surface only.
        QWidget *box = window->PaintBox();
        const QImage surface = box->grab().toImage();
        int dark = 0;
        int white = 0;
        for (int y = 0; y < surface.height(); y += 2) {
            for (int x = 0; x < surface.width(); x += 2) {
                const int g = qGray(surface.pixel(x, y));
                dark += g < 100;
                white += g > 245;
            }
        }
        EXPECT_GT(dark, 50) << shot.name;
        EXPECT_GT(white, dark) << shot.name;
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST(PreviewGrabTest, BillPreviewReturnsAtOnceAndReportsClosing)
{
    QTemporaryDir spool;
    ASSERT_TRUE(spool.isValid());
    QtPrinter printer(OutputTarget::pdfFolder(spool.path()));
    MemorySettingsStore store;
    PrintContext context;
    context.settings = &store;
    QtPreviewEnvironment environment(printer, context);
    int closed = 0;
    OrderFormBill bill;
    context.printer = &printer;
    context.showPreview = environment.Opener(nullptr, [&] { ++closed; });
    bill.SetPrintContext(context);

    bill.Preview(true, true);
    TFormPreview *window = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *p = qobject_cast<TFormPreview *>(w); p && p->isVisible())
            window = p;
    }
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isMaximized());
    EXPECT_EQ(window->CurrentPage(), 1);
    EXPECT_EQ(closed, 0);
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(store.readInt(TFormPreview::kSettingsKey, TFormPreview::kZoomTypeValue), 1);
}

void sendMouse(QWidget *target, QEvent::Type type, QPoint pos, Qt::MouseButton button,
               Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(pos), target->mapToGlobal(QPointF(pos)), button, held,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

TEST(PreviewGrabTest, DragGuideIsVisibleOverSheet)
{
    QTemporaryDir spool;
    ASSERT_TRUE(spool.isValid());
    QtPrinter printer(OutputTarget::pdfFolder(spool.path()));
    MemorySettingsStore store;
    PrintContext context;
    context.settings = &store;
    QtPreviewEnvironment environment(printer, context);
    FakeMetrics metrics; // printable area from (20, 30), scale 1
    PreviewServices services = environment.Services();
    services.metrics = &metrics;
    services.screenDpi = 96;
    OrderFormBill bill;
    bill.SetOffset({30, 40}); // left margin line at x 50
    QPointer<TFormPreview> window = ShowPreview(nullptr, bill, false, false, services);
    window->resize(900, 760);
    QCoreApplication::processEvents();

    QWidget *box = window->PaintBox();
    sendMouse(box, QEvent::MouseMove, {50, 600}, Qt::NoButton, Qt::NoButton);
    sendMouse(box, QEvent::MouseButtonPress, {50, 600}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(box, QEvent::MouseMove, {300, 600}, Qt::NoButton, Qt::LeftButton);
    const QImage surface = box->grab().toImage();
    const QString dir = qEnvironmentVariable("TALLY_PREVIEW_PNG_DIR");
    if (!dir.isEmpty())
        window->grab().save(QDir(dir).filePath(QStringLiteral("preview_drag.png")));

    // Below the last item row the sheet is white but for the guide's dots.
    int dark = 0;
    for (int y = 800; y < 900; ++y)
        dark += qGray(surface.pixel(300, y)) < 128;
    EXPECT_GT(dark, 10);
    EXPECT_LT(dark, 90);
    sendMouse(box, QEvent::MouseButtonRelease, {300, 600}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(bill.GetOffset().x, 280);
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace
} // namespace tally::printing::preview
