// Waiting on Qt's event loop without spinning: a nested QEventLoop that a precise single-shot
// timer ends at the deadline and WakeWait() ends early.
#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include "link/event_loop.hpp"

class QEventLoop;

namespace qelto {

class QtEventPump : public EventPump {
  public:
    QtEventPump();
    void ProcessSystemEvents() override;
    void WaitForEvents(double deadline) override;
    void WakeWait() override;
    double Timer() override;

  private:
    QElapsedTimer clock_;
    QTimer deadline_;  // reused: a wait happens for every reply
    void ArmDeadline(double deadline);
    QEventLoop* current_ = nullptr;
    double currentDeadline_ = 0.0;
    bool woken_ = false;
};

}  // namespace qelto
