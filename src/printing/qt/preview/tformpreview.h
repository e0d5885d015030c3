#pragma once

#include "base/qt/containment.h"
#include "base/screenresolution.h"
#include "printing/qt/preview/previewgeometry.h"
#include "printing/qt/preview/previewservices.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <set>
#include <string>
#include <utility>

class QAction;
class QActionGroup;
class QLabel;
class QPushButton;
class QScrollArea;

namespace tally::printing {
class IPrintable;
}

namespace tally::printing::preview {

class ZoomSpinBox;

// The print preview: the whole sheet of the current printer at a chosen
// zoom with the bill's page on it, the printable area's corner marks and
// the bill's left and top margins as lines the user drags. Pages, zoom,
// paper, orientation and margins change the bill at once through
// IPrintable; the bill's output bracket (BeginPrint/EndPrint) stays open
// while the window lives, except around printing.
class TFormPreview : public ContainedWidget<QMainWindow>
{
    Q_OBJECT

public:
    // Settings key and value of the zoom mode shared by all bills.
    static constexpr const char *kSettingsKey = "SOFTWARE\\VAZ\\Bill\\Preview";
    static constexpr const char *kZoomTypeValue = "ZoomType";

    // Builds the window for the bill (not owned; it must outlive the window
    // or the window's parent). Use ShowPreview to open one.
    TFormPreview(IPrintable &printable, QWidget *ownerForm, const PreviewServices &services,
                 QWidget *parent = nullptr);
    ~TFormPreview() override;

    // State shown to the user, for callers and tests.
    int CurrentPage() const { return m_currentPage; }
    Point Margins() const { return {m_marginX, m_marginY}; }
    double Scale() const { return m_surface.scale; }
    ZoomMode CurrentZoomMode() const;
    const SheetGeometry &Sheet() const { return m_sheet; }
    const SurfaceGeometry &Surface() const { return m_surface; }
    QWidget *PaintBox() const { return m_paintBox; }

    // Zoom, margins, page setup pushed to the printer, the stored zoom mode,
    // BeginPrint and the measurement of the sheet. ShowPreview runs it
    // before the window appears; printer and bill errors propagate, with
    // the output bracket closed again.
    void FormShow();

signals:
    // The window has closed (or was destroyed unclosed with its parent);
    // emitted once. The window deletes itself afterwards.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool filterEvent(QObject *watched, QEvent *event);

private:
    void buildToolBar();
    void buildPanel(QWidget *central);
    void buildStatusBar();

    void FormClose();
    void UpdatePageMetrics();
    void UpdatePageCount();
    void GotoPage(int n);
    void ShowMargins();
    void ApplyZoomMode();
    void DrawDragGuide();
    void RepaintSurface();

    void btnFirstClick();
    void btnPrevClick();
    void btnNextClick();
    void btnLastClick();
    void SpinZoomChange();
    void btnPrintClick();
    void btnSetupClick();
    void btnSaveConfigClick();
    void btnFitClick();
    void PaintBoxPaint();
    void PaintBoxMouseDown(QMouseEvent *event);
    void PaintBoxMouseMove(QMouseEvent *event);
    void PaintBoxMouseUp(QMouseEvent *event);

    // Runs a user command; its errors are logged and shown in the print
    // layer's "提示" box instead of going through the event loop.
    void guarded(const char *what, const std::function<void()> &command);
    int marginFromPointer(QPoint pos) const;
    void setMarginFromPointer(QPoint pos);
    void notifyClosed();

    IPrintable &m_printable;
    QPointer<QWidget> m_ownerForm;
    PreviewServices m_services;

    QActionGroup *m_zoomGroup = nullptr;
    QAction *m_btnActual = nullptr;
    QAction *m_btnWidth = nullptr;
    QAction *m_btnWindow = nullptr;
    ZoomSpinBox *m_spinZoom = nullptr;
    QPushButton *m_btnFit = nullptr;
    QScrollArea *m_scrollBox = nullptr;
    QWidget *m_paintHost = nullptr;
    QWidget *m_paintBox = nullptr;
    QLabel *m_panels[4] = {};

    int m_currentPage = 0;
    int m_marginX = 0;
    int m_marginY = 0;
    SheetGeometry m_sheet;
    SurfaceGeometry m_surface;
    int m_screenDpiX = kDefaultScreenPpi;
    int m_screenDpiY = kDefaultScreenPpi;
    bool m_dragging = false;
    MarginLine m_cursorLine = MarginLine::None;
    MarginLine m_guideShown = MarginLine::None;
    int m_guideX = 0;
    int m_guideY = 0;
    bool m_printing = false; // the output bracket is open
    bool m_shown = false;    // FormShow has run
    bool m_spooling = false; // a print job is running
    bool m_closed = false;
    bool m_notified = false;
    // Page and text of each drawing failure already shown, so that closing
    // the box (which repaints the page) does not bring it back.
    std::set<std::pair<int, std::string>> m_paintFailures;
};

// Opens the preview of printable, the only way to open one. With ownerForm
// the preview takes the owner's place and size and hides it until the
// preview closes. maximized opens it over the whole screen. modal makes it
// window-modal: it blocks input to its owner form or services.modalParent
// (the document window that asked for it) and to nothing else, and the call
// returns at once either way; no event loop is run. The caller learns of
// the closing through onClosed (called once, after the window has ended
// the output bracket and saved its zoom mode) or the window's closed()
// signal. The returned window deletes itself when closed. Printer and bill
// errors while opening propagate, and then no window remains.
TFormPreview *ShowPreview(QWidget *ownerForm, IPrintable &printable, bool maximized, bool modal,
                          const PreviewServices &services, std::function<void()> onClosed = {});

} // namespace tally::printing::preview
