// The command lock: one command of the window at a time, and the command controls as they
// should be now. What is dimmed follows from what runs, whether the link is open and whether an
// exchange is still waiting; no command sets it by hand. A command that cannot run now is
// refused with a status line when it comes anyway (a key, a menu). Send and Get during live
// data stay what they are: requests the acquisition loop serves between two samples.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "app/operation_state.hpp"
#include "app/operator_interface.hpp"
#include "sensor/session_events.hpp"

namespace qelto {

class SensorSession;

// The commands of the window that use the sensor or start a dialogue; at most a few run at
// once (Send or Get, and their file dialogs, inside GO), in the order they started.
enum class UserCommand {
    Connect,
    Disconnect,
    Accept,
    Send,
    Get,
    Go,
    Stop,
    Freq,
    Compare,
    Record,
    Assistant,
    Select,  // the memory selection
    Store,   // RAM into the EEPROM
};
inline constexpr std::size_t kMaxRunningCommands = 4;

// The command a control starts, if it starts one.
std::optional<UserCommand> CommandOf(Ctrl role);

class CommandLock : public SessionObserver {
  public:
    CommandLock(OperatorInterface& ui, EventLoop& loop, const SensorSession& sensor,
                PresenterState& state);
    CommandLock(const CommandLock&) = delete;
    CommandLock& operator=(const CommandLock&) = delete;

    // Marks a command as running for its lifetime; the controls follow at its start and end.
    class Scope {
      public:
        Scope(CommandLock& lock, UserCommand command);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

      private:
        CommandLock& lock_;
        bool pushed_ = false;
    };

    // Empty when `command` may start now; otherwise the status line that says why not.
    std::string WhyNotNow(UserCommand command) const;
    // The status line for a command whose control is dimmed when its key comes anyway.
    std::string WhyUnavailable(Ctrl role) const;
    bool idle() const { return count_ == 0; }
    // GO runs (also while its last exchange still waits after STOP).
    bool liveDataRuns() const;
    // Live data holds the link: from GO until the last exchange of its loop has ended, also
    // once STOP has been given (or by the assistant's power adjustment).
    bool liveDataHoldsTheLink() const;
    bool onlyLiveDataRuns() const { return count_ == 1 && running_[0] == UserCommand::Go; }

    // The memory selection the operator made: FILE is shown while no link is open.
    std::uint16_t operatorTarget() const {
        return selectedWithLink_.value_or(state_.TransferTarget);
    }

    // The command controls as they should be now (and Send and Get named by where they go).
    void Show();
    // Send and Get named by where the memory selection sends them.
    void ShowTransferTarget();

    void SessionChanged(const SessionEvent& event) override;

  private:
    OperatorInterface& ui_;
    EventLoop& loop_;
    const SensorSession& sensor_;
    PresenterState& state_;
    std::array<UserCommand, kMaxRunningCommands> running_{};
    std::size_t count_ = 0;
    std::optional<std::uint16_t> selectedWithLink_;  // before the missing link selected FILE
};

}  // namespace qelto
