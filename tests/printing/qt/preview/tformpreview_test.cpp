#include "previewfakes.h"

#include "printing/printdialog.h"
#include "printing/qt/preview/tformpreview.h"
#include "support/memorysettingsstore.h"

#include <QAction>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

namespace tally::printing::preview {
namespace {

using namespace testing_fakes;

const testing::Environment *const kQt = testing::AddGlobalTestEnvironment(new QtEnvironment);

constexpr const char *kKey = TFormPreview::kSettingsKey;
constexpr const char *kZoomType = TFormPreview::kZoomTypeValue;

class CancellingDialog : public PrintDialog
{
public:
    explicit CancellingDialog(bool accept) : m_accept(accept) {}
    bool execute(PrintDialogOptions &) override { return m_accept; }

private:
    bool m_accept;
};

class PreviewWindowTest : public testing::Test
{
protected:
    ~PreviewWindowTest() override
    {
        if (window)
            window->close();
        flush();
    }

    PreviewServices services()
    {
        PreviewServices s;
        s.print.printer = &printer;
        s.print.settings = &store;
        s.print.messages = &messages;
        s.print.makePrintDialog = [this]() -> std::unique_ptr<PrintDialog> {
            if (!dialogAvailable)
                return nullptr;
            return std::make_unique<CancellingDialog>(dialogAccepts);
        };
        s.metrics = &metrics;
        s.setup = &setup;
        s.screenDpi = 96;
        s.makeCanvas = [](QPainter &) { return std::make_unique<RecordingCanvas>(96, 96); };
        return s;
    }

    void open(QWidget *owner = nullptr)
    {
        window = ShowPreview(owner, bill, false, true, services(), [this] { ++closedCalls; });
        flush();
    }

    static void flush()
    {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QString panel(int i) const
    {
        return window->findChild<QLabel *>(QStringLiteral("StatusPanel%1").arg(i))->text();
    }
    void click(const char *action) const
    {
        window->findChild<QAction *>(QString::fromLatin1(action))->trigger();
    }
    QSpinBox *spin() const { return window->findChild<QSpinBox *>(QStringLiteral("SpinZoom")); }
    void typeZoom(const QString &text) const { spin()->findChild<QLineEdit *>()->setText(text); }
    void leaveZoomField() const
    {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(spin(), &out);
    }

    void mouse(QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::NoButton) const
    {
        const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton
                                         : button == Qt::NoButton && type == QEvent::MouseMove
                                             ? Qt::MouseButtons(m_held)
                                             : Qt::MouseButtons(button);
        QMouseEvent event(type, QPointF(pos), window->PaintBox()->mapToGlobal(QPointF(pos)), button,
                          buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(window->PaintBox(), &event);
    }
    Qt::CursorShape cursorAt(QPoint pos) const
    {
        mouse(QEvent::MouseMove, pos);
        return window->PaintBox()->cursor().shape();
    }
    void drag(QPoint from, QPoint to)
    {
        mouse(QEvent::MouseMove, from);
        m_held = Qt::LeftButton;
        mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
        mouse(QEvent::MouseMove, to);
        m_held = Qt::NoButton;
        mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton);
    }

    FakePrintable bill;
    FakeMetrics metrics;
    FakePrinter printer;
    FakeSetup setup;
    FakeMessages messages;
    MemorySettingsStore store;
    bool dialogAvailable = true;
    bool dialogAccepts = false;
    QPointer<TFormPreview> window;
    int closedCalls = 0;

private:
    Qt::MouseButton m_held = Qt::NoButton;
};

TEST_F(PreviewWindowTest, LaysOutToolbarPanelAndStatusBar)
{
    open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("打印预览"));
    const struct
    {
        const char *name;
        const char *caption;
        bool visible;
    } buttons[] = {
        {"btnActual", "实际大小", true},  {"btnWidth", "适合宽度", false},
        {"btnWindow", "适合窗口", false}, {"btnFirst", "首页", true},
        {"btnPrev", "上页", true},        {"btnNext", "下页", true},
        {"btnLast", "末页", true},        {"btnPrint", "打印", true},
        {"btnSetup", "设置", true},       {"BtnExit", "退出", true},
    };
    const QList<QAction *> actions = window->findChild<QToolBar *>()->actions();
    int i = 0;
    for (QAction *action : actions) {
        if (action->isSeparator())
            continue;
        ASSERT_LT(i, 10);
        EXPECT_EQ(action->objectName(), QString::fromLatin1(buttons[i].name));
        EXPECT_EQ(action->text(), QString::fromUtf8(buttons[i].caption));
        EXPECT_EQ(action->isVisible(), buttons[i].visible) << buttons[i].name;
        EXPECT_FALSE(action->icon().isNull()) << buttons[i].name;
        ++i;
    }
    EXPECT_EQ(i, 10);
    EXPECT_TRUE(window->findChild<QAction *>(QStringLiteral("btnActual"))->isChecked());

