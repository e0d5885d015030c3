#include "intakefixtures.h"
#include "service/httplistener.h"
#include "service/requestintake.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <future>
#include <map>
#include <regex>

namespace tally::service {
namespace {

using namespace std::chrono_literals;
using testing::BlockingLauncher;
using ::testing::ElementsAre;
using testing::LogRecorder;
using ::testing::MatchesRegex;

const std::string kOrderBody =
    "%7B%22title%22%3A%22%E8%AE%A2%E8%B4%A7%E5%8D%95%22%2C%22prev%22%3A%221%22%2C"
    "%22djlx%22%3A%221%22%2C%22Maindata%22%3A%22%3CM%2F%3E%22%2C"
    "%22Itemdata%22%3A%22%3CI%2F%3E%22%7D";

std::string orderBody(const std::string &title)
{
    return R"({"djlx":"1","title":")" + title + R"("})";
}

// Sends raw bytes and reads until the server closes; optionally closes the
// sending side first (a body without Content-Length ends that way).
std::string rawExchange(int port, const std::string &request, bool closeSendingSide)
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(s, reinterpret_cast<const sockaddr *>(&addr), sizeof(addr)) != 0) {
        ::close(s);
        return "connect failed";
    }
    ::send(s, request.data(), request.size(), MSG_NOSIGNAL);
    if (closeSendingSide)
        ::shutdown(s, SHUT_WR);
    std::string reply;
    char buf[4096];
    for (ssize_t n; (n = ::recv(s, buf, sizeof(buf), 0)) > 0;)
        reply.append(buf, static_cast<std::size_t>(n));
    ::close(s);
    return reply;
}

// Status line and headers (names in lower case) of a raw reply.
struct ParsedReply
{
    std::string statusLine;
    std::map<std::string, std::string> headers;

    std::string header(const std::string &name) const
    {
        const auto it = headers.find(name);
        return it == headers.end() ? "(none)" : it->second;
    }
};

ParsedReply parseReply(const std::string &raw)
{
    ParsedReply reply;
    std::size_t pos = raw.find("\r\n");
    reply.statusLine = raw.substr(0, pos);
    while (pos != std::string::npos && pos + 2 < raw.size()) {
        const std::size_t end = raw.find("\r\n", pos + 2);
        const std::string line = raw.substr(pos + 2, end - pos - 2);
        if (line.empty())
            break;
        const std::size_t colon = line.find(':');
        std::string name = line.substr(0, colon);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        reply.headers[name] = line.substr(line.find_first_not_of(' ', colon + 1));
        pos = end;
    }
    return reply;
}

const std::string kPage = "https://erp.example";

class HttpListenerTest : public ::testing::Test
{
protected:
    void SetUp() override { startWith(HttpListener::Limits{}); }

    void startWith(HttpListener::Limits limits, OriginPolicy origins = {})
    {
        listener.reset();
        listener = std::make_unique<HttpListener>(
            [this](std::string_view method, const std::string &body) {
                intake.handleRequest(method, body);
            },
            [this](const std::string &line) { log.add(line); }, limits, std::move(origins));
        ASSERT_TRUE(listener->start(0));
        port = listener->port();
    }

    void TearDown() override
    {
        window->releaseAll();
        listener.reset();
    }

    std::unique_ptr<httplib::Client> client()
    {
        auto c = std::make_unique<httplib::Client>("127.0.0.1", port);
        c->set_read_timeout(60s);
        return c;
    }

    std::future<httplib::Result> postAsync(std::string body)
    {
        return std::async(std::launch::async, [this, body = std::move(body)] {
            return client()->Post("/print?x=1", body, "application/x-www-form-urlencoded");
        });
    }

    LogRecorder log;
    std::shared_ptr<BlockingLauncher> window = std::make_shared<BlockingLauncher>();
    RequestIntake intake{[this](const std::string &line) { log.add(line); }};
    std::unique_ptr<HttpListener> listener;
    int port = 0;

    // Registered after construction of the intake.
    const bool m_registered = [this] {
        intake.dispatchTable().registerLauncher("1", window);
        return true;
    }();
};

