#include "guiapplication.h"

namespace tally::tool {

namespace {

template <class App> std::unique_ptr<App> makeApplication()
{
    if (QCoreApplication::instance())
        return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tallytool";
    static char *argv[] = {name, nullptr};
    return std::make_unique<App>(argc, argv);
}

} // namespace

std::unique_ptr<QGuiApplication> makeGuiApplication()
{
    return makeApplication<QGuiApplication>();
}

std::unique_ptr<QApplication> makeWidgetApplication()
{
    return makeApplication<QApplication>();
}

} // namespace tally::tool
