#pragma once

#include "base/qt/containment.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QCloseEvent;
class QFileDialog;
class QGroupBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;

namespace tally::datapacket {
class DataPacketTable;
}
namespace tally::printing {
class BillWidget;
class TSimpleBill;
struct ListColumn;
namespace preview {
class WindowPrinting;
}
} // namespace tally::printing

namespace tally::tabular {

class ChartTabPage;
struct ExportColumn;
class TTblShowGrid;

// The list window (print and export): the packet of a request shown in the
// zebra grid, printed as a paginated table through the simple list report,
// exported to a file or charted. One class for both of its hosts: a window
// of its own for the print service, or a control embedded in a page, which
// gets its data later and may get it again.
class TGridora : public ContainedWidget<QWidget>
{
public:
    enum class Mode
    {
        Window,  // top-level "打印导出", 1044 × 540, data given at creation
        Control, // embedded, no border, no splitter, data through loadData
    };

    // Receives a line for the activity log, such as where a PDF job went.
    using LogSink = std::function<void(const std::string &line)>;
    // Opens a folder window on a local folder.
    using FolderOpener = std::function<void(const QString &folder)>;

    // The window of one request (UTF-8 texts); creation loads the packet,
    // and a packet that does not load shows "格式不正确" and leaves the
    // window empty.
    TGridora(std::string title, std::string prev, std::string packet, QWidget *owner = nullptr,
             LogSink log = {});
    // An empty list window or control, for data through loadData.
    TGridora(Mode mode, QWidget *parent = nullptr, LogSink log = {});
    ~TGridora() override;

    // Report title and packet: loads the packet into the grid's table.
    // False, after showing "格式不正确", when it does not load; the table
    // is then closed and there is nothing to export.
    bool loadData(std::string title, std::string packet);
    // "1" makes the print button preview; anything else prints.
    void setPreviewFlag(std::string prev) { m_prev = std::move(prev); }
    // The steps of loadData, for a host that loads the table itself: the
    // report title; the grid and chart shown from the table as it now is
    // (nothing to export yet); every grid column `width` pixels wide; and
    // the loaded packet taken for export (the export grid, the save
    // dialog's folder, "temp.xls" in it).
    void setReportTitle(std::string title);
    void showTable();
    void setColumnWidths(int width);
    void usePacket();
    // A window-modal message box with `text`, not waited for.
    void showMessage(const QString &text);

    // The print button: the report of the grid's visible columns, previewed
    // for the flag "1", else printed through the printer dialog (at once
    // when jobs become PDF files). Throws the table's error when no packet
    // is loaded.
    void btnPrintClick();
    // The hidden close button.
    void btnCloseClick();
    // "…": the save dialog, starting from the name in eFileName, which gets
    // the chosen name. Window-modal and not waited for.
    void bFileNameClick();
    // "导出": when the file named in eFileName exists, asks whether to replace
    // it (a window-modal box, not waited for) and deletes it on Yes ("请先关闭
    // 文件！" when it cannot be); then ExportData. Throws as ExportData does
    // when nothing was asked.
    void btnExportClick();
    // Writes the grid's visible columns, in grid order, to the file named in
    // eFileName, in the chosen type: a text file under that name with ".txt"
    // as its extension (which eFileName then shows), else a spreadsheet
    // (xlsx for a ".xlsx" name, the BIFF stream otherwise). PanMain is
    // disabled meanwhile, pb counts the rows and the window processes
    // pending events after each row. "导出数据成功。" only after a complete
    // export. Throws the writer's or the table's error after enabling
    // PanMain again; nothing is then left under the file's name.
    void ExportData();

    Mode mode() const { return m_mode; }
    const std::string &title() const { return m_title; }
    const std::string &previewFlag() const { return m_prev; }
    datapacket::DataPacketTable &table() const { return *m_table; }
    TTblShowGrid &grid() const { return *m_grid; }
    // The grid exports read; null until a packet has loaded.
    TTblShowGrid *exportGrid() const { return m_exportGrid; }
    // The list report the print button prints.
    printing::TSimpleBill &simpleBill() const { return *m_simpleBill; }
    // The export file name in its edit box.
    QString fileName() const;
    // The chosen export type: 0 text file, 1 spreadsheet.
    int exportType() const;
    // Replaces what opens the folder after a successful export (the
    // desktop's file manager by default).
    void setFolderOpener(FolderOpener opener) { m_openFolder = std::move(opener); }
    // The "图形" page.
    ChartTabPage &chartPage() const { return *m_chartPage; }
    // The export's save dialog, made on first use (it is costly to build
    // and most lists are never exported), starting in the folder where
    // the window was opened.
    QFileDialog &sd();

protected:
    // While an export runs, a close stops it and waits until it has unwound.
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate(std::string packet);
    void buildControls();
    QWidget *buildCommandPanel();
    QWidget *buildPages();
    // Asks `text` with Yes and No, No the default, in a window-modal box
    // that is not waited for; `onYes` runs contained on Yes.
    void askYesNo(const QString &caption, const QString &text, std::function<void()> onYes);
    // The grid's shown columns (model columns) in display order.
    std::vector<int> shownColumns() const;
    std::string columnCaption(int column) const;
    // The grid's shown columns in display order, as report columns.
    std::vector<printing::ListColumn> printColumns() const;
    // The same columns as an export writes them.
    std::vector<ExportColumn> exportColumns() const;
    void BeginExport();
    void EndExport(bool completed, const QString &fileName);

    Mode m_mode;
    std::string m_title;
    std::string m_prev;
    std::unique_ptr<datapacket::DataPacketTable> m_table;
    std::unique_ptr<printing::preview::WindowPrinting> m_printing;
    std::unique_ptr<printing::TSimpleBill> m_simpleBill;
    TTblShowGrid *m_exportGrid = nullptr;
    QString m_saveFolder;
    QFileDialog *m_sd = nullptr;
    FolderOpener m_openFolder;
    bool m_exporting = false;
    bool m_closeAfterExport = false;

    TTblShowGrid *m_grid = nullptr;
    QPushButton *m_btnPrint = nullptr;
    QPushButton *m_btnExport = nullptr;
    QGroupBox *m_gbFileName = nullptr;
    QLineEdit *m_eFileName = nullptr;
    QPushButton *m_bFileName = nullptr;
    QGroupBox *m_rgType = nullptr;
    QButtonGroup *m_rgTypeButtons = nullptr;
    QProgressBar *m_pb = nullptr;
    QCheckBox *m_cbExplore = nullptr;
    QPushButton *m_btnClose = nullptr;
    QWidget *m_panMain = nullptr;
    QTabWidget *m_pageControl = nullptr;
    ChartTabPage *m_chartPage = nullptr;
    printing::BillWidget *m_simpleBillWidget = nullptr;
};

} // namespace tally::tabular
