#include "doubles/test_loop.hpp"

#include <algorithm>

namespace qelto {

void TestLoop::ProcessSystemEvents() {
    ++eventPasses;
    if (pump_) pump_->ProcessSystemEvents();
    if (onEvents) onEvents();
}

void TestLoop::WaitForEvents(double deadline) {
    ++eventPasses;
    if (pump_) {
        pump_->WaitForEvents(deadline);
        if (onEvents) onEvents();
        return;
    }
    // As in a real loop: what is pending arrives at once, and only a wait that nothing wakes
    // lets the clock run to the deadline.
    if (!woken_ && onEvents) onEvents();
    if (!woken_) {
        now_ = std::max(now_, deadline);
        if (onEvents) onEvents();
    }
    woken_ = false;
}

void TestLoop::WakeWait() {
    if (pump_) {
        pump_->WakeWait();
    } else {
        woken_ = true;
    }
}

void TestLoop::QuitUserInterface(int exitCode) {
    if (!quit_) quit_ = exitCode;
}

}  // namespace qelto
