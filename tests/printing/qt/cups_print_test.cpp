// Printing through a real print system: ctest brings up a private cupsd whose
// default queue "tally" is a cups-pdf printer with Letter paper
// (cups_fixture.sh). Requests are POSTed to the running service without
// TALLY_PDF_DIR, so its windows print on the system's current printer; the
// tests read each job back from CUPS and the PDF cups-pdf wrote with pdfinfo
// and pdftotext.
#include "documents/qt/tprintdocument.h"
#include "printing/custombillbase.h"
#include "printing/qt/preview/tformpreview.h"
#include "printing/qt/qtsettingsstore.h"
#include "service/requestjson.h"
#include "support/qtwidgetsapp.h"
#include "support/runningservice.h"
#include "tabular/qt/tgridora.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cups/cups.h>
#include <signal.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <optional>
#include <string>
#include <vector>

namespace tally::documents {
namespace {

using testing_support::processEventsUntil;

constexpr const char *kQueue = "tally";

QString fixtureDir()
{
    return QString::fromUtf8(TALLY_CUPS_DIR);
}

// Points libcups (and Qt's print support through it) at the private cupsd
// and keeps page settings in a scratch folder, before the application starts.
class CupsEnvironment : public testing_support::QtWidgetsEnvironment
{
public:
    void SetUp() override
    {
        qputenv("CUPS_SERVER", (fixtureDir() + QStringLiteral("/cups.sock")).toUtf8());
        qunsetenv("TALLY_PDF_DIR");
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
        QtWidgetsEnvironment::SetUp();
    }

private:
    QTemporaryDir m_config;
};

const auto *const kEnvironment = ::testing::AddGlobalTestEnvironment(new CupsEnvironment);

using testing_support::decodeBody;
using testing_support::encodeRequest;
using testing_support::readSampleRequest;
using testing_support::runTool;
using testing_support::visibleWindow;

// The sample with its item rows repeated `times` times and prev set.
std::string sampleBody(const std::string &name, int times, const char *prev)
{
    service::RequestJson request = decodeBody(readSampleRequest(name));
    std::string &items = request.itemData;
    const std::size_t begin = items.find("<ROW ");
    const std::size_t end = items.rfind("</ROWDATA>");
    const std::string rows = items.substr(begin, end - begin);
    for (int i = 1; i < times; ++i)
        items.insert(end, rows);
    request.prev = prev;
    return encodeRequest(request);
}

struct Job
{
    int id = 0;
    std::string title;
    ipp_jstate_t state = IPP_JSTATE_PENDING;
};

std::vector<Job> queueJobs()
{
    cups_job_t *list = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &list, kQueue, 0, CUPS_WHICHJOBS_ALL);
    std::vector<Job> jobs;
    for (int i = 0; i < count; ++i)
        jobs.push_back({list[i].id, list[i].title ? list[i].title : "", list[i].state});
    cupsFreeJobs(count, list);
    return jobs;
}

int lastJobId()
{
    int last = 0;
    for (const Job &job : queueJobs())
        last = std::max(last, job.id);
    return last;
}

// The jobs after `afterId`, once all of them have ended (empty after a
// minute without).
std::vector<Job> jobsAfter(int afterId)
{
    for (int tries = 0; tries < 600; ++tries) {
        std::vector<Job> jobs;
        bool ended = true;
        for (const Job &job : queueJobs())
            if (job.id > afterId) {
                jobs.push_back(job);
                ended = ended && job.state >= IPP_JSTATE_CANCELED;
            }
        if (ended)
            return jobs;
        QThread::msleep(100);
    }
    return {};
}

// The copies a job asks for (a job without the attribute asks for one).
int jobCopies(int id)
{
    ipp_t *request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", id);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 "ipp://localhost/printers/tally");
    ipp_t *response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    int value = 1;
    if (ipp_attribute_t *attr = ippFindAttribute(response, "copies", IPP_TAG_INTEGER))
        value = ippGetInteger(attr, 0);
    ippDelete(response);
    return value;
}

// The PDF cups-pdf wrote for a job; it names files "<title>-job_<id>.pdf".
QString outputOf(int jobId)
{
    const QDir out(fixtureDir() + QStringLiteral("/out"));
    const QStringList files =
        out.entryList({QStringLiteral("*-job_%1.pdf").arg(jobId)}, QDir::Files);
    return files.size() == 1 ? out.filePath(files.front()) : QString();
}

struct PdfPages
{
    std::vector<QSizeF> sizes; // points, as printed
    QStringList texts;         // each page's text
};

PdfPages readPdf(const QString &file)
{
    PdfPages pdf;
    const QString info =
        runTool(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"),
                                            QStringLiteral("-l"), QStringLiteral("9999"), file});
    static const QRegularExpression size(
        QStringLiteral("Page\\s+\\d+ size:\\s+([\\d.]+) x ([\\d.]+) pts"));
    for (auto it = size.globalMatch(info); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        pdf.sizes.emplace_back(m.captured(1).toDouble(), m.captured(2).toDouble());
    }
    pdf.texts = runTool(QStringLiteral("pdftotext"), {file, QStringLiteral("-")})
                    .split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    return pdf;
}

