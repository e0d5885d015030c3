#include "base/qt/containment.h"

#include "base/failuretext.h"
#include "base/qt/baselog.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QStringList>

#include <mutex>

namespace tally {

namespace {

// Failures already shown by a window, so a paint that fails on every
// repaint neither floods the log nor stacks boxes. Lives with the window.
constexpr const char *kShownProperty = "tallyShownFailures";

struct Sink
{
    std::mutex mutex;
    Containment::LogSink sink;
};

Sink &sink()
{
    static Sink instance;
    return instance;
}

QString windowCaption(const QWidget *window)
{
    if (window && !window->windowTitle().isEmpty())
        return window->windowTitle();
    return QCoreApplication::applicationName();
}

void writeLog(const std::string &line)
{
    Sink &s = sink();
    const std::lock_guard lock(s.mutex);
    if (s.sink)
        s.sink(line);
}

// Marks `key` shown in `window`; false when it was already.
bool firstTime(QWidget *window, const QString &key)
{
    QStringList shown = window->property(kShownProperty).toStringList();
    if (shown.contains(key))
        return false;
    shown.append(key);
    window->setProperty(kShownProperty, shown);
    return true;
}

} // namespace

void Containment::setLogSink(LogSink logSink)
{
    Sink &s = sink();
    const std::lock_guard lock(s.mutex);
    s.sink = std::move(logSink);
}

void Containment::log(QWidget *where, const std::string &text)
{
    QWidget *window = where ? where->window() : nullptr;
    const QString caption = window ? window->windowTitle() : QString();
    if (caption.isEmpty())
        writeLog("窗口出错：" + text);
    else
        writeLog("窗口出错（" + caption.toStdString() + "）：" + text);
}

void Containment::report(QWidget *where, const std::string &text, const std::string &key)
{
    QWidget *window = where ? where->window() : nullptr;
    if (!window) {
        log(nullptr, text);
        return;
    }
    if (!firstTime(window, QString::fromStdString(key.empty() ? text : key)))
        return;
    qCWarning(lcWindows) << window->metaObject()->className() << window->objectName()
                         << "contained a failure:" << text.c_str();
    log(window, text);
    QMetaObject::invokeMethod(
        window,
        [window, message = QString::fromStdString(text)] {
            auto *box = new QMessageBox(QMessageBox::Warning, windowCaption(window), message,
                                        QMessageBox::Ok, window);
            box->setObjectName(QString::fromLatin1(kBoxName));
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->setWindowModality(Qt::WindowModal);
            box->show();
        },
        Qt::QueuedConnection);
}

void Containment::reportCurrent(QWidget *where) noexcept
{
    try {
        report(where, currentFailureText());
    } catch (...) {
        // Reporting itself failed (out of memory, a throwing log sink): the
        // failure is dropped rather than taking the process down.
    }
}

} // namespace tally
