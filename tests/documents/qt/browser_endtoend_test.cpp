// A clerk's browser: headless Chromium loads the sample page of samples/web
// from a web server of the test and posts print jobs with fetch() to the
// service running here with its real listener, printing into a PDF spool
// folder. The test closes each window the service opens, as the clerk would,
// and reads from the page that every reply arrived. Chromium is driven over
// its DevTools pipe (NUL-terminated JSON on file descriptors 3 and 4), which
// needs nothing beyond the browser itself.
#include "support/qtwidgetsapp.h"
#include "support/runningservice.h"

#include <QApplication>
#include <QTemporaryDir>

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

extern char **environ;

namespace tally::documents {
namespace {

const auto *const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new testing_support::QtWidgetsEnvironment);

using Json = nlohmann::json;
using Clock = std::chrono::steady_clock;

// A descriptor number above the ones the child gets, so that dup2 onto 3
// and 4 never meets a descriptor that is already there.
int highDescriptor(int fd)
{
    const int high = ::fcntl(fd, F_DUPFD_CLOEXEC, 10);
    ::close(fd);
    return high;
}

// Headless Chromium with one page, driven over the DevTools pipe.
class Chromium
{
public:
    Chromium()
    {
        // A browser that died must fail the test, not end it by SIGPIPE.
        ::signal(SIGPIPE, SIG_IGN);
        int commands[2];
        int replies[2];
        if (::pipe(commands) != 0 || ::pipe(replies) != 0)
            throw std::runtime_error("pipe failed");
        const int childIn = highDescriptor(commands[0]);
        m_toBrowser = highDescriptor(commands[1]);
        m_fromBrowser = highDescriptor(replies[0]);
        const int childOut = highDescriptor(replies[1]);

        const std::string profile = "--user-data-dir=" + m_profile.path().toStdString();
        const std::string logFile =
            m_profile.filePath(QStringLiteral("chromium.log")).toStdString();
        std::vector<std::string> args = {"chromium",
                                         "--headless",
                                         "--no-sandbox",
                                         "--disable-gpu",
                                         "--disable-quic",
                                         "--no-first-run",
                                         "--disable-background-networking",
                                         "--disable-component-update",
                                         "--disable-sync",
                                         "--disable-dev-shm-usage",
                                         "--no-proxy-server",
                                         "--remote-debugging-pipe",
                                         profile,
                                         "about:blank"};
        std::vector<char *> argv;
        for (std::string &a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, childIn, 3);
        posix_spawn_file_actions_adddup2(&actions, childOut, 4);
        posix_spawn_file_actions_addopen(&actions, 1, logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        // A group of its own, so that its helper processes can be ended with it.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
        const int spawned =
            posix_spawnp(&m_pid, "chromium", &actions, &attributes, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
        ::close(childIn);
        ::close(childOut);
        if (spawned != 0) {
            m_pid = -1;
            throw std::runtime_error("cannot start chromium (run scripts/install-deps.sh)");
        }
    }

    ~Chromium()
    {
        if (m_pid > 0) {
            try {
                send("Browser.close", Json::object(), {});
            } catch (const std::exception &) {
                // Ended below either way.
            }
            const auto deadline = Clock::now() + std::chrono::seconds(10);
            int status = 0;
            while (::waitpid(m_pid, &status, WNOHANG) == 0) {
                if (Clock::now() > deadline) {
                    ::kill(-m_pid, SIGKILL);
                    ::waitpid(m_pid, &status, 0);
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        }
        ::close(m_toBrowser);
        ::close(m_fromBrowser);
    }

    Chromium(const Chromium &) = delete;
    Chromium &operator=(const Chromium &) = delete;

    // Opens `url` in a new page and directs evaluate() to it.
    void open(const std::string &url)
    {
        const Json target = call("Target.createTarget", {{"url", url}}, {});
        const Json attached = call("Target.attachToTarget",
                                   {{"targetId", target.at("targetId")}, {"flatten", true}}, {});
        m_session = attached.at("sessionId").get<std::string>();
    }

    // The value of a JavaScript expression in the page; a promise is not
    // awaited. Throws when the expression throws.
    Json evaluate(const std::string &expression)
    {
        const Json result = call("Runtime.evaluate",
                                 {{"expression", expression}, {"returnByValue", true}}, m_session);
        if (result.contains("exceptionDetails"))
            throw std::runtime_error("page script failed: " + result["exceptionDetails"].dump());
        return result.at("result").value("value", Json());
    }

    std::string log() const
    {
        QFile file(m_profile.filePath(QStringLiteral("chromium.log")));
        return file.open(QIODevice::ReadOnly) ? file.readAll().right(4000).toStdString()
                                              : std::string();
    }

private:
    int send(const std::string &method, const Json &params, const std::string &session)
    {
        Json message = {{"id", ++m_lastId}, {"method", method}, {"params", params}};
        if (!session.empty())
            message["sessionId"] = session;
        std::string bytes = message.dump();
        bytes.push_back('\0');
        for (std::size_t done = 0; done < bytes.size();) {
            const ssize_t n = ::write(m_toBrowser, bytes.data() + done, bytes.size() - done);
            if (n <= 0)
                throw std::runtime_error("chromium closed its DevTools pipe");
            done += static_cast<std::size_t>(n);
        }
        return m_lastId;
    }

    // Sends one command and returns its result, skipping the events on the way.
    Json call(const std::string &method, const Json &params, const std::string &session)
    {
        const int id = send(method, params, session);
        const auto deadline = Clock::now() + std::chrono::seconds(30);
        while (true) {
            std::size_t end;
            while ((end = m_buffer.find('\0')) == std::string::npos) {
                const auto left =
                    std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
                pollfd fd{m_fromBrowser, POLLIN, 0};
                if (left.count() <= 0 || ::poll(&fd, 1, static_cast<int>(left.count())) <= 0)
                    throw std::runtime_error("no DevTools reply to " + method);
                char chunk[65536];
                const ssize_t n = ::read(m_fromBrowser, chunk, sizeof(chunk));
                if (n <= 0)
                    throw std::runtime_error("chromium closed its DevTools pipe");
                m_buffer.append(chunk, static_cast<std::size_t>(n));
            }
            const Json reply = Json::parse(m_buffer.substr(0, end));
            m_buffer.erase(0, end + 1);
            if (reply.value("id", 0) != id)
                continue;
            if (reply.contains("error"))
                throw std::runtime_error(method + " failed: " + reply["error"].dump());
            return reply.value("result", Json::object());
        }
    }

    QTemporaryDir m_profile;
    pid_t m_pid = -1;
    int m_toBrowser = -1;
    int m_fromBrowser = -1;
    int m_lastId = 0;
    std::string m_buffer;
    std::string m_session;
};

class BrowserEndToEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_service.emplace();
        ASSERT_GT(m_service->port(), 0);

        ASSERT_TRUE(m_web.set_mount_point("/", TALLY_WEB_SAMPLES_DIR));
        m_webPort = m_web.bind_to_any_port("127.0.0.1");
        ASSERT_GT(m_webPort, 0);
        m_webThread = std::thread([this] { m_web.listen_after_bind(); });
    }

    void TearDown() override
    {
        m_web.stop();
        if (m_webThread.joinable())
            m_webThread.join();
        m_service.reset();
    }

    // Keeps the event loop turning until `done` holds, closing every window
    // the service opens as the clerk would, after handing it to `onWindow`.
    // False after the deadline.
    bool closeWindowsUntil(const std::function<bool()> &done,
                           const std::function<void(QWidget &)> &onWindow = {})
    {
        return testing_support::processEventsUntil(
            [&] {
                for (QWidget *widget : QApplication::topLevelWidgets()) {
                    if (widget == &m_service->form() || !widget->isVisible())
                        continue;
                    if (onWindow)
                        onWindow(*widget);
                    widget->close();
                }
                return done();
            },
            40000);
    }

    QStringList pdfFiles() const { return m_service->pdfFiles(); }
    QStringList logLines() const { return m_service->logLines(); }

    std::string pageUrl() const
    {
        return "http://127.0.0.1:" + std::to_string(m_webPort) +
               "/index.html?service=" + serviceUrl();
    }

    std::string serviceUrl() const { return m_service->url(); }

    std::optional<testing_support::RunningService> m_service;
    httplib::Server m_web;
    int m_webPort = 0;
    std::thread m_webThread;
};

// The job list of the page: one "state:text" entry per job.
const char *const kJobs = R"(Array.from(document.querySelectorAll("#jobs li"),
                                         (li) => li.dataset.state + ":" + li.textContent))";

// A loopback port nobody listens on (it was free a moment ago).
int closedPort()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<const sockaddr *>(&addr), sizeof(addr));
    socklen_t len = sizeof(addr);
    ::getsockname(s, reinterpret_cast<sockaddr *>(&addr), &len);
    ::close(s);
    return ntohs(addr.sin_port);
}

