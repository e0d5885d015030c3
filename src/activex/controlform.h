#pragma once

#include "activex/dispatchtable.h"

#include <cstdint>
#include <string>
#include <variant>

namespace tally::datapacket {
class DataPacketTable;
}

namespace tally::activex {

// The font of the form as the OLE font object carries it.
struct FontDesc
{
    std::string name;            // UTF-8
    std::int64_t sizeCy = 80000; // points in units of 1/10000 (CURRENCY)
    std::int16_t weight = 400;
    std::int16_t charset = 1; // DEFAULT_CHARSET
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    bool operator==(const FontDesc &) const = default;
};

// The form state the automation members read and write.
enum class FormProperty
{
    Visible,
    AutoScroll,
    AutoSize,
    AxBorderStyle,
    Caption,
    Color,
    Font,
    KeyPreview,
    PixelsPerInch,
    PrintScale,
    Scaled,
    Active,
    DropTarget,
    HelpFile,
    DoubleBuffered,
    AlignDisabled,
    VisibleDockClientCount,
    Enabled,
    Cursor,
    HelpType,
    HelpKeyword,
};

// A form property's value: bool for the booleans, std::int32_t for the
// integers and the enumerations, std::uint32_t for the colour (OLE_COLOR),
// UTF-8 text, or a font.
using FormValue = std::variant<bool, std::int32_t, std::uint32_t, std::string, FontDesc>;

// What the form calls when something happens on it. Implemented by the
// automation model, which forwards to the container's sink while one is
// connected.
class ControlEvents
{
public:
    virtual ~ControlEvents() = default;
    virtual void raise(Event event) = 0;
    // A character key reached the form; the sink may replace it. The form
    // uses the low byte of what comes back.
    virtual void raiseKeyPress(std::int16_t &key) = 0;
};

enum class TitleAlignment
{
    Left,
    Centre,
    Right
};

// The control's form as the automation model sees it: the list window in
// control mode in the product, a stand-in in tests.
class ControlForm
{
public:
    virtual ~ControlForm() = default;

    // DoPrint1's steps. The preview flag and title are UTF-8.
    virtual void setPreviewFlag(const std::string &flag) = 0;
    virtual void setReportTitle(const std::string &title) = 0;
    virtual datapacket::DataPacketTable &table() = 0;
    // Every grid column of the loaded table gets the width (pixels) and title alignment.
    virtual void setGridColumnLayout(int width, TitleAlignment alignment) = 0;
    // The packet loaded: the export grid becomes the form's grid, the save
    // dialog starts in the current folder and the file name is the current
    // folder followed by "\temp.xls".
    virtual void usePacket() = 0;
    // A modal message box with the text (UTF-8).
    virtual void showMessage(const std::string &text) = 0;

    // Form state. Setters ignore values they cannot take; either may throw,
    // and the model turns that into a failure result.
    virtual FormValue property(FormProperty property) const = 0;
    virtual void setProperty(FormProperty property, const FormValue &value) = 0;

    // The model attaches itself after the form's creation step (so OnCreate is
    // never raised) and detaches (nullptr) before it goes. Not owned.
    virtual void attachEvents(ControlEvents *events) = 0;
};

} // namespace tally::activex
