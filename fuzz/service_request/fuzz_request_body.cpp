// Feeds arbitrary bytes through the request body path: URL decoding, UTF-8
// decoding and the lenient JSON reader.
#include "service/requestjson.h"
#include "service/requesttext.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view body(reinterpret_cast<const char *>(data), size);
    const auto decoded = tally::service::UrlDecode(body);
    if (!decoded.ok()) {
        if (decoded.offset >= size || body[decoded.offset] != '%')
            std::abort();
        return 0;
    }
    if (decoded.bytes.size() > size)
        std::abort();
    const std::string text = tally::service::DecodeUtf8(decoded.bytes);
    const auto json = tally::service::parseRequestJson(text);
    if (!json.ok() && json.offset > text.size())
        std::abort();
    return 0;
}