    EXPECT_EQ(spin()->minimum(), 10);
    EXPECT_EQ(spin()->maximum(), 500);
    EXPECT_EQ(spin()->toolTip(), QStringLiteral("调整表格大小"));
    EXPECT_EQ(spin()->findChild<QLineEdit *>()->maxLength(), 3);
    EXPECT_FALSE(window->findChild<QPushButton *>(QStringLiteral("btnFit"))->isVisible());
    EXPECT_EQ(window->findChild<QPushButton *>(QStringLiteral("btnSaveConfig"))->text(),
              QStringLiteral("保存设置"));
    EXPECT_EQ(window->findChild<QLabel *>(QStringLiteral("Label1"))->text(),
              QStringLiteral("调整报表大小"));

    const int widths[] = {60, 60, 160, 200};
    for (int p = 0; p < 4; ++p)
        EXPECT_EQ(window->findChild<QLabel *>(QStringLiteral("StatusPanel%1").arg(p))->width(),
                  widths[p]);
    EXPECT_EQ(panel(0), QStringLiteral("第 1 页"));
    EXPECT_EQ(panel(1), QStringLiteral("共 3 页"));
    EXPECT_EQ(panel(2), QStringLiteral("纸张大小：210x297毫米"));
    EXPECT_EQ(panel(3), QStringLiteral("左边距：0毫米  上边距：0毫米"));
}

TEST_F(PreviewWindowTest, OpensWithoutBlockingAndReportsClosingOnce)
{
    QWidget owner;
    owner.setObjectName(QStringLiteral("TPrintDHD"));
    owner.setGeometry(40, 50, 700, 500);
    owner.show();
    open(&owner);
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(owner.isVisible());
    EXPECT_EQ(window->windowModality(), Qt::WindowModal);
    EXPECT_EQ(bill.log, (std::vector<std::string>{"BeginPrint", "CalcPages"}));

    // A second preview opens and closes on its own while the first stays.
    FakePrintable other;
    int otherClosed = 0;
    QPointer<TFormPreview> second =
        ShowPreview(nullptr, other, true, true, services(), [&] { ++otherClosed; });
    flush();
    second->close();
    flush();
    EXPECT_EQ(otherClosed, 1);
    EXPECT_FALSE(second);
    EXPECT_TRUE(window);
    EXPECT_EQ(closedCalls, 0);

    window->move(60, 70);
    click("BtnExit");
    flush();
    EXPECT_EQ(closedCalls, 1);
    EXPECT_FALSE(window);
    EXPECT_EQ(bill.log.back(), "EndPrint");
    EXPECT_TRUE(owner.isVisible());
    EXPECT_EQ(owner.pos(), QPoint(60, 70));
}

TEST_F(PreviewWindowTest, PushesPageSetupToPrinterBeforeMeasuring)
{
    bill.SetPaperSize(256);
    bill.SetPaperLength(1400);
    bill.SetPaperWidth(2400);
    bill.SetPrintOrient(PrinterOrientation::poLandscape);
    open();
    EXPECT_EQ(printer.log, (std::vector<std::string>{"paper 256", "extent 1400x2400", "orient 1"}));
    EXPECT_EQ(metrics.asked, 1);
}

TEST_F(PreviewWindowTest, FailedMeasurementClosesBracketAndLeavesNoWindow)
{
    metrics.fail = true;
    QWidget owner;
    owner.show();
    EXPECT_THROW(ShowPreview(&owner, bill, true, true, services(), [this] { ++closedCalls; }),
                 std::runtime_error);
    flush();
    EXPECT_EQ(bill.log, (std::vector<std::string>{"BeginPrint", "EndPrint"}));
    EXPECT_TRUE(owner.isVisible());
    EXPECT_EQ(closedCalls, 0);
    EXPECT_TRUE(owner.findChildren<TFormPreview *>().isEmpty());
}

TEST_F(PreviewWindowTest, NavigationThroughThreePages)
{
    open();
    const struct
    {
        const char *button;
        int page;
    } steps[] = {
        {"btnPrev", 1},  {"btnNext", 2}, {"btnNext", 3}, {"btnNext", 3},
        {"btnFirst", 1}, {"btnLast", 3}, {"btnPrev", 2},
    };
    for (const auto &s : steps) {
        click(s.button);
        EXPECT_EQ(window->CurrentPage(), s.page) << s.button;
        EXPECT_EQ(panel(0), QStringLiteral("第 %1 页").arg(s.page)) << s.button;
    }
    window->PaintBox()->repaint();
    EXPECT_EQ(bill.lastDraw.page, 2);
}

// A page that fails to draw is reported once per page and failure, without
// closing the preview; the other pages still draw.
TEST_F(PreviewWindowTest, PageThatFailsToDrawIsReportedOnceAndPreviewStays)
{
    bill.failDrawPage = 2;
    open();
    const auto boxes = [this] {
        flush();
        return window->findChildren<QMessageBox *>(QString::fromLatin1(Containment::kBoxName));
    };
    window->PaintBox()->repaint();
    EXPECT_TRUE(boxes().empty()) << "page 1 draws";

    click("btnNext");
    window->PaintBox()->repaint();
    auto shown = boxes();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.front()->text(), QStringLiteral("page cannot be drawn"));
    EXPECT_TRUE(window->isVisible());

