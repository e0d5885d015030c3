#include "service/httplistener.h"

#include "base/asciitext.h"
#include "service/connectionthreads.h"

#include <httplib.h>

#ifndef _WIN32
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <cctype>
#include <charconv>
#include <thread>

namespace tally::service {

namespace {

// SO_REUSEADDR only: the library's default also sets SO_REUSEPORT, which would
// let a second instance bind the same port and silently share the requests.
void listenerSocketOptions(socket_t sock)
{
#ifdef _WIN32
    // Windows lets anyone take over a port bound without exclusive use.
    BOOL yes = TRUE;
    setsockopt(sock, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char *>(&yes),
               sizeof(yes));
    DWORD no = 0;
    setsockopt(sock, IPPROTO_IPV6, IPV6_V6ONLY, reinterpret_cast<const char *>(&no), sizeof(no));
#else
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
    // One IPv6 socket that also takes IPv4 connections (fails harmlessly on IPv4 sockets).
    int no = 0;
    setsockopt(sock, IPPROTO_IPV6, IPV6_V6ONLY, &no, sizeof(no));
#endif
}

bool ipv6Available()
{
    const socket_t s = ::socket(AF_INET6, SOCK_STREAM, 0);
    if (s == INVALID_SOCKET)
        return false;
#ifdef _WIN32
    ::closesocket(s);
#else
    ::close(s);
#endif
    return true;
}

// Content-Length when present and a number; false otherwise.
bool declaredLength(const httplib::Request &req, std::uint64_t &length)
{
    if (!req.has_header("Content-Length"))
        return false;
    const std::string value = req.get_header_value("Content-Length");
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), length);
    return ec == std::errc() && end == value.data() + value.size();
}

void emptyReply(httplib::Response &res, int status)
{
    res.status = status;
    res.body.clear();
    res.set_header("Content-Type", "text/html");
}

constexpr const char *kMethods = "GET, HEAD, POST, OPTIONS";

// The request headers a preflight may be granted: those it asks for, always
// with Content-Type. A value that is not a plain list of header names is not
// echoed back.
std::string allowedHeaders(const httplib::Request &req)
{
    const std::string asked = req.get_header_value("Access-Control-Request-Headers");
    constexpr std::string_view tokenChars = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                            "0123456789!#$%&'*+-.^_`|~";
    if (asked.find_first_not_of(std::string(tokenChars) + ", \t") != std::string::npos)
        return "Content-Type";
    std::string list;
    bool hasContentType = false;
    std::size_t pos = 0;
    while ((pos = asked.find_first_of(tokenChars, pos)) != std::string::npos) {
        const std::size_t end = std::min(asked.find_first_not_of(tokenChars, pos), asked.size());
        const std::string_view name = std::string_view(asked).substr(pos, end - pos);
        hasContentType = hasContentType || ascii::equalsIgnoringCase(name, "Content-Type");
        list.append(list.empty() ? "" : ", ").append(name);
        pos = end;
    }
    return hasContentType ? list : list.append(list.empty() ? "" : ", ").append("Content-Type");
}

// 204 to an OPTIONS request. The origin headers are added to every reply alike.
void preflightReply(const httplib::Request &req, httplib::Response &res)
{
    res.status = 204;
    res.body.clear();
    res.set_header("Allow", kMethods);
    res.set_header("Access-Control-Allow-Methods", kMethods);
    res.set_header("Access-Control-Allow-Headers", allowedHeaders(req));
    res.set_header("Access-Control-Max-Age", "600");
    // Chrome's private network check: the page is public, we are loopback.
    if (ascii::equalsIgnoringCase(req.get_header_value("Access-Control-Request-Private-Network"),
                                  "true"))
        res.set_header("Access-Control-Allow-Private-Network", "true");
}

} // namespace

class HttpListener::Impl
{
public:
    Impl(RequestHandler handler, LogSink log, Limits limits, OriginPolicy origins)
        : m_handler(std::move(handler)), m_log(std::move(log)), m_limits(limits),
          m_origins(std::move(origins))
    {
        m_server.new_task_queue = [this] { return new ConnectionThreads(m_limits.maxConnections); };
        m_server.set_socket_options(listenerSocketOptions);
        m_server.set_keep_alive_max_count(1);
        m_server.set_read_timeout(m_limits.readTimeout);
        m_server.set_payload_max_length(m_limits.maxBodyBytes);

        m_server.set_expect_100_continue_handler(
            [this](const httplib::Request &req, httplib::Response &res) {
                if (const int status = refusal(req); status != 0) {
                    emptyReply(res, status);
                    return status;
                }
                return 100;
            });
        m_server.set_pre_routing_handler(
            [this](const httplib::Request &req, httplib::Response &res) {
                if (const int status = refusal(req); status != 0) {
                    emptyReply(res, status);
                    return httplib::Server::HandlerResponse::Handled;
                }
                if (req.method == "OPTIONS") {
                    preflightReply(req, res);
                    return httplib::Server::HandlerResponse::Handled;
                }
                if (req.method != "GET" && req.method != "HEAD" && req.method != "POST") {
                    emptyReply(res, 405);
                    res.set_header("Allow", kMethods);
                    return httplib::Server::HandlerResponse::Handled;
                }
                return httplib::Server::HandlerResponse::Unhandled;
            });
        // Runs for every reply the server writes, the refusals of the limits
        // included, so a page's fetch() can read any outcome.
        m_server.set_post_routing_handler(
            [this](const httplib::Request &req, httplib::Response &res) {
                if (res.status == 204) // a 204 carries no length
                    res.headers.erase("Content-Length");
                if (!req.has_header("Origin") || !admitted(req))
                    return;
                res.set_header("Access-Control-Allow-Origin", req.get_header_value("Origin"));
                res.set_header("Vary", "Origin");
            });
        m_server.Get(".*", [this](const httplib::Request &req, httplib::Response &res) {
            m_handler(req.method, std::string());
            emptyReply(res, 200);
        });
        m_server.Post(".*",
                      [this](const httplib::Request &req, httplib::Response &res,
                             const httplib::ContentReader &reader) { post(req, res, reader); });
        // Whatever escapes a handler: no message leaks into the reply.
        m_server.set_exception_handler(
            [this](const httplib::Request &, httplib::Response &res, std::exception_ptr) {
                emptyReply(res, 500);
                this->log("请求处理出错");
            });
    }

