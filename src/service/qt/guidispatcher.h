#pragma once

#include <functional>
#include <memory>
#include <mutex>

class QObject;
class QWidget;

namespace tally::service {

// Hands work from connection threads to the GUI thread, where every window
// lives. Create and close it on the GUI thread; post() from any thread.
class GuiDispatcher
{
public:
    // `owner` (not owned) becomes the owner of the windows opened through it.
    explicit GuiDispatcher(QWidget *owner);
    // Closes (see close()).
    ~GuiDispatcher();

    GuiDispatcher(const GuiDispatcher &) = delete;
    GuiDispatcher &operator=(const GuiDispatcher &) = delete;

    // Queues `work` to run on the GUI thread; a failure it throws is
    // contained and logged. False, with `work` destroyed unrun, once the
    // dispatcher is closed. Thread-safe.
    bool post(std::function<void()> work);

    // Stops taking work and destroys queued work that has not run, so no
    // waiting thread waits for it forever. GUI thread only; idempotent.
    void close();

    // The owner of the windows opened through this dispatcher.
    QWidget *owner() const { return m_owner; }

private:
    QWidget *const m_owner;
    std::mutex m_mutex;
    std::unique_ptr<QObject> m_context; // receives the queued work; null once closed
};

} // namespace tally::service
