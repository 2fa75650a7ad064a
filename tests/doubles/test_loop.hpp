// An event loop for tests. Events and time come from an EventPump when one is given (a real
// event loop), otherwise from a manual clock: a wait delivers what is pending at once, and only
// a wait that nothing wakes jumps the clock to its deadline.
#pragma once

#include <functional>
#include <optional>

#include "link/event_loop.hpp"

namespace qelto {

class TestLoop : public EventLoop {
  public:
    explicit TestLoop(EventPump* pump = nullptr) : pump_(pump) {}

    void ProcessSystemEvents() override;
    void WaitForEvents(double deadline) override;
    void WakeWait() override;
    double Timer() override { return pump_ ? pump_->Timer() : now_; }
    void QuitUserInterface(int exitCode) override;
    bool QuitRequested() override { return quit_.has_value(); }

    std::optional<int> quitCode() const { return quit_; }
    // Called on every pass of event processing: lets a test press buttons mid-operation.
    std::function<void()> onEvents;
    // Count of ProcessSystemEvents and WaitForEvents calls.
    long eventPasses = 0;
    // Manual clock (used without a pump).
    double now_ = 0.0;

  private:
    EventPump* pump_;
    bool woken_ = false;  // without a pump: WakeWait() since the last wait
    std::optional<int> quit_;
};

}  // namespace qelto
