#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tally::service {

// Outcome of UrlDecode: the decoded bytes, or where and why decoding failed.
struct UrlDecodeResult
{
    enum class Status
    {
        Ok,
        BadEscape,
        TruncatedEscape
    };

    Status status = Status::Ok;
    std::string bytes;      // the decoded bytes; empty on failure
    std::size_t offset = 0; // offset of the offending "%" on failure
    std::string message;    // short English description on failure

    bool ok() const { return status == Status::Ok; }
};

// Decodes a URL-encoded request body byte by byte: "%%" gives "%", "%XY" the
// byte with hexadecimal value XY, "+" a space, every other byte itself. Fails
// with BadEscape when XY is not hexadecimal and with TruncatedEscape when the
// body ends before the two characters after "%"; never reads past the input.
UrlDecodeResult UrlDecode(std::string_view text);

// Turns the decoded bytes into engine text (UTF-8): well-formed UTF-8 passes
// unchanged, every ill-formed sequence becomes U+FFFD, as the platform's UTF-8
// conversion does. Never fails; empty input gives empty text.
std::string DecodeUtf8(std::string_view bytes);

} // namespace tally::service