std::string clickPrint(const std::string &djlx)
{
    return R"(document.getElementById("djlx").value = ")" + djlx +
           R"("; document.getElementById("print").click(); true)";
}

TEST_F(BrowserEndToEndTest, PagePrintsWithFetchAndLearnsWhenEachJobIsDone)
{
    Chromium browser;
    browser.open(pageUrl());
    const char *const loaded = R"(document.readyState === "complete" &&
        document.querySelectorAll("#djlx option").length > 0)";
    ASSERT_TRUE(testing_support::processEventsUntil(
        [&] { return browser.evaluate(loaded).get<bool>(); }, 20000))
        << browser.log();

    // True once the page lists `count` jobs and the last has its reply or failed.
    const auto jobsSettled = [&](std::size_t count) {
        const Json jobs = browser.evaluate(kJobs);
        return jobs.size() == count && !jobs.back().get<std::string>().starts_with("printing:");
    };

    // The order form: printed while its window is built; the page shows
    // 打印中… until the clerk closes the window, then 已完成.
    browser.evaluate(clickPrint("1"));
    QStringList printed;
    std::string statusWhileOpen;
    int windows = 0;
    ASSERT_TRUE(closeWindowsUntil(
        [&] { return jobsSettled(1); },
        [&](QWidget &) {
            ++windows;
            printed = pdfFiles();
            statusWhileOpen = browser.evaluate(R"(document.getElementById("status").textContent)")
                                  .get<std::string>();
        }))
        << browser.evaluate(kJobs).dump() << browser.log();
    EXPECT_EQ(browser.evaluate(kJobs), Json::array({"done:商品订货单：已完成"}));
    EXPECT_EQ(windows, 1);
    EXPECT_EQ(statusWhileOpen, "打印中…");
    EXPECT_EQ(browser.evaluate(R"(document.getElementById("status").textContent)"), "已完成");

    // The generic list: whatever the service does with it, the reply reaches the page.
    browser.evaluate(clickPrint("0"));
    ASSERT_TRUE(closeWindowsUntil([&] { return jobsSettled(2); })) << browser.log();
    EXPECT_EQ(browser.evaluate(kJobs),
              Json::array({"done:商品订货单：已完成", "done:通用列表（订货商品）：已完成"}));

    // application/json is not a simple request: the browser sends a preflight
    // first and posts only when the service's answer allows it.
    browser.evaluate(R"(window.jsonReply = null;
        sendPrint(document.getElementById("service").value, buildRequest("0", false),
                  "application/json")
            .then((status) => { window.jsonReply = status; },
                  (error) => { window.jsonReply = String(error); });
        true)");
    ASSERT_TRUE(closeWindowsUntil([&] { return !browser.evaluate("window.jsonReply").is_null(); }));
    EXPECT_EQ(browser.evaluate("window.jsonReply"), 200);

    // No service at the address: the fetch fails and the page shows its help.
    browser.evaluate(R"(document.getElementById("service").value = "http://127.0.0.1:)" +
                     std::to_string(closedPort()) + R"(/"; true)");
    browser.evaluate(clickPrint("1"));
    ASSERT_TRUE(closeWindowsUntil([&] { return jobsSettled(3); }));
    EXPECT_EQ(browser.evaluate(kJobs)[2], "failed:商品订货单：无法连接打印服务");
    EXPECT_EQ(browser.evaluate(R"(document.getElementById("help").hidden)"), false);

    // The printed order form, read back.
    ASSERT_EQ(printed.size(), 1);
    const QString text = testing_support::runTool(QStringLiteral("pdftotext"),
                                                  {printed.front(), QStringLiteral("-")});
    for (const char *expected : {"商品订货单", "30005686", "杭州娃哈哈集团有限公司", "王芳"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;

    // Three print requests were counted; the preflight was neither counted nor logged.
    const QStringList lines = logLines();
    EXPECT_EQ(lines.filter(QStringLiteral("间隔")).size(), 3);
    EXPECT_EQ(lines.filter(QStringLiteral("正常接收信息")).size(), 3)
        << lines.join(u'\n').toStdString();
    EXPECT_TRUE(lines.filter(QStringLiteral("拒绝")).isEmpty());
    EXPECT_EQ(lines.filter(QStringLiteral("已生成PDF文件：") + printed.front()).size(), 1);
}

} // namespace
} // namespace tally::documents