// Accepts or rejects jobs on the queue, as cupsaccept and cupsreject do.
bool setQueueAccepting(bool accepting)
{
    ipp_t *request = ippNewRequest(accepting ? IPP_OP_CUPS_ACCEPT_JOBS : IPP_OP_CUPS_REJECT_JOBS);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 "ipp://localhost/printers/tally");
    ippDelete(cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/admin/"));
    return cupsLastError() <= IPP_STATUS_OK_CONFLICTING;
}

// Ends the fixture's cupsd, as a crash or a shutdown of the print system would.
bool stopCupsd()
{
    QFile pidFile(fixtureDir() + QStringLiteral("/cupsd.pid"));
    if (!pidFile.open(QIODevice::ReadOnly))
        return false;
    const pid_t pid = pidFile.readAll().trimmed().toInt();
    if (pid <= 0 || ::kill(pid, SIGTERM) != 0)
        return false;
    for (int tries = 0; tries < 100 && ::kill(pid, 0) == 0; ++tries)
        QThread::msleep(50);
    return ::kill(pid, 0) != 0;
}

// Brings the fixture up again after stopCupsd.
bool restartCupsd()
{
    QProcess fixture;
    fixture.start(QStringLiteral("bash"),
                  {QString::fromUtf8(TALLY_CUPS_FIXTURE), QStringLiteral("start"), fixtureDir()});
    return fixture.waitForFinished(60000) && fixture.exitCode() == 0;
}

// Where pdftotext finds `word` first, in points; empty when nowhere.
QRectF firstWordBox(const QString &file, const QString &word)
{
    const QString boxes =
        runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), file, QStringLiteral("-")});
    static const QRegularExpression box(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                       "yMax=\"([\\d.]+)\">([^<]*)</word>"));
    for (auto it = box.globalMatch(boxes); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(5) == word)
            return QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                          QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()));
    }
    return {};
}

class CupsPrintTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The fixture is part of the test command: without it these tests fail.
        ASSERT_EQ(QPrinterInfo::defaultPrinterName(), QString::fromLatin1(kQueue))
            << "the private print system is not up (CUPS_SERVER=" << qgetenv("CUPS_SERVER").data()
            << "); ctest starts it with the test cups.start, tests/printing/qt/cups_fixture.sh";
        m_service.emplace(testing_support::RunningService::Output::SystemPrinter);
        ASSERT_GT(m_service->port(), 0);
        // Every case starts from the page setup of the layouts.
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("VAZ"),
                  QStringLiteral("Bill"))
            .clear();
        m_firstJob = lastJobId() + 1;
    }
    void TearDown() override { m_service.reset(); }

    // Posts `body`; on the GUI thread meanwhile `handleWindow` gets the
    // document window once it shows and must close it (empty: no window is
    // expected). Returns the reply's status, or 0 without a reply.
    int post(const std::string &body, const std::function<void(TPrintDocument &)> &handleWindow)
    {
        return testing_support::postHandlingWindow(*m_service, body, handleWindow);
    }

    // Posts a printing request and returns the one job it made, ended.
    std::optional<Job> printJob(const std::string &body)
    {
        EXPECT_EQ(post(body,
                       [](TPrintDocument &window) {
                           EXPECT_EQ(window.outcome(), DocumentForm::Outcome::Printed);
                           window.close();
                       }),
                  200);
        const std::vector<Job> jobs = jobsAfter(m_firstJob - 1);
        EXPECT_EQ(jobs.size(), 1u);
        if (jobs.size() != 1)
            return std::nullopt;
        return jobs.front();
    }

    QStringList logLines() const { return m_service->logLines(); }

    std::optional<testing_support::RunningService> m_service;
    int m_firstJob = 0;
};

