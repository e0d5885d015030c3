#pragma once

#include "service/requestjson.h"

#include <string>

namespace tally::tool {

// Reads a print request from a file holding either the body as a web page
// posts it (URL-encoded) or the plain JSON text, and decodes it as the
// service does. Throws std::runtime_error naming what failed.
service::RequestJson readRequestFile(const std::string &path);

// What a generic-list command reads: the packet and title of a list request
// (djlx "0", its `data` and `title`), or a bare packet file (a file whose
// text starts with '<', after a byte order mark and blanks) without title.
struct ListInput
{
    std::string packet;
    std::string title;
};

// Reads a list request or a bare packet. Throws std::runtime_error naming
// what failed, a request of another document type included.
ListInput readListInput(const std::string &path);

} // namespace tally::tool
