#include "activex/dispatchtable.h"

#include <algorithm>
#include <array>

namespace tally::activex {

namespace {

constexpr std::array<Argument, 2> kGetFcgPathArgs{
    {{"S1", ValueType::Text}, {"S2", ValueType::Text}}};
constexpr std::array<Argument, 3> kDoPrint1Args{
    {{"sTitle", ValueType::Text}, {"sData", ValueType::Text}, {"bPreview", ValueType::Text}}};
constexpr std::array<Argument, 1> kKeyPressArgs{{{"Key", ValueType::Int16}}};

using enum ValueType;
constexpr auto RW = Access::ReadWrite;
constexpr auto R = Access::Read;

constexpr std::array<DispatchMember, 24> kMembers{{
    {1, "Visible", RW, Boolean, true, {}},
    {2, "AutoScroll", RW, Boolean, false, {}},
    {3, "AutoSize", RW, Boolean, false, {}},
    {4, "AxBorderStyle", RW, BorderStyle, false, {}},
    {kDispIdCaption, "Caption", RW, Text, false, {}},
    {kDispIdBackColor, "Color", RW, OleColor, false, {}},
    {kDispIdFont, "Font", Access::ReadWriteRef, Font, false, {}},
    {5, "KeyPreview", RW, Boolean, false, {}},
    {6, "PixelsPerInch", RW, Int32, false, {}},
    {7, "PrintScale", RW, PrintScale, false, {}},
    {8, "Scaled", RW, Boolean, false, {}},
    {9, "Active", R, Boolean, true, {}},
    {10, "DropTarget", RW, Boolean, true, {}},
    {11, "HelpFile", RW, Text, true, {}},
    {12, "DoubleBuffered", RW, Boolean, true, {}},
    {13, "AlignDisabled", R, Boolean, true, {}},
    {14, "VisibleDockClientCount", R, Int32, true, {}},
    {kDispIdEnabled, "Enabled", RW, Boolean, true, {}},
    {15, "Cursor", RW, Int16, false, {}},
    {16, "HelpType", RW, HelpType, false, {}},
    {17, "HelpKeyword", RW, Text, false, {}},
    {kDispIdDoPrint, "DoPrint", Access::Method, Text, false, {}},
    {kDispIdGetFcgPath, "GETFCGPATH", Access::Method, Text, false, kGetFcgPathArgs},
    {kDispIdDoPrint1, "DoPrint1", Access::Method, Text, false, kDoPrint1Args},
}};

constexpr std::array<EventMember, 8> kEvents{{
    {Event::OnActivate, "OnActivate", {}},
    {Event::OnClick, "OnClick", {}},
    {Event::OnCreate, "OnCreate", {}},
    {Event::OnDblClick, "OnDblClick", {}},
    {Event::OnDestroy, "OnDestroy", {}},
    {Event::OnDeactivate, "OnDeactivate", {}},
    {Event::OnKeyPress, "OnKeyPress", kKeyPressArgs},
    {Event::OnPaint, "OnPaint", {}},
}};

} // namespace

std::span<const DispatchMember> dispatchMembers()
{
    return kMembers;
}

const DispatchMember *findMember(int dispId)
{
    const auto it = std::find_if(kMembers.begin(), kMembers.end(),
                                 [dispId](const DispatchMember &m) { return m.dispId == dispId; });
    return it == kMembers.end() ? nullptr : &*it;
}

std::span<const EventMember> eventMembers()
{
    return kEvents;
}

} // namespace tally::activex
