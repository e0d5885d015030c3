#pragma once

#include "activex/controlform.h"

#include <map>
#include <memory>

class QObject;
class QWidget;

namespace tally::tabular {
class TGridora;
}

namespace tally::activex {

// The control's form: the list window in control mode behind the
// automation model. The form-state members map to the window where Qt has
// the state (visibility, caption, colour, font, enabled, active) and are
// kept as values otherwise; the window's clicks, activation, painting and
// key presses are raised as events while the model is attached.
class TActiveGridora : public ControlForm
{
public:
    explicit TActiveGridora(QWidget *parent = nullptr);
    ~TActiveGridora() override;
    TActiveGridora(const TActiveGridora &) = delete;
    TActiveGridora &operator=(const TActiveGridora &) = delete;

    // The window (owned), for the host that embeds it.
    tabular::TGridora &window() const { return *m_window; }

    void setPreviewFlag(const std::string &flag) override;
    void setReportTitle(const std::string &title) override;
    datapacket::DataPacketTable &table() override;
    void setGridColumnLayout(int width, TitleAlignment alignment) override;
    void usePacket() override;
    void showMessage(const std::string &text) override;
    FormValue property(FormProperty property) const override;
    void setProperty(FormProperty property, const FormValue &value) override;
    void attachEvents(ControlEvents *events) override;

private:
    class EventRelay;

    std::unique_ptr<tabular::TGridora> m_window;
    std::unique_ptr<EventRelay> m_relay;
    std::map<FormProperty, FormValue> m_values; // the state Qt does not hold
    std::uint32_t m_color = 0x8000000F;         // clBtnFace, a system colour
};

} // namespace tally::activex
