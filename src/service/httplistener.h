#pragma once

#include "service/originpolicy.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace tally::service {

// The HTTP/1.1 listener of the print service: all local addresses, one thread
// per connection, no keep-alive. Every GET, HEAD and POST on any path goes to
// the request handler with the method and the whole body; when the handler
// returns, the empty 200 reply is sent and the connection closed. Other
// methods get 405, oversized bodies 413 and connections beyond the cap 503,
// without reaching the handler; those refusals are logged.
//
// Browser pages: an OPTIONS preflight on any path gets 204 with the CORS
// headers, without reaching the handler and without a log line. Every reply
// to a request that carries an Origin names that origin in
// Access-Control-Allow-Origin (with Vary: Origin), so fetch() can read it.
// Requests the origin policy refuses get 403 and one log line.
class HttpListener
{
public:
    // Gets the method ("GET", "HEAD" or "POST") and the raw body (empty for
    // GET and HEAD); runs on the connection's thread and may block.
    using RequestHandler = std::function<void(std::string_view method, const std::string &body)>;
    // Receives the listener's own log lines; called from connection threads.
    using LogSink = std::function<void(const std::string &line)>;

    struct Limits
    {
        std::size_t maxBodyBytes = std::size_t{64} << 20;
        std::size_t maxConnections = 256;
        std::chrono::seconds readTimeout{5};
    };

    // `origins` restricts which pages and host names are served (none by default).
    HttpListener(RequestHandler handler, LogSink log, Limits limits, OriginPolicy origins = {});
    HttpListener(RequestHandler handler, LogSink log);
    // Stops the listener (see stop()).
    ~HttpListener();

    HttpListener(const HttpListener &) = delete;
    HttpListener &operator=(const HttpListener &) = delete;

    // Binds `port` on all local addresses, or only on `host` when given (0
    // picks a free port), and starts serving on a thread of its own. False
    // when the port cannot be bound (for example when it is taken) or the
    // listener already runs.
    bool start(int port, const std::string &host = {});

    // The bound port while listening, else 0.
    int port() const;

    bool isListening() const;

    // Stops accepting connections and waits until every connection thread
    // has ended, including those whose handler is still blocked. Safe to call
    // more than once.
    void stop();

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace tally::service
