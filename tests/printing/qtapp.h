#pragma once

#include <QApplication>

#include <memory>

namespace tally::printing::testing_fakes {

// The one application object the Qt adapter tests need (fonts, printers).
inline void ensureQtApp()
{
    static int argc = 1;
    static char name[] = "tally_printing_qt_tests";
    static char *argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app;
    if (!QCoreApplication::instance())
        app = std::make_unique<QApplication>(argc, argv);
}

} // namespace tally::printing::testing_fakes
