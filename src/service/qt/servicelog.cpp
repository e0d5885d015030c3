#include "service/qt/servicelog.h"

namespace tally::service {

Q_LOGGING_CATEGORY(lcService, "tally.service")

} // namespace tally::service
