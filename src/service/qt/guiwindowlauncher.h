#pragma once

#include "service/launcher.h"

#include <functional>
#include <memory>

class QWidget;

namespace tally::service {

class GuiDispatcher;

// Launcher of a document type whose window is a Qt widget: the connection
// thread hands the request to the GUI thread, which creates and shows the
// window (not modal, so windows never nest in each other's loops), and waits
// until that window is destroyed.
class GuiWindowLauncher : public Launcher
{
public:
    // Builds the window of one request on the GUI thread. The returned window
    // is shown, deleted when closed, and releases the request when it goes.
    // Returning null means there is nothing to show (for example a document
    // printed at once); throwing means the window failed.
    using WindowFactory =
        std::function<std::unique_ptr<QWidget>(const LaunchRequest &request, QWidget *owner)>;

    GuiWindowLauncher(std::shared_ptr<GuiDispatcher> gui, WindowFactory factory);

    // Blocks the calling (connection) thread until the window is gone.
    // Rethrows what the factory threw; throws std::runtime_error when the GUI
    // is shutting down and std::future_error when the window is dropped unshown.
    void launch(const LaunchRequest &request) override;

private:
    std::shared_ptr<GuiDispatcher> m_gui;
    std::shared_ptr<const WindowFactory> m_factory;
};

} // namespace tally::service
