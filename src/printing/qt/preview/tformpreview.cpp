#include "printing/qt/preview/tformpreview.h"

#include "base/failuretext.h"

#include "printing/canvas.h"
#include "printing/iprintable.h"
#include "printing/printer.h"
#include "printing/printroutines.h"
#include "printing/qt/fontsubstitution.h"
#include "printing/qt/preview/previewicons.h"
#include "printing/qt/preview/previewpaint.h"
#include "printing/qt/preview/printermetricssource.h"
#include "printing/qt/preview/printersetup.h"
#include "printing/qt/preview/zoomspinbox.h"
#include "printing/qt/printinglog.h"
#include "printing/settingsstore.h"
#include "printing/usermessages.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cstdint>
#include <stdexcept>

namespace tally::printing::preview {

namespace {

constexpr int kUserDefinedPaper = 256;
constexpr int kButtonWidth = 55;
constexpr int kButtonHeight = 37;
constexpr int kIconSize = 18;
constexpr int kPanelHeight = 32;
constexpr int kScrollStep = 62;

QString pageText(int n)
{
    return QStringLiteral("第 %1 页").arg(n);
}

QString countText(int n)
{
    return QStringLiteral("共 %1 页").arg(n);
}

Color fromQColor(const QColor &c)
{
    return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
            static_cast<std::uint8_t>(c.blue())};
}

} // namespace

