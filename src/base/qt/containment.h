#pragma once

#include <QPointer>
#include <QWidget>

#include <exception>
#include <functional>
#include <string>
#include <type_traits>
#include <utility>

class QEvent;

namespace tally {

// The one place where a failure inside a window stops: no exception may leave
// a Qt event handler of ours, a slot or a function posted to the GUI thread,
// because Qt's widget code in between is built without exception support and
// a throw through it ends the process. A contained failure costs the window
// its current action or paint, never the process: it gets one activity-log
// line and a window-modal message box with its text, shown after the current
// event (never inside a paint event's own loop), once per window and failure.
class Containment
{
public:
    // Receives the log line of each contained failure; thread-safe. The
    // program points it at the activity log; none set drops the lines.
    using LogSink = std::function<void(const std::string &line)>;
    static void setLogSink(LogSink sink);

    // Reports one failure of `where` (any widget of the window; null for
    // work without a window: logged only). The box and log line come once
    // per window and `key` (the text when `key` is empty); GUI thread only
    // when `where` is set.
    static void report(QWidget *where, const std::string &text, const std::string &key = {});

    // Only the log line, with no box: for windows that show the failure
    // their own way.
    static void log(QWidget *where, const std::string &text);

    // Runs `work`; anything it throws is reported for `where`. False when it
    // failed.
    template <class Work> static bool run(QWidget *where, Work &&work) noexcept
    {
        try {
            std::forward<Work>(work)();
            return true;
        } catch (...) {
            // The last line of defence: every kind of failure stops here.
            reportCurrent(where);
            return false;
        }
    }

    // The object name of the message boxes, for tests.
    static constexpr const char *kBoxName = "ContainedFailure";

private:
    static void reportCurrent(QWidget *where) noexcept;
};

// Wraps `fn` so that every call runs contained for `where`'s window; for
// connecting signals to our slots and for queued calls. Signal arguments
// that `fn` does not take are dropped, as Qt does for plain slots.
template <class Fn> auto contained(QWidget *where, Fn fn)
{
    return [where = QPointer<QWidget>(where), fn = std::move(fn)](auto &&...args) {
        Containment::run(where.data(), [&] {
            if constexpr (std::is_invocable_v<Fn &, decltype(args)...>)
                fn(std::forward<decltype(args)>(args)...);
            else
                fn();
        });
    };
}

// A widget whose events (paint, input, timers, resize, close, ...) all run
// contained: our windows and widgets derive from ContainedWidget<QWidget>
// (or another widget class) instead of the class itself. A failed event
// counts as handled.
template <class Base> class ContainedWidget : public Base
{
public:
    using Base::Base;

protected:
    bool event(QEvent *event) override
    {
        bool handled = true;
        Containment::run(this, [&] { handled = Base::event(event); });
        return handled;
    }
};

// A scroll area (item view, header, text view) whose viewport's events run
// contained too: they reach the area through viewportEvent, not event().
template <class Base> class ContainedScrollArea : public ContainedWidget<Base>
{
public:
    using ContainedWidget<Base>::ContainedWidget;

protected:
    bool viewportEvent(QEvent *event) override
    {
        bool handled = true;
        Containment::run(this, [&] { handled = Base::viewportEvent(event); });
        return handled;
    }
};

} // namespace tally
