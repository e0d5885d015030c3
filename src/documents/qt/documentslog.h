#pragma once

#include <QLoggingCategory>

// Developer diagnostics of this module (not the activity log the clerk sees);
// enable with QT_LOGGING_RULES, e.g. "tally.*.debug=true".
namespace tally::documents {

Q_DECLARE_LOGGING_CATEGORY(lcDocuments)

} // namespace tally::documents