    shown.front()->close(); // closing the box repaints the failing page
    window->PaintBox()->repaint();
    EXPECT_TRUE(boxes().empty());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(closedCalls, 0);
}

TEST_F(PreviewWindowTest, BillWithoutPagesShowsPageZero)
{
    bill.pagesAt100 = 0;
    open();
    EXPECT_EQ(panel(0), QStringLiteral("第 0 页"));
    EXPECT_EQ(panel(1), QStringLiteral("共 0 页"));
    click("btnNext");
    click("btnLast");
    EXPECT_EQ(window->CurrentPage(), 0);
    window->PaintBox()->repaint();
    EXPECT_EQ(bill.draws, 0);
}

TEST_F(PreviewWindowTest, LowerZoomMovesToNewLastPage)
{
    bill.pagesFollowZoom = true;
    bill.pagesAt100 = 4;
    open();
    click("btnLast");
    EXPECT_EQ(window->CurrentPage(), 4);
    typeZoom(QStringLiteral("50"));
    EXPECT_EQ(bill.GetZoomRatio(), 50);
    EXPECT_EQ(window->CurrentPage(), 2);
    EXPECT_EQ(panel(0), QStringLiteral("第 2 页"));
    EXPECT_EQ(panel(1), QStringLiteral("共 2 页"));
}

TEST_F(PreviewWindowTest, ZoomFieldTextRules)
{
    open();
    const struct
    {
        const char *typed;
        int applied;
        const char *afterFocusLoss;
    } cases[] = {
        {"5", 10, "10"}, {"250", 250, "250"}, {"0", 10, "10"},
        {"", 10, "10"},  {"999", 500, "500"}, {"75", 75, "75"},
    };
    for (const auto &c : cases) {
        typeZoom(QString::fromLatin1(c.typed));
        EXPECT_EQ(bill.GetZoomRatio(), c.applied) << '"' << c.typed << '"';
        leaveZoomField();
        EXPECT_EQ(spin()->text(), QString::fromLatin1(c.afterFocusLoss)) << '"' << c.typed << '"';
    }
}

TEST_F(PreviewWindowTest, StoredZoomAboveRangeShownAndAppliedAs500)
{
    bill.SetZoomRatio(600);
    open();
    EXPECT_EQ(spin()->text(), QStringLiteral("500"));
    EXPECT_EQ(bill.GetZoomRatio(), 500);
}

TEST_F(PreviewWindowTest, ZoomTypeReadAtOpeningAndSavedAtClosing)
{
    const struct
    {
        std::optional<int> stored;
        ZoomMode mode;
        int saved;
    } cases[] = {
        {std::nullopt, ZoomMode::ActualSize, 1},
        {1, ZoomMode::ActualSize, 1},
        {2, ZoomMode::PageWidth, 2},
        {3, ZoomMode::WholePage, 3},
        {0, ZoomMode::WholePage, 3},
        {4, ZoomMode::WholePage, 3},
    };
    for (const auto &c : cases) {
        store = MemorySettingsStore();
        if (c.stored)
            store.writeInt(kKey, kZoomType, *c.stored);
        open();
        EXPECT_EQ(window->CurrentZoomMode(), c.mode) << c.stored.value_or(-1);
        window->close();
        flush();
        EXPECT_EQ(store.readInt(kKey, kZoomType), c.saved) << c.stored.value_or(-1);
    }
}

TEST_F(PreviewWindowTest, UnreadableZoomTypeKeepsActualSize)
{
    store.setRaw(kKey, kZoomType, "wide");
    open();
    EXPECT_EQ(window->CurrentZoomMode(), ZoomMode::ActualSize);
}

TEST_F(PreviewWindowTest, SurfaceFollowsZoomModeAndWindowSize)
{
    store.writeInt(kKey, kZoomType, 3);
    open();
    auto *scroll = window->findChild<QScrollArea *>(QStringLiteral("ScrollBox"));
    for (QSize size : {QSize(650, 519), QSize(1000, 700), QSize(500, 900)}) {
        window->resize(size);
        flush();
        const QSize client = scroll->maximumViewportSize();
        const SurfaceGeometry expected =
            PlaceSurface(ZoomMode::WholePage, client.width(), client.height(), 794, 1123,
                         window->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll));
        EXPECT_EQ(window->Surface(), expected) << size.width() << "x" << size.height();
        EXPECT_EQ(window->PaintBox()->geometry(),
                  QRect(expected.left, expected.top, expected.width, expected.height));
        EXPECT_LE(expected.top + expected.height + 10, client.height());
    }
    click("btnActual");
    EXPECT_EQ(window->PaintBox()->size(), QSize(794, 1123));
    EXPECT_DOUBLE_EQ(window->Scale(), 1.0);
}

