#include "service/requestjson.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace tally::service {

namespace {

using Json = nlohmann::json;

// The library's own DOM builder with a depth guard: returning false from a
// start event stops the parser at once.
class DepthLimitedBuilder : public nlohmann::detail::json_sax_dom_parser<Json>
{
public:
    using Base = nlohmann::detail::json_sax_dom_parser<Json>;

    explicit DepthLimitedBuilder(Json &result) : Base(result, false) {}

    bool start_object(std::size_t elements) { return enter() && Base::start_object(elements); }
    bool start_array(std::size_t elements) { return enter() && Base::start_array(elements); }
    bool end_object()
    {
        --m_depth;
        return Base::end_object();
    }
    bool end_array()
    {
        --m_depth;
        return Base::end_array();
    }
    bool parse_error(std::size_t position, const std::string &token,
                     const nlohmann::detail::exception &ex)
    {
        m_errorOffset = position;
        m_errorMessage = ex.what();
        return Base::parse_error(position, token, ex);
    }

    bool tooDeep() const { return m_tooDeep; }
    std::size_t errorOffset() const { return m_errorOffset; }
    const std::string &errorMessage() const { return m_errorMessage; }

private:
    bool enter()
    {
        if (++m_depth > kMaxJsonDepth) {
            m_tooDeep = true;
            return false;
        }
        return true;
    }

    std::size_t m_depth = 0;
    bool m_tooDeep = false;
    std::size_t m_errorOffset = 0;
    std::string m_errorMessage;
};

std::string memberText(const Json &object, const char *name)
{
    const auto it = object.find(name);
    if (it == object.end() || it->is_null())
        return {};
    if (it->is_string())
        return it->get<std::string>();
    return it->dump(-1, ' ', false, Json::error_handler_t::replace);
}

// Offset of the first byte that begins a nesting level beyond the limit; only
// used for the report, so a plain scan that knows strings is enough.
std::size_t depthFailureOffset(std::string_view text)
{
    std::size_t depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kMaxJsonDepth)
                return i;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return text.size();
}

} // namespace

RequestJson parseRequestJson(std::string_view text)
{
    RequestJson r;
    Json value;
    DepthLimitedBuilder builder(value);
    const bool parsed =
        Json::sax_parse(text.begin(), text.end(), &builder, nlohmann::json::input_format_t::json,
                        /*strict=*/false, /*ignore_comments=*/true);
    if (builder.tooDeep()) {
        r.status = RequestJson::Status::TooDeep;
        r.offset = depthFailureOffset(text);
        r.message = "nesting deeper than " + std::to_string(kMaxJsonDepth);
        return r;
    }
    if (!parsed || builder.is_errored()) {
        r.status = RequestJson::Status::SyntaxError;
        // The parser counts the offending byte (or the end) as read.
        r.offset = std::min(builder.errorOffset() > 0 ? builder.errorOffset() - 1 : 0, text.size());
        r.message = builder.errorMessage();
        return r;
    }
    if (!value.is_object()) {
        r.status = RequestJson::Status::NotAnObject;
        r.message = "value is not an object";
        return r;
    }
    r.memberCount = value.size();
    r.title = memberText(value, "title");
    r.prev = memberText(value, "prev");
    r.djlx = memberText(value, "djlx");
    r.mainData = memberText(value, "Maindata");
    r.itemData = memberText(value, "Itemdata");
    r.data = memberText(value, "data");
    return r;
}

} // namespace tally::service
