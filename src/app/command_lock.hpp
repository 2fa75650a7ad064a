// The command lock: one command of the window at a time. A command that cannot run now is
// dimmed where the window has a place for that, and refused with a status line when it comes
// anyway (a key, a menu). Send and Get during live data stay what they are: requests the
// acquisition loop serves between two samples.
#pragma once

#include <optional>
#include <string>

#include "app/operation_state.hpp"
#include "app/operator_interface.hpp"

namespace qelto {

struct Context;

// Live data holds the link: from GO until the last exchange of its loop has ended, also once
// STOP has been given (or by the assistant's power adjustment).
bool LiveDataHoldsTheLink(const PresenterState& state);

// The command a control starts, if it starts one.
std::optional<UserCommand> CommandOf(Ctrl role);
// Empty when `command` may start now; otherwise the status line that says why not.
std::string WhyNotNow(const PresenterState& state, UserCommand command);

// The status line for a command whose control is dimmed when its key comes anyway.
std::string WhyUnavailable(const Context& ctx, Ctrl role);

// Marks a command as running for its lifetime and keeps the dimming of the controls that the
// lock alone decides (Compare, Record) in step.
class CommandScope {
  public:
    CommandScope(Context& ctx, UserCommand command);
    ~CommandScope();
    CommandScope(const CommandScope&) = delete;
    CommandScope& operator=(const CommandScope&) = delete;

  private:
    Context& ctx_;
    bool pushed_ = false;
};

// Dims Compare while any command runs, Record while one other than live data runs.
void ShowCommandLock(Context& ctx);

}  // namespace qelto