TEST_F(PreviewWindowTest, MarginsShownInMillimetresFromPrintableArea)
{
    bill.SetOffset({96, 96});
    open();
    EXPECT_EQ(panel(3), QStringLiteral("左边距：25毫米  上边距：25毫米"));
}

// Printable area at (20, 30) on the sheet at scale 1, margins (30, 40):
// the margin lines lie at x 50 and y 70.
class MarginDragTest : public PreviewWindowTest
{
protected:
    MarginDragTest() { bill.SetOffset({30, 40}); }
};

TEST_F(MarginDragTest, CursorZonesWithVerticalLinePriority)
{
    open();
    const struct
    {
        QPoint at;
        Qt::CursorShape cursor;
    } cases[] = {
        {{52, 300}, Qt::SizeHorCursor}, {{53, 300}, Qt::ArrowCursor},
        {{300, 68}, Qt::SizeVerCursor}, {{300, 73}, Qt::ArrowCursor},
        {{51, 71}, Qt::SizeHorCursor},  {{300, 300}, Qt::ArrowCursor},
    };
    for (const auto &c : cases)
        EXPECT_EQ(cursorAt(c.at), c.cursor) << c.at.x() << "," << c.at.y();
}

TEST_F(MarginDragTest, ReleaseIsClampedIntoPrintableArea)
{
    const struct
    {
        QPoint from, to;
        Point offset;
    } cases[] = {
        {{50, 300}, {5, 300}, {0, 40}},     // left of the printable area
        {{50, 300}, {900, 300}, {739, 40}}, // beyond its right edge: 759 - 20
        {{50, 300}, {120, 300}, {100, 40}},   {{300, 70}, {300, 10}, {30, 0}},
        {{300, 70}, {300, 1500}, {30, 1049}},
    };
    for (const auto &c : cases) {
        bill.SetOffset({30, 40});
        open();
        bill.log.clear();
        drag(c.from, c.to);
        EXPECT_EQ(bill.GetOffset(), c.offset) << c.to.x() << "," << c.to.y();
        EXPECT_EQ(window->Margins(), c.offset);
        EXPECT_EQ(bill.log, std::vector<std::string>{"CalcPages"});
        window->close();
        flush();
    }
}

TEST_F(MarginDragTest, DragChangesBillOnlyOnRelease)
{
    open();
    mouse(QEvent::MouseMove, {50, 300});
    mouse(QEvent::MouseButtonPress, {50, 300}, Qt::LeftButton);
    mouse(QEvent::MouseMove, {5, 300});
    EXPECT_EQ(window->Margins().x, -15); // not limited while dragging
    EXPECT_EQ(bill.GetOffset(), (Point{30, 40}));
    mouse(QEvent::MouseButtonRelease, {5, 300}, Qt::LeftButton);
    EXPECT_EQ(bill.GetOffset(), (Point{0, 40}));
}

TEST_F(MarginDragTest, PressAwayFromLinesStartsNoDrag)
{
    open();
    mouse(QEvent::MouseMove, {300, 300});
    mouse(QEvent::MouseButtonPress, {300, 300}, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, {400, 400}, Qt::LeftButton);
    EXPECT_EQ(bill.GetOffset(), (Point{30, 40}));
}

