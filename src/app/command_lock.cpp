#include "app/command_lock.hpp"

#include "app/keys.hpp"
#include "sensor/sensor_session.hpp"

namespace qelto {
namespace {

// The commands' names that are words rather than the labels of their buttons.
constexpr const char* kCompare = Tr("Compare");
constexpr const char* kRecord = Tr("Record");
constexpr const char* kAssistant = Tr("The assistant");
constexpr const char* kMemorySelection = Tr("The memory selection");
constexpr const char* kDataTransfer = Tr("data transfer");
// The command asked for, the one running.
constexpr const char* kCannotRunNow = Tr("%1 cannot run now: %2 is running.");
constexpr const char* kNoSensor = Tr("%1 is not available: no sensor is connected.");
constexpr const char* kNotAvailableNow = Tr("%1 is not available now.");

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
            return kCompare;
        case UserCommand::Record:
            return kRecord;
        case UserCommand::Assistant:
            return kAssistant;
        case UserCommand::Select:
            return kMemorySelection;
        case UserCommand::Teach:
            return "Teach from sensor";
        case UserCommand::Check:
            return "Check tolerances";
        case UserCommand::Store:
            return "Store in EEPROM";
    }
    return "";
}

// The commands that need a sensor, and the link's own controls.
constexpr Ctrl kSensorCommands[] = {Ctrl::GoButton, Ctrl::FreqButton, Ctrl::StartAssistantButton,
                                    Ctrl::TeachFromSensorButton, Ctrl::StoreButton};
constexpr Ctrl kLinkControls[] = {Ctrl::ConnectButton, Ctrl::DisconnectButton,
                                  Ctrl::BaudRateSelector, Ctrl::ReconnectButton};
// The transfer: Send, Get and where they go.
constexpr Ctrl kTransferControls[] = {Ctrl::SendButton, Ctrl::GetButton, Ctrl::RamButton,
                                      Ctrl::EepromButton, Ctrl::FileButton};

}  // namespace

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
        case Ctrl::RamButton:
        case Ctrl::EepromButton:
        case Ctrl::FileButton:
            return UserCommand::Select;
        case Ctrl::TeachFromSensorButton:
            return UserCommand::Teach;
        case Ctrl::CheckTolerancesButton:
            return UserCommand::Check;
        case Ctrl::StoreButton:
            return UserCommand::Store;
        default:
            return std::nullopt;
    }
}

CommandLock::CommandLock(OperatorInterface& ui, EventLoop& loop, const SensorSession& sensor,
                         PresenterState& state)
    : ui_(ui), loop_(loop), sensor_(sensor), state_(state) {}

CommandLock::Scope::Scope(CommandLock& lock, UserCommand command) : lock_(lock) {
    if (lock_.count_ < lock_.running_.size()) {
        lock_.running_[lock_.count_++] = command;
        pushed_ = true;
    }
    lock_.Show();
}

CommandLock::Scope::~Scope() {
    if (pushed_) --lock_.count_;
    lock_.Show();
}

bool CommandLock::liveDataHoldsTheLink() const {
    return state_.acquiring() || liveDataRuns();
}

bool CommandLock::liveDataRuns() const {
    for (std::size_t i = 0; i < count_; ++i) {
        if (running_[i] == UserCommand::Go) return true;
    }
    return false;
}

std::string CommandLock::WhyNotNow(UserCommand command) const {
    if (count_ == 0 || command == UserCommand::Stop) return {};
    // Live data leaves room for what it serves between two samples, and for recording it.
    const bool besideLiveData = command == UserCommand::Send || command == UserCommand::Get ||
                                command == UserCommand::Select || command == UserCommand::Record;
    if (besideLiveData && onlyLiveDataRuns()) return {};
    const UserCommand busy = running_[count_ - 1];
    const std::string what = ui_.Translate(busy == UserCommand::Go ? kDataTransfer : NameOf(busy));
    return Fill(ui_.Translate(kCannotRunNow), {ui_.Translate(NameOf(command)), what});
}

std::string CommandLock::WhyUnavailable(Ctrl role) const {
    // Reconnect takes its own turns (a connection, then GO), as Connect would.
    const std::optional<UserCommand> command =
        role == Ctrl::ReconnectButton ? std::optional(UserCommand::Connect) : CommandOf(role);
    if (!command) return {};
    if (std::string why = WhyNotNow(*command); !why.empty()) return why;
    const std::string name = ui_.Translate(NameOf(*command));
    if (!sensor_.connected()) return Fill(ui_.Translate(kNoSensor), {name});
    return Fill(ui_.Translate(kNotAvailableNow), {name});
}