    ~Impl() { stop(); }

    bool start(int port, std::string host)
    {
        if (m_thread.joinable())
            return false;
        if (host.empty())
            host = ipv6Available() ? "::" : "0.0.0.0";
        int bound = port;
        if (port == 0)
            bound = m_server.bind_to_any_port(host);
        else if (!m_server.bind_to_port(host, port))
            bound = -1;
        if (bound <= 0)
            return false;
        m_port = bound;
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        // stop() is only heard once the server loop runs.
        while (!m_server.is_running())
            std::this_thread::yield();
        return true;
    }

    void stop()
    {
        if (!m_thread.joinable())
            return;
        m_server.stop();
        m_thread.join();
        m_port = 0;
    }

    int port() const { return m_port; }
    bool isListening() const { return m_thread.joinable() && m_server.is_running(); }

private:
    void log(const std::string &line) const
    {
        if (m_log)
            m_log(line);
    }

    // Status of a request refused before its body is read, or 0.
    int refusal(const httplib::Request &req) const
    {
        if (ConnectionThreads::overCapacity()) {
            log("同时连接超过" + std::to_string(m_limits.maxConnections) + "个，已拒绝");
            return 503;
        }
        if (!admitted(req)) {
            if (const std::string origin = req.get_header_value("Origin");
                req.has_header("Origin") && !m_origins.allowsOrigin(origin))
                log("网页来源" + origin + "不在允许列表中，已拒绝");
            else
                log("请求的主机名" + req.get_header_value("Host") + "不是本机地址，已拒绝");
            return 403;
        }
        std::uint64_t length = 0;
        if (req.method == "POST" && declaredLength(req, length) && length > m_limits.maxBodyBytes) {
            logTooLarge();
            return 413;
        }
        return 0;
    }

    // Whether the origin policy lets the request through.
    bool admitted(const httplib::Request &req) const
    {
        if (req.has_header("Origin") && !m_origins.allowsOrigin(req.get_header_value("Origin")))
            return false;
        return m_origins.allowsHost(req.get_header_value("Host"));
    }

    void logTooLarge() const
    {
        log("请求内容超过" + std::to_string(m_limits.maxBodyBytes) + "字节，已拒绝");
    }

    void post(const httplib::Request &req, httplib::Response &res,
              const httplib::ContentReader &reader)
    {
        if (req.is_multipart_form_data()) {
            // The library only hands such bodies out in parts, never raw.
            log("不支持multipart/form-data请求，已拒绝");
            emptyReply(res, 415);
            return;
        }
        std::string body;
        bool tooLarge = false;
        const bool complete = reader([&](const char *data, std::size_t size) {
            if (size > m_limits.maxBodyBytes - body.size()) {
                tooLarge = true;
                return false;
            }
            body.append(data, size);
            return true;
        });
        if (tooLarge || res.status == 413) {
            logTooLarge();
            emptyReply(res, 413);
            return;
        }
        if (!complete) {
            // Typically a body without Content-Length whose sender never
            // closed its side within the read timeout.
            log("请求内容读取失败，已拒绝");
            emptyReply(res, 400);
            return;
        }
        m_handler("POST", body);
        emptyReply(res, 200);
    }

    RequestHandler m_handler;
    LogSink m_log;
    const Limits m_limits;
    const OriginPolicy m_origins;
    httplib::Server m_server;
    std::thread m_thread;
    std::atomic<int> m_port{0};
};

HttpListener::HttpListener(RequestHandler handler, LogSink log, Limits limits, OriginPolicy origins)
    : m_impl(std::make_unique<Impl>(std::move(handler), std::move(log), limits, std::move(origins)))
{
}

HttpListener::HttpListener(RequestHandler handler, LogSink log)
    : HttpListener(std::move(handler), std::move(log), Limits{})
{
}

HttpListener::~HttpListener() = default;

bool HttpListener::start(int port, const std::string &host)
{
    return m_impl->start(port, host);
}

int HttpListener::port() const
{
    return m_impl->port();
}

bool HttpListener::isListening() const
{
    return m_impl->isListening();
}

void HttpListener::stop()
{
    m_impl->stop();
}

} // namespace tally::service
