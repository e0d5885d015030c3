#include "requestfile.h"

#include "service/requesttext.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tally::tool {

service::RequestJson readRequestFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open file");
    const std::string body((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // A JSON object starts with "{"; a URL-encoded one with "%7B".
    const auto first = body.find_first_not_of(" \t\r\n");
    std::string text;
    if (first != std::string::npos && body[first] == '{') {
        text = body;
    } else {
        const service::UrlDecodeResult decoded = service::UrlDecode(body);
        if (!decoded.ok())
            throw std::runtime_error("URL decoding fails at offset " +
                                     std::to_string(decoded.offset) + ": " + decoded.message);
        text = service::DecodeUtf8(decoded.bytes);
    }
    service::RequestJson request = service::parseRequestJson(text);
    if (!request.ok())
        throw std::runtime_error("not a JSON object (offset " + std::to_string(request.offset) +
                                 "): " + request.message);
    return request;
}

} // namespace tally::tool
