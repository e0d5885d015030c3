#include "service/requesttext.h"

#include "base/asciitext.h"
#include "base/textcodec.h"

namespace tally::service {

namespace {

UrlDecodeResult failure(UrlDecodeResult::Status status, std::size_t offset, const char *message)
{
    UrlDecodeResult r;
    r.status = status;
    r.offset = offset;
    r.message = message;
    return r;
}

} // namespace

UrlDecodeResult UrlDecode(std::string_view text)
{
    UrlDecodeResult result;
    result.bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            result.bytes.push_back(' ');
        } else if (c != '%') {
            result.bytes.push_back(c);
        } else if (i + 1 < text.size() && text[i + 1] == '%') {
            result.bytes.push_back('%');
            ++i;
        } else if (i + 2 >= text.size()) {
            return failure(UrlDecodeResult::Status::TruncatedEscape, i,
                           "escape cut off at the end");
        } else {
            const int hi = ascii::hexDigitValue(text[i + 1]);
            const int lo = ascii::hexDigitValue(text[i + 2]);
            if (hi < 0 || lo < 0)
                return failure(UrlDecodeResult::Status::BadEscape, i, "escape is not hexadecimal");
            result.bytes.push_back(static_cast<char>(hi * 16 + lo));
            i += 2;
        }
    }
    return result;
}

std::string DecodeUtf8(std::string_view bytes)
{
    if (text::isValidUtf8(bytes))
        return std::string(bytes);
    return text::sanitizeUtf8(bytes);
}

} // namespace tally::service