struct UserPaper
{
    int lengthTenthsMm;
    int widthTenthsMm;
};

struct PaperCase
{
    const char *name;
    const char *sample;
    std::optional<UserPaper> stored; // page settings saved for the order form
    int pages;
    QSizeF sheet; // points
    bool lying;   // the page lies on the sheet: its title runs up the sheet
    const char *title;
    std::vector<const char *> texts; // the first is the document's title
};

// Letter, the queue's own paper.
const QSizeF kLetter(612, 792);
const QSizeF kA4(595, 842);

const PaperCase kPaperCases[] = {
    {"A4 portrait order form",
     "order-form-41-rows.body",
     {},
     2,
     kA4,
     false,
     "报表:打印订货单",
     {"商品订货单", "30005686", "共2页第1页", "共2页第2页", "杭州娃哈哈集团有限公司"}},
    {"landscape order form lying",
     "order-form-landscape-23-rows.body",
     {},
     2,
     kA4,
     true,
     "报表:打印订货单横向",
     {"商品订货单（横向）", "30005686", "共2页第1页", "共2页第2页", "6920174736427"}},
    {"user-defined paper 256 in tenths of a millimetre",
     "order-form.body",
     UserPaper{2794, 2410},
     1,
     QSizeF(241 / 25.4 * 72, 279.4 / 25.4 * 72),
     false,
     "报表:打印订货单",
     {"商品订货单", "30005686"}},
    {"driver-specific paper code keeps the queue's paper",
     "return-quantity.body",
     {},
     1,
     kLetter,
     false,
     "报表:返厂单打印_数量联",
     {"返厂单（数量联）", "6022190"}},
};

// Each request becomes one completed job of the default queue, titled
// "报表:" + caption, on the paper and in the orientation the bill asks for,
// every page there and its text readable.
TEST_F(CupsPrintTest, RequestsArriveAsJobsOnTheirPaper)
{
    for (const PaperCase &c : kPaperCases) {
        SCOPED_TRACE(c.name);
        const QString key =
            QStringLiteral("%1-PrintDHD-Bill1")
                .arg(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("VAZ"),
                  QStringLiteral("Bill"))
            .clear();
        if (c.stored) {
            printing::QtSettingsStore store;
            const std::string k = printing::TCustomBillBase::kSettingsRoot + key.toStdString();
            store.writeInt(k, "DX", 0);
            store.writeInt(k, "DY", 0);
            store.writeInt(k, "ZOOM", 100);
            store.writeInt(k, "Orient", 0);
            store.writeInt(k, "PaperSize", 256);
            store.writeInt(k, "PaperLength", c.stored->lengthTenthsMm);
            store.writeInt(k, "PaperWidth", c.stored->widthTenthsMm);
            store.flush();
        }
        m_firstJob = lastJobId() + 1;

        const std::optional<Job> job = printJob(readSampleRequest(c.sample));
        ASSERT_TRUE(job);
        EXPECT_EQ(job->state, IPP_JSTATE_COMPLETED);
        EXPECT_EQ(job->title, c.title);
        const QString pdf = outputOf(job->id);
        ASSERT_FALSE(pdf.isEmpty()) << "no cups-pdf output of job " << job->id;

        const PdfPages pages = readPdf(pdf);
        ASSERT_EQ(pages.sizes.size(), static_cast<std::size_t>(c.pages));
        for (const QSizeF &size : pages.sizes) {
            EXPECT_NEAR(size.width(), c.sheet.width(), 1.5) << size.width() << "x" << size.height();
            EXPECT_NEAR(size.height(), c.sheet.height(), 1.5)
                << size.width() << "x" << size.height();
        }
        const QString text = pages.texts.join(QLatin1Char('\f'));
        for (const char *expected : c.texts)
            EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
        const QRectF title = firstWordBox(pdf, QString::fromUtf8(c.texts.front()));
        ASSERT_FALSE(title.isEmpty());
        EXPECT_EQ(title.height() > title.width(), c.lying);
        EXPECT_TRUE(logLines().filter(QStringLiteral("已生成PDF文件")).isEmpty())
            << "a job on the printer is no spool file";
    }
}

