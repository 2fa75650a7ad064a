// The event side of the program that the link waits through: one thread, and waiting for the
// sensor delivers the events that arrive meanwhile, so other callbacks run nested.
#pragma once

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

}  // namespace qelto
