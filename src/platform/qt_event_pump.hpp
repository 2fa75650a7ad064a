// Waiting on Qt's event loop without spinning: a nested QEventLoop that a precise single-shot
// timer ends at the deadline and WakeWait() ends early.
#pragma once

#include <QElapsedTimer>

#include "ui/memory_ui.hpp"

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
    QEventLoop* current_ = nullptr;
    bool woken_ = false;
};

}  // namespace qelto
