#pragma once

#include "printing/printcontext.h"

#include <QString>

#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace tally::printing {
class QtPrinter;
class QtSettingsStore;
class QtUserMessages;
} // namespace tally::printing

namespace tally::printing::preview {

class QtPreviewEnvironment;

// The print set-up of a window that prints or previews its bills: the
// printer the service chooses (OutputTarget::choose(): the current printer,
// or PDF files in the spool folder when there is none or PDF output is
// forced), page setups in the settings store, message boxes over the
// window, and the preview, modal to the window. Finished PDF jobs are
// named in the activity log through `log`. The window owns this object;
// bills that use its context must go before it.
class WindowPrinting
{
public:
    using LogSink = std::function<void(const std::string &line)>;

    WindowPrinting(QWidget *window, LogSink log);
    ~WindowPrinting();
    WindowPrinting(const WindowPrinting &) = delete;
    WindowPrinting &operator=(const WindowPrinting &) = delete;

    // For the window's bills (SetPrintContext).
    const PrintContext &context() const { return m_context; }
    QtPrinter &printer() { return *m_printer; }

    // True when jobs become PDF files: there is no printer to choose, and a
    // print dialog would wait for a clerk who may not be there.
    bool printsToFile() const;

    // The activity log line that names a finished PDF job's file.
    static std::string pdfWrittenLine(const QString &file);

private:
    std::unique_ptr<QtPrinter> m_printer;
    std::unique_ptr<QtSettingsStore> m_settings;
    std::unique_ptr<QtUserMessages> m_messages;
    std::unique_ptr<QtPreviewEnvironment> m_preview;
    PrintContext m_context;
};

} // namespace tally::printing::preview
