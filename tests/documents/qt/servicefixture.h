#pragma once

// The running service inside the test: a TMainForm with the document
// windows registered, listening on a free port and printing into a scratch
// PDF spool folder. Requests go over real HTTP from another thread while the
// test turns the GUI thread's event loop and closes windows as a clerk would.
#include "service/qt/tmainform.h"
#include "service/requestjson.h"
#include "support/qtwidgetsapp.h"

#include <QApplication>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace tally::documents {

class TPrintDocument;

namespace test {

// A sample request body from samples/requests, as stored (URL-encoded).
std::string readSample(const std::string &name);

// The request a body carries, decoded as the service decodes it.
service::RequestJson decodeBody(const std::string &body);

// The URL-encoded body of a request with these members.
std::string encodeRequest(const service::RequestJson &request);

// Standard output of a finished program, or empty when it failed.
QString runTool(const QString &program, const QStringList &arguments);

// The first visible top-level window of the type, or null.
template <class Window> Window *visibleWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *window = dynamic_cast<Window *>(widget); window && window->isVisible())
            return window;
    return nullptr;
}

class ServiceFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Posts `body` and, on the GUI thread meanwhile, hands the document
    // window to `handleWindow` once it is on screen; that must close it. An
    // empty `handleWindow` expects no window at all. Returns the reply's
    // status, or 0 without a reply.
    int post(const std::string &body, const std::function<void(TPrintDocument &)> &handleWindow);

    // Posts `body` and closes every window it opens, previews first, as
    // soon as each is up, until the reply arrives. Returns the reply's
    // status, or 0 without a reply.
    int postClosingWindows(const std::string &body, const std::string &method = "POST");

    QStringList pdfFiles() const;
    // The activity log's lines, without their time stamps.
    QStringList logLines() const;

    QTemporaryDir m_spool;
    std::unique_ptr<service::TMainForm> m_form;
};

} // namespace test
} // namespace tally::documents