TFormPreview::TFormPreview(IPrintable &printable, QWidget *ownerForm,
                           const PreviewServices &services, QWidget *parent)
    : ContainedWidget<QMainWindow>(parent, Qt::Window), m_printable(printable),
      m_ownerForm(ownerForm), m_services(services)
{
    setObjectName(QStringLiteral("FormPreview"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("打印预览"));
    resize(650, 519);
    setFont(FontSubstitution::font("宋体", 12, 0));

    buildToolBar();
    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    buildPanel(central);

    m_scrollBox = new QScrollArea(central);
    m_scrollBox->setObjectName(QStringLiteral("ScrollBox"));
    m_scrollBox->setWidgetResizable(false);
    m_scrollBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_scrollBox->horizontalScrollBar()->setSingleStep(kScrollStep);
    m_scrollBox->installEventFilter(this);
    m_paintHost = new QWidget;
    m_paintHost->setObjectName(QStringLiteral("PaintHost"));
    m_paintBox = new QWidget(m_paintHost);
    m_paintBox->setObjectName(QStringLiteral("PaintBox"));
    m_paintBox->setMouseTracking(true);
    m_paintBox->setAttribute(Qt::WA_OpaquePaintEvent);
    m_paintBox->installEventFilter(this);
    m_scrollBox->setWidget(m_paintHost);
    column->addWidget(m_scrollBox, 1);
    setCentralWidget(central);

    buildStatusBar();

    // FormCreate. Qt widgets are double-buffered already.
    GotoPage(1);
}

TFormPreview::~TFormPreview()
{
    // Destroyed with a parent before closing: the bill may be gone already,
    // so only the caller is told.
    notifyClosed();
}

void TFormPreview::buildToolBar()
{
    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setIconSize(QSize(kIconSize, kIconSize));
    addToolBar(Qt::TopToolBarArea, bar);

    auto add = [&](const char *name, const QString &caption, int icon) {
        auto *action = new QAction(PreviewIcon(icon), caption, this);
        action->setObjectName(QString::fromLatin1(name));
        bar->addAction(action);
        if (QWidget *button = bar->widgetForAction(action)) {
            button->setObjectName(QString::fromLatin1(name) + QStringLiteral("Button"));
            button->setMinimumSize(kButtonWidth, kButtonHeight);
        }
        return action;
    };

    m_zoomGroup = new QActionGroup(this);
    m_zoomGroup->setExclusive(true);
    m_btnActual = add("btnActual", QStringLiteral("实际大小"), 0);
    m_btnWidth = add("btnWidth", QStringLiteral("适合宽度"), 1);
    m_btnWindow = add("btnWindow", QStringLiteral("适合窗口"), 2);
    for (QAction *toggle : {m_btnActual, m_btnWidth, m_btnWindow}) {
        toggle->setCheckable(true);
        m_zoomGroup->addAction(toggle);
    }
    m_btnActual->setChecked(true);
    // Only actual size is offered; the stored zoom mode can still pick the
    // other two.
    m_btnWidth->setVisible(false);
    m_btnWindow->setVisible(false);
    connect(m_zoomGroup, &QActionGroup::triggered, this,
            contained(this, [this] { ApplyZoomMode(); }));

    bar->addSeparator()->setObjectName(QStringLiteral("ToolButton4"));
    connect(add("btnFirst", QStringLiteral("首页"), 3), &QAction::triggered, this,
            contained(this, [this] { btnFirstClick(); }));
    connect(add("btnPrev", QStringLiteral("上页"), 4), &QAction::triggered, this,
            contained(this, [this] { btnPrevClick(); }));
    connect(add("btnNext", QStringLiteral("下页"), 5), &QAction::triggered, this,
            contained(this, [this] { btnNextClick(); }));
    connect(add("btnLast", QStringLiteral("末页"), 6), &QAction::triggered, this,
            contained(this, [this] { btnLastClick(); }));
    bar->addSeparator()->setObjectName(QStringLiteral("ToolButton9"));
    connect(add("btnPrint", QStringLiteral("打印"), 7), &QAction::triggered, this,
            &TFormPreview::btnPrintClick);
    connect(add("btnSetup", QStringLiteral("设置"), 8), &QAction::triggered, this,
            &TFormPreview::btnSetupClick);
    bar->addSeparator()->setObjectName(QStringLiteral("ToolButton12"));
    connect(add("BtnExit", QStringLiteral("退出"), 9), &QAction::triggered, this, &QWidget::close);
}

void TFormPreview::buildPanel(QWidget *central)
{
    auto *panel = new QFrame(central);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setFixedHeight(kPanelHeight);
    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(6, 2, 6, 2);

    auto *label = new QLabel(QStringLiteral("调整报表大小"), panel);
    label->setObjectName(QStringLiteral("Label1"));
    row->addWidget(label);

    m_spinZoom = new ZoomSpinBox(panel);
    m_spinZoom->setObjectName(QStringLiteral("SpinZoom"));
    m_spinZoom->setFixedWidth(42);
    m_spinZoom->setToolTip(QStringLiteral("调整表格大小"));
    row->addWidget(m_spinZoom);
    connect(m_spinZoom, &QSpinBox::textChanged, this,
            [this] { guarded("zoom", [this] { SpinZoomChange(); }); });

    auto *percent = new QLabel(QStringLiteral("%"), panel);
    percent->setObjectName(QStringLiteral("Label2"));
    row->addWidget(percent);

    m_btnFit = new QPushButton(QStringLiteral("自动调整"), panel);
    m_btnFit->setObjectName(QStringLiteral("btnFit"));
    m_btnFit->setVisible(false);
    row->addWidget(m_btnFit);
    connect(m_btnFit, &QPushButton::clicked, this, &TFormPreview::btnFitClick);

    auto *save = new QPushButton(QStringLiteral("保存设置"), panel);
    save->setObjectName(QStringLiteral("btnSaveConfig"));
    row->addWidget(save);
    connect(save, &QPushButton::clicked, this, &TFormPreview::btnSaveConfigClick);
    row->addStretch(1);

    central->layout()->addWidget(panel);
}

void TFormPreview::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(false);
    const struct
    {
        int width;
        Qt::Alignment align;
    } panels[4] = {{60, Qt::AlignCenter},
                   {60, Qt::AlignCenter},
                   {160, Qt::AlignLeft | Qt::AlignVCenter},
                   {200, Qt::AlignLeft | Qt::AlignVCenter}};
    for (int i = 0; i < 4; ++i) {
        auto *label = new QLabel(bar);
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        label->setFixedWidth(panels[i].width);
        label->setAlignment(panels[i].align);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        bar->addWidget(label);
        m_panels[i] = label;
    }
}

ZoomMode TFormPreview::CurrentZoomMode() const
{
    if (m_btnActual->isChecked())
        return ZoomMode::ActualSize;
    if (m_btnWidth->isChecked())
        return ZoomMode::PageWidth;
    return ZoomMode::WholePage;
}