struct DialogCase
{
    const char *name;
    std::optional<std::pair<int, int>> range; // the dialog's page range, if chosen
    int copies;
    bool collate;
    std::vector<int> printedPages; // page numbers, in the order cups-pdf wrote them
    int jobCopies;                 // the copies the job asks the queue for
};

// cups-pdf makes each collated copy itself and leaves uncollated copies to
// the device, so those show in the job and not in the file.
const DialogCase kDialogCases[] = {
    {"page range 2 to 2", std::pair{2, 2}, 1, false, {2}, 1},
    {"two copies collated", {}, 2, true, {1, 2, 1, 2}, 2},
    {"two copies uncollated", {}, 2, false, {1, 2}, 2},
};

// The preview's print button: the system print dialog, answered here, sends
// the chosen pages and copies to the queue.
TEST_F(CupsPrintTest, PrintDialogChoicesReachTheQueue)
{
    const std::string body = sampleBody("order-form-41-rows.body", 1, "1");
    for (const DialogCase &c : kDialogCases) {
        SCOPED_TRACE(c.name);
        m_firstJob = lastJobId() + 1;
        bool answered = false;
        // The dialog runs its own event loop; this timer answers it there.
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            auto *dialog = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget());
            if (!dialog || answered)
                return;
            answered = true;
            if (c.range) {
                dialog->findChild<QRadioButton *>(QStringLiteral("printRange"))->setChecked(true);
                dialog->findChild<QSpinBox *>(QStringLiteral("from"))->setValue(c.range->first);
                dialog->findChild<QSpinBox *>(QStringLiteral("to"))->setValue(c.range->second);
            }
            dialog->findChild<QSpinBox *>(QStringLiteral("copies"))->setValue(c.copies);
            dialog->findChild<QCheckBox *>(QStringLiteral("collate"))->setChecked(c.collate);
            dialog->accept();
        });
        answer.start(10);

        EXPECT_EQ(post(body,
                       [&](TPrintDocument &window) {
                           using printing::preview::TFormPreview;
                           TFormPreview *preview = nullptr;
                           ASSERT_TRUE(processEventsUntil([&] {
                               return (preview = visibleWindow<TFormPreview>()) != nullptr;
                           }));
                           preview->findChild<QAction *>(QStringLiteral("btnPrint"))->trigger();
                           preview->close();
                           processEventsUntil([] { return !visibleWindow<TFormPreview>(); });
                           window.close();
                       }),
                  200);
        EXPECT_TRUE(answered);

        const std::vector<Job> jobs = jobsAfter(m_firstJob - 1);
        ASSERT_EQ(jobs.size(), 1u);
        EXPECT_EQ(jobs.front().state, IPP_JSTATE_COMPLETED);
        EXPECT_EQ(jobCopies(jobs.front().id), c.jobCopies);
        const QString pdf = outputOf(jobs.front().id);
        ASSERT_FALSE(pdf.isEmpty());
        const PdfPages pages = readPdf(pdf);
        std::vector<int> printed;
        static const QRegularExpression pageNumber(QStringLiteral("共2页第(\\d)页"));
        for (const QString &page : pages.texts)
            printed.push_back(pageNumber.match(page).captured(1).toInt());
        EXPECT_EQ(printed, c.printedPages);
    }
}

