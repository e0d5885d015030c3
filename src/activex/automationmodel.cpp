#include "activex/automationmodel.h"

#include "base/failuretext.h"
#include "datapacket/datapackettable.h"

#include <pugixml.hpp>

#include <sstream>
#include <stdexcept>

namespace tally::activex {

namespace {

constexpr std::string_view kBadFormat = "格式不正确";
constexpr int kGridColumnWidth = 64;

// Properties come first in the member table, in FormProperty order.
FormProperty propertyOf(const DispatchMember &member)
{
    return static_cast<FormProperty>(&member - dispatchMembers().data());
}

Value toAutomation(ValueType type, const FormValue &value)
{
    switch (type) {
    case ValueType::Boolean:
        return toVariantBool(std::get<bool>(value));
    case ValueType::Int16:
        return static_cast<std::int16_t>(std::get<std::int32_t>(value));
    case ValueType::Int32:
    case ValueType::BorderStyle:
    case ValueType::PrintScale:
    case ValueType::HelpType:
        return std::get<std::int32_t>(value);
    case ValueType::OleColor:
        return std::get<std::uint32_t>(value);
    case ValueType::Text:
        return std::get<std::string>(value);
    case ValueType::Font:
        return std::get<FontDesc>(value);
    }
    throw std::logic_error("unknown value type");
}

// The form value for a written automation value; false when the types differ.
bool toForm(ValueType type, const Value &value, FormValue &out)
{
    switch (type) {
    case ValueType::Boolean:
        if (const auto *v = std::get_if<std::int16_t>(&value)) {
            out = fromVariantBool(*v);
            return true;
        }
        return false;
    case ValueType::Int16:
        if (const auto *v = std::get_if<std::int16_t>(&value)) {
            out = std::int32_t{*v};
            return true;
        }
        return false;
    case ValueType::Int32:
    case ValueType::BorderStyle:
    case ValueType::PrintScale:
    case ValueType::HelpType:
        if (const auto *v = std::get_if<std::int32_t>(&value)) {
            out = *v;
            return true;
        }
        return false;
    case ValueType::OleColor:
        if (const auto *v = std::get_if<std::uint32_t>(&value)) {
            out = *v;
            return true;
        }
        return false;
    case ValueType::Text:
        if (const auto *v = std::get_if<std::string>(&value)) {
            out = *v;
            return true;
        }
        return false;
    case ValueType::Font:
        if (const auto *v = std::get_if<FontDesc>(&value)) {
            out = *v;
            return true;
        }
        return false;
    }
    return false;
}

CallResult failure(CallStatus status, std::string text = {})
{
    CallResult r;
    r.status = status;
    r.error = std::move(text);
    return r;
}

bool allText(std::span<const Value> arguments, std::size_t count)
{
    if (arguments.size() != count)
        return false;
    for (const Value &a : arguments)
        if (!std::holds_alternative<std::string>(a))
            return false;
    return true;
}

} // namespace

std::string normalizePacketXml(const std::string &text)
{
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed =
        doc.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!parsed)
        throw std::runtime_error(parsed.description());
    std::ostringstream out;
    doc.save(out, "", pugi::format_raw, pugi::encoding_utf8);
    return out.str();
}

AutomationModel::AutomationModel(ControlForm &form) : m_form(form)
{
    m_form.attachEvents(this);
}

AutomationModel::~AutomationModel()
{
    m_form.attachEvents(nullptr);
}

CallResult AutomationModel::get(int dispId) const
{
    const DispatchMember *member = findMember(dispId);
    if (member == nullptr || member->access == Access::Method)
        return failure(CallStatus::MemberNotFound);
    try {
        CallResult r;
        r.value = toAutomation(member->type, m_form.property(propertyOf(*member)));
        return r;
    } catch (...) {
        // The automation boundary: nothing crosses it as an exception.
        return failure(CallStatus::Failed, currentFailureText());
    }
}

CallResult AutomationModel::put(int dispId, const Value &value)
{
    const DispatchMember *member = findMember(dispId);
    if (member == nullptr || member->access == Access::Method || member->access == Access::Read)
        return failure(CallStatus::MemberNotFound);
    FormValue formValue;
    if (!toForm(member->type, value, formValue))
        return failure(CallStatus::BadArguments);
    try {
        m_form.setProperty(propertyOf(*member), formValue);
        return {};
    } catch (...) {
        return failure(CallStatus::Failed, currentFailureText());
    }
}

CallResult AutomationModel::call(int dispId, std::span<const Value> arguments)
{
    const DispatchMember *member = findMember(dispId);
    if (member == nullptr || member->access != Access::Method)
        return failure(CallStatus::MemberNotFound);
    if (!allText(arguments, member->arguments.size()))
        return failure(CallStatus::BadArguments);
    try {
        if (dispId == kDispIdDoPrint1)
            doPrint1(std::get<std::string>(arguments[0]), std::get<std::string>(arguments[1]),
                     std::get<std::string>(arguments[2]));
        // DoPrint and GETFCGPATH are kept for pages that call them; they do nothing.
        return {};
    } catch (...) {
        return failure(CallStatus::Failed, currentFailureText());
    }
}

void AutomationModel::doPrint1(const std::string &title, const std::string &data,
                               const std::string &preview)
{
    m_form.setPreviewFlag(preview);
    m_form.setReportTitle(title);
    try {
        // Written back first, so blanks before the declaration do not reach the table.
        const std::string packet = normalizePacketXml(data);
        datapacket::DataPacketTable &table = m_form.table();
        table.close();
        table.loadPacket(packet);
        table.open();
        m_form.setGridColumnLayout(kGridColumnWidth, TitleAlignment::Centre);
    } catch (const std::exception &) {
        // Shown, not returned: the page's call succeeds whatever the packet.
        m_form.showMessage(std::string(kBadFormat));
        return;
    }
    m_form.usePacket();
}

void AutomationModel::raise(Event event)
{
    // The events are attached after the form's creation step: OnCreate never reaches a sink.
    if (m_sink != nullptr && event != Event::OnCreate && event != Event::OnKeyPress)
        m_sink->fire(event, nullptr);
}

void AutomationModel::raiseKeyPress(std::int16_t &key)
{
    if (m_sink != nullptr)
        m_sink->fire(Event::OnKeyPress, &key);
}

} // namespace tally::activex
