#include "app/reconnection.hpp"

#include <string>

#include "sensor/identity.hpp"

#include "app/command_lock.hpp"
#include "app/connection.hpp"
#include "app/link_status.hpp"
#include "app/live.hpp"
#include "app/live_record.hpp"

namespace qelto {
namespace {

// "0.6 s", "12 s": tenths while they matter.
std::string Seconds(double s) {
    if (s < 9.95) {
        const auto tenths = static_cast<long long>(s * 10 + 0.5);
        return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " s";
    }
    return std::to_string(static_cast<long long>(s + 0.5)) + " s";
}

std::string Sensor(const SensorIdentity& id) {
    return id.firmwareLine() + ", " + id.name + ", serial " + std::to_string(id.serialNumber);
}

}  // namespace

Reconnection::Reconnection(OperatorInterface& ui, EventLoop& loop, PresenterState& state,
                           CommandLock& lock, LinkStatus& link, Connection& connection, Live& live,
                           Recording& recording)
    : ui_(ui),
      loop_(loop),
      state_(state),
      lock_(lock),
      link_(link),
      connection_(connection),
      live_(live),
      recording_(recording) {}

void Reconnection::SessionChanged(const SessionEvent& event) {
    const bool failure =
        event.kind == SessionEventKind::Failed || event.kind == SessionEventKind::Lost;
    // The link of an identified sensor has just been lost (told to the link line before this).
    if (!failure || lost_ || retrying_ || link_.view() != LinkView::Lost) return;
    lost_ = true;
    lostAt_ = loop_.Timer();
    // Losing the link selects FILE; the reconnection goes back to what the operator had.
    targetAtLoss_ = state_.TransferTarget;
    resumeLive_ = lock_.liveDataRuns();
    resumeRecording_ = resumeLive_ && recording_.recorder().active();
    if (!automatic_) return;
    retrying_ = true;
    attempts_ = 0;
    link_.ShowRetrying(0, 0);
    ui_.SetTimer(kReconnectInterval);
}

void Reconnection::StopRetrying() {
    retrying_ = false;
    ui_.SetTimer(0);
    link_.StopRetrying();
}

Outcome Reconnection::SetAutomatic(bool on) {
    automatic_ = on;
    ui_.SetCtrlVal(Ctrl::AutoReconnectButton, on ? 1 : 0);
    if (!on && retrying_) StopRetrying();
    // Switched on while the link is lost: the attempts begin.
    if (on && !retrying_ && lost_ && link_.view() == LinkView::Lost) {
        retrying_ = true;
        attempts_ = 0;
        link_.ShowRetrying(0, loop_.Timer() - lostAt_);
        ui_.SetTimer(kReconnectInterval);
    }
    return Outcome::Done;
}

Outcome Reconnection::ToggleAutomatic() {
    return SetAutomatic(!automatic_);
}

Outcome Reconnection::Reconnect() {
    if (const std::string why = lock_.WhyNotNow(UserCommand::Connect); !why.empty()) {
        ui_.ShowStatusMessage(why);
        return Outcome::Declined;
    }
    if (retrying_) StopRetrying();
    const bool wasLost = lost_;
    if (wasLost) RestoreTarget();
    const SensorIdentity before = connection_.lastSensor();
    {
        const CommandLock::Scope connecting(lock_, UserCommand::Connect);
        attempting_ = true;
        connection_.TryToConnect(true);
        attempting_ = false;
    }
    if (!state_.communicationOk) return loop_.QuitRequested() ? Outcome::Quit : Outcome::Failed;
    lost_ = false;
    // What ran when the link went goes on, with the sensor that was connected.
    if (wasLost && SameSensor(connection_.lastSensor(), before)) Resume();
    return Outcome::Done;
}

void Reconnection::Tick() {
    if (!retrying_ || !automatic_) return StopRetrying();
    // A command of the operator's runs (or a popup waits): the next tick tries.
    if (!lock_.idle()) return;
    ++attempts_;
    link_.ShowRetrying(attempts_, loop_.Timer() - lostAt_);
    RestoreTarget();
    Connection::Attempt attempt = Connection::Attempt::Failed;
    {
        const CommandLock::Scope connecting(lock_, UserCommand::Connect);
        attempting_ = true;
        attempt = connection_.TryAgainQuietly();
        attempting_ = false;
    }
    switch (attempt) {
        case Connection::Attempt::Failed:
            if (retrying_) link_.ShowRetrying(attempts_, loop_.Timer() - lostAt_);
            return;
        case Connection::Attempt::OtherSensor: {
            StopRetrying();
            lost_ = false;
            const std::string other = Sensor(connection_.otherSensor());
            connection_.Disconnect();
            const std::string text =
                "Another sensor answers (" + other + "), not the one that was connected (" +
                Sensor(connection_.lastSensor()) +
                ").\nAutomatic reconnection has stopped; nothing was written to it. Connect to "
                "work with it.";
            ui_.AppendText(Ctrl::InfoBox, text + "\n\n");
            ui_.MessagePopup(kAttentionTitle, text);
            return;
        }
        case Connection::Attempt::SameSensor:
            retrying_ = false;
            ui_.SetTimer(0);
            lost_ = false;
            Resume();
            return;
    }
}

void Reconnection::RestoreTarget() {
    state_.TransferTarget = targetAtLoss_;
    ui_.SetCtrlVal(Ctrl::EepromButton, targetAtLoss_ == kTargetEeprom ? 1 : 0);
    ui_.SetCtrlVal(Ctrl::FileButton, targetAtLoss_ == kTargetFile ? 1 : 0);
}

void Reconnection::Resume() {
    const double gap = loop_.Timer() - lostAt_;
    std::string said = "Reconnected after " + Seconds(gap);
    if (!resumeLive_) {
        ui_.ShowStatusMessage(said + ".");
        return;
    }
    resumeLive_ = false;
    if (resumeRecording_ && recording_.Resume()) {
        said += "; GO and the recording go on (a gap of " + Seconds(gap) + " in the file)";
    } else {
        said += "; GO goes on";
    }
    resumeRecording_ = false;
    ui_.ShowStatusMessage(said + ".");
    const CommandLock::Scope go(lock_, UserCommand::Go);
    live_.Go();
}

}  // namespace qelto