// The list window's "打印" goes through the print dialog to the queue: one
// job titled "报表:" + the list's title, every page of the list report there
// with its page numbers, the request answered once the window is closed.
TEST_F(CupsPrintTest, ListReportArrivesThroughTheQueue)
{
    bool answered = false;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto *dialog = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget());
            dialog && !answered) {
            answered = true;
            dialog->accept();
        }
    });
    answer.start(10);

    const std::string body = readSampleRequest("list-sales-120-rows.body");
    std::future<int> reply = testing_support::sendAsync(m_service->port(), body);
    tabular::TGridora *window = nullptr;
    ASSERT_TRUE(processEventsUntil(
        [&] { return (window = visibleWindow<tabular::TGridora>()) != nullptr; }));
    window->findChild<QPushButton *>(QStringLiteral("btnPrint"))->click();
    EXPECT_TRUE(answered);
    window->close();
    ASSERT_TRUE(processEventsUntil([&] { return testing_support::ready(reply); }));
    EXPECT_EQ(reply.get(), 200);

    const std::vector<Job> jobs = jobsAfter(m_firstJob - 1);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs.front().title, "报表:商品销售明细");
    EXPECT_EQ(jobs.front().state, IPP_JSTATE_COMPLETED);
    const QString pdf = outputOf(jobs.front().id);
    ASSERT_FALSE(pdf.isEmpty());
    const PdfPages pages = readPdf(pdf);
    ASSERT_EQ(pages.texts.size(), 3u);
    for (int p = 1; p <= 3; ++p) {
        EXPECT_TRUE(
            pages.texts[static_cast<std::size_t>(p - 1)].contains(QStringLiteral("商品销售明细")))
            << p;
        EXPECT_TRUE(pages.texts[static_cast<std::size_t>(p - 1)].contains(
            QStringLiteral("页号: %1/3").arg(p)))
            << p;
    }
}

struct FaultCase
{
    const char *name;
    bool (*fault)();
    bool (*repair)();
    const char *reason; // what the log says after the printer's name
};

const FaultCase kFaultCases[] = {
    {"the queue stops taking jobs", [] { return setQueueAccepting(false); },
     [] { return setQueueAccepting(true); }, "Destination \"tally\" is not accepting jobs."},
    {"the print system goes away", stopCupsd, restartCupsd, "no answer from the print system at "},
};

// The printer goes away while a 50-page order form is being printed: the
// job fails with the spooler's reason in the log, nothing claims it was
// printed, and the request still gets its reply.
TEST_F(CupsPrintTest, PrinterGoingAwayMidJobFailsTheJob)
{
    const std::string body = sampleBody("order-form-41-rows.body", 49, "0"); // 2009 rows
    for (const FaultCase &c : kFaultCases) {
        SCOPED_TRACE(c.name);
        m_firstJob = lastJobId() + 1;
        const qsizetype logStart = logLines().size();
        const QStringList before =
            QDir(fixtureDir() + QStringLiteral("/out")).entryList(QDir::Files);
        // The window prints while it is built, with events running between
        // pages: the fault comes then, before the window shows.
        bool faulted = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (faulted)
                return;
            for (QWidget *widget : QApplication::topLevelWidgets())
                if (dynamic_cast<TPrintDocument *>(widget) && !widget->isVisible()) {
                    faulted = true;
                    EXPECT_TRUE(c.fault());
                }
        });
        watch.start(0);
        EXPECT_EQ(post(body, {}), 200) << "the reply goes out although the job failed";
        watch.stop();
        EXPECT_TRUE(faulted);

        const QStringList log = logLines().mid(logStart);
        // The document failed, and the cause says the printer refused it.
        EXPECT_EQ(log.filter(QStringLiteral("原因：the printer tally did not take the job: ") +
                             QString::fromUtf8(c.reason))
                      .size(),
                  1)
            << log.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(log.filter(QStringLiteral("已生成PDF文件")).isEmpty());
        EXPECT_TRUE(log.last().endsWith(QStringLiteral("当前打开数量=0")));

        ASSERT_TRUE(c.repair());
        for (const Job &job : jobsAfter(m_firstJob - 1))
            EXPECT_NE(job.state, IPP_JSTATE_COMPLETED) << "job " << job.id << " was printed";
        for (const QString &file :
             QDir(fixtureDir() + QStringLiteral("/out")).entryList(QDir::Files))
            EXPECT_TRUE(before.contains(file)) << "cups-pdf wrote " << file.toStdString();
    }
}

} // namespace
} // namespace tally::documents
