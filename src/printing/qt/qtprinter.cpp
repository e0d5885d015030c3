#include "printing/qt/qtprinter.h"

#include "printing/pdf/pdfdocument.h"
#include "printing/qt/pdf/pdfcanvas.h"
#include "printing/qt/printinglog.h"
#include "printing/qt/qpaintercanvas.h"
#include "printing/qt/spoolerstatus.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <stdexcept>

namespace tally::printing {

namespace {

// PDF pages are laid out at this resolution: fine enough for hairlines,
// small enough to keep coordinates modest.
constexpr int kPdfResolution = 600;

// A job title made safe as a file name on every platform.
QString fileNameFromTitle(const QString &title)
{
    QString name;
    for (const QChar c : title) {
        if (c.unicode() < 0x20 || QStringLiteral("<>:\"/\\|?*").contains(c))
            name.append(QLatin1Char('_'));
        else
            name.append(c);
    }
    name = name.trimmed();
    if (name.isEmpty())
        name = QStringLiteral("job");
    return name.left(80);
}

} // namespace

QtPrinter::QtPrinter(const OutputTarget &target)
    : m_target(target), m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    if (isPdf()) {
        m_printer->setOutputFormat(QPrinter::PdfFormat);
        m_printer->setResolution(kPdfResolution);
        m_printer->setPageSize(QPageSize(QPageSize::A4));
        // A PDF sheet is printable to its edges; no margin moves the origin.
        m_printer->setFullPage(true);
        m_printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    } else {
        // QPrinter starts on its own default paper, not the queue's: start on
        // the queue's, so a paper code the device does not know keeps it.
        if (const QPageSize paper = QPrinterInfo(*m_printer).defaultPageSize(); paper.isValid())
            m_printer->setPageSize(paper);
        m_printer->setFullPage(false);
        // Margins below the device's minimum are raised to it, which puts the
        // origin on the printable area's corner.
        m_printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    }
}

QtPrinter::~QtPrinter()
{
    if (jobOpen())
        abortDoc();
}

bool QtPrinter::jobOpen() const
{
    return m_pdf || (m_painter && m_painter->isActive());
}

void QtPrinter::setPaperSize(std::int16_t paperCode)
{
    const QPageSize::PageSizeId id = QPageSize::id(paperCode);
    // Unknown codes and the user-defined code (set by setPaperExtent) leave
    // the paper as it is.
    if (id == QPageSize::Custom)
        return;
    m_printer->setPageSize(QPageSize(id));
}

