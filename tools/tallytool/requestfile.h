#pragma once

#include "service/requestjson.h"

#include <string>

namespace tally::tool {

// Reads a print request from a file holding either the body as a web page
// posts it (URL-encoded) or the plain JSON text, and decodes it as the
// service does. Throws std::runtime_error naming what failed.
service::RequestJson readRequestFile(const std::string &path);

} // namespace tally::tool
