#pragma once

// The print service running inside a test program: the main window with the
// program's windows registered, listening on a free port, and by default
// printing every job as a PDF into a scratch spool folder; page settings go
// to the test's scratch settings store. Requests go over
// real HTTP from another thread while the test turns the GUI thread's event
// loop (see qtwidgetsapp.h) and closes windows as a clerk would.
#include "service/qt/tmainform.h"
#include "service/requestjson.h"
#include "support/qtwidgetsapp.h"

#include <QApplication>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <memory>
#include <string>

namespace tally::testing_support {

// A request body from samples/requests, as stored (URL-encoded).
std::string readSampleRequest(const std::string &name);

// The request a body carries, decoded as the service decodes it.
service::RequestJson decodeBody(const std::string &body);

// The URL-encoded body of a request with these members (`data` for the
// generic list, the two packets otherwise).
std::string encodeRequest(const service::RequestJson &request);

// Standard output of a program that must succeed; a test failure with its
// error output, and an empty text, when it does not.
QString runTool(const QString &program, const QStringList &arguments);

// Sends a request to the service from another thread: the reply's status,
// or 0 without a reply.
std::future<int> sendAsync(int port, const std::string &body, const std::string &method = "POST");
bool ready(std::future<int> &reply);

// The first visible top-level window of the type, or null.
template <class Window> Window *visibleWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *window = dynamic_cast<Window *>(widget); window && window->isVisible())
            return window;
    return nullptr;
}

class RunningService;

// Posts `body` and, on the GUI thread meanwhile, hands the first window of
// the type to `handleWindow` once it is on screen; that must close it. An
// empty `handleWindow` expects no such window at all. Returns the reply's
// status, or 0 without a reply.
template <class Window>
int postHandlingWindow(const RunningService &service, const std::string &body,
                       const std::function<void(Window &)> &handleWindow);

class RunningService
{
public:
    enum class Output
    {
        PdfSpool,     // every job becomes a PDF in a scratch folder
        SystemPrinter // jobs go to the system's current printer
    };

    explicit RunningService(Output output = Output::PdfSpool);
    ~RunningService();
    RunningService(const RunningService &) = delete;
    RunningService &operator=(const RunningService &) = delete;

    // 0 when the service could not listen.
    int port() const;
    std::string url() const;
    service::TMainForm &form() { return *m_form; }

    // The PDFs in the spool folder, with their paths.
    QStringList pdfFiles() const;
    // The activity log's lines without their time stamps.
    QStringList logLines() const;

private:
    Output m_output;
    QTemporaryDir m_spool;
    std::unique_ptr<service::TMainForm> m_form;
};

template <class Window>
int postHandlingWindow(const RunningService &service, const std::string &body,
                       const std::function<void(Window &)> &handleWindow)
{
    std::future<int> reply = sendAsync(service.port(), body);
    bool handled = false;
    processEventsUntil([&] {
        if (!handled)
            if (Window *window = visibleWindow<Window>()) {
                handled = true;
                if (handleWindow)
                    handleWindow(*window);
            }
        return ready(reply);
    });
    EXPECT_EQ(handled, bool(handleWindow)) << "a window should come up iff expected";
    return ready(reply) ? reply.get() : 0;
}

} // namespace tally::testing_support
