#include "support/runningservice.h"

#include "service/requesttext.h"
#include "tallyhost/hostwindows.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <fstream>
#include <sstream>

namespace tally::testing_support {

std::string readSampleRequest(const std::string &name)
{
    std::ifstream in(std::string(TALLY_SAMPLE_REQUESTS_DIR) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << "no sample request " << name;
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
    if (!tool.waitForFinished(60000) || tool.exitStatus() != QProcess::NormalExit ||
        tool.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " " << arguments.join(u' ').toStdString() << ": "
                      << tool.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(tool.readAllStandardOutput());
}

std::future<int> sendAsync(int port, const std::string &body, const std::string &method)
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

RunningService::RunningService(Output output) : m_output(output)
{
    // Page settings and the preview's zoom type go to a scratch store.
    QStandardPaths::setTestModeEnabled(true);
    if (m_output == Output::PdfSpool) {
        EXPECT_TRUE(m_spool.isValid());
        qputenv("TALLY_PDF_DIR", m_spool.path().toUtf8());
    } else {
        qunsetenv("TALLY_PDF_DIR");
    }
    service::TMainForm::Options options;
    options.port = 0;
    options.showMessage = [](QWidget *, const QString &) {};
    m_form = std::make_unique<service::TMainForm>(std::move(options));
    host::registerHostWindows(*m_form);
}

RunningService::~RunningService()
{
    m_form.reset();
    if (m_output == Output::PdfSpool)
        qunsetenv("TALLY_PDF_DIR");
}

int RunningService::port() const
{
    return m_form->listeningPort();
}

std::string RunningService::url() const
{
    return "http://127.0.0.1:" + std::to_string(port()) + "/";
}

QStringList RunningService::pdfFiles() const
{
    QStringList files;
    if (m_output != Output::PdfSpool)
        return files;
    const QDir spool(m_spool.path());
    for (const QString &name : spool.entryList({QStringLiteral("*.pdf")}))
        files.append(spool.filePath(name));
    return files;
}

QStringList RunningService::logLines() const
{
    QCoreApplication::processEvents();
    QStringList lines;
    const QString text =
        m_form->findChild<QPlainTextEdit *>(QStringLiteral("MemoMSG"))->toPlainText();
    for (const QString &line : text.split(QLatin1Char('\n')))
        lines.append(line.mid(20)); // after the time stamp "yyyy-mm-dd,hh:nn:ss:"
    return lines;
}

} // namespace tally::testing_support