void TFormPreview::FormShow()
{
    if (m_shown)
        return;
    // The field limits the stored zoom; the bill takes the limited value.
    // Pagination waits for the measurement below, inside the bracket.
    {
        const QSignalBlocker blocker(m_spinZoom);
        m_spinZoom->setValue(m_printable.GetZoomRatio());
    }
    m_printable.SetZoomRatio(m_spinZoom->value());
    const Point offset = m_printable.GetOffset();
    m_marginX = offset.x;
    m_marginY = offset.y;
    if (m_services.print.printer)
        ApplyPageSetup(m_printable, *m_services.print.printer);

    if (m_services.print.settings) {
        switch (
            ZoomModeFromStored(m_services.print.settings->readInt(kSettingsKey, kZoomTypeValue))) {
        case ZoomMode::ActualSize:
            m_btnActual->setChecked(true);
            break;
        case ZoomMode::PageWidth:
            m_btnWidth->setChecked(true);
            break;
        case ZoomMode::WholePage:
            m_btnWindow->setChecked(true);
            break;
        }
    }

    m_printable.BeginPrint();
    m_printing = true;
    try {
        UpdatePageMetrics();
    } catch (...) {
        m_printing = false;
        m_printable.EndPrint();
        throw;
    }
    ShowMargins();
    m_shown = true;
}

void TFormPreview::UpdatePageMetrics()
{
    PrinterMetrics metrics;
    if (m_services.metrics)
        metrics = m_services.metrics->metrics();
    else if (m_services.print.printer)
        metrics = m_services.print.printer->metrics();
    else
        throw std::runtime_error("no printer to measure");

    m_screenDpiX = m_services.screenDpi > 0 ? m_services.screenDpi : m_paintBox->logicalDpiX();
    m_screenDpiY = m_services.screenDpi > 0 ? m_services.screenDpi : m_paintBox->logicalDpiY();
    m_sheet = MeasureSheet(metrics, m_screenDpiX, m_screenDpiY);
    m_panels[2]->setText(
        QStringLiteral("纸张大小：%1x%2毫米").arg(m_sheet.paperWidthMM).arg(m_sheet.paperHeightMM));
    UpdatePageCount();
    ApplyZoomMode();
}

void TFormPreview::UpdatePageCount()
{
    m_printable.CalcPages();
    const int n = m_printable.GetPageCount();
    m_panels[1]->setText(countText(n));
    if (n < m_currentPage)
        GotoPage(n);
}

void TFormPreview::GotoPage(int n)
{
    if (n == m_currentPage)
        return;
    m_currentPage = n;
    m_panels[0]->setText(pageText(n));
}

void TFormPreview::ShowMargins()
{
    m_panels[3]->setText(QStringLiteral("左边距：%1毫米  上边距：%2毫米")
                             .arg(PixelsToMM(m_marginX, m_screenDpiX))
                             .arg(PixelsToMM(m_marginY, m_screenDpiY)));
}

void TFormPreview::ApplyZoomMode()
{
    m_scrollBox->horizontalScrollBar()->setValue(0);
    m_scrollBox->verticalScrollBar()->setValue(0);
    // The client area as if no scroll bar were shown.
    const QSize client = m_scrollBox->maximumViewportSize();
    m_surface = PlaceSurface(
        CurrentZoomMode(), client.width(), client.height(), m_sheet.sheetWidth, m_sheet.sheetHeight,
        style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_scrollBox));
    m_paintBox->setGeometry(m_surface.left, m_surface.top, m_surface.width, m_surface.height);
    // No margin after the surface: the scroll range ends with the sheet.
    m_paintHost->resize(m_surface.left + m_surface.width, m_surface.top + m_surface.height);
    update();
    RepaintSurface();
}

void TFormPreview::RepaintSurface()
{
    m_paintBox->update();
}

void TFormPreview::btnFirstClick()
{
    GotoPage(1);
    RepaintSurface();
}

void TFormPreview::btnPrevClick()
{
    if (m_currentPage >= 2)
        GotoPage(m_currentPage - 1);
    RepaintSurface();
}

void TFormPreview::btnNextClick()
{
    if (m_currentPage < m_printable.GetPageCount())
        GotoPage(m_currentPage + 1);
    RepaintSurface();
}

void TFormPreview::btnLastClick()
{
    GotoPage(m_printable.GetPageCount());
    RepaintSurface();
}

void TFormPreview::SpinZoomChange()
{
    m_printable.SetZoomRatio(ZoomFromText(m_spinZoom->text().toStdString()));
    UpdatePageCount();
    RepaintSurface();
}

void TFormPreview::btnPrintClick()
{
    guarded("print", [this] {
        // The print job brackets the bill itself; the preview's bracket is
        // reopened whatever the job did.
        m_printable.EndPrint();
        m_printing = false;
        struct Reopen
        {
            TFormPreview *self;
            ~Reopen()
            {
                self->m_printable.BeginPrint();
                self->m_printing = true;
            }
        } reopen{this};
        // Pages are spooled with events running; the window stays until the
        // job is done so its bracket can be reopened.
        const QScopedValueRollback<bool> busy(m_spooling, true);
        PrintReport(m_printable, m_services.print, true);
    });
}

