#include "tabular/qt/tgridora.h"

#include "datapacket/datapackettable.h"
#include "printing/listdocument.h"
#include "printing/qt/billwidget.h"
#include "printing/qt/fontsubstitution.h"
#include "printing/qt/preview/windowprinting.h"
#include "printing/tsimplebill.h"
#include "tabular/exportcolumn.h"
#include "tabular/qt/charttabpage.h"
#include "tabular/qt/datapacketmodel.h"
#include "tabular/qt/tblshowgrid.h"
#include "tabular/qt/titleheader.h"
#include "tabular/tableexport.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <exception>

namespace tally::tabular {

namespace {

// The control's designed size.
constexpr int kControlWidth = 1126;
constexpr int kControlHeight = 602;

constexpr int kWindowLeft = 190;
constexpr int kWindowTop = 246;
constexpr int kWindowWidth = 1044;
constexpr int kWindowHeight = 540;
constexpr int kPanelHeight = 73;
constexpr int kColumnWidth = 64;
constexpr int kTextType = 0;

QString fromNativePath(const std::string &path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string nativePath(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

int progressValue(std::size_t rows)
{
    return static_cast<int>(std::min<std::size_t>(rows, INT_MAX));
}

template <class Widget> Widget *named(Widget *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

TGridora::TGridora(std::string title, std::string prev, std::string packet, QWidget *owner,
                   LogSink log)
    : TGridora(Mode::Window, owner, std::move(log))
{
    m_title = std::move(title);
    m_prev = std::move(prev);
    FormCreate(std::move(packet));
}

TGridora::TGridora(Mode mode, QWidget *parent, LogSink log)
    : ContainedWidget<QWidget>(parent, mode == Mode::Window ? Qt::Window : Qt::Widget),
      m_mode(mode),
      m_table(std::make_unique<datapacket::DataPacketTable>(FormatSettings::fromSystemLocale())),
      m_openFolder(
          [](const QString &folder) { QDesktopServices::openUrl(QUrl::fromLocalFile(folder)); })
{
    setObjectName(QStringLiteral("Gridora"));
    m_printing = std::make_unique<printing::preview::WindowPrinting>(this, std::move(log));
    m_simpleBill = std::make_unique<printing::TSimpleBill>();
    printing::ApplyListReportDesign(*m_simpleBill);
    m_simpleBill->SetName("SimpleBill");
    m_simpleBill->SetHostName(objectName().toStdString());
    m_simpleBill->SetPrintContext(m_printing->context());
    // Page settings saved for this window's report override its design.
    m_simpleBill->AfterLoad();
    buildControls();
    if (m_mode == Mode::Window) {
        setWindowTitle(QStringLiteral("打印导出"));
        setGeometry(kWindowLeft, kWindowTop, kWindowWidth, kWindowHeight);
        m_grid->SetZebra(true);
        m_grid->SetZebraColor(palette().color(QPalette::ToolTipBase));
    } else {
        setWindowTitle(QStringLiteral("ActiveGridora"));
        resize(kControlWidth, kControlHeight);
        m_grid->SetZebra(false);
        m_grid->SetZebraColor(QColor(0, 255, 255)); // clAqua, used once striping is switched on
    }
    m_grid->SetZebraFontColor(palette().color(QPalette::WindowText));
    // Work over the whole table (export, chart) suspends the display link:
    // the grid then stops repainting until it is resumed.
    m_table->setDisplayObserver([this](bool suspended) { m_grid->setUpdatesEnabled(!suspended); });
}

TGridora::~TGridora()
{
    // The child widgets outlive the table and the report, which go with
    // this object's members: they must stop reading them first.
    m_simpleBillWidget->setBill(nullptr);
    m_grid->setModel(nullptr);
    m_table->setDisplayObserver({});
}

void TGridora::buildControls()
{
    QWidget *panel = buildCommandPanel();
    QWidget *pages = buildPages();
    auto *box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    if (m_mode == Mode::Window) {
        // The clerk can drag the line under the command row.
        auto *splitter = named(new QSplitter(Qt::Vertical, this), "Splitter2");
        splitter->setHandleWidth(3);
        splitter->setChildrenCollapsible(false);
        splitter->addWidget(panel);
        splitter->addWidget(pages);
        splitter->setStretchFactor(1, 1);
        box->addWidget(splitter);
    } else {
        box->addWidget(panel);
        box->addWidget(pages, 1);
    }
}

QWidget *TGridora::buildCommandPanel()
{
    auto *panel = named(new QWidget(this), "PanMain");
    m_panMain = panel;
    panel->setMinimumHeight(kPanelHeight);
    panel->resize(kWindowWidth, kPanelHeight);

    m_btnPrint = named(new QPushButton(QStringLiteral("打印"), panel), "btnPrint");
    m_btnPrint->setGeometry(8, 8, 75, 25);
    connect(m_btnPrint, &QPushButton::clicked, this, contained(this, [this] { btnPrintClick(); }));

    m_btnExport = named(new QPushButton(QStringLiteral("导出"), panel), "btnExport");
    m_btnExport->setGeometry(88, 8, 75, 25);
    connect(m_btnExport, &QPushButton::clicked, this,
            contained(this, [this] { btnExportClick(); }));

    m_gbFileName = named(new QGroupBox(QStringLiteral("文件名称"), panel), "gbFileName");
    m_gbFileName->setGeometry(174, 1, 345, 46);
    m_eFileName = named(new QLineEdit(m_gbFileName), "eFileName");
    m_eFileName->setGeometry(8, 16, 277, m_eFileName->sizeHint().height());
    m_bFileName = named(new QPushButton(QStringLiteral("…"), m_gbFileName), "bFileName");
    m_bFileName->setGeometry(292, 16, 42, 20);
    m_bFileName->setFont(
        printing::FontSubstitution::font("宋体", m_bFileName->fontInfo().pixelSize(), 0));
    connect(m_bFileName, &QPushButton::clicked, this,
            contained(this, [this] { bFileNameClick(); }));

    m_rgType = named(new QGroupBox(QStringLiteral("文件导出类型"), panel), "rgType");
    m_rgType->setGeometry(536, 8, 217, 41);
    m_rgTypeButtons = new QButtonGroup(m_rgType);
    const QString items[] = {QStringLiteral("文本文件"), QStringLiteral("Excel文件")};
    for (int i = 0; i < 2; ++i) {
        auto *item = new QRadioButton(items[i], m_rgType);
        item->setGeometry(8 + i * 104, 16, 100, 20);
        m_rgTypeButtons->addButton(item, i);
    }
    m_rgTypeButtons->button(1)->setChecked(true);

    m_pb = named(new QProgressBar(panel), "pb");
    m_pb->setGeometry(172, 51, 345, 18);
    m_pb->setValue(0);
    m_pb->setTextVisible(false);

    m_cbExplore =
        named(new QCheckBox(QStringLiteral("成功后打开文件所在目录"), panel), "cbExplore");
    m_cbExplore->setGeometry(552, 54, 209, m_cbExplore->sizeHint().height());
    m_cbExplore->setChecked(false);

    m_btnClose = named(new QPushButton(QStringLiteral("退出"), panel), "btnClose");
    m_btnClose->setGeometry(784, 16, 75, 25);
    m_btnClose->hide();
    connect(m_btnClose, &QPushButton::clicked, this, contained(this, [this] { btnCloseClick(); }));
    return panel;
}

QWidget *TGridora::buildPages()
{
    m_pageControl = named(new QTabWidget(this), "PageControl1");
    auto *listPage = named(new QWidget, "TabSheet1");
    m_grid = named(new TTblShowGrid(*m_table, listPage), "TblShowGrid");
    m_simpleBillWidget = named(new printing::BillWidget(listPage), "SimpleBill");
    m_simpleBillWidget->hide();
    auto *listBox = new QVBoxLayout(listPage);
    listBox->setContentsMargins(0, 0, 0, 0);
    listBox->addWidget(m_grid);
    m_pageControl->addTab(listPage, QStringLiteral("列表"));
    auto *chartSheet = named(new QWidget, "TabSheet2");
    m_chartPage = named(new ChartTabPage(*m_table, {}, chartSheet), "ChartTabPage");
    auto *chartBox = new QVBoxLayout(chartSheet);
    chartBox->setContentsMargins(0, 0, 0, 0);
    chartBox->addWidget(m_chartPage);
    m_pageControl->addTab(chartSheet, QStringLiteral("图形"));
    // Every change of tab rebuilds the chart's field lists from the table.
    connect(m_pageControl, &QTabWidget::currentChanged, this,
            contained(this, [this] { m_chartPage->PageControl1Change(); }));
    return m_pageControl;
}

void TGridora::FormCreate(std::string packet)
{
    m_pageControl->setCurrentIndex(0);
    // The packet text goes into the table; the window keeps no copy of it.
    loadData(m_title, std::move(packet));
}

bool TGridora::loadData(std::string title, std::string packet)
{
    setReportTitle(std::move(title));
    try {
        m_table->load(std::move(packet));
    } catch (const std::exception &) {
        // The table is closed and empty; the grid shows that.
        showTable();
        showMessage(QStringLiteral("格式不正确"));
        return false;
    }
    showTable();
    setColumnWidths(kColumnWidth);
    usePacket();
    return true;
}

void TGridora::setReportTitle(std::string title)
{
    m_title = std::move(title);
    m_simpleBill->Title().SetCaption(m_title);
}

void TGridora::showTable()
{
    m_exportGrid = nullptr;
    m_grid->reloadTable();
    // No list of the chart may keep fields of an earlier packet.
    m_chartPage->PageControl1Change();
}

void TGridora::setColumnWidths(int width)
{
    for (int column = 0; column < m_grid->tableModel().columnCount(); ++column)
        m_grid->setColumnWidth(column, width);
}

void TGridora::usePacket()
{
    m_exportGrid = m_grid;
    // Set explicitly: a file dialog otherwise starts wherever the last one
    // in this process ended.
    m_saveFolder = QDir::currentPath();
    if (m_sd)
        m_sd->setDirectory(m_saveFolder);
    m_eFileName->setText(
        QDir::toNativeSeparators(QDir(m_saveFolder).filePath(QStringLiteral("temp.xls"))));
}

std::vector<int> TGridora::shownColumns() const
{
    const QHeaderView &header = *m_grid->horizontalHeader();
    std::vector<int> columns;
    for (int visual = 0; visual < header.count(); ++visual) {
        const int logical = header.logicalIndex(visual);
        if (!header.isSectionHidden(logical))
            columns.push_back(logical);
    }
    return columns;
}

std::string TGridora::columnCaption(int column) const
{
    return m_grid->model()->headerData(column, Qt::Horizontal).toString().toStdString();
}

std::vector<printing::ListColumn> TGridora::printColumns() const
{
    std::vector<printing::ListColumn> columns;
    for (const int column : shownColumns())
        columns.push_back(
            {column, columnCaption(column), m_grid->horizontalHeader()->sectionSize(column)});
    return columns;
}

std::vector<ExportColumn> TGridora::exportColumns() const
{
    std::vector<ExportColumn> columns;
    for (const int column : shownColumns()) {
        const datapacket::PacketField *field = m_grid->tableModel().field(column);
        columns.push_back({field ? field->index() : -1, columnCaption(column),
                           field ? field->displayWidth() : 0});
    }
    return columns;
}

void TGridora::btnPrintClick()
{
    m_table->checkActive();
    const QFont font = m_grid->font();
    const printing::TSimpleFont gridFont{font.family().toStdString(),
                                         font.pointSize() > 0 ? font.pointSize() : 9,
                                         (font.bold() ? printing::Canvas::Bold : 0u) |
                                             (font.italic() ? printing::Canvas::Italic : 0u) |
                                             (font.underline() ? printing::Canvas::Underline : 0u) |
                                             (font.strikeOut() ? printing::Canvas::StrikeOut : 0u)};
    printing::ConfigureListReport(*m_simpleBill, *m_table, printColumns(), &gridFont);
    m_simpleBillWidget->setBill(m_simpleBill.get());
    if (m_prev == "1")
        m_simpleBill->Preview(true, true);
    else
        m_simpleBill->Print(!m_printing->printsToFile());
}

void TGridora::btnCloseClick()
{
    close();
}

void TGridora::closeEvent(QCloseEvent *event)
{
    if (m_exporting) {
        // Closing now would free the table under the running export: stop
        // it, and close once it has unwound.
        m_closeAfterExport = true;
        event->ignore();
        return;
    }
    ContainedWidget<QWidget>::closeEvent(event);
}

void TGridora::bFileNameClick()
{
    QFileDialog &dialog = sd();
    const QString name = m_eFileName->text();
    dialog.selectNameFilter(dialog.nameFilters().at(
        spreadsheetFormatFor(nativePath(name)) == ExportFormat::Xlsx ? 1 : 0));
    if (!name.isEmpty())
        dialog.selectFile(name);
    dialog.open();
}

void TGridora::btnExportClick()
{
    const QString name = m_eFileName->text();
    // Anything under that name counts, so a folder there is not silently
    // left in the way of the export.
    if (name.isEmpty() || !QFileInfo::exists(name)) {
        ExportData();
        return;
    }
    askYesNo(QStringLiteral("提示"), QStringLiteral("文件已经存在，是否覆盖?"), [this, name] {
        if (!QFile::remove(name)) {
            showMessage(QStringLiteral("请先关闭文件！"));
            return;
        }
        ExportData();
    });
}

void TGridora::BeginExport()
{
    m_panMain->setEnabled(false);
    m_table->checkActive();
    const std::size_t records = m_table->recordCount();
    // A range of 0..0 would make the bar a busy indicator.
    m_pb->setRange(0, records > 0 ? progressValue(records) : 1);
    m_pb->setValue(0);
}

void TGridora::ExportData()
{
    try {
        BeginExport();
    } catch (...) {
        m_panMain->setEnabled(true);
        throw;
    }
    QString name = m_eFileName->text();
    ExportFormat format = ExportFormat::Text;
    if (exportType() == kTextType) {
        name = fromNativePath(textExportFileName(nativePath(name)));
        m_eFileName->setText(name);
    } else {
        format = spreadsheetFormatFor(nativePath(name));
    }
    const std::size_t records = m_table->recordCount();
    std::size_t written = 0;
    const ExportProgress progress = [&](std::size_t rows) {
        written = rows;
        m_pb->setValue(progressValue(rows));
        // Repaints the window and its bar; PanMain is disabled meanwhile.
        QCoreApplication::processEvents();
        return !m_closeAfterExport;
    };
    const auto finish = [&](bool completed) {
        m_exporting = false;
        m_table->resumeDisplay();
        EndExport(completed, name);
        if (m_closeAfterExport) {
            m_closeAfterExport = false;
            QTimer::singleShot(0, this, contained(this, [this] { close(); }));
        }
    };
    m_exporting = true;
    m_table->suspendDisplay();
    ExportOutcome outcome = ExportOutcome::Stopped;
    try {
        outcome = exportTable(*m_table, exportColumns(), format, nativePath(name), progress);
    } catch (...) {
        finish(false);
        throw;
    }
    if (outcome == ExportOutcome::Completed && records == 0)
        m_pb->setValue(m_pb->maximum());
    finish(outcome == ExportOutcome::Completed && written == records);
}

void TGridora::EndExport(bool completed, const QString &fileName)
{
    if (completed) {
        showMessage(QStringLiteral("导出数据成功。"));
        if (m_cbExplore->isChecked())
            m_openFolder(QFileInfo(fileName).absolutePath());
    }
    m_panMain->setEnabled(true);
}

QString TGridora::fileName() const
{
    return m_eFileName->text();
}

int TGridora::exportType() const
{
    return m_rgTypeButtons->checkedId();
}

QFileDialog &TGridora::sd()
{
    if (!m_sd) {
        m_sd = named(new QFileDialog(this), "sd");
        // Asks before overwriting, as Qt's save dialogs do by default.
        m_sd->setAcceptMode(QFileDialog::AcceptSave);
        // The BIFF stream for ".xls" names, a workbook for ".xlsx" ones.
        m_sd->setNameFilters(
            {QStringLiteral("文本文件(*.xls)"), QStringLiteral("Excel工作簿(*.xlsx)")});
        m_sd->setSizeGripEnabled(true);
        if (!m_saveFolder.isEmpty())
            m_sd->setDirectory(m_saveFolder);
        connect(m_sd, &QFileDialog::fileSelected, this,
                contained(this, [this](const QString &file) {
                    m_eFileName->setText(QDir::toNativeSeparators(file));
                }));
    }
    return *m_sd;
}

void TGridora::showMessage(const QString &text)
{
    // Blocks this window only, without a nested event loop, so other
    // requests' windows keep working while it is up.
    auto *box =
        new QMessageBox(QMessageBox::Information, windowTitle(), text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->show();
}

void TGridora::askYesNo(const QString &caption, const QString &text, std::function<void()> onYes)
{
    auto *box = new QMessageBox(QMessageBox::Question, caption, text,
                                QMessageBox::Yes | QMessageBox::No, this);
    box->setDefaultButton(QMessageBox::No);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    connect(box, &QMessageBox::finished, this,
            contained(this, [onYes = std::move(onYes)](int answer) {
                if (answer == QMessageBox::Yes)
                    onYes();
            }));
    box->show();
}

} // namespace tally::tabular
