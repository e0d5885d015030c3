#include "base/qt/baselog.h"

namespace tally {

Q_LOGGING_CATEGORY(lcWindows, "tally.windows")

} // namespace tally
