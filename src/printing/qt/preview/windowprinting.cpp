#include "printing/qt/preview/windowprinting.h"

#include "printing/qt/outputtarget.h"
#include "printing/qt/preview/qtpreviewenvironment.h"
#include "printing/qt/qtprintcontext.h"
#include "printing/qt/qtprinter.h"
#include "printing/qt/qtsettingsstore.h"
#include "printing/qt/qtusermessages.h"

namespace tally::printing::preview {

WindowPrinting::WindowPrinting(QWidget *window, LogSink log)
    : m_printer(std::make_unique<QtPrinter>(OutputTarget::choose())),
      m_settings(std::make_unique<QtSettingsStore>()),
      m_messages(std::make_unique<QtUserMessages>(window))
{
    // Without a printer the clerk finds the output only through the log.
    if (log)
        m_printer->setSpooledHandler(
            [log = std::move(log)](const QString &file) { log(pdfWrittenLine(file)); });
    m_context = MakeQtPrintContext(*m_printer, *m_settings, *m_messages, window);
    m_preview = std::make_unique<QtPreviewEnvironment>(*m_printer, m_context);
    m_context.showPreview = m_preview->Opener(window, {});
}

WindowPrinting::~WindowPrinting() = default;

bool WindowPrinting::printsToFile() const
{
    return m_printer->isPdf();
}

std::string WindowPrinting::pdfWrittenLine(const QString &file)
{
    return "已生成PDF文件：" + file.toStdString();
}

} // namespace tally::printing::preview
