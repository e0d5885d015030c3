#include "service/qt/guiwindowlauncher.h"

#include "service/qt/guidispatcher.h"

#include <QObject>
#include <QWidget>

#include <future>
#include <stdexcept>

namespace tally::service {

GuiWindowLauncher::GuiWindowLauncher(std::shared_ptr<GuiDispatcher> gui, WindowFactory factory)
    : m_gui(std::move(gui)), m_factory(std::make_shared<const WindowFactory>(std::move(factory)))
{
}

void GuiWindowLauncher::launch(const LaunchRequest &request)
{
    auto closed = std::make_shared<std::promise<void>>();
    std::future<void> waiting = closed->get_future();
    QWidget *const owner = m_gui->owner();
    const bool posted = m_gui->post([factory = m_factory, request, closed, owner] {
        try {
            std::unique_ptr<QWidget> window = (*factory)(request, owner);
            if (!window) {
                closed->set_value();
                return;
            }
            QWidget *shown = window.release(); // owned by its parent or by itself from here
            if (!shown->parentWidget())
                shown->setParent(owner, shown->windowFlags() | Qt::Window);
            shown->setAttribute(Qt::WA_DeleteOnClose);
            QObject::connect(shown, &QObject::destroyed, [closed] { closed->set_value(); });
            shown->show();
            shown->raise();
            shown->activateWindow();
        } catch (...) {
            closed->set_exception(std::current_exception());
        }
    });
    if (!posted)
        throw std::runtime_error("the main window is closing");
    waiting.get();
}

} // namespace tally::service
