// The product control's form window on Windows: the Qt list window in control
// mode, re-parented into the container's window. Built only with Qt for
// Windows (TALLY_GRIDORA_OCX); the cross build of the tests links a stand-in.
#include "activex/qt/tactivegridora.h"
#include "activex/win/formwindow.h"
#include "tabular/qt/tgridora.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>

#include <memory>

namespace tally::activex::win {

namespace {

// A control lives in a host that has no Qt application of its own: the
// first form makes one for the process, and the host's message loop drives
// it through the native windows.
void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "Gridora";
    static char *argv[] = {name, nullptr};
    static QApplication application(argc, argv);
}

class QtFormWindow : public FormWindow
{
public:
    QtFormWindow()
    {
        ensureApplication();
        m_form = std::make_unique<TActiveGridora>();
    }

    ControlForm &form() override { return *m_form; }

    HWND embed(HWND parent, const RECT &rect) override
    {
        QWidget &window = m_form->window();
        window.setWindowFlags(Qt::FramelessWindowHint);
        const auto hwnd = reinterpret_cast<HWND>(window.winId());
        ::SetWindowLongPtrW(hwnd, GWL_STYLE,
                            (::GetWindowLongPtrW(hwnd, GWL_STYLE) & ~WS_POPUP) | WS_CHILD);
        ::SetParent(hwnd, parent);
        setBounds(rect);
        window.show();
        return hwnd;
    }

    void setBounds(const RECT &rect) override
    {
        m_form->window().setGeometry(rect.left, rect.top, rect.right - rect.left,
                                     rect.bottom - rect.top);
    }

    void unembed() override
    {
        QWidget &window = m_form->window();
        window.hide();
        ::SetParent(reinterpret_cast<HWND>(window.winId()), nullptr);
    }

    void draw(HDC dc, const RECT &bounds) override
    {
        const QImage picture = m_form->window().grab().toImage();
        const HBITMAP bitmap = picture.toHBITMAP();
        const HDC source = ::CreateCompatibleDC(dc);
        const HGDIOBJ previous = ::SelectObject(source, bitmap);
        ::StretchBlt(dc, bounds.left, bounds.top, bounds.right - bounds.left,
                     bounds.bottom - bounds.top, source, 0, 0, picture.width(), picture.height(),
                     SRCCOPY);
        ::SelectObject(source, previous);
        ::DeleteDC(source);
        ::DeleteObject(bitmap);
    }

private:
    std::unique_ptr<TActiveGridora> m_form;
};

} // namespace

std::unique_ptr<FormWindow> createFormWindow()
{
    return std::make_unique<QtFormWindow>();
}

} // namespace tally::activex::win
