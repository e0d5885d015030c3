#include "printing/qt/printinglog.h"

namespace tally::printing {

Q_LOGGING_CATEGORY(lcPrinting, "tally.printing")
Q_LOGGING_CATEGORY(lcPreview, "tally.preview")

} // namespace tally::printing