void TFormPreview::btnSetupClick()
{
    if (!m_services.setup)
        return;
    guarded("printer setup", [this] {
        const std::optional<PrinterPageSetup> chosen = m_services.setup->execute(this);
        if (!chosen)
            return;
        m_printable.SetPaperSize(static_cast<std::int16_t>(chosen->paperCode));
        if (m_printable.GetPaperSize() == kUserDefinedPaper) {
            m_printable.SetPaperLength(chosen->paperLength);
            m_printable.SetPaperWidth(chosen->paperWidth);
        } else {
            m_printable.SetPaperLength(0);
            m_printable.SetPaperWidth(0);
        }
        if (chosen->orientation != m_printable.GetPrintOrient())
            m_printable.SetPrintOrient(chosen->orientation);
        UpdatePageMetrics();
    });
}

void TFormPreview::btnSaveConfigClick()
{
    guarded("save settings", [this] { m_printable.SaveSettings(); });
}

void TFormPreview::btnFitClick()
{
    guarded("fit", [this] {
        m_printable.SetOffset({0, 0});
        m_printable.CalcPages();
        const int pageWidth = m_printable.GetPageWidth();
        const int pageHeight = m_printable.GetPageHeight();
        const std::optional<int> zoom = FitZoom(m_sheet, pageWidth, pageHeight);
        if (zoom)
            m_spinZoom->setValue(*zoom);
        const Point margins = FitMargins(m_sheet, pageWidth, pageHeight, m_spinZoom->value());
        m_marginX = margins.x;
        m_marginY = margins.y;
        ShowMargins();
        m_printable.SetOffset(margins);
        UpdatePageCount();
        RepaintSurface();
    });
}

void TFormPreview::PaintBoxPaint()
{
    SheetPaintState state;
    state.surfaceWidth = m_paintBox->width();
    state.surfaceHeight = m_paintBox->height();
    state.scale = m_surface.scale;
    state.sheet = m_sheet;
    // While dragging, the lines stay where the bill has them and the guide
    // follows the pointer.
    const Point lines = m_dragging ? m_printable.GetOffset() : Point{m_marginX, m_marginY};
    state.marginX = lines.x;
    state.marginY = lines.y;
    state.page = m_currentPage;
    state.marginColor = fromQColor(palette().color(QPalette::Highlight));
    state.guide = m_guideShown;
    state.guideX = m_guideX;
    state.guideY = m_guideY;

    QPainter painter(m_paintBox);
    if (!m_services.makeCanvas) {
        painter.fillRect(m_paintBox->rect(), Qt::white);
        return;
    }
    const std::unique_ptr<Canvas> canvas = m_services.makeCanvas(painter);
    try {
        PaintPreviewSheet(*canvas, m_printable, state);
    } catch (const std::exception &e) {
        // The sheet stays as far as it got and the window stays open.
        qCWarning(lcPreview) << "page" << m_currentPage << "not drawn:" << e.what();
        Containment::report(this, e.what(), std::to_string(m_currentPage) + '\n' + e.what());
    }
}

void TFormPreview::PaintBoxMouseMove(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (!m_dragging) {
        m_cursorLine =
            MarginLineAt(pos.x(), pos.y(), m_marginX, m_marginY, m_sheet, m_surface.scale);
        switch (m_cursorLine) {
        case MarginLine::Left:
            m_paintBox->setCursor(Qt::SizeHorCursor);
            break;
        case MarginLine::Top:
            m_paintBox->setCursor(Qt::SizeVerCursor);
            break;
        case MarginLine::None:
            m_paintBox->unsetCursor();
            break;
        }
        return;
    }
    DrawDragGuide();
    m_guideX = pos.x();
    m_guideY = pos.y();
    setMarginFromPointer(pos);
    DrawDragGuide();
    ShowMargins();
}

void TFormPreview::PaintBoxMouseDown(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_cursorLine == MarginLine::None)
        return;
    m_dragging = true;
    const QPoint pos = event->position().toPoint();
    m_guideX = pos.x();
    m_guideY = pos.y();
    DrawDragGuide();
}

