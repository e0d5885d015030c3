#include "tabular/tableexport.h"

#include "base/asciitext.h"
#include "datapacket/fielderror.h"
#include "tabular/biffwriter.h"
#include "tabular/exporterror.h"
#include "tabular/exportstream.h"
#include "tabular/exporttarget.h"
#include "tabular/textexportwriter.h"
#include "tabular/xlsxexportwriter.h"

#include <cctype>
#include <filesystem>
#include <optional>

namespace tally::tabular {

ExportFormat spreadsheetFormatFor(std::string_view fileName)
{
    return ascii::endsWithIgnoringCase(fileName, ".xlsx") ? ExportFormat::Xlsx : ExportFormat::Biff;
}

std::string textExportFileName(std::string_view fileName)
{
    std::filesystem::path p{std::string(fileName)};
    p.replace_extension(".txt");
    return p.string();
}

ExportOutcome exportTable(const datapacket::DataPacketTable &table,
                          std::span<const ExportColumn> columns, ExportFormat format,
                          const std::string &path, const ExportProgress &progress)
{
    try {
        if (format == ExportFormat::Xlsx) {
            XlsxExportWriter writer(table, columns);
            ExportTarget target(path, ExportTarget::Access::RegularFile);
            const ExportOutcome outcome = writer.write(target, progress);
            if (outcome == ExportOutcome::Completed)
                target.commit();
            return outcome;
        }
        // The writers check what the format can hold before any file is touched.
        std::optional<BiffWriter> biff;
        std::optional<TextExportWriter> text;
        if (format == ExportFormat::Biff)
            biff.emplace(table, columns);
        else
            text.emplace(table, columns);
        ExportTarget target(path, ExportTarget::Access::Stream);
        ExportStream out(target);
        const ExportOutcome outcome =
            biff ? biff->write(out, progress) : text->write(out, progress);
        if (outcome == ExportOutcome::Completed) {
            out.close();
            target.commit();
        }
        return outcome;
    } catch (const datapacket::FieldError &e) {
        throw ExportError(e.what());
    }
}

} // namespace tally::tabular
