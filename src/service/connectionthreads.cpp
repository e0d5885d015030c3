#include "service/connectionthreads.h"

#include <memory>
#include <system_error>

namespace tally::service {

namespace {

thread_local bool t_overCapacity = false;

} // namespace

ConnectionThreads::ConnectionThreads(std::size_t maxConnections) : m_maxConnections(maxConnections) {}

ConnectionThreads::~ConnectionThreads() { shutdown(); }

bool ConnectionThreads::overCapacity() { return t_overCapacity; }

std::size_t ConnectionThreads::running() const
{
    const std::lock_guard lock(m_mutex);
    return m_threads.size() - m_finished.size();
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
    // Shared, so the task survives a failed thread start and can run inline.
    auto task = std::make_shared<std::function<void()>>(std::move(fn));
    {
        const std::lock_guard lock(m_mutex);
        reapFinished();
        const bool over = m_threads.size() >= m_maxConnections;
        const std::uint64_t id = m_nextId++;
        try {
            m_threads.emplace(id, std::thread([this, id, over, task] {
                t_overCapacity = over;
                (*task)();
                const std::lock_guard done(m_mutex);
                m_finished.push_back(id);
            }));
            return;
        } catch (const std::system_error &) {
            // No thread to be had: fall through and refuse this one inline.
        }
    }
    t_overCapacity = true;
    (*task)();
    t_overCapacity = false;
}

void ConnectionThreads::shutdown()
{
    std::map<std::uint64_t, std::thread> threads;
    {
        const std::lock_guard lock(m_mutex);
        threads.swap(m_threads);
        m_finished.clear();
    }
    for (auto &[id, thread] : threads)
        thread.join();
    const std::lock_guard lock(m_mutex);
    m_finished.clear();
}

} // namespace tally::service
