#pragma once

// For test programs whose windows live on the test's own (GUI) thread while
// other threads wait on them: one QApplication for the whole program, and a
// way to keep the event loop turning until something has happened.
#include <QApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <memory>

namespace tally::testing_support {

// Owns the program's QApplication from the first test to the last.
class QtWidgetsEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "tally_widget_tests";
        static char *argv[] = {name, nullptr};
        m_app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QApplication> m_app;
};

// Processes events until `done()` holds; false after `timeoutMs` without.
template <class Predicate> bool processEventsUntil(Predicate done, int timeoutMs = 60000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

} // namespace tally::testing_support
