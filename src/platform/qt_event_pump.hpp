// Waiting on Qt's event loop without spinning: the wait delivers events with
// processEvents(WaitForMoreEvents) until a wake, or a precise timer at the deadline, ends it.
#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include "link/event_loop.hpp"

namespace qelto {

class QtEventPump : public EventPump {
  public:
    QtEventPump();
    void ProcessSystemEvents() override;
    // Nested waits (a callback that waits) each keep their own deadline. A quit does not end
    // a wait by itself: the front end's QuitUserInterface wakes it.
    void WaitForEvents(double deadline) override;
    // Only from the event loop's own thread (a callback run by the wait, or code before it).
    void WakeWait() override;
    double Timer() override;

  private:
    void ArmDeadline(double deadline);

    QElapsedTimer clock_;
    // One timer serves every wait and is left running after a wait ends, so a reply costs no
    // timer start and stop; a late wake-up of it does no harm.
    QTimer deadline_;
    double armedFor_ = 0.0;  // the deadline deadline_ was started for, on clock_
    bool woken_ = false;
};

}  // namespace qelto
