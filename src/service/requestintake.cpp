#include "service/requestintake.h"

#include "base/asciitext.h"
#include "base/failuretext.h"
#include "base/numberformat.h"
#include "service/launcher.h"
#include "service/requestjson.h"
#include "service/requesttext.h"

#include <chrono>
#include <cstdlib>

namespace tally::service {

namespace {

std::int64_t toMilliseconds(const LocalDateTime &dt)
{
    using namespace std::chrono;
    const sys_days day{year{dt.year} / month{static_cast<unsigned>(dt.month)} /
                       static_cast<unsigned>(dt.day)};
    const auto ms = day.time_since_epoch() + hours{dt.hour} + minutes{dt.minute} +
                    seconds{dt.second} + milliseconds{dt.millisecond};
    return duration_cast<milliseconds>(ms).count();
}

// Seconds between the two times to the nearest thousandth; with millisecond
// times that is exact, so no rounding step is needed.
std::string intervalText(const LocalDateTime &from, const LocalDateTime &to,
                         const FormatSettings &fs)
{
    const std::int64_t ms = std::llabs(toMilliseconds(to) - toMilliseconds(from));
    return formatGeneral(static_cast<double>(ms) / 1000.0, fs);
}

std::string clockText(const LocalDateTime &dt)
{
    return formatDateTime("h:m:s:z", dt);
}

bool isPost(std::string_view method)
{
    return ascii::equalsIgnoringCase(method, "POST");
}

} // namespace

RequestIntake::RequestIntake(LogSink log, FormatSettings settings, Clock clock)
    : m_log(std::move(log)), m_settings(std::move(settings)), m_clock(std::move(clock)),
      m_lastAcceptedTime(m_clock())
{
}

std::int64_t RequestIntake::requestCount() const
{
    const std::lock_guard lock(m_mutex);
    return m_requestCount;
}

void RequestIntake::log(const std::string &line) const
{
    if (m_log)
        m_log(line);
}

void RequestIntake::setIdle(bool idle)
{
    const std::lock_guard lock(m_mutex);
    m_idle = idle;
}

RequestIntake::~RequestIntake()
{
    std::unique_lock lock(m_activeMutex);
    m_activeDone.wait(lock, [this] { return m_active == 0; });
}

void RequestIntake::handleRequest(std::string_view method, const std::string &body)
{
    {
        const std::lock_guard lock(m_activeMutex);
        ++m_active;
    }
    struct Leave
    {
        RequestIntake &intake;
        ~Leave()
        {
            const std::lock_guard lock(intake.m_activeMutex);
            --intake.m_active;
            intake.m_activeDone.notify_all();
        }
    } leave{*this};
    try {
        std::int64_t number = 0;
        {
            // Counting, the interval line and the duplicate decision form one
            // step, so concurrent requests see each other's state whole and
            // their lines come out in the order of that state.
            const std::lock_guard lock(m_mutex);
            number = ++m_requestCount;
            const LocalDateTime now = m_clock();
            const std::string interval = intervalText(m_lastAcceptedTime, now, m_settings);
            log("间隔" + interval + "秒 上次:" + clockText(m_lastAcceptedTime) + "- 本次：" +
                clockText(now));
            if (m_lastAcceptedCount > 0 && m_requestCount > m_lastAcceptedCount &&
                body == m_lastBody && !m_idle) {
                log("间隔" + interval + "秒，两次发送内容一样");
                m_lastBody.clear();
                return;
            }
            m_lastBody = body;
            m_lastAcceptedTime = now;
            m_lastAcceptedCount = m_requestCount;
        }
        if (!isPost(method))
            return;
        log("正常接收信息" + std::to_string(number) + "条");
        processRequest(body);
    } catch (...) {
        // The last line of defence, swallowed without a log line: nothing is
        // reported to the page and the reply is the same in every case.
    }
}

void RequestIntake::processRequest(const std::string &body)
{
    struct IdleAgain
    {
        RequestIntake &intake;
        ~IdleAgain() { intake.setIdle(true); }
    } idleAgain{*this};
    setIdle(false);

    const UrlDecodeResult decoded = UrlDecode(body);
    if (!decoded.ok())
        return;
    const std::string text = DecodeUtf8(decoded.bytes);

    RequestJson json = parseRequestJson(text);
    if (!json.ok()) {
        log("不正确:aRequestContent=" + text);
        return;
    }
    log(std::to_string(json.memberCount));

    LaunchRequest request;
    request.djlx = std::move(json.djlx);
    request.title = std::move(json.title);
    request.prev = std::move(json.prev);
    if (request.djlx == "0") {
        request.data = std::move(json.data);
    } else {
        request.mainData = std::move(json.mainData);
        request.itemData = std::move(json.itemData);
    }
    openWindow(request);
}

void RequestIntake::openWindow(const LaunchRequest &request)
{
    {
        const std::lock_guard lock(m_mutex);
        log("当前打开数量=" + std::to_string(++m_openCount));
    }
    struct CloseAgain
    {
        RequestIntake &intake;
        ~CloseAgain()
        {
            try {
                const std::lock_guard lock(intake.m_mutex);
                intake.m_idle = true;
                intake.log("当前打开数量=" + std::to_string(--intake.m_openCount));
            } catch (...) {
                // The count is already down; a failing log sink must not end the process.
            }
        }
    } closeAgain{*this};

    try {
        if (const auto launcher = m_table.find(request.djlx))
            launcher->launch(request);
    } catch (...) {
        const std::string cause = currentFailureText();
        if (request.djlx == "0") {
            log("sData=" + request.data);
        } else {
            log("sData=" + request.mainData);
            log("sITEM=" + request.itemData);
        }
        setIdle(true);
        log("格式不正确");
        log("原因：" + cause);
    }
}

} // namespace tally::service
