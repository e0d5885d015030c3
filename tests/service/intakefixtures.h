#pragma once

// Helpers shared by the intake and listener tests: a thread-safe log
// recorder and launchers that record, block or fail.

#include "service/launcher.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace tally::service::testing {

class LogRecorder
{
public:
    void add(const std::string &line)
    {
        const std::lock_guard lock(m_mutex);
        m_lines.push_back(line);
        m_changed.notify_all();
    }
    std::vector<std::string> lines() const
    {
        const std::lock_guard lock(m_mutex);
        return m_lines;
    }
    // Waits until `line` has been logged `times` times; false after a limit that
    // is generous because sanitizer builds are slow.
    bool waitFor(const std::string &line, int times = 1) const
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(20), [&] {
            int n = 0;
            for (const auto &l : m_lines)
                n += l == line ? 1 : 0;
            return n >= times;
        });
    }

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::vector<std::string> m_lines;
};

// Records every request and holds it until released, like a document window
// that stays open until the user closes it.
class BlockingLauncher : public Launcher
{
public:
    explicit BlockingLauncher(bool blocking = true) : m_blocking(blocking) {}

    void launch(const LaunchRequest &request) override
    {
        std::unique_lock lock(m_mutex);
        m_requests.push_back(request);
        m_released.push_back(false);
        m_changed.notify_all();
        if (m_failWith)
            throw std::runtime_error(m_failWith);
        if (m_failUnknown)
            throw 42; // not a standard exception

        const std::size_t ticket = m_requests.size() - 1;
        m_changed.wait(lock, [&] { return !m_blocking || m_released[ticket]; });
    }

    // Lets every window opened so far close.
    void releaseAll()
    {
        const std::lock_guard lock(m_mutex);
        m_released.assign(m_released.size(), true);
        m_changed.notify_all();
    }
    // Lets the window of the request opened `index`-th (from 0) close.
    void release(std::size_t index)
    {
        const std::lock_guard lock(m_mutex);
        m_released.at(index) = true;
        m_changed.notify_all();
    }
    // Waits until `count` windows have been opened in total.
    bool waitForLaunches(int count)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(20),
                                  [&] { return static_cast<int>(m_requests.size()) >= count; });
    }
    std::vector<LaunchRequest> requests() const
    {
        const std::lock_guard lock(m_mutex);
        return m_requests;
    }
    void failWith(const char *message) { m_failWith = message; }
    void failWithUnknown() { m_failUnknown = true; }

private:
    const bool m_blocking;
    const char *m_failWith = nullptr;
    bool m_failUnknown = false;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<LaunchRequest> m_requests;
    std::vector<bool> m_released;
};

} // namespace tally::service::testing
