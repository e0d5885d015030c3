#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace tally::activex {

// The automation types the control's members use. Enumerations travel as
// 32-bit integers, OLE_COLOR as an unsigned 32-bit value.
enum class ValueType
{
    Boolean,     // VARIANT_BOOL: -1 true, 0 false; any non-zero value reads true
    Int16,       // Cursor
    Int32,       // PixelsPerInch, VisibleDockClientCount
    Text,        // BSTR, UTF-8 inside the model
    OleColor,    // Color
    Font,        // an OLE font object outside, a FontDesc inside
    BorderStyle, // TxActiveFormBorderStyle
    PrintScale,  // TxPrintScale
    HelpType,    // TxHelpType
};

enum class Access
{
    Read,
    ReadWrite,
    ReadWriteRef, // also written by reference (propputref)
    Method,
};

struct Argument
{
    std::string_view name;
    ValueType type;
};

// One member of IActiveGridora: a property (read, or read and write) or a
// method with its arguments.
struct DispatchMember
{
    int dispId;
    std::string_view name;
    Access access;
    ValueType type; // the property's type; Text for methods (unused)
    bool hidden;
    std::span<const Argument> arguments; // methods only
};

// Dispatch ids the members share with the standard OLE properties.
inline constexpr int kDispIdCaption = -518;
inline constexpr int kDispIdBackColor = -501;
inline constexpr int kDispIdFont = -512;
inline constexpr int kDispIdEnabled = -514;

inline constexpr int kDispIdDoPrint = 18;
inline constexpr int kDispIdGetFcgPath = 19;
inline constexpr int kDispIdDoPrint1 = 20;

// Every member of IActiveGridora in interface order (after IDispatch's seven).
std::span<const DispatchMember> dispatchMembers();

// The member with the dispatch id, or nullptr.
const DispatchMember *findMember(int dispId);

// The events of IActiveGridoraEvents. Numbers are the dispatch ids.
enum class Event : int
{
    OnActivate = 1,
    OnClick = 2,
    OnCreate = 3,
    OnDblClick = 5,
    OnDestroy = 6,
    OnDeactivate = 7,
    OnKeyPress = 11,
    OnPaint = 16,
};

struct EventMember
{
    Event event;
    std::string_view name;
    std::span<const Argument> arguments; // OnKeyPress: Key, 16-bit, in and out
};

// Every event of IActiveGridoraEvents in interface order.
std::span<const EventMember> eventMembers();

// Boolean conversions of the automation interface.
constexpr std::int16_t toVariantBool(bool value)
{
    return value ? -1 : 0;
}
constexpr bool fromVariantBool(std::int16_t value)
{
    return value != 0;
}

} // namespace tally::activex
