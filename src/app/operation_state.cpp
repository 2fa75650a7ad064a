#include "app/operation_state.hpp"

#include <algorithm>
#include <cmath>

#include "sensor/sensor_error.hpp"

namespace qelto {

std::uint16_t CtrlValueU16(OperatorInterface& ui, Ctrl c) {
    const double v = ui.GetCtrlVal(c);
    if (!(v > 0)) return 0;
    return static_cast<std::uint16_t>(std::lround(std::min(v, 65535.0)));
}

void Feedback::SetTimeout(std::string_view message) {
    state_.acquisition = Acquisition::Stopped;
    state_.communicationOk = false;
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
    if (!error.advice.empty()) {
        ui_.AppendText(Ctrl::InfoBox, error.advice);
        ui_.AppendText(Ctrl::InfoBox, "\n\n");
    }
}

void Feedback::SessionChanged(const SessionEvent& event) {
    if (event.kind == SessionEventKind::Lost && event.error != nullptr) ReportFailure(*event.error);
}

Outcome Feedback::LinkOutcome() const {
    if (loop_.QuitRequested()) return Outcome::Quit;
    return state_.communicationOk ? Outcome::Done : Outcome::Failed;
}

void Feedback::HelpPopup(std::string_view helpText) {
    ui_.MessagePopup(kHelpTitle, helpText);
}

}  // namespace qelto