TEST_F(HttpListenerTest, ReplyWaitsForTheWindowAndLogsTheSequence)
{
    auto reply = postAsync(kOrderBody);
    ASSERT_TRUE(window->waitForLaunches(1));
    EXPECT_EQ(reply.wait_for(200ms), std::future_status::timeout)
        << "reply sent while the window is open";
    EXPECT_EQ(intake.openCount(), 1);

    window->releaseAll();
    const httplib::Result r = reply.get();
    ASSERT_TRUE(r) << httplib::to_string(r.error());
    EXPECT_EQ(r->status, 200);
    EXPECT_EQ(r->body, "");
    EXPECT_EQ(r->get_header_value("Connection"), "close");
    EXPECT_EQ(r->get_header_value("Content-Type"), "text/html");
    EXPECT_FALSE(r->has_header("EXCEPTION_WHAT"));

    EXPECT_THAT(log.lines(),
                ElementsAre(MatchesRegex("间隔[0-9.]+秒 上次:[0-9:]+- 本次：[0-9:]+"),
                            "正常接收信息1条", "5", "当前打开数量=1", "当前打开数量=0"));
    ASSERT_EQ(window->requests().size(), 1u);
    EXPECT_EQ(window->requests()[0].title, "订货单");
}

TEST_F(HttpListenerTest, TwoRequestsAtOnceGetTheirOwnReplies)
{
    auto first = postAsync(orderBody("a"));
    ASSERT_TRUE(window->waitForLaunches(1));
    auto second = postAsync(orderBody("b"));
    ASSERT_TRUE(window->waitForLaunches(2));
    EXPECT_EQ(intake.openCount(), 2);

    // Closing the second window answers the second request only.
    const std::size_t secondIndex = window->requests()[0].title == "a" ? 1 : 0;
    window->release(secondIndex);
    const httplib::Result r2 = second.get();
    ASSERT_TRUE(r2);
    EXPECT_EQ(r2->status, 200);
    EXPECT_EQ(first.wait_for(200ms), std::future_status::timeout);

    window->release(1 - secondIndex);
    const httplib::Result r1 = first.get();
    ASSERT_TRUE(r1);
    EXPECT_EQ(r1->status, 200);
    EXPECT_EQ(intake.openCount(), 0);
}

TEST_F(HttpListenerTest, ManyBlockedWindowsDoNotStarveOtherConnections)
{
    // More than the library's default pool of eight threads.
    std::vector<std::future<httplib::Result>> held;
    for (int i = 0; i < 12; ++i) {
        held.push_back(postAsync(orderBody(std::to_string(i))));
        ASSERT_TRUE(window->waitForLaunches(i + 1));
    }
    const httplib::Result get = client()->Get("/");
    ASSERT_TRUE(get);
    EXPECT_EQ(get->status, 200);
    window->releaseAll();
    for (auto &f : held)
        EXPECT_EQ(f.get()->status, 200);
}

TEST_F(HttpListenerTest, GetAndHeadAreCountedOnly)
{
    for (const auto &r : {client()->Get("/any/path?q=1"), client()->Head("/")}) {
        ASSERT_TRUE(r);
        EXPECT_EQ(r->status, 200);
        EXPECT_EQ(r->body, "");
    }
    EXPECT_EQ(intake.requestCount(), 2);
    EXPECT_THAT(log.lines(), ElementsAre(MatchesRegex("间隔.*"), MatchesRegex("间隔.*")));
    EXPECT_TRUE(window->requests().empty());
}

struct RawCase
{
    const char *name;
    std::string request;
    bool closeSendingSide;
    std::string statusLine; // empty: no reply at all
    int counted;            // requests that reached the intake
};

void PrintTo(const RawCase &c, std::ostream *os)
{
    *os << c.name;
}

class RawRequestTest : public HttpListenerTest, public ::testing::WithParamInterface<RawCase>
{
};

