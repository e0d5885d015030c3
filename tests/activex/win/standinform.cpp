// The form behind the cross-built test control: the recording stand-in of the
// model tests with a plain Win32 window. A character typed into the window is
// raised as OnKeyPress and the window shows the character that came back, so
// a test client can see what the sink did. Reading the hidden HelpFile gives
// what DoPrint1 did to the form ("rows=2 messages=0 preview=1 title=..."),
// so a script can see it too. Writing a PixelsPerInch below 1 throws, so a
// script can see how a failing member reaches it.
#include "activex/win/formwindow.h"
#include "recordingform.h"

namespace tally::activex::win {

namespace {

constexpr const wchar_t *kWindowClass = L"GridoraStandInForm";

class ProbedForm final : public test::RecordingForm
{
public:
    FormValue property(FormProperty property) const override
    {
        if (property != FormProperty::HelpFile)
            return RecordingForm::property(property);
        const datapacket::DataPacketTable &t = loadedTable();
        return "rows=" + std::to_string(t.isActive() ? t.recordCount() : 0) +
               " messages=" + std::to_string(messages.size()) + " preview=" + previewFlag +
               " title=" + reportTitle;
    }

    void setProperty(FormProperty property, const FormValue &value) override
    {
        if (property == FormProperty::PixelsPerInch && std::get<std::int32_t>(value) < 1)
            throw std::runtime_error("bad resolution");
        RecordingForm::setProperty(property, value);
    }
};

class StandInForm final : public FormWindow
{
public:
    ControlForm &form() override { return m_form; }

    HWND embed(HWND parent, const RECT &rect) override
    {
        registerClass();
        m_window =
            CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                            rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                            parent, nullptr, GetModuleHandleW(nullptr), this);
        if (m_window != nullptr)
            m_form.setProperty(FormProperty::Visible, true);
        return m_window;
    }

    void setBounds(const RECT &rect) override
    {
        MoveWindow(m_window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   TRUE);
    }

    void unembed() override
    {
        if (m_window != nullptr)
            DestroyWindow(m_window);
        m_window = nullptr;
        m_form.setProperty(FormProperty::Visible, false);
    }

    void draw(HDC dc, const RECT &bounds) override
    {
        RECT r = bounds;
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        DrawTextW(dc, L"ActiveGridora", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }

    ~StandInForm() override { unembed(); }

private:
    static void registerClass()
    {
        WNDCLASSW wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &StandInForm::windowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kWindowClass;
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        RegisterClassW(&wc); // fails harmlessly once registered
    }

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
    {
        if (msg == WM_NCCREATE) {
            const auto *cs = reinterpret_cast<CREATESTRUCTW *>(lp);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        }
        auto *self = reinterpret_cast<StandInForm *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        ControlEvents *events = self != nullptr ? self->m_form.events() : nullptr;
        if (events != nullptr) {
            switch (msg) {
            case WM_CHAR: {
                auto key = static_cast<std::int16_t>(wp);
                events->raiseKeyPress(key);
                const wchar_t shown[2] = {static_cast<wchar_t>(key & 0xFF), 0};
                SetWindowTextW(hwnd, shown);
                return 0;
            }
            case WM_LBUTTONDOWN:
                events->raise(Event::OnClick);
                break;
            case WM_LBUTTONDBLCLK:
                events->raise(Event::OnDblClick);
                break;
            case WM_SETFOCUS:
                events->raise(Event::OnActivate);
                break;
            case WM_KILLFOCUS:
                events->raise(Event::OnDeactivate);
                break;
            case WM_PAINT: {
                PAINTSTRUCT ps;
                BeginPaint(hwnd, &ps);
                EndPaint(hwnd, &ps);
                events->raise(Event::OnPaint);
                return 0;
            }
            default:
                break;
            }
        }
        return DefWindowProcW(hwnd, msg, wp, lp);
    }

    ProbedForm m_form;
    HWND m_window = nullptr;
};

} // namespace

std::unique_ptr<FormWindow> createFormWindow()
{
    return std::make_unique<StandInForm>();
}

} // namespace tally::activex::win
