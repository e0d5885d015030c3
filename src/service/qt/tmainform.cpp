#include "service/qt/tmainform.h"

#include "base/datetimeformat.h"
#include "service/httplistener.h"
#include "service/qt/guidispatcher.h"
#include "service/qt/originsettings.h"
#include "service/qt/servicelog.h"
#include "service/requestintake.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTimer>

#include <cstdio>

namespace tally::service {

namespace {

constexpr int kLabelStartX = 568;
constexpr int kLabelEndX = -90;

// A drawn icon for the notification area when the program has none of its own.
QIcon fallbackIcon()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0, 90, 170));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(8, 6, 16, 8));  // paper going in
    painter.drawRect(QRectF(5, 14, 22, 8)); // printer body
    painter.drawRect(QRectF(9, 20, 14, 7)); // paper coming out
    return QIcon(pixmap);
}

} // namespace

TMainForm::TMainForm(Options options, QWidget *parent)
    : ContainedWidget<QWidget>(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_options(std::move(options)), m_settings(FormatSettings::fromSystemLocale())
{
    if (!m_options.showMessage) {
        m_options.showMessage = [](QWidget *owner, const QString &text) {
            QMessageBox::information(owner, QCoreApplication::applicationName(), text);
        };
    }
    m_intake = std::make_unique<RequestIntake>([this](const std::string &line) { AddLog(line); },
                                               m_settings);
    Containment::setLogSink([this](const std::string &line) { AddLog(line); });
    m_gui = std::make_shared<GuiDispatcher>(this);
    const OriginPolicy origins = originPolicyFromSettings();
    m_listener = std::make_unique<HttpListener>(
        [this](std::string_view method, const std::string &body) {
            m_intake->handleRequest(method, body);
        },
        [this](const std::string &line) { AddLog(line); }, HttpListener::Limits{}, origins);

    buildWindow();
    if (origins.restricted())
        AddLog(describeOriginPolicy(origins));

    m_labMsg->setText(QStringLiteral("追求极致性价比"));
    m_labMsg->adjustSize();
    m_closeAllowed = false;
    m_panels[3]->setText(QString::fromUtf8(dateTimeToString(LocalDateTime::now(), m_settings)));
    handleCommandLine(m_options.arguments);
    const QString port = QString::number(m_options.port);
    if (m_listener->start(m_options.port))
        m_panels[1]->setText(QStringLiteral("端口:") + port + QStringLiteral(" 启动成功"));
    else {
        qCWarning(lcService) << "cannot listen on port" << m_options.port;
        m_panels[1]->setText(QStringLiteral("端口:") + port + QStringLiteral(" 启动失败"));
    }
}

TMainForm::~TMainForm()
{
    // Connection threads may wait for windows of this thread: free them all
    // before waiting for those threads, and keep late log lines off this object.
    {
        const std::lock_guard lock(m_logMutex);
        m_logClosed = true;
    }
    Containment::setLogSink({});
    m_gui->close();
    const auto children = findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *child : children)
        if (child->isWindow())
            delete child;
    m_listener->stop();
}

void TMainForm::buildWindow()
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("网页打印伺服程序1.6"));
    resize(789, 242);
    move(316, 274);
    setWindowIcon(QApplication::windowIcon().isNull() ? fallbackIcon()
                                                      : QApplication::windowIcon());

    m_memoMsg = new QPlainTextEdit(this);
    m_memoMsg->setObjectName(QStringLiteral("MemoMSG"));
    m_memoMsg->setGeometry(0, 0, 789, 161);
    m_memoMsg->setReadOnly(true);
    m_memoMsg->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memoMsg->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memoMsg->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette memoPalette = m_memoMsg->palette();
    memoPalette.setColor(QPalette::Base, QColor(137, 245, 240));
    m_memoMsg->setPalette(memoPalette);

    m_btnHide = new QPushButton(QStringLiteral("隐藏"), this);
    m_btnHide->setObjectName(QStringLiteral("btnHide"));
    m_btnHide->setFlat(true);
    m_btnHide->setGeometry(40, 193, 73, 25);
    connect(m_btnHide, &QPushButton::clicked, this, contained(this, [this] { btnHideClick(); }));

    m_btnClose = new QPushButton(QStringLiteral("关闭"), this);
    m_btnClose->setObjectName(QStringLiteral("btnClose"));
    m_btnClose->setFlat(true);
    m_btnClose->setGeometry(128, 193, 73, 25);
    connect(m_btnClose, &QPushButton::clicked, this, contained(this, [this] { btnCloseClick(); }));

    m_labMsg = new QLabel(this);
    m_labMsg->setObjectName(QStringLiteral("LabMSG"));
    QPalette labelPalette = m_labMsg->palette();
    labelPalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    m_labMsg->setPalette(labelPalette);
    m_labMsg->move(kLabelStartX, 176);

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar"));
    m_statusBar->setSizeGripEnabled(false);
    const int barHeight = 19;
    m_statusBar->setGeometry(0, 242 - barHeight, 789, barHeight);
    struct Panel
    {
        int width;
        Qt::Alignment alignment;
        QString text;
    };
    const Panel panels[4] = {
        {50, Qt::AlignRight, QStringLiteral("状态：")},
        {150, Qt::AlignLeft, QString()},
        {50, Qt::AlignHCenter, QStringLiteral("时间:")},
        {150, Qt::AlignLeft, QString()},
    };
    for (int i = 0; i < 4; ++i) {
        m_panels[i] = new QLabel(panels[i].text, m_statusBar);
        m_panels[i]->setObjectName(QStringLiteral("Panel%1").arg(i));
        m_panels[i]->setFixedWidth(panels[i].width);
        m_panels[i]->setAlignment(panels[i].alignment | Qt::AlignVCenter);
        m_statusBar->addWidget(m_panels[i]);
    }

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer"));
    m_timer->setInterval(100);
    connect(m_timer, &QTimer::timeout, this, contained(this, [this] { timerTick(); }));
    m_timer->start();
}

