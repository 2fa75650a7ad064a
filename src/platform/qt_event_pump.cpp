#include "platform/qt_event_pump.hpp"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <cmath>

namespace qelto {

QtEventPump::QtEventPump() {
    clock_.start();
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
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(static_cast<int>(std::ceil(remaining * 1000.0)));
    QEventLoop* outer = current_;
    current_ = &loop;
    loop.exec();
    current_ = outer;
    woken_ = false;
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
