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
    const ipp_status_t status = cupsLastError();
    if (status <= IPP_STATUS_OK_EVENTS_COMPLETE)
        return {};
    const char *text = cupsLastErrorString();
    std::string reason = text && *text ? text : ippErrorString(status);
    // A print system that cannot be reached leaves only the socket's errno
    // ("No such file or directory"); say what was not there.
    if (status == IPP_STATUS_ERROR_INTERNAL || status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE)
        reason =
            "no answer from the print system at " + std::string(cupsServer()) + " (" + reason + ")";
    return reason;
#else
    return {};
#endif
}

} // namespace tally::printing
