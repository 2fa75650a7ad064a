// The event side of the program that the link waits through: one thread, and waiting for the
// sensor delivers the events that arrive meanwhile, so other callbacks run nested.
#pragma once

#include <optional>

namespace qelto {

class EventLoop {
  public:
    virtual ~EventLoop() = default;
    // Delivers the events pending now, running their callbacks nested.
    virtual void ProcessSystemEvents() = 0;
    // Delivers events as they come until WakeWait() is called, the program quits or Timer()
    // reaches the deadline; burns no CPU while nothing happens.
    virtual void WaitForEvents(double deadline) = 0;
    // Ends the current WaitForEvents early (data has arrived).
    virtual void WakeWait() = 0;
    // Seconds from a monotonic clock.
    virtual double Timer() = 0;
    virtual void QuitUserInterface(int exitCode) = 0;
    // Once true, every wait returns at once and running operations end at their next check.
    virtual bool QuitRequested() = 0;
};

// The event side that front ends borrow from a real event loop (Qt's, in the platform layer).
class EventPump {
  public:
    virtual ~EventPump() = default;
    virtual void ProcessSystemEvents() = 0;
    virtual void WaitForEvents(double deadline) = 0;
    virtual void WakeWait() = 0;
    virtual double Timer() = 0;
};

// An event loop on a borrowed pump for a program without a window: quitting is a flag that
// ends every wait at once.
class PumpEventLoop : public EventLoop {
  public:
    explicit PumpEventLoop(EventPump& pump) : pump_(pump) {}
    void ProcessSystemEvents() override { pump_.ProcessSystemEvents(); }
    void WaitForEvents(double deadline) override {
        if (!quit_) pump_.WaitForEvents(deadline);
    }
    void WakeWait() override { pump_.WakeWait(); }
    double Timer() override { return pump_.Timer(); }
    void QuitUserInterface(int exitCode) override {
        if (!quit_) quit_ = exitCode;
    }
    bool QuitRequested() override { return quit_.has_value(); }

  private:
    EventPump& pump_;
    std::optional<int> quit_;
};

}  // namespace qelto
