#include "app/command_lock.hpp"

#include "app/context.hpp"

namespace qelto {
namespace {

const char* NameOf(UserCommand c) {
    switch (c) {
        case UserCommand::Connect:
            return "Connect";
        case UserCommand::Disconnect:
            return "Disconnect";
        case UserCommand::Accept:
            return "Accept";
        case UserCommand::Send:
            return "Send";
        case UserCommand::Get:
            return "Get";
        case UserCommand::Go:
            return "GO";
        case UserCommand::Stop:
            return "STOP";
        case UserCommand::Freq:
            return "FREQ";
        case UserCommand::Compare:
            return "Compare";
        case UserCommand::Record:
            return "Record";
        case UserCommand::Assistant:
            return "The assistant";
        case UserCommand::Select:
            return "The memory selection";
    }
    return "";
}

bool OnlyLiveDataRuns(const PresenterState& s) {
    return s.runningCount == 1 && s.running[0] == UserCommand::Go;
}

}  // namespace

bool LiveDataHoldsTheLink(const PresenterState& state) {
    if (state.acquiring()) return true;
    for (std::size_t i = 0; i < state.runningCount; ++i) {
        if (state.running[i] == UserCommand::Go) return true;
    }
    return false;
}

std::optional<UserCommand> CommandOf(Ctrl role) {
    switch (role) {
        case Ctrl::ConnectButton:
            return UserCommand::Connect;
        case Ctrl::DisconnectButton:
            return UserCommand::Disconnect;
        case Ctrl::AcceptButton:
            return UserCommand::Accept;
        case Ctrl::SendButton:
            return UserCommand::Send;
        case Ctrl::GetButton:
            return UserCommand::Get;
        case Ctrl::GoButton:
            return UserCommand::Go;
        case Ctrl::StopButton:
            return UserCommand::Stop;
        case Ctrl::FreqButton:
            return UserCommand::Freq;
        case Ctrl::CompareButton:
            return UserCommand::Compare;
        case Ctrl::RecordButton:
            return UserCommand::Record;
        case Ctrl::StartAssistantButton:
            return UserCommand::Assistant;
        case Ctrl::EepromButton:
        case Ctrl::FileButton:
            return UserCommand::Select;
        default:
            return std::nullopt;
    }
}

std::string WhyNotNow(const PresenterState& state, UserCommand command) {
    if (state.runningCount == 0 || command == UserCommand::Stop) return {};
    // Live data leaves room for what it serves between two samples, and for recording it.
    const bool besideLiveData = command == UserCommand::Send || command == UserCommand::Get ||
                                command == UserCommand::Select || command == UserCommand::Record;
    if (besideLiveData && OnlyLiveDataRuns(state)) return {};
    const UserCommand busy = state.running[state.runningCount - 1];
    const std::string what = busy == UserCommand::Go ? std::string("data transfer") : NameOf(busy);
    return std::string(NameOf(command)) + " cannot run now: " + what + " is running.";
}

std::string WhyUnavailable(const Context& ctx, Ctrl role) {
    const std::optional<UserCommand> command = CommandOf(role);
    if (!command) return {};
    if (std::string why = WhyNotNow(ctx.state, *command); !why.empty()) return why;
    if (!ctx.sensor.connected()) {
        return std::string(NameOf(*command)) + " is not available: no sensor is connected.";
    }
    return std::string(NameOf(*command)) + " is not available now.";
}

CommandScope::CommandScope(Context& ctx, UserCommand command) : ctx_(ctx) {
    auto& s = ctx_.state;
    if (s.runningCount < s.running.size()) {
        s.running[s.runningCount++] = command;
        pushed_ = true;
    }
    ShowCommandLock(ctx_);
}

CommandScope::~CommandScope() {
    if (pushed_) --ctx_.state.runningCount;
    ShowCommandLock(ctx_);
}

void ShowCommandLock(Context& ctx) {
    const auto& s = ctx.state;
    ctx.ui.SetDimmed(Ctrl::CompareButton, s.runningCount != 0);
    ctx.ui.SetDimmed(Ctrl::RecordButton, s.runningCount != 0 && !OnlyLiveDataRuns(s));
}

}  // namespace qelto
