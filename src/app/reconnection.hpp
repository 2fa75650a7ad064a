// Back to work after a lost link: Reconnect (a new attempt with the same settings, without the
// question about default parameters for the sensor that was connected), and, when the operator
// wants it, the link supervisor's quiet attempts on the window's timer. When the sensor that was
// connected answers again, what was running when the link went (GO, a recording) goes on with
// the memory selection of before; the gap shows in the recording's times and the status line
// says how long it was. What the sensor holds is read from its RAM and compared with what it held
// when the link went: a sensor that was reset or changed meanwhile is said, with the values,
// and the working copy stays as it is. Another sensor stops the attempts and is said; nothing is
// ever written by a reconnection.
#pragma once

#include <cstdint>
#include <optional>

#include "app/operation_state.hpp"
#include "app/operator_interface.hpp"
#include "sensor/link_supervisor.hpp"

namespace qelto {

class CommandLock;
class Connection;
class Live;
class Recording;
class WorkingCopy;

class Reconnection : public LinkObserver {
  public:
    Reconnection(OperatorInterface& ui, PresenterState& state, CommandLock& lock,
                 LinkSupervisor& link, Connection& connection, Live& live, Recording& recording,
                 const WorkingCopy& working);
    Reconnection(const Reconnection&) = delete;
    Reconnection& operator=(const Reconnection&) = delete;

    // Reconnect (the button beside the link line, Ctrl+R).
    Outcome Reconnect();
    // Connect (the connection page's button): after a loss, with the memory selection the
    // operator had then.
    Outcome Connect();
    // The switch: attempts on their own while the link is lost.
    Outcome ToggleAutomatic();
    Outcome SetAutomatic(bool on);
    // The main window's timer: the next attempt.
    void Tick();

    void LinkChanged(const LinkSupervisor& link) override;

  private:
    // What ran when the link was lost, until the loss is over.
    struct Work {
        bool live = false;
        bool recording = false;
        std::uint16_t target = kTargetEeprom;  // the memory selection
    };
    // Before an attempt: the memory selection the operator had when the link was lost.
    std::optional<Work> RestoreTarget();
    // After the sensor that was connected answered again: what ran when the link went.
    void Resume(const std::optional<Work>& work);
    // What the sensor holds now against what it held when the link went, said when they
    // differ; how many values differ.
    std::size_t SayWhatChanged();

    OperatorInterface& ui_;
    PresenterState& state_;
    CommandLock& lock_;
    LinkSupervisor& link_;
    Connection& connection_;
    Live& live_;
    Recording& recording_;
    const WorkingCopy& working_;
    std::optional<Work> atLoss_;
};

}  // namespace qelto