TEST_F(PreviewWindowTest, PrintClosesAndReopensBracket)
{
    const struct
    {
        bool dialog;
        bool accept;
        std::vector<std::string> billLog;
        std::size_t messages;
    } cases[] = {
        {true, false, {"EndPrint", "BeginPrint", "CalcPages", "EndPrint", "BeginPrint"}, 0},
        {true, true, {"EndPrint", "BeginPrint", "CalcPages", "EndPrint", "BeginPrint"}, 0},
        {false, false, {"EndPrint", "BeginPrint"}, 1},
    };
    for (const auto &c : cases) {
        dialogAvailable = c.dialog;
        dialogAccepts = c.accept;
        open();
        bill.log.clear();
        messages.shown.clear();
        printer.log.clear();
        click("btnPrint");
        EXPECT_EQ(bill.log, c.billLog);
        EXPECT_EQ(messages.shown.size(), c.messages);
        const bool printed =
            std::find(printer.log.begin(), printer.log.end(), "endDoc") != printer.log.end();
        EXPECT_EQ(printed, c.accept);
        window->close();
        flush();
    }
}

TEST_F(PreviewWindowTest, CloseDuringPrintJobWaitsForJob)
{
    dialogAccepts = true;
    PreviewServices s = services();
    bool tried = false;
    s.print.processEvents = [&] {
        tried = true;
        window->close();
    };
    window = ShowPreview(nullptr, bill, false, true, s, [this] { ++closedCalls; });
    flush();
    bill.log.clear();
    click("btnPrint");
    EXPECT_TRUE(tried);
    flush();
    ASSERT_TRUE(window);
    EXPECT_EQ(closedCalls, 0);
    EXPECT_EQ(bill.log.back(), "BeginPrint");
    window->close();
    flush();
    EXPECT_EQ(closedCalls, 1);
    EXPECT_EQ(bill.log.back(), "EndPrint");
}

TEST_F(PreviewWindowTest, PrinterSetupReadsPaperAndOrientationBack)
{
    const struct
    {
        std::optional<PrinterPageSetup> answer;
        int paper, length, width;
        PrinterOrientation orient;
    } cases[] = {
        {std::nullopt, 9, 11, 12, PrinterOrientation::poPortrait},
        {PrinterPageSetup{256, 2970, 2100, PrinterOrientation::poLandscape}, 256, 2970, 2100,
         PrinterOrientation::poLandscape},
        {PrinterPageSetup{9, 2970, 2100, PrinterOrientation::poPortrait}, 9, 0, 0,
         PrinterOrientation::poPortrait},
        {PrinterPageSetup{0xFFFF, 1, 2, PrinterOrientation::poPortrait}, -1, 0, 0,
         PrinterOrientation::poPortrait},
    };
    for (const auto &c : cases) {
        bill.SetPaperSize(9);
        bill.SetPaperLength(11);
        bill.SetPaperWidth(12);
        bill.SetPrintOrient(PrinterOrientation::poPortrait);
        open();
        const int asked = metrics.asked;
        setup.answer = c.answer;
        metrics.value.paperWidth = 1123; // the dialog turned the sheet
        metrics.value.paperHeight = 794;
        click("btnSetup");
        EXPECT_EQ(bill.GetPaperSize(), c.paper);
        EXPECT_EQ(bill.GetPaperLength(), c.length);
        EXPECT_EQ(bill.GetPaperWidth(), c.width);
        EXPECT_EQ(bill.GetPrintOrient(), c.orient);
        EXPECT_EQ(metrics.asked, asked + (c.answer ? 1 : 0));
        if (c.answer) {
            EXPECT_EQ(panel(2), QStringLiteral("纸张大小：297x210毫米"));
        }
        window->close();
        flush();
        metrics.value = FakeMetrics().value;
    }
}

TEST_F(PreviewWindowTest, SaveButtonSavesBillSettings)
{
    open();
    window->findChild<QPushButton *>(QStringLiteral("btnSaveConfig"))->click();
    EXPECT_EQ(bill.log.back(), "SaveSettings");
}

TEST_F(PreviewWindowTest, FitCentresPageInPrintableArea)
{
    // Printable area 739 × 1049; a 700 × 1000 page fits at 105 percent.
    open();
    window->findChild<QPushButton *>(QStringLiteral("btnFit"))->click();
    EXPECT_EQ(spin()->value(), 105);
    EXPECT_EQ(bill.GetZoomRatio(), 105);
    EXPECT_EQ(bill.GetOffset(), (Point{2, 0}));
    EXPECT_EQ(window->Margins(), (Point{2, 0}));
}

} // namespace
} // namespace tally::printing::preview