void CommandLock::Show() {
    // On the way out nothing is to be offered any more.
    if (loop_.QuitRequested()) return;
    const auto dim = [this](const auto& controls, bool dimmed) {
        for (Ctrl c : controls)
            ui_.SetDimmed(c, dimmed);
    };
    if (count_ != 0 || sensor_.busy()) {
        // A command runs: nothing else that uses the link may start. Live data alone leaves
        // Send, Get and the memory selection usable: they run between two samples.
        dim(kSensorCommands, true);
        dim(kLinkControls, true);
        dim(kTransferControls, !onlyLiveDataRuns());
    } else if (sensor_.connected() && sensor_.identified() && !sensor_.knowsConfiguration()) {
        // The sensor answers, but what it holds is unknown (its read failed): nothing may use
        // it, above all no Send over values never read; Connect tries again, Disconnect goes
        // offline.
        selectedWithLink_.reset();
        dim(kSensorCommands, true);
        dim(kTransferControls, true);
        dim(kLinkControls, false);
    } else if (sensor_.connected()) {
        selectedWithLink_.reset();
        dim(kSensorCommands, false);
        dim(kLinkControls, false);
        dim(kTransferControls, false);
    } else {
        // No link (never one, gone offline, or the server closed it): only the file commands
        // and a new connection attempt make sense, with the parameter file as the target. The
        // operator's selection is kept for a reconnection.
        if (state_.TransferTarget != kTargetFile) selectedWithLink_ = state_.TransferTarget;
        state_.TransferTarget = kTargetFile;
        ShowMemorySelector(ui_, kTargetFile);
        dim(kSensorCommands, true);
        ui_.SetDimmed(Ctrl::DisconnectButton, true);
        for (Ctrl c : {Ctrl::RamButton, Ctrl::EepromButton, Ctrl::FileButton})
            ui_.SetDimmed(c, true);
        for (Ctrl c : {Ctrl::ConnectButton, Ctrl::BaudRateSelector, Ctrl::SendButton,
                       Ctrl::GetButton, Ctrl::ReconnectButton}) {
            ui_.SetDimmed(c, false);
        }
    }
    ui_.SetDimmed(Ctrl::CompareButton, count_ != 0);
    ui_.SetDimmed(Ctrl::CheckTolerancesButton, count_ != 0);
    ui_.SetDimmed(Ctrl::RecordButton, count_ != 0 && !onlyLiveDataRuns());
    ShowTransferTarget();
}

void CommandLock::ShowTransferTarget() {
    // Send and Get say where they go, in their labels and tooltips. Arrows rather than words:
    // "Get from EEPROM F10" would not fit its button.
    struct Target {
        const char* send;
        const char* get;
        const char* sendTip;
        const char* getTip;
    };
    static constexpr Target kRam{
        "Send \xE2\x86\x92 RAM", "Get \xE2\x86\x90 RAM",
        "Writes the parameters and teach rows shown into the sensor's RAM alone: it works with "
        "them at once, and loses them at power-off unless they are stored in its EEPROM.",
        "Reads the parameters and teach rows the sensor works with now, from its RAM."};
    static constexpr Target kEeprom{
        "Send \xE2\x86\x92 EEPROM", "Get \xE2\x86\x90 EEPROM",
        "Writes the parameters and teach rows shown into the sensor and stores them in its "
        "EEPROM.",
        "Reads the parameters and teach rows the sensor holds, from its EEPROM."};
    static constexpr Target kFile{"Send \xE2\x86\x92 file", "Get \xE2\x86\x90 file",
                                  "Saves the parameters and teach rows shown in a parameter file.",
                                  "Loads the parameters and teach rows of a parameter file."};
    const Target& t = state_.TransferTarget == kTargetFile  ? kFile
                      : state_.TransferTarget == kTargetRam ? kRam
                                                            : kEeprom;
    ui_.SetCtrlText(Ctrl::SendButton, std::string(t.send) + " " + KeyName(kSendKey));
    ui_.SetCtrlText(Ctrl::GetButton, std::string(t.get) + " " + KeyName(kGetKey));
    ui_.SetTooltip(Ctrl::SendButton, t.sendTip);
    ui_.SetTooltip(Ctrl::GetButton, t.getTip);
}

void CommandLock::SessionChanged(const SessionEvent& event) {
    switch (event.kind) {
        case SessionEventKind::Opened:
        case SessionEventKind::OpenFailed:
        case SessionEventKind::Lost:
        case SessionEventKind::Failed:
        case SessionEventKind::Closed:
            Show();
            break;
        default:
            break;
    }
}

}  // namespace qelto