TEST_P(RawRequestTest, AnswersWithoutReachingTheIntakeUnlessAllowed)
{
    const RawCase &c = GetParam();
    window->releaseAll();
    const std::string reply = rawExchange(port, c.request, c.closeSendingSide);
    EXPECT_EQ(reply.substr(0, reply.find("\r\n")), c.statusLine) << reply;
    EXPECT_EQ(reply.find("EXCEPTION_WHAT"), std::string::npos);
    // Without an Origin the reply is what it has always been.
    EXPECT_EQ(reply.find("Access-Control-Allow-Origin"), std::string::npos) << reply;
    EXPECT_EQ(reply.find("Vary"), std::string::npos) << reply;
    EXPECT_EQ(intake.requestCount(), c.counted);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RawRequestTest,
    ::testing::Values(
        RawCase{"PutIsNotAllowed", "PUT / HTTP/1.1\r\nHost: x\r\nContent-Length: 2\r\n\r\n{}",
                false, "HTTP/1.1 405 Method Not Allowed", 0},
        RawCase{"OptionsIsAnsweredButNotCounted", "OPTIONS / HTTP/1.1\r\nHost: x\r\n\r\n", false,
                "HTTP/1.1 204 No Content", 0},
        RawCase{"UnknownMethodIsRefusedByTheParser", "FOO / HTTP/1.1\r\nHost: x\r\n\r\n", false,
                "HTTP/1.1 400 Bad Request", 0},
        // Processed, but the library writes nothing to a half-closed connection.
        RawCase{"BodyWithoutLengthEndsWhenSenderCloses",
                "POST / HTTP/1.1\r\nHost: x\r\n\r\n{\"djlx\":\"7\"}", true, "", 1},
        RawCase{
            "ChunkedBody",
            "POST / HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n2\r\n{}\r\n0\r\n\r\n",
            false, "HTTP/1.1 200 OK", 1},
        RawCase{
            "AnyContentType",
            "POST / HTTP/1.1\r\nHost: x\r\nContent-Type: text/plain\r\nContent-Length: 2\r\n\r\n{}",
            false, "HTTP/1.1 200 OK", 1},
        RawCase{"MultipartIsRefused",
                "POST / HTTP/1.1\r\nHost: x\r\nContent-Type: multipart/form-data; "
                "boundary=b\r\nContent-Length: 2\r\n\r\n{}",
                false, "HTTP/1.1 415 Unsupported Media Type", 0}),
    [](const auto &p) { return std::string(p.param.name); });

TEST_F(HttpListenerTest, BodyWithoutLengthFromASenderThatStaysOpenIsRefusedAfterTheTimeout)
{
    startWith({std::size_t{64} << 20, 256, std::chrono::seconds(1)});
    const std::string reply = rawExchange(port, "POST / HTTP/1.1\r\nHost: x\r\n\r\n{}", false);
    EXPECT_EQ(reply.substr(0, reply.find("\r\n")), "HTTP/1.1 400 Bad Request");
    EXPECT_EQ(intake.requestCount(), 0);
    EXPECT_THAT(log.lines(), ElementsAre("请求内容读取失败，已拒绝"));
}

TEST_F(HttpListenerTest, OversizedBodiesAreRefused)
{
    startWith({1024, 256, std::chrono::seconds(5)});
    const std::string big(2048, 'x');
    // Declared length: refused before the body is read.
    const httplib::Result declared = client()->Post("/", big, "text/plain");
    ASSERT_TRUE(declared);
    EXPECT_EQ(declared->status, 413);
    // Chunked: refused once the cap is passed.
    const httplib::Result chunked = client()->Post(
        "/",
        [&](std::size_t offset, httplib::DataSink &sink) {
            if (offset < big.size())
                sink.write(big.data() + offset, 256);
            else
                sink.done();
            return true;
        },
        "text/plain");
    if (chunked) { // the server may close before the client has sent it all
        EXPECT_EQ(chunked->status, 413);
    }
    const httplib::Result fits = client()->Post("/", std::string(1024, ' '), "text/plain");
    ASSERT_TRUE(fits);
    EXPECT_EQ(fits->status, 200);
    EXPECT_EQ(intake.requestCount(), 1);
    EXPECT_EQ(log.lines().front(), "请求内容超过1024字节，已拒绝");
}

