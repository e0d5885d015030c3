#pragma once

#include <httplib.h>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace tally::service {

// Task queue for the HTTP server that runs every connection on a thread of its
// own, so a handler that blocks (a window left open) never holds up other
// connections. Connections beyond `maxConnections` still get a thread, but
// are marked so the server can refuse them at once. Threads are joined:
// finished ones on the next connection, the rest on shutdown().
class ConnectionThreads : public httplib::TaskQueue
{
public:
    explicit ConnectionThreads(std::size_t maxConnections);
    ~ConnectionThreads() override;

    // Starts `fn` (one connection) on a new thread.
    void enqueue(std::function<void()> fn) override;

    // Waits for every connection thread to end.
    void shutdown() override;

    // True on a connection thread that was started beyond the cap.
    static bool overCapacity();

    // Connection threads currently running.
    std::size_t running() const;

private:
    void reapFinished();

    const std::size_t m_maxConnections;
    mutable std::mutex m_mutex;
    std::map<std::uint64_t, std::thread> m_threads;
    std::vector<std::uint64_t> m_finished;
    std::uint64_t m_nextId = 0;
};

} // namespace tally::service