void TMainForm::handleCommandLine(const QStringList &arguments)
{
    if (arguments.size() == 2)
        showMessage(arguments[0].mid(1) + QStringLiteral("DD") + arguments[1].mid(1));
    else if (arguments.size() == 1)
        AddLog(arguments[0] + QStringLiteral(" DD "));
}

void TMainForm::AddLog(const QString &text)
{
    AddLog(text.toStdString());
}

void TMainForm::AddLog(const std::string &text)
{
    // The stamp is taken under the lock, so stamps never run backwards.
    const std::lock_guard lock(m_logMutex);
    const std::string line =
        formatDateTime("yyyy-mm-dd,hh:nn:ss", LocalDateTime::now()) + ":" + text;
    if (m_options.echoLogToStderr) {
        std::fwrite(line.data(), 1, line.size(), stderr);
        std::fputc('\n', stderr);
    }
    if (m_logClosed)
        return;
    const bool flushQueued = !m_pendingLines.isEmpty();
    m_pendingLines.append(QString::fromStdString(line));
    if (!flushQueued)
        QMetaObject::invokeMethod(this, &TMainForm::flushLog, Qt::QueuedConnection);
}

void TMainForm::flushLog()
{
    QStringList lines;
    {
        const std::lock_guard lock(m_logMutex);
        lines.swap(m_pendingLines);
    }
    for (const QString &line : lines)
        m_memoMsg->appendPlainText(line);
}

int TMainForm::OpenCount() const
{
    return m_intake->openCount();
}

int TMainForm::listeningPort() const
{
    return m_listener->port();
}

void TMainForm::registerWindow(const std::string &djlx, GuiWindowLauncher::WindowFactory factory)
{
    m_intake->dispatchTable().registerLauncher(
        djlx, std::make_shared<GuiWindowLauncher>(m_gui, std::move(factory)));
}

void TMainForm::timerTick()
{
    m_panels[3]->setText(QString::fromUtf8(dateTimeToString(LocalDateTime::now(), m_settings)));
    if (m_labMsg->x() <= kLabelEndX)
        m_labMsg->move(kLabelStartX, m_labMsg->y());
    else
        m_labMsg->move(m_labMsg->x() - 1, m_labMsg->y());
}

void TMainForm::btnHideClick()
{
    if (!m_notifyData) {
        m_notifyData = new QSystemTrayIcon(windowIcon(), this);
        m_notifyData->setToolTip(QStringLiteral("打印服务器---正在运行......"));
        connect(m_notifyData, &QSystemTrayIcon::activated, this,
                contained(this, [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::Trigger)
                        restoreFromTray();
                }));
    }
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_notifyData->show();
        hide();
    } else {
        showMinimized();
    }
}

void TMainForm::restoreFromTray()
{
    m_notifyData->hide();
    showNormal();
    raise();
    activateWindow();
}

bool TMainForm::allowClose()
{
    if (OpenCount() > 0) {
        showMessage(QStringLiteral("还有未关闭打印界面"));
        return false;
    }
    m_closeAllowed = true;
    return true;
}

void TMainForm::btnCloseClick()
{
    if (allowClose())
        close();
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    // Any request to close goes through the close button's rule.
    if (m_closeAllowed || allowClose()) {
        event->accept();
        m_timer->stop();
        emit closed();
    } else {
        event->ignore();
    }
}

void TMainForm::showMessage(const QString &text)
{
    m_options.showMessage(this, text);
}

} // namespace tally::service