TEST_F(HttpListenerTest, ConnectionsBeyondTheCapGet503)
{
    startWith({std::size_t{64} << 20, 1, std::chrono::seconds(5)});
    auto held = postAsync(kOrderBody);
    ASSERT_TRUE(window->waitForLaunches(1));
    const httplib::Result refused = client()->Get("/");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 503);
    EXPECT_TRUE(log.waitFor("同时连接超过1个，已拒绝"));
    window->releaseAll();
    EXPECT_EQ(held.get()->status, 200);
    // The slot is free again once the held connection's thread has let go of
    // it, which may be a moment after its reply reached the client.
    int status = 0;
    for (int attempt = 0; attempt < 200 && status != 200; ++attempt) {
        if (attempt > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const httplib::Result after = client()->Get("/");
        ASSERT_TRUE(after);
        status = after->status;
    }
    EXPECT_EQ(status, 200);
}

// Preflights of browser pages: answered in full, on any path, and never
// counted, logged or passed on.
struct PreflightCase
{
    const char *name;
    std::string headers;                         // request headers besides Host
    std::map<std::string, std::string> expected; // "(none)": must be absent
};

void PrintTo(const PreflightCase &c, std::ostream *os)
{
    *os << c.name;
}

class PreflightTest : public HttpListenerTest, public ::testing::WithParamInterface<PreflightCase>
{
};

TEST_P(PreflightTest, AnswersWithTheCorsHeadersAndNothingElseHappens)
{
    const PreflightCase &c = GetParam();
    const ParsedReply reply = parseReply(rawExchange(
        port, "OPTIONS /print?x=1 HTTP/1.1\r\nHost: 127.0.0.1\r\n" + c.headers + "\r\n", false));
    EXPECT_EQ(reply.statusLine, "HTTP/1.1 204 No Content");
    EXPECT_EQ(reply.header("access-control-allow-methods"), "GET, HEAD, POST, OPTIONS");
    EXPECT_EQ(reply.header("allow"), "GET, HEAD, POST, OPTIONS");
    EXPECT_EQ(reply.header("content-length"), "(none)");
    for (const auto &[name, value] : c.expected)
        EXPECT_EQ(reply.header(name), value) << name;
    EXPECT_EQ(intake.requestCount(), 0);
    EXPECT_THAT(log.lines(), ::testing::IsEmpty());
    EXPECT_TRUE(window->requests().empty());
}

const std::string kAskPost = "Origin: " + kPage + "\r\nAccess-Control-Request-Method: POST\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, PreflightTest,
    ::testing::Values(PreflightCase{"JsonPost",
                                    kAskPost + "Access-Control-Request-Headers: content-type\r\n",
                                    {{"access-control-allow-origin", kPage},
                                     {"access-control-allow-headers", "content-type"},
                                     {"access-control-max-age", "600"},
                                     {"vary", "Origin"},
                                     {"access-control-allow-private-network", "(none)"}}},
                      PreflightCase{"PrivateNetworkAccessAsked",
                                    kAskPost + "Access-Control-Request-Private-Network: true\r\n",
                                    {{"access-control-allow-origin", kPage},
                                     {"access-control-allow-headers", "Content-Type"},
                                     {"access-control-max-age", "600"},
                                     {"vary", "Origin"},
                                     {"access-control-allow-private-network", "true"}}},
                      PreflightCase{
                          "CustomHeadersAreGrantedWithContentType",
                          kAskPost + "Access-Control-Request-Headers: X-Token,  x-trace\r\n",
                          {{"access-control-allow-headers", "X-Token, x-trace, Content-Type"}}},
                      PreflightCase{"MalformedHeaderListIsNotEchoed",
                                    kAskPost + "Access-Control-Request-Headers: a\"b\r\n",
                                    {{"access-control-allow-headers", "Content-Type"}}},
                      PreflightCase{"WithoutOrigin",
                                    "",
                                    {{"access-control-allow-origin", "(none)"},
                                     {"vary", "(none)"},
                                     {"access-control-allow-headers", "Content-Type"}}}),
    [](const auto &p) { return std::string(p.param.name); });

