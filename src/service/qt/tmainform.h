#pragma once

#include "base/formatsettings.h"
#include "base/qt/containment.h"
#include "service/qt/guiwindowlauncher.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <mutex>
#include <string>

class QCloseEvent;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QSystemTrayIcon;
class QTimer;

namespace tally::service {

class GuiDispatcher;
class HttpListener;
class RequestIntake;

// The main window of the print service: the activity log, the hide and close
// buttons, the scrolling label, the status bar and the notification icon. It
// owns the request intake and the HTTP listener, which it starts on creation,
// and receives the log lines of failures contained in any window.
class TMainForm : public ContainedWidget<QWidget>
{
    Q_OBJECT

public:
    struct Options
    {
        int port = 9300;
        QStringList arguments;        // command-line arguments without the program
        bool echoLogToStderr = false; // also write each log line to stderr
        // Shows a message box; tests replace it. Default: a modal box.
        std::function<void(QWidget *parent, const QString &text)> showMessage;
    };

    // Builds the window, handles the command line and starts the listener
    // with the origin allow-list of the settings store or the environment
    // (originPolicyFromSettings(), logged when set); a listener that cannot
    // start is reported in the status bar only.
    explicit TMainForm(Options options, QWidget *parent = nullptr);
    // Stops the listener after closing any document window still open.
    ~TMainForm() override;

    // Appends "yyyy-mm-dd,hh:nn:ss:" + text to the log view as one line.
    // Callable from any thread; lines appear in call order.
    void AddLog(const std::string &text);
    void AddLog(const QString &text);

    // Requests currently inside a document window.
    int OpenCount() const;

    // The port the listener is bound to (the chosen one when started with
    // port 0), or 0 when it could not start.
    int listeningPort() const;

    // The request intake (its dispatch table takes further launchers).
    RequestIntake &intake() { return *m_intake; }

    // Makes `factory` build the window of document type `djlx`.
    void registerWindow(const std::string &djlx, GuiWindowLauncher::WindowFactory factory);

    // One timer tick: clock panel and scrolling label.
    void timerTick();

signals:
    // The window has been allowed to close; the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildWindow();
    void handleCommandLine(const QStringList &arguments);
    void btnHideClick();
    void btnCloseClick();
    bool allowClose();
    void restoreFromTray();
    void flushLog();
    void showMessage(const QString &text);

    Options m_options;
    FormatSettings m_settings;
    bool m_closeAllowed = false;

    QPlainTextEdit *m_memoMsg = nullptr;
    QPushButton *m_btnHide = nullptr;
    QPushButton *m_btnClose = nullptr;
    QLabel *m_labMsg = nullptr;
    QStatusBar *m_statusBar = nullptr;
    QLabel *m_panels[4] = {};
    QTimer *m_timer = nullptr;
    QSystemTrayIcon *m_notifyData = nullptr; // made on the first hide

    std::mutex m_logMutex; // guards the pending lines and the closed flag
    QStringList m_pendingLines;
    bool m_logClosed = false;

    std::unique_ptr<RequestIntake> m_intake;
    std::shared_ptr<GuiDispatcher> m_gui;
    std::unique_ptr<HttpListener> m_listener;
};

} // namespace tally::service
