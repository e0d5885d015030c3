#include "printing/qt/qtprintcontext.h"

#include "printing/qt/qtprintdialog.h"
#include "printing/qt/qtprinter.h"
#include "printing/qt/qtsettingsstore.h"
#include "printing/qt/qtusermessages.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QWidget>

namespace tally::printing {

PrintContext MakeQtPrintContext(QtPrinter &printer, QtSettingsStore &settings,
                                QtUserMessages &messages, QWidget *dialogParent)
{
    PrintContext context;
    context.printer = &printer;
    context.makePrintDialog = [&printer, dialogParent] {
        return std::make_unique<QtPrintDialog>(printer.qprinter(), dialogParent);
    };
    context.settings = &settings;
    context.messages = &messages;
    context.processEvents = [] { QCoreApplication::processEvents(); };
    const QString exe = QCoreApplication::applicationFilePath();
    if (!exe.isEmpty())
        context.executableName = QFileInfo(exe).completeBaseName().toStdString();
    return context;
}

std::string SettingsHostName(const QWidget *billWidget)
{
    if (!billWidget || !billWidget->parentWidget())
        return {};
    for (const QWidget *w = billWidget->parentWidget(); w; w = w->parentWidget()) {
        // An ordinary window, not an embedding shell such as a hosted control.
        const Qt::WindowType type = w->windowType();
        if (w->isWindow() && (type == Qt::Window || type == Qt::Dialog))
            return w->objectName().toStdString();
    }
    return billWidget->parentWidget()->objectName().toStdString();
}

} // namespace tally::printing
