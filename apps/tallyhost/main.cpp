// Tallyhost: the print service program.
#include "documents/qt/documentwindows.h"
#include "service/singleinstance.h"
#include "service/tmainform.h"
#include "tabular/qt/listwindows.h"

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
    tally::documents::registerDocumentWindows(form);
    tally::tabular::registerListWindow(form);
    QObject::connect(&form, &tally::service::TMainForm::closed, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    form.show();
    return QApplication::exec();
}
