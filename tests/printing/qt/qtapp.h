#pragma once

#include <QApplication>

namespace tally::printing::testing_fakes {

// The one application object the Qt adapter tests need (fonts, printers).
// It lives until the process ends: destroying it among the static
// destructors crashes inside Qt.
inline void ensureQtApp()
{
    static int argc = 1;
    static char name[] = "tally_printing_qt_tests";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QApplication(argc, argv); // held by Qt as the instance
}

} // namespace tally::printing::testing_fakes
