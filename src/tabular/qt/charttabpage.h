#pragma once

#include "base/qt/containment.h"
#include "tabular/charttab.h"

#include <QWidget>

#include <functional>
#include <string>

class QButtonGroup;
class QComboBox;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSplitter;

namespace tally::datapacket {
class DataPacketTable;
}

namespace tally::tabular {

class ChartPlayer;

// The content of the list window's "图形" page: PanelXY with the X list
// (comXField), the Y mode (rbnMnyType, rbnValType), the Y list (lstYField)
// and "图形显示" (btnShow); Splitter1; and PanelChart with the chart. The
// rules are ChartTab's; this page mirrors its lists and forwards clicks.
// The window calls PageControl1Change on every change of its tabs.
class ChartTabPage : public ContainedWidget<QWidget>
{
public:
    // Reports a failure of a drawing (such as a value that is not a number)
    // for `where`.
    using Report = std::function<void(QWidget *where, const std::string &text)>;

    // `table` must outlive the page. Without `report`, failures go through
    // the shared containment (a box and one log line). The messages
    // "X轴未选择" / "Y轴未选择" are information boxes of the page's own.
    explicit ChartTabPage(datapacket::DataPacketTable &table, Report report = {},
                          QWidget *parent = nullptr);
    ~ChartTabPage() override;

    // Rebuilds the lists from the table (see ChartTab::PageControl1Change).
    void PageControl1Change();

    const ChartTab &state() const { return m_tab; }
    ChartPlayer *chart() const { return m_chart; }

private:
    void btnShowClick();
    void showMessage(const QString &text);
    void syncLists();
    void syncYSelection();

    ChartTab m_tab;
    Report m_report;
    QSplitter *m_splitter = nullptr;
    QComboBox *m_comXField = nullptr;
    QRadioButton *m_rbnMnyType = nullptr;
    QRadioButton *m_rbnValType = nullptr;
    QListWidget *m_lstYField = nullptr;
    QPushButton *m_btnShow = nullptr;
    ChartPlayer *m_chart = nullptr;
};

} // namespace tally::tabular
