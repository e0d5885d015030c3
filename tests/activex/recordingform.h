#pragma once

#include "activex/controlform.h"
#include "datapacket/datapackettable.h"

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace tally::test {

// A stand-in for the control's form: keeps its state in plain members and
// records what DoPrint1 did to it. Shared by the model tests and the form
// behind the cross-built control.
class RecordingForm : public activex::ControlForm
{
public:
    RecordingForm()
    {
        using activex::FormProperty;
        m_state[FormProperty::Visible] = false;
        m_state[FormProperty::AutoScroll] = false;
        m_state[FormProperty::AutoSize] = false;
        m_state[FormProperty::AxBorderStyle] = std::int32_t{0};
        m_state[FormProperty::Caption] = std::string("ActiveGridora");
        m_state[FormProperty::Color] = std::uint32_t{0x8000000F};
        m_state[FormProperty::Font] = activex::FontDesc{"MS Sans Serif"};
        m_state[FormProperty::KeyPreview] = false;
        m_state[FormProperty::PixelsPerInch] = std::int32_t{96};
        m_state[FormProperty::PrintScale] = std::int32_t{1};
        m_state[FormProperty::Scaled] = true;
        m_state[FormProperty::Active] = false;
        m_state[FormProperty::DropTarget] = false;
        m_state[FormProperty::HelpFile] = std::string();
        m_state[FormProperty::DoubleBuffered] = false;
        m_state[FormProperty::AlignDisabled] = false;
        m_state[FormProperty::VisibleDockClientCount] = std::int32_t{0};
        m_state[FormProperty::Enabled] = true;
        m_state[FormProperty::Cursor] = std::int32_t{0};
        m_state[FormProperty::HelpType] = std::int32_t{0};
        m_state[FormProperty::HelpKeyword] = std::string();
    }

    void setPreviewFlag(const std::string &flag) override { previewFlag = flag; }
    void setReportTitle(const std::string &title) override { reportTitle = title; }
    datapacket::DataPacketTable &table() override { return m_table; }
    void setGridColumnLayout(int width, activex::TitleAlignment alignment) override
    {
        columnWidth = width;
        columnAlignment = alignment;
    }
    void usePacket() override { packetUsed = true; }
    void showMessage(const std::string &text) override { messages.push_back(text); }

    activex::FormValue property(activex::FormProperty property) const override
    {
        if (failing)
            throw std::runtime_error("form gone");
        return m_state.at(property);
    }
    void setProperty(activex::FormProperty property, const activex::FormValue &value) override
    {
        if (failing)
            throw std::runtime_error("form gone");
        m_state[property] = value;
    }
    void attachEvents(activex::ControlEvents *events) override { m_events = events; }

    activex::ControlEvents *events() const { return m_events; }
    const datapacket::DataPacketTable &loadedTable() const { return m_table; }

    std::string previewFlag;
    std::string reportTitle = "abc";
    int columnWidth = 0;
    activex::TitleAlignment columnAlignment = activex::TitleAlignment::Left;
    bool packetUsed = false;
    std::vector<std::string> messages;
    bool failing = false;

private:
    std::map<activex::FormProperty, activex::FormValue> m_state;
    datapacket::DataPacketTable m_table;
    activex::ControlEvents *m_events = nullptr;
};

} // namespace tally::test
