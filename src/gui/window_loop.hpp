// The window's event loop: the waits block in Qt's loop through the pump. A quit ends the main
// loop once the outermost callback has returned (ending it earlier would cut short the
// operation still on the stack), and from then on every wait returns at once.
#pragma once

#include <optional>

#include "link/event_loop.hpp"

namespace qelto::gui {

class WindowLoop : public EventLoop {
  public:
    explicit WindowLoop(EventPump& pump) : pump_(pump) {}

    void ProcessSystemEvents() override { pump_.ProcessSystemEvents(); }
    void WaitForEvents(double deadline) override {
        if (!quit_) pump_.WaitForEvents(deadline);
    }
    void WakeWait() override { pump_.WakeWait(); }
    double Timer() override { return pump_.Timer(); }
    void QuitUserInterface(int exitCode) override;
    bool QuitRequested() override { return quit_.has_value(); }

    // A callback of the window runs (nested ones count too).
    void EnterCallback() { ++depth_; }
    void LeaveCallback();
    // The main loop runs; a quit ends it once no callback is on the stack.
    void SetMainLoopRunning(bool running) { mainLoopRunning_ = running; }
    std::optional<int> quitCode() const { return quit_; }

  private:
    void AfterCallback();

    EventPump& pump_;
    std::optional<int> quit_;
    int depth_ = 0;
    bool mainLoopRunning_ = false;
};

}  // namespace qelto::gui
