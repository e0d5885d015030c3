#include "printing/qt/spoolerstatus.h"

#include <string>

#ifdef TALLY_HAVE_CUPS
#include <cups/cups.h>
#endif

namespace tally::printing {

std::string LastSpoolerRefusal()
{
#ifdef TALLY_HAVE_CUPS
    // libcups keeps the status of each thread's last request; the submission
    // is that request when the job has just been ended.
    if (cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE)
        return {};
    const char *reason = cupsLastErrorString();
    return reason && *reason ? reason : "error " + std::to_string(cupsLastError());
#else
    return {};
#endif
}

} // namespace tally::printing
