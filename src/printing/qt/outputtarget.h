#pragma once

#include <QString>

namespace tally::printing {

// Where print jobs go: the system's current printer, PDF files in a spool
// folder (one file per job), or one given PDF file.
struct OutputTarget
{
    enum class Kind
    {
        SystemPrinter,
        PdfFolder,
        PdfFile
    };

    // Environment variable that forces PDF output and names the spool folder.
    static constexpr const char *kPdfDirVariable = "TALLY_PDF_DIR";

    Kind kind = Kind::SystemPrinter;
    QString path; // the folder or the file for the PDF kinds

    static OutputTarget systemPrinter() { return {Kind::SystemPrinter, {}}; }
    static OutputTarget pdfFolder(const QString &folder) { return {Kind::PdfFolder, folder}; }
    static OutputTarget pdfFile(const QString &file) { return {Kind::PdfFile, file}; }

    // The rule of the service: PDF files in the folder named by TALLY_PDF_DIR
    // when it is set and not empty; otherwise the system's current printer,
    // or, when no printer is installed, PDF files in DefaultSpoolFolder().
    static OutputTarget choose();

    // The spool folder used when no printer is installed: "spool" in the
    // user's application data folder.
    static QString defaultSpoolFolder();
};

} // namespace tally::printing
