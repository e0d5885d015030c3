#include "servicefixture.h"

#include "documents/qt/tprintdocument.h"
#include "printing/qt/preview/tformpreview.h"
#include "service/requesttext.h"
#include "tallyhost/hostwindows.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <fstream>
#include <future>
#include <sstream>

namespace tally::documents::test {

namespace {

// Page settings and the preview's zoom type go to a scratch store.
class ScratchSettingsEnvironment : public testing_support::QtWidgetsEnvironment
{
public:
    void SetUp() override
    {
        QStandardPaths::setTestModeEnabled(true);
        QtWidgetsEnvironment::SetUp();
    }
};

const auto *const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new ScratchSettingsEnvironment);

using testing_support::processEventsUntil;

} // namespace

std::string readSample(const std::string &name)
{
    std::ifstream in(std::string(TALLY_SAMPLES_DIR) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

service::RequestJson decodeBody(const std::string &body)
{
    const service::UrlDecodeResult bytes = service::UrlDecode(body);
    return service::parseRequestJson(service::DecodeUtf8(bytes.bytes));
}

std::string encodeRequest(const service::RequestJson &request)
{
    nlohmann::json json = {
        {"title", request.title}, {"prev", request.prev}, {"djlx", request.djlx}};
    if (request.djlx == "0") {
        json["data"] = request.data;
    } else {
        json["Maindata"] = request.mainData;
        json["Itemdata"] = request.itemData;
    }
    return QUrl::toPercentEncoding(QString::fromStdString(json.dump())).toStdString();
}

QString runTool(const QString &program, const QStringList &arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0)
        return {};
    return QString::fromUtf8(tool.readAllStandardOutput());
}

void ServiceFixture::SetUp()
{
    ASSERT_TRUE(m_spool.isValid());
    qputenv("TALLY_PDF_DIR", m_spool.path().toUtf8());
    service::TMainForm::Options options;
    options.port = 0;
    options.showMessage = [](QWidget *, const QString &) {};
    m_form = std::make_unique<service::TMainForm>(std::move(options));
    tally::host::registerHostWindows(*m_form);
    ASSERT_GT(m_form->listeningPort(), 0);
}

void ServiceFixture::TearDown()
{
    m_form.reset();
    qunsetenv("TALLY_PDF_DIR");
}

namespace {

std::future<int> sendAsync(int port, const std::string &method, const std::string &body)
{
    return std::async(std::launch::async, [port, method, body] {
        httplib::Client client("127.0.0.1", port);
        client.set_read_timeout(std::chrono::seconds(120));
        const httplib::Result r = method == "POST"
                                      ? client.Post("/", body, "application/x-www-form-urlencoded")
                                      : client.Get("/");
        return r ? r->status : 0;
    });
}

bool ready(std::future<int> &reply)
{
    return reply.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

} // namespace

int ServiceFixture::post(const std::string &body,
                         const std::function<void(TPrintDocument &)> &handleWindow)
{
    std::future<int> reply = sendAsync(m_form->listeningPort(), "POST", body);
    bool handled = false;
    processEventsUntil([&] {
        if (!handled)
            if (TPrintDocument *window = visibleWindow<TPrintDocument>()) {
                handled = true;
                if (handleWindow)
                    handleWindow(*window);
            }
        return ready(reply);
    });
    EXPECT_EQ(handled, bool(handleWindow)) << "a document window should come up iff expected";
    return ready(reply) ? reply.get() : 0;
}

int ServiceFixture::postClosingWindows(const std::string &body, const std::string &method)
{
    std::future<int> reply = sendAsync(m_form->listeningPort(), method, body);
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

QStringList ServiceFixture::pdfFiles() const
{
    QStringList files;
    for (const QString &name : QDir(m_spool.path()).entryList({QStringLiteral("*.pdf")}))
        files.append(QDir(m_spool.path()).filePath(name));
    return files;
}

QStringList ServiceFixture::logLines() const
{
    QCoreApplication::processEvents();
    QStringList lines;
    const QString text =
        m_form->findChild<QPlainTextEdit *>(QStringLiteral("MemoMSG"))->toPlainText();
    for (const QString &line : text.split(QLatin1Char('\n')))
        lines.append(line.mid(20)); // after the time stamp "yyyy-mm-dd,hh:nn:ss:"
    return lines;
}

} // namespace tally::documents::test
