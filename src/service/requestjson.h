#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tally::service {

// The members of a request's JSON object that the intake reads, each as text:
// a JSON string gives its value, null or a missing member the empty text, any
// other value its compact JSON text (so "djlx": 1 reads as "1").
struct RequestJson
{
    enum class Status
    {
        Ok,
        SyntaxError,
        NotAnObject,
        TooDeep
    };

    Status status = Status::Ok;
    std::size_t offset = 0; // offset of the offending byte (the text's size at its end)
    std::string message;    // parser message on failure

    std::size_t memberCount = 0; // distinct member names of the object
    std::string title;
    std::string prev;
    std::string djlx;
    std::string mainData; // member "Maindata"
    std::string itemData; // member "Itemdata"
    std::string data;     // member "data"

    bool ok() const { return status == Status::Ok; }
};

// Deepest nesting of arrays and objects a request may have; deeper input is
// refused before it is built, so a nesting bomb cannot exhaust the stack.
inline constexpr std::size_t kMaxJsonDepth = 512;

// Parses UTF-8 text leniently (comments and text after the value are allowed)
// and reads the members. Fails with SyntaxError, TooDeep or NotAnObject, with
// the offset where the parser stopped.
RequestJson parseRequestJson(std::string_view text);

} // namespace tally::service
