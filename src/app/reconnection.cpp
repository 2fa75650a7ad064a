#include "app/reconnection.hpp"

#include <string>

#include "app/command_lock.hpp"
#include "app/compare.hpp"
#include "app/connection.hpp"
#include "app/live.hpp"
#include "app/live_record.hpp"
#include "app/working_copy.hpp"
#include "sensor/sensor_texts.hpp"

namespace qelto {
namespace {

constexpr const char* kMsgChangedWhileLost =
    "The sensor holds other values than when the link was lost: it was reset, or changed by "
    "someone else.\nNothing was written to it. The values shown stay; those the sensor holds "
    "otherwise are marked.\n\nBefore the loss -> now:\n";

// "0.6 s", "12 s": tenths while they matter.
std::string Seconds(double s) {
    if (s < 9.95) {
        const auto tenths = static_cast<long long>(s * 10 + 0.5);
        return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " s";
    }
    return std::to_string(static_cast<long long>(s + 0.5)) + " s";
}

}  // namespace

Reconnection::Reconnection(OperatorInterface& ui, PresenterState& state, CommandLock& lock,
                           LinkSupervisor& link, Connection& connection, Live& live,
                           Recording& recording, const WorkingCopy& working)
    : ui_(ui),
      state_(state),
      lock_(lock),
      link_(link),
      connection_(connection),
      live_(live),
      recording_(recording),
      working_(working) {}

void Reconnection::LinkChanged(const LinkSupervisor& link) {
    // The window's timer paces the supervisor's attempts.
    ui_.SetTimer(link.retrying() ? kRetryInterval : 0);
    switch (link.phase()) {
        case LinkPhase::Lost:
            if (atLoss_) break;
            atLoss_ = Work{lock_.liveDataRuns(), false, lock_.operatorTarget()};
            atLoss_->recording = atLoss_->live && recording_.recorder().active();
            break;
        case LinkPhase::Connected:
            // The loss is over, made good or not: whoever reconnected took what it resumes.
            atLoss_.reset();
            break;
        case LinkPhase::Offline:
            if (!link.lossPending()) atLoss_.reset();
            break;
        case LinkPhase::NeverConnected:
        case LinkPhase::Connecting:
            break;
    }
}

Outcome Reconnection::SetAutomatic(bool on) {
    ui_.SetCtrlVal(Ctrl::AutoReconnectButton, on ? 1 : 0);
    link_.SetAutomatic(on);
    return Outcome::Done;
}

Outcome Reconnection::ToggleAutomatic() {
    return SetAutomatic(!link_.automatic());
}

std::optional<Reconnection::Work> Reconnection::RestoreTarget() {
    if (!atLoss_) return std::nullopt;
    state_.TransferTarget = atLoss_->target;
    ShowMemorySelector(ui_, atLoss_->target);
    return atLoss_;
}

Outcome Reconnection::Reconnect() {
    if (const std::string why = lock_.WhyNotNow(UserCommand::Connect); !why.empty()) {
        ui_.ShowStatusMessage(why);
        return Outcome::Declined;
    }
    const std::optional<Work> work = RestoreTarget();
    Outcome connected = Outcome::Failed;
    {
        const CommandLock::Scope connecting(lock_, UserCommand::Connect);
        connected = connection_.TryToConnect(true);
    }
    if (connected != Outcome::Done) return connected;
    // What ran when the link went goes on, with the sensor that was connected.
    if (link_.backAfterLoss()) Resume(work);
    return Outcome::Done;
}

Outcome Reconnection::Connect() {
    RestoreTarget();
    return connection_.TryToConnect();
}

void Reconnection::Tick() {
    if (!link_.retrying()) return ui_.SetTimer(0);
    // A command of the operator's runs (or a popup waits): the next tick tries.
    if (!lock_.idle()) return;
    const std::optional<Work> work = RestoreTarget();
    LinkSupervisor::Attempt attempt = LinkSupervisor::Attempt::Failed;
    {
        const CommandLock::Scope connecting(lock_, UserCommand::Connect);
        attempt = connection_.TryAgainQuietly();
    }
    switch (attempt) {
        case LinkSupervisor::Attempt::Failed:
            return;
        case LinkSupervisor::Attempt::OtherSensor: {
            const std::string other = SensorLine(link_.otherSensor());
            connection_.Disconnect();
            const std::string text =
                "Another sensor answers (" + other + "), not the one that was connected (" +
                SensorLine(link_.expected()) +
                ").\nAutomatic reconnection has stopped; nothing was written to it. Connect to "
                "work with it.";
            ui_.AppendText(Ctrl::InfoBox, text + "\n\n");
            ui_.MessagePopup(kAttentionTitle, text);
            return;
        }
        case LinkSupervisor::Attempt::SameSensor:
            return Resume(work);
    }
}

std::size_t Reconnection::SayWhatChanged() {
    const std::optional<Configuration>& before = link_.heldAtLoss();
    const Configuration* now = working_.sensorValues();
    if (!before || now == nullptr) return 0;
    const std::vector<Difference> diffs = CompareConfigurations(*before, *now, kSensorTeachRows);
    if (diffs.empty()) return 0;
    const std::string text = kMsgChangedWhileLost + DifferenceList(diffs);
    ui_.AppendText(Ctrl::InfoBox, text + "\n");
    ui_.MessagePopup(kAttentionTitle, text);
    return diffs.size();
}

void Reconnection::Resume(const std::optional<Work>& work) {
    const double gap = link_.gap();
    std::string said = "Reconnected after " + Seconds(gap);
    if (const std::size_t changed = SayWhatChanged(); changed != 0) {
        said += "; the sensor holds " + std::to_string(changed) +
                (changed == 1 ? " value" : " values") + " other than before (marked)";
    }
    if (!work || !work->live) {
        ui_.ShowStatusMessage(said + ".");
        return;
    }
    if (work->recording && recording_.Resume()) {
        said += "; GO and the recording go on (a gap of " + Seconds(gap) + " in the file)";
    } else {
        said += "; GO goes on";
    }
    ui_.ShowStatusMessage(said + ".");
    const CommandLock::Scope go(lock_, UserCommand::Go);
    live_.Go();
}

}  // namespace qelto
