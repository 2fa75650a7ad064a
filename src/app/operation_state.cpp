#include "app/operation_state.hpp"

#include <algorithm>
#include <cmath>

#include "sensor/link_supervisor.hpp"
#include "sensor/sensor_error.hpp"
#include "sensor/sensor_session.hpp"

namespace qelto {

std::uint16_t CtrlValueU16(OperatorInterface& ui, Ctrl c) {
    const double v = ui.GetCtrlVal(c);
    if (!(v > 0)) return 0;
    return static_cast<std::uint16_t>(std::lround(std::min(v, 65535.0)));
}

namespace {

constexpr const char* kCouldNotConnect = Tr("could not connect");
constexpr const char* kConnectionClosed = Tr("connection closed");
constexpr const char* kNoReplyInTime = Tr("no reply in time");
constexpr const char* kCorruptedReply = Tr("corrupted reply");
constexpr const char* kRefusedBySensor = Tr("refused by the sensor");

}  // namespace

void ShowMemorySelector(OperatorInterface& ui, std::uint16_t target) {
    ui.SetCtrlVal(Ctrl::RamButton, target == kTargetRam ? 1 : 0);
    ui.SetCtrlVal(Ctrl::EepromButton, target == kTargetEeprom ? 1 : 0);
    ui.SetCtrlVal(Ctrl::FileButton, target == kTargetFile ? 1 : 0);
}

const char* FailureWords(const SensorError& error) {
    if (error.kind == SensorFault::OpenFailed) return kCouldNotConnect;
    const std::optional<FailureKind> kind = FailureKindOf(error.kind);
    if (!kind) return "";
    switch (*kind) {
        case FailureKind::Closed:
            return kConnectionClosed;
        case FailureKind::Timeout:
            return kNoReplyInTime;
        case FailureKind::Corrupted:
            return kCorruptedReply;
        case FailureKind::Refused:
            return kRefusedBySensor;
    }
    return "";
}

std::string FailureStatusLine(OperatorInterface& ui, const SensorError& error) {
    const char* words = FailureWords(error);
    if (*words == '\0') return {};
    std::string line = ui.Translate(words);
    // A line begins with a capital; a letter beyond ASCII is left as the translation has it.
    if (line[0] >= 'a' && line[0] <= 'z') line[0] = static_cast<char>(line[0] - 'a' + 'A');
    // The sensor's own refusals differ only in the program's text.
    if (FailureKindOf(error.kind) == FailureKind::Refused) line += ": " + OneLine(error.message);
    if (!error.reason.empty()) line += " (" + error.reason + ")";
    return line.back() == '!' ? line : line + ".";
}

void Feedback::SetTimeout(std::string_view message) {
    state_.acquisition = Acquisition::Stopped;
    ui_.SetCtrlText(Ctrl::StatusDisplay, kStatusTimeout);
    ui_.AppendText(Ctrl::InfoBox, message);
    ui_.AppendText(Ctrl::InfoBox, "\n\n");
    ui_.SetDimmed(Ctrl::AcceptButton, true);
    ui_.SetActiveTabPage(kConnectionPage);
}

void Feedback::ReportFailure(const SensorError& error) {
    switch (error.kind) {
        case SensorFault::Quit:
            state_.acquisition = Acquisition::Stopped;
            return;
        case SensorFault::Busy:
            // Nothing went wrong with the sensor: a second command was too early.
            ui_.ShowStatusMessage(error.message);
            return;
        default:
            break;
    }
    SetTimeout(error.message);
    ui_.ShowStatusMessage(FailureStatusLine(ui_, error));
    if (!error.advice.empty()) {
        ui_.AppendText(Ctrl::InfoBox, error.advice);
        ui_.AppendText(Ctrl::InfoBox, "\n\n");
    }
}

void Feedback::SessionChanged(const SessionEvent& event) {
    switch (event.kind) {
        case SessionEventKind::Lost:
            if (event.error != nullptr) ReportFailure(*event.error);
            failedSinceAnswer_ = true;
            break;
        case SessionEventKind::OpenFailed:
        case SessionEventKind::Failed:
            failedSinceAnswer_ = true;
            break;
        case SessionEventKind::Answered:
            // The failure is over: the status display shows the sensor again.
            if (!failedSinceAnswer_ || !session_.identified()) break;
            ui_.SetCtrlText(Ctrl::StatusDisplay, session_.identity().firmwareLine());
            failedSinceAnswer_ = false;
            break;
        default:
            break;
    }
}

Outcome Feedback::LinkOutcome(bool ok) const {
    if (loop_.QuitRequested()) return Outcome::Quit;
    return ok ? Outcome::Done : Outcome::Failed;
}

void Feedback::HelpPopup(std::string_view helpText) {
    ui_.MessagePopup(kHelpTitle, helpText);
}

}  // namespace qelto
