#include "service/guidispatcher.h"

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
    QMetaObject::invokeMethod(m_context.get(), std::move(work), Qt::QueuedConnection);
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
