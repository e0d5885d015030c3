#include "tabular/qt/tabularlog.h"

namespace tally::tabular {

Q_LOGGING_CATEGORY(lcTabular, "tally.tabular")

} // namespace tally::tabular