void TFormPreview::PaintBoxMouseUp(QMouseEvent *event)
{
    if (!m_dragging)
        return;
    DrawDragGuide();
    setMarginFromPointer(event->position().toPoint());
    m_marginX = ClampMarginX(m_marginX, m_sheet);
    m_marginY = ClampMarginY(m_marginY, m_sheet);
    ShowMargins();
    m_dragging = false;
    m_printable.SetOffset({m_marginX, m_marginY});
    guarded("pagination", [this] { UpdatePageCount(); });
    RepaintSurface();
}

void TFormPreview::setMarginFromPointer(QPoint pos)
{
    if (m_cursorLine == MarginLine::Left)
        m_marginX = MarginFromPointer(pos.x(), m_sheet.printLeft, m_surface.scale);
    else
        m_marginY = MarginFromPointer(pos.y(), m_sheet.printTop, m_surface.scale);
}

void TFormPreview::DrawDragGuide()
{
    // Widgets paint only inside paint events, so the guide is a state the
    // surface shows or hides on its next paint instead of an XOR stroke.
    m_guideShown = m_guideShown == MarginLine::None ? m_cursorLine : MarginLine::None;
    RepaintSurface();
    ShowMargins();
}

void TFormPreview::closeEvent(QCloseEvent *event)
{
    if (m_spooling) {
        event->ignore();
        return;
    }
    if (!m_closed)
        FormClose();
    event->accept();
}

void TFormPreview::FormClose()
{
    m_closed = true;
    if (m_printing) {
        m_printing = false;
        try {
            m_printable.EndPrint();
        } catch (const std::exception &e) {
            qCWarning(lcPreview) << "closing the bill's output failed:" << e.what();
        }
    }
    if (m_ownerForm) {
        m_ownerForm->setGeometry(geometry());
        m_ownerForm->show();
    }
    if (m_services.print.settings) {
        const int zoomType = static_cast<int>(CurrentZoomMode());
        try {
            m_services.print.settings->writeInt(kSettingsKey, kZoomTypeValue, zoomType);
            m_services.print.settings->flush();
        } catch (const std::exception &e) {
            qCWarning(lcPreview) << "zoom mode not saved:" << e.what();
        }
    }
    notifyClosed();
}

void TFormPreview::notifyClosed()
{
    if (m_notified)
        return;
    m_notified = true;
    emit closed();
}

bool TFormPreview::eventFilter(QObject *watched, QEvent *event)
{
    bool handled = true;
    Containment::run(this, [&] { handled = filterEvent(watched, event); });
    return handled;
}

bool TFormPreview::filterEvent(QObject *watched, QEvent *event)
{
    if (watched == m_paintBox) {
        switch (event->type()) {
        case QEvent::Paint:
            PaintBoxPaint();
            return true;
        case QEvent::MouseMove:
            PaintBoxMouseMove(static_cast<QMouseEvent *>(event));
            return true;
        case QEvent::MouseButtonPress:
            PaintBoxMouseDown(static_cast<QMouseEvent *>(event));
            return true;
        case QEvent::MouseButtonRelease:
            PaintBoxMouseUp(static_cast<QMouseEvent *>(event));
            return true;
        default:
            break;
        }
    } else if (watched == m_scrollBox && event->type() == QEvent::Resize && m_shown) {
        // FormResize: the scrolling area follows the window.
        ApplyZoomMode();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFormPreview::guarded(const char *what, const std::function<void()> &command)
{
    try {
        command();
    } catch (...) {
        const std::string text = currentFailureText();
        qCWarning(lcPreview) << what << "failed:" << text.c_str();
        Containment::log(this, text);
        if (m_services.print.messages)
            m_services.print.messages->information("提示", text);
    }
}

TFormPreview *ShowPreview(QWidget *ownerForm, IPrintable &printable, bool maximized, bool modal,
                          const PreviewServices &services, std::function<void()> onClosed)
{
    QWidget *parent = ownerForm ? ownerForm : services.modalParent;
    auto *window = new TFormPreview(printable, ownerForm, services, parent);
    if (onClosed)
        QObject::connect(window, &TFormPreview::closed, window, std::move(onClosed));
    if (ownerForm) {
        window->setGeometry(ownerForm->geometry());
        ownerForm->hide();
    }
    try {
        window->FormShow();
    } catch (...) {
        if (ownerForm)
            ownerForm->show();
        // Unopened: nobody waits for a close.
        QObject::disconnect(window, &TFormPreview::closed, nullptr, nullptr);
        delete window;
        throw;
    }
    if (modal)
        window->setWindowModality(Qt::WindowModal);
    if (maximized)
        window->showMaximized();
    else
        window->show();
    return window;
}

} // namespace tally::printing::preview