// fetch() only hands a reply to the page when it names the page's origin,
// whatever its status.
TEST_F(HttpListenerTest, EveryReplyToAPageNamesItsOrigin)
{
    startWith({1024, 256, std::chrono::seconds(1)});
    struct Case
    {
        const char *name;
        std::string request; // after the request line, Host and Origin
        const char *method;
        bool closeSendingSide;
        const char *statusLine;
    };
    const Case cases[] = {
        {"Get", "\r\n", "GET", false, "HTTP/1.1 200 OK"},
        {"Head", "\r\n", "HEAD", false, "HTTP/1.1 200 OK"},
        {"Post", "Content-Type: text/plain\r\nContent-Length: 12\r\n\r\n{\"djlx\":\"7\"}", "POST",
         false, "HTTP/1.1 200 OK"},
        {"OtherMethod", "\r\n", "PUT", false, "HTTP/1.1 405 Method Not Allowed"},
        {"TooLarge", "Content-Length: 2048\r\n\r\n", "POST", false,
         "HTTP/1.1 413 Payload Too Large"},
        {"UnreadableBody", "\r\n{}", "POST", false, "HTTP/1.1 400 Bad Request"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const ParsedReply reply = parseReply(rawExchange(
            port,
            std::string(c.method) + " / HTTP/1.1\r\nHost: 127.0.0.1\r\nOrigin: " + kPage + "\r\n" +
                c.request,
            c.closeSendingSide));
        EXPECT_EQ(reply.statusLine, c.statusLine);
        EXPECT_EQ(reply.header("access-control-allow-origin"), kPage);
        EXPECT_EQ(reply.header("vary"), "Origin");
    }
}

TEST_F(HttpListenerTest, ConnectionsBeyondTheCapNameTheOriginToo)
{
    startWith({std::size_t{64} << 20, 1, std::chrono::seconds(5)});
    auto held = postAsync(kOrderBody);
    ASSERT_TRUE(window->waitForLaunches(1));
    const httplib::Result refused = client()->Get("/", {{"Origin", kPage}});
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 503);
    EXPECT_EQ(refused->get_header_value("Access-Control-Allow-Origin"), kPage);
    EXPECT_EQ(refused->get_header_value("Vary"), "Origin");
    window->releaseAll();
    EXPECT_EQ(held.get()->status, 200);
}

// The opt-in allow-list: unlisted pages and foreign host names get 403 with
// one log line and never reach the intake; curl and plain form posts (no
// Origin) addressed to this machine are not affected.
struct GateCase
{
    const char *name;
    const char *method;
    const char *origin; // nullptr: none
    const char *host;
    int status;
    const char *logLine; // the refusal's line, nullptr when served
};

void PrintTo(const GateCase &c, std::ostream *os)
{
    *os << c.name;
}

class AllowListTest : public HttpListenerTest, public ::testing::WithParamInterface<GateCase>
{
};

