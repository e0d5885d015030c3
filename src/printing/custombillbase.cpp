#include "printing/custombillbase.h"

#include "printing/canvas.h"
#include "printing/originshift.h"
#include "printing/printmath.h"
#include "printing/printroutines.h"
#include "printing/processinfo.h"
#include "printing/settingsstore.h"
#include "printing/usermessages.h"

#include <stdexcept>

namespace tally::printing {

namespace {

constexpr const char *kCaption = "提示";

} // namespace

void TCustomBillBase::DrawPage(Canvas &canvas, int pageIndex, double scale)
{
    const int ppi = ScreenPPI();
    const int dpiX = canvas.dpiX();
    const int dpiY = canvas.dpiY();
    const int dx = RoundHalfEven(MulDiv(dpiX, m_offset.x, ppi) * scale);
    const int dy = RoundHalfEven(scale * MulDiv(dpiY, m_offset.y, ppi));
    const DrawingFrame frame(dpiX, dpiY, scale * m_zoomRatio, ppi);
    OriginShift shift(canvas, dx, dy);
    RenderPage(canvas, frame, pageIndex);
}

void TCustomBillBase::PaintOnScreen(Canvas &canvas)
{
    const DrawingFrame frame(canvas.dpiX(), canvas.dpiY(), 100.0, ScreenPPI());
    OriginShift shift(canvas, 5, 5);
    RenderPage(canvas, frame, 1);
}

void TCustomBillBase::RenderPage(Canvas &, const DrawingFrame &, int) {}

std::string TCustomBillBase::GetSettingsKey() const
{
    const std::string exe =
        m_context.executableName.empty() ? ExecutableBaseName() : m_context.executableName;
    return exe + "-" + m_hostName + "-" + m_name;
}

void TCustomBillBase::LoadSettings()
{
    if (!m_context.settings)
        return;
    const SettingsStore &store = *m_context.settings;
    const std::string key = kSettingsRoot + GetSettingsKey();

    // Each value is applied as soon as it is read; the first gap ends the run.
    const auto dx = store.readInt(key, "DX");
    if (!dx)
        return;
    m_offset.x = *dx;
    const auto dy = store.readInt(key, "DY");
    if (!dy)
        return;
    m_offset.y = *dy;
    const auto zoom = store.readInt(key, "ZOOM");
    if (!zoom)
        return;
    // A zoom below 1 would break pagination; keep the current one.
    if (*zoom >= 1)
        m_zoomRatio = *zoom;
    const auto orient = store.readInt(key, "Orient");
    if (!orient)
        return;
    if (*orient == 0 || *orient == 1)
        m_printOrient = static_cast<PrinterOrientation>(*orient);
    const auto paperSize = store.readInt(key, "PaperSize");
    if (!paperSize)
        return;
    m_paperSize = *paperSize;
    const auto paperLength = store.readInt(key, "PaperLength");
    if (!paperLength)
        return;
    m_paperLength = *paperLength;
    const auto paperWidth = store.readInt(key, "PaperWidth");
    if (!paperWidth)
        return;
    m_paperWidth = *paperWidth;
}

void TCustomBillBase::SaveSettings()
{
    if (m_context.designTime) {
        if (m_context.messages)
            m_context.messages->information(kCaption, "设计时不保存打印设置!");
        return;
    }
    if (!m_context.settings)
        throw SettingsError("no settings store");
    SettingsStore &store = *m_context.settings;
    const std::string key = kSettingsRoot + GetSettingsKey();
    store.writeInt(key, "DX", m_offset.x);
    store.writeInt(key, "DY", m_offset.y);
    store.writeInt(key, "ZOOM", m_zoomRatio);
    store.writeInt(key, "Orient", static_cast<int>(m_printOrient));
    store.writeInt(key, "PaperSize", m_paperSize);
    store.writeInt(key, "PaperLength", m_paperLength);
    store.writeInt(key, "PaperWidth", m_paperWidth);
    store.flush();
    if (m_context.messages)
        m_context.messages->information(kCaption, "打印设置保存成功!");
}

void TCustomBillBase::AfterLoad()
{
    LoadSettings();
}

void TCustomBillBase::Print(bool showDialog)
{
    PrintReport(*this, m_context, showDialog);
}

void TCustomBillBase::Preview(bool maximized, bool modal)
{
    if (!m_context.showPreview)
        throw std::logic_error("no preview window available");
    m_context.showPreview(*this, maximized, modal);
}

} // namespace tally::printing
