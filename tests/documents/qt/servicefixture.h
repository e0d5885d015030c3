#pragma once

// The running service for document requests: posts a body and hands the
// document window to the test, or closes every window the request opens.
#include "support/qtwidgetsapp.h"
#include "support/runningservice.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

namespace tally::documents {

class TPrintDocument;

namespace test {

using testing_support::decodeBody;
using testing_support::encodeRequest;
using testing_support::readSampleRequest;
using testing_support::runTool;
using testing_support::visibleWindow;

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

    QStringList pdfFiles() const { return m_service->pdfFiles(); }
    QStringList logLines() const { return m_service->logLines(); }
    service::TMainForm &form() { return m_service->form(); }

    std::optional<testing_support::RunningService> m_service;
};

} // namespace test
} // namespace tally::documents