TEST_P(AllowListTest, ServesOnlyListedPagesAndLocalHostNames)
{
    const GateCase &c = GetParam();
    startWith(HttpListener::Limits{}, OriginPolicy::fromList(kPage + " http://10.0.0.5:8080"));
    std::string request = std::string(c.method) + " / HTTP/1.1\r\nHost: " + c.host + "\r\n";
    if (c.origin)
        request += std::string("Origin: ") + c.origin + "\r\n";
    if (std::string_view(c.method) == "POST")
        request += "Content-Type: text/plain\r\nContent-Length: 12\r\n\r\n{\"djlx\":\"7\"}";
    else
        request += "Access-Control-Request-Method: POST\r\n\r\n";
    const ParsedReply reply = parseReply(rawExchange(port, request, false));

    EXPECT_EQ(reply.statusLine.substr(0, 12), "HTTP/1.1 " + std::to_string(c.status));
    const bool served = c.logLine == nullptr;
    EXPECT_EQ(reply.header("access-control-allow-origin"),
              served && c.origin ? c.origin : "(none)");
    EXPECT_EQ(intake.requestCount(), served && std::string_view(c.method) == "POST" ? 1 : 0);
    if (served) {
        for (const std::string &line : log.lines())
            EXPECT_EQ(line.find("拒绝"), std::string::npos) << line;
    } else {
        EXPECT_THAT(log.lines(), ElementsAre(c.logLine));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AllowListTest,
    ::testing::Values(
        GateCase{"ListedPage", "POST", "https://erp.example", "127.0.0.1:9300", 200, nullptr},
        GateCase{"SecondListedPage", "POST", "http://10.0.0.5:8080", "localhost:9300", 200,
                 nullptr},
        GateCase{"ListedPagePreflight", "OPTIONS", "https://erp.example", "127.0.0.1:9300", 204,
                 nullptr},
        GateCase{"UnlistedPage", "POST", "https://evil.example", "127.0.0.1:9300", 403,
                 "网页来源https://evil.example不在允许列表中，已拒绝"},
        GateCase{"UnlistedPagePreflight", "OPTIONS", "https://evil.example", "127.0.0.1:9300", 403,
                 "网页来源https://evil.example不在允许列表中，已拒绝"},
        GateCase{"CurlByAddress", "POST", nullptr, "127.0.0.1:9300", 200, nullptr},
        GateCase{"CurlByLocalhost", "POST", nullptr, "localhost:9300", 200, nullptr},
        GateCase{"OtherMachineByAddress", "POST", nullptr, "192.168.1.20:9300", 200, nullptr},
        GateCase{"OtherMachineByIpv6Address", "POST", nullptr, "[fe80::1]:9300", 200, nullptr},
        GateCase{"ReboundNameWithoutOrigin", "POST", nullptr, "rebound.example:9300", 403,
                 "请求的主机名rebound.example:9300不是本机地址，已拒绝"},
        GateCase{"ListedPageUnderAForeignName", "POST", "https://erp.example", "erp.example", 403,
                 "请求的主机名erp.example不是本机地址，已拒绝"}),
    [](const auto &p) { return std::string(p.param.name); });

TEST(HttpListenerErrors, ExceptionFromTheHandlerLeaksNothing)
{
    LogRecorder log;
    HttpListener listener(
        [](std::string_view, const std::string &) { throw std::runtime_error("secret detail"); },
        [&](const std::string &line) { log.add(line); });
    ASSERT_TRUE(listener.start(0));
    httplib::Client c("127.0.0.1", listener.port());
    const httplib::Result r = c.Post("/", "{}", "text/plain");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 500);
    EXPECT_EQ(r->body, "");
    for (const auto &[name, value] : r->headers)
        EXPECT_EQ(value.find("secret"), std::string::npos) << name;
    EXPECT_THAT(log.lines(), ElementsAre("请求处理出错"));

    const httplib::Result page = c.Post("/", {{"Origin", kPage}}, "{}", "text/plain");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 500);
    EXPECT_EQ(page->get_header_value("Access-Control-Allow-Origin"), kPage);
    EXPECT_EQ(page->get_header_value("Vary"), "Origin");
}

TEST(HttpListenerErrors, PortInUseFailsToStart)
{
    HttpListener first([](std::string_view, const std::string &) {}, nullptr);
    ASSERT_TRUE(first.start(0));
    HttpListener second([](std::string_view, const std::string &) {}, nullptr);
    EXPECT_FALSE(second.start(first.port()));
    EXPECT_FALSE(second.isListening());
    EXPECT_EQ(second.port(), 0);
    // A plain IPv4 socket holding the port blocks it as well.
    first.stop();
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    ASSERT_EQ(::bind(s, reinterpret_cast<const sockaddr *>(&addr), sizeof(addr)), 0);
    ASSERT_EQ(::listen(s, 1), 0);
    socklen_t len = sizeof(addr);
    ::getsockname(s, reinterpret_cast<sockaddr *>(&addr), &len);
    EXPECT_FALSE(second.start(ntohs(addr.sin_port)));
    ::close(s);
}

TEST(HttpListenerErrors, StopIsIdempotentAndAllowsRestart)
{
    HttpListener listener([](std::string_view, const std::string &) {}, nullptr);
    ASSERT_TRUE(listener.start(0));
    EXPECT_TRUE(listener.isListening());
    listener.stop();
    listener.stop();
    EXPECT_FALSE(listener.isListening());
}

} // namespace
} // namespace tally::service
