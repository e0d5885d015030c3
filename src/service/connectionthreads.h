#pragma once

#include <httplib.h>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace tally::service {

// Task queue for the HTTP server that gives every connection a thread of its
// own at once, so a handler that blocks (a window left open) never holds up
// other connections. Finished threads wait idle for the next connection (up
// to a few), which spares thread start-up under load. Connections beyond
// `maxConnections` still get a thread, but are marked so the server can
// refuse them at once. Every thread is joined by shutdown().
class ConnectionThreads : public httplib::TaskQueue
{
public:
    explicit ConnectionThreads(std::size_t maxConnections);
    ~ConnectionThreads() override;

    // Runs `fn` (one connection) on an idle thread or a new one.
    void enqueue(std::function<void()> fn) override;

    // Lets queued connections finish and joins every thread.
    void shutdown() override;

    // True on a connection thread while it serves a connection that came
    // beyond the cap.
    static bool overCapacity();

private:
    struct Task
    {
        std::function<void()> fn;
        bool overCapacity = false;
    };

    void work(std::uint64_t id);
    void reapFinished();

    static constexpr std::size_t kMaxIdle = 32;

    const std::size_t m_maxConnections;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Task> m_queue;
    std::size_t m_busy = 0; // connections being served or queued
    std::size_t m_idle = 0; // threads waiting for a connection, not yet promised one
    bool m_shutdown = false;
    std::map<std::uint64_t, std::thread> m_threads;
    std::vector<std::uint64_t> m_finished;
    std::uint64_t m_nextId = 0;
};

} // namespace tally::service
