#include "tabular/qt/charttabpage.h"

#include "printing/qt/fontsubstitution.h"
#include "tabular/qt/chartplayer.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSplitter>

namespace tally::tabular {

namespace {

QString text(const std::string &s)
{
    return QString::fromStdString(s);
}

} // namespace

ChartTabPage::ChartTabPage(datapacket::DataPacketTable &table, Report report, QWidget *parent)
    : ContainedWidget<QWidget>(parent), m_tab(table), m_report(std::move(report))
{
    if (!m_report)
        m_report = [](QWidget *where, const std::string &message) {
            Containment::report(where, message);
        };
    setFont(printing::FontSubstitution::font("宋体", 12, 0));

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("Splitter1"));
    m_splitter->setChildrenCollapsible(false);

    auto *panelXY = new QWidget(m_splitter);
    panelXY->setObjectName(QStringLiteral("PanelXY"));
    panelXY->setMinimumSize(310, 350);

    auto *groupX = new QGroupBox(QStringLiteral("X轴数据"), panelXY);
    groupX->setGeometry(8, 8, 294, 60);
    m_comXField = new QComboBox(groupX);
    m_comXField->setObjectName(QStringLiteral("comXField"));
    m_comXField->setGeometry(12, 26, 270, 24);

    auto *groupY = new QGroupBox(QStringLiteral("Y轴数据"), panelXY);
    groupY->setGeometry(8, 76, 294, 226);
    m_rbnMnyType = new QRadioButton(QStringLiteral("金额类型"), groupY);
    m_rbnMnyType->setObjectName(QStringLiteral("rbnMnyType"));
    m_rbnMnyType->setGeometry(12, 22, 120, 22);
    m_rbnValType = new QRadioButton(QStringLiteral("数值类型"), groupY);
    m_rbnValType->setObjectName(QStringLiteral("rbnValType"));
    m_rbnValType->setGeometry(150, 22, 120, 22);
    m_lstYField = new QListWidget(groupY);
    m_lstYField->setObjectName(QStringLiteral("lstYField"));
    m_lstYField->setGeometry(12, 50, 270, 164);
    // One click toggles one entry.
    m_lstYField->setSelectionMode(QAbstractItemView::MultiSelection);

    m_btnShow = new QPushButton(QStringLiteral("图形显示"), panelXY);
    m_btnShow->setObjectName(QStringLiteral("btnShow"));
    m_btnShow->setGeometry(24, 312, 90, 25);

    auto *panelChart = new QWidget(m_splitter);
    panelChart->setObjectName(QStringLiteral("PanelChart"));
    m_chart = new ChartPlayer(panelChart);
    m_chart->setObjectName(QStringLiteral("Chart"));
    auto *chartLayout = new QHBoxLayout(panelChart);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->addWidget(m_chart);

    m_splitter->addWidget(panelXY);
    m_splitter->addWidget(panelChart);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({310, 490});
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_splitter);

    connect(m_comXField, &QComboBox::currentIndexChanged, this, contained(this, [this](int index) {
                m_tab.chooseX(index);
                m_tab.comXFieldClick();
                m_btnShow->setEnabled(m_tab.showEnabled());
            }));
    connect(m_lstYField, &QListWidget::itemSelectionChanged, this, contained(this, [this] {
                syncYSelection();
                m_tab.comXFieldClick();
                m_btnShow->setEnabled(m_tab.showEnabled());
            }));
    connect(m_rbnMnyType, &QRadioButton::clicked, this, contained(this, [this] {
                m_tab.rbnMnyTypeClick();
                syncLists();
            }));
    connect(m_rbnValType, &QRadioButton::clicked, this, contained(this, [this] {
                m_tab.rbnValTypeClick();
                syncLists();
            }));
    connect(m_btnShow, &QPushButton::clicked, this, contained(this, [this] { btnShowClick(); }));

    syncLists();
}

ChartTabPage::~ChartTabPage() = default;

void ChartTabPage::PageControl1Change()
{
    m_tab.PageControl1Change();
    syncLists();
}

void ChartTabPage::btnShowClick()
{
    try {
        m_tab.btnShowClick(*m_chart, [this](std::string_view message) {
            showMessage(QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())));
        });
    } catch (const std::exception &e) {
        // The drawing stopped at the row whose value is not a number.
        m_report(this, e.what());
    }
}

// Window-modal and not waited for, like the failure boxes.
void ChartTabPage::showMessage(const QString &message)
{
    auto *box = new QMessageBox(QMessageBox::Information, window()->windowTitle(), message,
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->show();
}

// The controls show the tab's state; their signals stay quiet meanwhile,
// since nothing the user did is to be forwarded.
void ChartTabPage::syncLists()
{
    const QSignalBlocker blockX(m_comXField);
    const QSignalBlocker blockY(m_lstYField);
    m_comXField->clear();
    for (const std::string &entry : m_tab.xEntries())
        m_comXField->addItem(text(entry));
    m_comXField->setCurrentIndex(m_tab.xChoice());

    m_lstYField->clear();
    for (const std::string &entry : m_tab.yEntries())
        m_lstYField->addItem(text(entry));
    for (int i = 0; i < m_lstYField->count(); ++i)
        m_lstYField->item(i)->setSelected(m_tab.isYSelected(i));

    (m_tab.moneyMode() ? m_rbnMnyType : m_rbnValType)->setChecked(true);
    m_btnShow->setEnabled(m_tab.showEnabled());
}

void ChartTabPage::syncYSelection()
{
    for (int i = 0; i < m_lstYField->count(); ++i)
        m_tab.selectY(i, m_lstYField->item(i)->isSelected());
}

} // namespace tally::tabular
