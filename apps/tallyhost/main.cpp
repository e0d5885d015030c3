// Tallyhost: the print service program.
#include "service/qt/singleinstance.h"
#include "service/qt/tmainform.h"
#include "tallyhost/hostwindows.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char **argv)
{
    // Without a display (a server, a CI job) the windows live off screen.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    tally::service::SingleInstance instance(QStringLiteral("Tallyhost"));
    if (!instance.tryAcquire())
        return 0;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tallyhost"));
    // Hidden in the notification area the main window is the last one to
    // close, yet the program keeps running; only its close button ends it.
    QApplication::setQuitOnLastWindowClosed(false);

    tally::service::TMainForm::Options options;
    options.port = 9300;
    options.arguments = QApplication::arguments().mid(1);
    options.echoLogToStderr = true;
    tally::service::TMainForm form(std::move(options));
    tally::host::registerHostWindows(form);
    QObject::connect(&form, &tally::service::TMainForm::closed, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    form.show();
    return QApplication::exec();
}
