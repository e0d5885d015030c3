#pragma once

#include "activex/controlform.h"

#include <span>
#include <string>
#include <variant>

namespace tally::activex {

// A value crossing the automation interface: std::int16_t for booleans
// (-1/0) and Cursor, std::int32_t for 32-bit integers and enumerations,
// std::uint32_t for OLE_COLOR, UTF-8 text, a font; monostate for none.
using Value =
    std::variant<std::monostate, std::int16_t, std::int32_t, std::uint32_t, std::string, FontDesc>;

enum class CallStatus
{
    Ok,
    MemberNotFound, // no such dispatch id, or no such access (writing a read-only member)
    BadArguments,   // wrong count or type of arguments
    Failed,         // the member failed; error holds the text
};

struct CallResult
{
    CallStatus status = CallStatus::Ok;
    Value value;
    std::string error;
    bool ok() const { return status == CallStatus::Ok; }
};

// The container's event sink.
class EventSink
{
public:
    virtual ~EventSink() = default;
    // key is the in/out argument of OnKeyPress, nullptr for the other events.
    virtual void fire(Event event, std::int16_t *key) = 0;
};

// IActiveGridora on top of a form: members by dispatch id, as a container
// calls them. Nothing throws out of get, put and call.
class AutomationModel final : public ControlEvents
{
public:
    // Attaches itself to the form's events; the form must outlive the model.
    explicit AutomationModel(ControlForm &form);
    ~AutomationModel() override;
    AutomationModel(const AutomationModel &) = delete;
    AutomationModel &operator=(const AutomationModel &) = delete;

    // Reads a property.
    CallResult get(int dispId) const;
    // Writes a property (also by reference, for Font).
    CallResult put(int dispId, const Value &value);
    // Calls a method with its arguments in declaration order.
    CallResult call(int dispId, std::span<const Value> arguments);

    // The connected sink (not owned), or nullptr when none is connected.
    void setEventSink(EventSink *sink) { m_sink = sink; }
    EventSink *eventSink() const { return m_sink; }

    void raise(Event event) override;
    void raiseKeyPress(std::int16_t &key) override;

private:
    void doPrint1(const std::string &title, const std::string &data, const std::string &preview);

    ControlForm &m_form;
    EventSink *m_sink = nullptr;
};

// The packet text as DoPrint1 loads it: parsed as an XML document and written
// back with a version 1.0 declaration and no added blanks. Throws
// std::runtime_error with pugixml's description when it is not well-formed.
std::string normalizePacketXml(const std::string &text);

} // namespace tally::activex
