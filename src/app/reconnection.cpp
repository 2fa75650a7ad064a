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

constexpr double kLostLineInterval = 1.0;

constexpr const char* kMsgChangedWhileLost =
    Tr("The sensor holds other values than when the link was lost: it was reset, or changed by "
       "someone else.\nNothing was written to it. The values shown stay; those the sensor holds "
       "otherwise are marked.\n\nBefore the loss -> now:\n");
// The sensor that answers, the one that was connected.
constexpr const char* kMsgOtherSensor =
    Tr("Another sensor answers (%1), not the one that was connected (%2).\nAutomatic "
       "reconnection has stopped; nothing was written to it. Connect to work with it.");
// After how long (12 s).
constexpr const char* kReconnectedAfter = Tr("Reconnected after %1");
constexpr const char* kHoldsOtherOne =
    TrN("; the sensor holds %n value other than before (marked)");
constexpr const char* kHoldsOtherMany =
    TrN("; the sensor holds %n values other than before (marked)");
// The gap (0.6 s).
constexpr const char* kGoAndRecordingGoOn =
    Tr("; GO and the recording go on (a gap of %1 in the file)");
constexpr const char* kGoGoesOn = Tr("; GO goes on");

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
    // The window's timer paces the supervisor's attempts, and otherwise while the link is lost
    // counts the seconds on the link line.
    ui_.SetTimer(link.retrying()                   ? kRetryInterval
                 : link.phase() == LinkPhase::Lost ? kLostLineInterval
                                                   : 0);
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
    if (!link_.retrying()) return;
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
                Fill(ui_.Translate(kMsgOtherSensor), {other, SensorLine(link_.expected())});
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
    const std::string text = ui_.Translate(kMsgChangedWhileLost) + DifferenceList(diffs);
    ui_.AppendText(Ctrl::InfoBox, text + "\n");
    ui_.MessagePopup(kAttentionTitle, text);
    return diffs.size();
}

void Reconnection::Resume(const std::optional<Work>& work) {
    const double gap = link_.gap();
    std::string said = Fill(ui_.Translate(kReconnectedAfter), {Seconds(gap)});
    if (const std::size_t changed = SayWhatChanged(); changed != 0) {
        said += ui_.Translate(changed == 1 ? kHoldsOtherOne : kHoldsOtherMany,
                              static_cast<long>(changed));
    }
    if (!work || !work->live) {
        ui_.ShowStatusMessage(said + ".");
        return;
    }
    if (work->recording && recording_.Resume()) {
        said += Fill(ui_.Translate(kGoAndRecordingGoOn), {Seconds(gap)});
    } else {
        said += ui_.Translate(kGoGoesOn);
    }
    ui_.ShowStatusMessage(said + ".");
    const CommandLock::Scope go(lock_, UserCommand::Go);
    live_.Go();
}

}  // namespace qelto
