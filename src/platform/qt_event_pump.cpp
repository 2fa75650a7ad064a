#include "platform/qt_event_pump.hpp"

#include <QCoreApplication>
#include <QEventLoop>
#include <algorithm>
#include <cmath>

namespace qelto {

QtEventPump::QtEventPump() {
    clock_.start();
    deadline_.setSingleShot(true);
    // Its only job is to make processEvents() return; the wait itself looks at the clock.
    deadline_.setTimerType(Qt::PreciseTimer);
}

void QtEventPump::ProcessSystemEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtEventPump::WaitForEvents(double deadline) {
    // The wake comes from this thread, from a callback that processEvents() runs, so a flag is
    // enough: processEvents() returns once it has run a callback. Ending a QEventLoop instead
    // would write to the dispatcher's wake-up descriptor for every reply.
    while (!woken_) {
        // A timer armed for this deadline or an earlier one wakes us in time (an earlier one
        // merely costs another pass); one armed for later, by an outer wait, must come forward.
        if (!deadline_.isActive() || armedFor_ > deadline) ArmDeadline(deadline);
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (!woken_ && Timer() >= deadline) return;
    }
    // A wake before the wait began ends it at once; every wake ends one wait only.
    woken_ = false;
}

void QtEventPump::ArmDeadline(double deadline) {
    // Whole milliseconds, rounded up: the timer may fire late but never before the deadline.
    const double remaining = std::max(0.0, deadline - Timer());
    armedFor_ = deadline;
    deadline_.start(static_cast<int>(std::ceil(remaining * 1000.0)));
}

void QtEventPump::WakeWait() {
    woken_ = true;
}

double QtEventPump::Timer() {
    return static_cast<double>(clock_.nsecsElapsed()) * 1e-9;
}

}  // namespace qelto