void QtPrinter::setPaperExtent(std::int16_t lengthTenthsMm, std::int16_t widthTenthsMm)
{
    // A size of zero names no paper: keep the current one.
    if (lengthTenthsMm <= 0 || widthTenthsMm <= 0)
        return;
    const QSizeF portrait(widthTenthsMm / 10.0, lengthTenthsMm / 10.0);
    m_printer->setPageSize(
        QPageSize(portrait, QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
}

void QtPrinter::setOrientation(PrinterOrientation orientation)
{
    m_printer->setPageOrientation(orientation == PrinterOrientation::poLandscape
                                      ? QPageLayout::Landscape
                                      : QPageLayout::Portrait);
}

PrinterOrientation QtPrinter::orientation() const
{
    return m_printer->pageLayout().orientation() == QPageLayout::Landscape
               ? PrinterOrientation::poLandscape
               : PrinterOrientation::poPortrait;
}

PrinterMetrics QtPrinter::metrics() const
{
    const QRect paper = m_printer->paperRect(QPrinter::DevicePixel).toRect();
    const QRect page = m_printer->pageRect(QPrinter::DevicePixel).toRect();
    PrinterMetrics m;
    m.dpiX = m_printer->logicalDpiX();
    m.dpiY = m_printer->logicalDpiY();
    m.paperWidth = paper.width();
    m.paperHeight = paper.height();
    m.offsetX = page.left() - paper.left();
    m.offsetY = page.top() - paper.top();
    m.pageWidth = page.width();
    m.pageHeight = page.height();
    return m;
}

bool QtPrinter::canCollate() const
{
    // A PDF file holds each page once; printers collate in their driver.
    return !isPdf();
}

void QtPrinter::setCopies(int copies)
{
    m_printer->setCopyCount(copies);
}

void QtPrinter::setCollate(bool collate)
{
    m_printer->setCollateCopies(collate);
}

void QtPrinter::setTitle(const std::string &title)
{
    m_title = QString::fromStdString(title);
    m_printer->setDocName(m_title);
    m_printer->setCreator(QStringLiteral("Tallyhost"));
}

QString QtPrinter::nextSpoolFile() const
{
    const QDir dir(m_target.path);
    const QString stem =
        fileNameFromTitle(m_title) + QLatin1Char('-') +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    QString file = dir.filePath(stem + QStringLiteral(".pdf"));
    for (int n = 2; QFileInfo::exists(file); ++n)
        file = dir.filePath(stem + QLatin1Char('-') + QString::number(n) + QStringLiteral(".pdf"));
    return file;
}

void QtPrinter::beginDoc()
{
    if (jobOpen())
        throw std::logic_error("a print job is already open");
    if (m_target.kind == OutputTarget::Kind::PdfFolder) {
        if (!QDir().mkpath(m_target.path))
            throw std::runtime_error("cannot create spool folder " + m_target.path.toStdString());
        m_currentFile = nextSpoolFile();
    } else if (m_target.kind == OutputTarget::Kind::PdfFile) {
        m_currentFile = m_target.path;
    }
    if (isPdf()) {
        // Throws when the file cannot be opened.
        m_pdf = std::make_unique<pdf::PdfDocument>(m_currentFile.toStdString());
        m_pdfCanvas = std::make_unique<PdfCanvas>(*m_pdf, m_printer->logicalDpiY());
        beginPdfPage();
        return;
    }

    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(m_printer.get())) {
        m_painter.reset();
        throw std::runtime_error(isPdf() ? "cannot write " + m_currentFile.toStdString()
                                         : std::string("cannot start the print job"));
    }
    m_canvas = std::make_unique<QPainterCanvas>(*m_painter, m_printer->logicalDpiX(),
                                                m_printer->logicalDpiY());
}

void QtPrinter::beginPdfPage()
{
    // The sheet as Qt's PDF output gives it: whole points, turned for
    // landscape.
    m_pdfPageSize = m_printer->pageLayout().fullRectPoints().size();
    m_pdfCanvas->beginPage(m_pdfPageSize.height());
}

void QtPrinter::endPdfPage()
{
    m_pdf->addPage(m_pdfPageSize.width(), m_pdfPageSize.height(), m_pdfCanvas->finishPage());
}

void QtPrinter::newPage()
{
    if (m_pdf) {
        endPdfPage();
        beginPdfPage();
        return;
    }
    if (!m_painter)
        throw std::logic_error("no print job is open");
    m_canvas->flush();
    if (!m_printer->newPage())
        throw std::runtime_error("the printer refused a new page");
}

void QtPrinter::endPdfDoc()
{
    bool ok = false;
    try {
        endPdfPage();
        ok = m_pdf->finish(m_title.toStdString(), "Tallyhost",
                           "D:" +
                               QDateTime::currentDateTimeUtc()
                                   .toString(QStringLiteral("yyyyMMddHHmmss"))
                                   .toStdString() +
                               "Z");
    } catch (...) {
        // Whatever failed (a font that cannot be embedded), the half-written
        // file goes and the error goes on to the caller.
        abortDoc();
        throw;
    }
    m_pdfCanvas.reset();
    m_pdf.reset();
    if (!ok) {
        qCWarning(lcPrinting) << "PDF job incomplete, removed:" << m_currentFile;
        // Only a file of our own is removed, never a device named as target.
        if (QFileInfo(m_currentFile).isFile())
            QFile::remove(m_currentFile);
        throw std::runtime_error("cannot write " + m_currentFile.toStdString() +
                                 ": the file is incomplete (is the disk full?)");
    }
}

void QtPrinter::endDoc()
{
    if (m_pdf) {
        endPdfDoc();
    } else {
        if (!m_painter)
            throw std::logic_error("no print job is open");
        m_canvas.reset();
        const bool ok = m_painter->end();
        m_painter.reset();
        if (!ok)
            throw std::runtime_error("the print job could not be finished");
    }
    if (!isPdf()) {
        // Pages are spooled to a file and handed to the spooler only now;
        // QPainter::end() reports success even when that was refused.
        const std::string refusal = LastSpoolerRefusal();
        if (refusal.empty())
            return;
        throw std::runtime_error("the printer " + m_printer->printerName().toStdString() +
                                 " did not take the job: " + refusal);
    }
    m_lastFile = m_currentFile;
    if (m_spooled)
        m_spooled(m_lastFile);
}

void QtPrinter::abortDoc()
{
    if (m_pdf) {
        m_pdfCanvas.reset();
        m_pdf.reset(); // closes the file
        // A half-written file is no output; a device named as target stays.
        if (QFileInfo(m_currentFile).isFile())
            QFile::remove(m_currentFile);
        return;
    }
    if (!m_painter)
        return;
    m_canvas.reset();
    m_printer->abort();
    if (m_painter->isActive())
        m_painter->end();
    m_painter.reset();
    // A half-written file is no output.
    if (isPdf() && !m_currentFile.isEmpty())
        QFile::remove(m_currentFile);
}

Canvas &QtPrinter::canvas()
{
    if (m_pdfCanvas)
        return *m_pdfCanvas;
    if (!m_canvas)
        throw std::logic_error("no print job is open");
    return *m_canvas;
}

} // namespace tally::printing
