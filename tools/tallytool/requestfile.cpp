#include "requestfile.h"

#include "service/requesttext.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tally::tool {

namespace {

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open file");
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace

service::RequestJson readRequestFile(const std::string &path)
{
    const std::string body = readFile(path);
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

ListInput readListInput(const std::string &path)
{
    std::string text = readFile(path);
    std::size_t first = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    first = text.find_first_not_of(" \t\r\n", first);
    if (first != std::string::npos && text[first] == '<')
        return {std::move(text), {}};
    service::RequestJson request = readRequestFile(path);
    if (request.djlx != "0")
        throw std::runtime_error("djlx \"" + request.djlx + "\" is not the generic list (\"0\")");
    return {std::move(request.data), std::move(request.title)};
}

} // namespace tally::tool
