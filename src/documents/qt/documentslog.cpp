#include "documents/qt/documentslog.h"

namespace tally::documents {

Q_LOGGING_CATEGORY(lcDocuments, "tally.documents")

} // namespace tally::documents
