#include "printing/qt/outputtarget.h"

#include <QDir>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace tally::printing {

OutputTarget OutputTarget::choose()
{
    const QString forced = qEnvironmentVariable(kPdfDirVariable);
    if (!forced.isEmpty())
        return pdfFolder(forced);
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        return pdfFolder(defaultSpoolFolder());
    return systemPrinter();
}

QString OutputTarget::defaultSpoolFolder()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::tempPath();
    return QDir(base).filePath(QStringLiteral("Tallyhost/spool"));
}

} // namespace tally::printing
