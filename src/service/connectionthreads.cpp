#include "service/connectionthreads.h"

#include <system_error>

namespace tally::service {

namespace {

thread_local bool t_overCapacity = false;

} // namespace

ConnectionThreads::ConnectionThreads(std::size_t maxConnections) : m_maxConnections(maxConnections)
{
}

ConnectionThreads::~ConnectionThreads()
{
    shutdown();
}

bool ConnectionThreads::overCapacity()
{
    return t_overCapacity;
}

void ConnectionThreads::reapFinished()
{
    for (const std::uint64_t id : m_finished) {
        const auto it = m_threads.find(id);
        if (it != m_threads.end()) {
            it->second.join();
            m_threads.erase(it);
        }
    }
    m_finished.clear();
}

void ConnectionThreads::enqueue(std::function<void()> fn)
{
    std::unique_lock lock(m_mutex);
    reapFinished();
    const bool over = m_busy >= m_maxConnections;
    ++m_busy;
    m_queue.push_back({std::move(fn), over});
    if (m_idle > 0) {
        --m_idle;
        m_wake.notify_one();
        return;
    }
    const std::uint64_t id = m_nextId++;
    try {
        m_threads.emplace(id, std::thread([this, id] { work(id); }));
    } catch (const std::system_error &) {
        // No thread to be had: serve this connection here, refusing it.
        Task task = std::move(m_queue.back());
        m_queue.pop_back();
        lock.unlock();
        t_overCapacity = true;
        task.fn();
        t_overCapacity = false;
        lock.lock();
        --m_busy;
    }
}

void ConnectionThreads::work(std::uint64_t id)
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return !m_queue.empty() || m_shutdown; });
        if (m_queue.empty())
            break;
        Task task = std::move(m_queue.front());
        m_queue.pop_front();
        lock.unlock();
        t_overCapacity = task.overCapacity;
        task.fn();
        t_overCapacity = false;
        lock.lock();
        --m_busy;
        if (m_shutdown)
            continue; // serve what is still queued, then end
        if (m_idle >= kMaxIdle)
            break;
        ++m_idle;
    }
    m_finished.push_back(id);
}

void ConnectionThreads::shutdown()
{
    std::map<std::uint64_t, std::thread> threads;
    {
        const std::lock_guard lock(m_mutex);
        m_shutdown = true;
        threads.swap(m_threads);
        m_wake.notify_all();
    }
    for (auto &[id, thread] : threads)
        thread.join();
    const std::lock_guard lock(m_mutex);
    m_finished.clear();
    m_idle = 0;
}

} // namespace tally::service
