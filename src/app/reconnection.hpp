// Back to work after a lost link: Reconnect (a new attempt with the same settings, without the
// question about default parameters for the sensor that was connected), and, when the operator
// wants it, attempts every two seconds while the link is lost. When the sensor that was
// connected answers again, what was running when the link went (GO, a recording) goes on; the
// gap shows in the recording's times and the status line says how long it was. Another sensor
// stops the attempts and is said; nothing is ever written by a reconnection.
#pragma once

#include "app/operation_state.hpp"
#include "app/operator_interface.hpp"
#include "sensor/session_events.hpp"

namespace qelto {

class CommandLock;
class Connection;
class LinkStatus;
class Live;
class Recording;

inline constexpr double kReconnectInterval = 2.0;  // seconds between two attempts

class Reconnection : public SessionObserver {
  public:
    Reconnection(OperatorInterface& ui, EventLoop& loop, PresenterState& state, CommandLock& lock,
                 LinkStatus& link, Connection& connection, Live& live, Recording& recording);
    Reconnection(const Reconnection&) = delete;
    Reconnection& operator=(const Reconnection&) = delete;

    // Reconnect (the button beside the link line, Ctrl+R).
    Outcome Reconnect();
    // The switch: attempts on their own while the link is lost.
    Outcome ToggleAutomatic();
    Outcome SetAutomatic(bool on);
    bool automatic() const { return automatic_; }
    bool retrying() const { return retrying_; }
    // The main window's timer: the next attempt.
    void Tick();

    void SessionChanged(const SessionEvent& event) override;

  private:
    void StopRetrying();
    // After the sensor that was connected answered again: what ran when the link went.
    void Resume();
    // The memory selection the operator had when the link was lost.
    void RestoreTarget();

    OperatorInterface& ui_;
    EventLoop& loop_;
    PresenterState& state_;
    CommandLock& lock_;
    LinkStatus& link_;
    Connection& connection_;
    Live& live_;
    Recording& recording_;
    bool automatic_ = false;
    bool retrying_ = false;
    int attempts_ = 0;
    double lostAt_ = 0.0;
    bool lost_ = false;        // a loss not yet made good
    bool attempting_ = false;  // an attempt of ours runs: what the session tells is its own
    bool resumeLive_ = false;
    bool resumeRecording_ = false;
    std::uint16_t targetAtLoss_ = kTargetEeprom;
};

}  // namespace qelto
