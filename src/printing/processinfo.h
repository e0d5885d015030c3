#pragma once

#include <string>

namespace tally::printing {

// File name of the running executable without folder and extension
// ("tallyhost"); empty when the platform does not tell.
std::string ExecutableBaseName();

} // namespace tally::printing
