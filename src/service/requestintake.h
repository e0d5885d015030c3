#pragma once

#include "base/datetimeformat.h"
#include "base/formatsettings.h"
#include "service/dispatchtable.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

namespace tally::service {

// The path of one print request from the HTTP callback to the document window:
// request counters, the interval line, the duplicate rule, decoding, the JSON
// members, dispatch by document type and the open-window count, with every
// activity-log line on the way. One instance serves all connection threads.
struct LaunchRequest;

class RequestIntake
{
public:
    // Receives each activity-log line (without time stamp). Called from
    // connection threads, one whole line per call; must be thread-safe.
    using LogSink = std::function<void(const std::string &line)>;
    // Current local date-time; replaceable for tests.
    using Clock = std::function<LocalDateTime()>;

    // The request state starts now (the interval of the first request is
    // measured from here). `settings` gives the decimal separator of the
    // interval line.
    explicit RequestIntake(LogSink log, FormatSettings settings = FormatSettings::chinesePrc(),
                           Clock clock = &LocalDateTime::now);

    // Waits until no request is inside handleRequest any more.
    ~RequestIntake();
    RequestIntake(const RequestIntake &) = delete;
    RequestIntake &operator=(const RequestIntake &) = delete;

    // The server callback for every GET, POST or HEAD request: counts it, logs
    // the interval, drops a duplicate body and hands a POST body to
    // processRequest. Returns when the target window has been closed. Never
    // throws: errors end the request silently.
    void handleRequest(std::string_view method, const std::string &body);

    // Decodes one accepted POST body and opens its document window; returns
    // when the window is closed. Errors of the window are logged; a body that
    // does not decode ends the request. Throws only what the log sink throws.
    void processRequest(const std::string &body);

    // Requests currently inside a document window.
    int openCount() const { return m_openCount.load(); }

    // Requests that reached handleRequest since start.
    std::int64_t requestCount() const;

    // The document types and their launchers; register launchers here.
    DispatchTable &dispatchTable() { return m_table; }

private:
    void log(const std::string &line) const;
    void setIdle(bool idle);
    void openWindow(const LaunchRequest &request);

    LogSink m_log;
    FormatSettings m_settings;
    Clock m_clock;
    DispatchTable m_table;

    // Requests still inside handleRequest; the destructor waits for them so a
    // connection thread never touches a freed intake.
    std::mutex m_activeMutex;
    std::condition_variable m_activeDone;
    int m_active = 0;
    mutable std::mutex m_mutex; // guards the request state below
    std::int64_t m_requestCount = 0;
    std::int64_t m_lastAcceptedCount = 0;
    LocalDateTime m_lastAcceptedTime;
    std::string m_lastBody;
    bool m_idle = true;
    std::atomic<int> m_openCount{0}; // written under m_mutex, read freely
};

} // namespace tally::service
