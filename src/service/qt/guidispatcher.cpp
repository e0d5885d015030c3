#include "service/qt/guidispatcher.h"

#include "base/qt/containment.h"

#include <QMetaObject>
#include <QObject>
#include <QWidget>

namespace tally::service {

GuiDispatcher::GuiDispatcher(QWidget *owner)
    : m_owner(owner), m_context(std::make_unique<QObject>())
{
}

GuiDispatcher::~GuiDispatcher()
{
    close();
}

bool GuiDispatcher::post(std::function<void()> work)
{
    const std::lock_guard lock(m_mutex);
    if (!m_context)
        return false;
    // Work that throws must not unwind through the event loop; its failure
    // is logged (there is no window to show it in).
    QMetaObject::invokeMethod(
        m_context.get(), [work = std::move(work)] { Containment::run(nullptr, work); },
        Qt::QueuedConnection);
    return true;
}

void GuiDispatcher::close()
{
    std::unique_ptr<QObject> context;
    {
        const std::lock_guard lock(m_mutex);
        context = std::move(m_context);
    }
    // Destroying the receiver drops its queued calls with their captured state.
    context.reset();
}

} // namespace tally::service
