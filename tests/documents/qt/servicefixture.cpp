#include "servicefixture.h"

#include "documents/qt/tprintdocument.h"
#include "printing/qt/preview/tformpreview.h"

namespace tally::documents::test {

namespace {

const auto *const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new testing_support::QtWidgetsEnvironment);

using testing_support::processEventsUntil;
using testing_support::ready;
using testing_support::sendAsync;

} // namespace

void ServiceFixture::SetUp()
{
    m_service.emplace();
    ASSERT_GT(m_service->port(), 0);
}

void ServiceFixture::TearDown()
{
    m_service.reset();
}

int ServiceFixture::post(const std::string &body,
                         const std::function<void(TPrintDocument &)> &handleWindow)
{
    return testing_support::postHandlingWindow(*m_service, body, handleWindow);
}

int ServiceFixture::postClosingWindows(const std::string &body, const std::string &method)
{
    std::future<int> reply = sendAsync(m_service->port(), body, method);
    processEventsUntil([&] {
        using printing::preview::TFormPreview;
        if (auto *preview = visibleWindow<TFormPreview>())
            preview->close();
        else if (auto *window = visibleWindow<TPrintDocument>())
            window->close();
        return ready(reply);
    });
    return ready(reply) ? reply.get() : 0;
}

} // namespace tally::documents::test
