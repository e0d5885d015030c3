#pragma once

#include "base/qt/containment.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QButtonGroup;
class QCheckBox;
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

    // The print button: the report of the grid's visible columns, previewed
    // for the flag "1", else printed through the printer dialog (at once
    // when jobs become PDF files). Throws the table's error when no packet
    // is loaded.
    void btnPrintClick();
    // The hidden close button.
    void btnCloseClick();

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
    // The export's save dialog, made on first use (it is costly to build
    // and most lists are never exported), starting in the folder where
    // the window was opened.
    QFileDialog &sd();

private:
    void FormCreate(std::string packet);
    void buildControls();
    QWidget *buildCommandPanel();
    QWidget *buildPages();
    void showMessage(const QString &text);
    // The grid's shown columns in display order, as report columns.
    std::vector<printing::ListColumn> printColumns() const;

    Mode m_mode;
    std::string m_title;
    std::string m_prev;
    std::unique_ptr<datapacket::DataPacketTable> m_table;
    std::unique_ptr<printing::preview::WindowPrinting> m_printing;
    std::unique_ptr<printing::TSimpleBill> m_simpleBill;
    TTblShowGrid *m_exportGrid = nullptr;
    QString m_saveFolder;
    QFileDialog *m_sd = nullptr;

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
    QTabWidget *m_pageControl = nullptr;
    printing::BillWidget *m_simpleBillWidget = nullptr;
};

} // namespace tally::tabular
