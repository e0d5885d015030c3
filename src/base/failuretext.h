#pragma once

#include <string>

namespace tally {

// The text of the exception in flight, for a log line or a message box:
// what() of a standard exception, else "未知错误". Call only inside a catch
// block.
std::string currentFailureText();

} // namespace tally
