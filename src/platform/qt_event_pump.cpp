#include "platform/qt_event_pump.hpp"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace qelto {

QtEventPump::QtEventPump() {
    clock_.start();
    deadline_.setSingleShot(true);
    deadline_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadline_, &QTimer::timeout, [this] {
        if (current_ != nullptr) current_->quit();
    });
}

void QtEventPump::ProcessSystemEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtEventPump::WaitForEvents(double deadline) {
    // A wake that came before the wait began must not be lost.
    if (woken_) {
        woken_ = false;
        return;
    }
    const double remaining = deadline - Timer();
    if (remaining <= 0) return;
    QEventLoop loop;
    QEventLoop* outer = current_;
    const double outerDeadline = currentDeadline_;
    current_ = &loop;
    currentDeadline_ = deadline;
    ArmDeadline(deadline);
    loop.exec();
    current_ = outer;
    currentDeadline_ = outerDeadline;
    // A wait nested in another (a callback that waits) hands the timer back to the outer one.
    if (outer != nullptr) {
        ArmDeadline(outerDeadline);
    } else {
        deadline_.stop();
    }
    woken_ = false;
}

void QtEventPump::ArmDeadline(double deadline) {
    const double remaining = std::max(0.0, deadline - Timer());
    deadline_.start(static_cast<int>(std::ceil(remaining * 1000.0)));
}

void QtEventPump::WakeWait() {
    if (current_ != nullptr) {
        current_->quit();
    } else {
        woken_ = true;
    }
}

double QtEventPump::Timer() {
    return static_cast<double>(clock_.nsecsElapsed()) * 1e-9;
}

}  // namespace qelto
