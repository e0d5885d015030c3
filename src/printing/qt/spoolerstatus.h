#pragma once

#include <string>

namespace tally::printing {

// Why the system's print spooler refused the job this thread handed it last,
// or an empty string when it took the job (or the platform keeps no such
// answer). Qt hands a finished job to CUPS inside QPainter::end() and drops
// the answer, so a printer that went away reports success there; call this
// right after ending a job on the system printer, before any other spooler
// call on the same thread.
std::string LastSpoolerRefusal();

} // namespace tally::printing
