#include "app/operation_state.hpp"

#include "app/context.hpp"
#include "app/link_state.hpp"

namespace qelto {

void ShowNoLink(Context& ctx) {
    auto& ui = ctx.ui;
    ui.SetCtrlVal(Ctrl::FileButton, 1);
    ui.SetCtrlVal(Ctrl::EepromButton, 0);
    ctx.state.TransferTarget = kTargetFile;
    for (Ctrl c : {Ctrl::GoButton, Ctrl::FreqButton, Ctrl::StartAssistantButton,
                   Ctrl::DisconnectButton, Ctrl::EepromButton, Ctrl::FileButton}) {
        ui.SetDimmed(c, true);
    }
    for (Ctrl c :
         {Ctrl::ConnectButton, Ctrl::BaudRateSelector, Ctrl::SendButton, Ctrl::GetButton}) {
        ui.SetDimmed(c, false);
    }
}

void SetTimeout(Context& ctx, std::string_view message) {
    ctx.state.acquisition = Acquisition::Stopped;
    ctx.state.communicationOk = false;
    ctx.ui.SetCtrlText(Ctrl::StatusDisplay, kStatusTimeout);
    ctx.ui.AppendText(Ctrl::InfoBox, message);
    ctx.ui.AppendText(Ctrl::InfoBox, "\n\n");
    ctx.ui.SetDimmed(Ctrl::AcceptButton, true);
    ctx.ui.SetActiveTabPage(kConnectionPage);
}

void ReportFailure(Context& ctx, const SensorError& error) {
    switch (error.kind) {
        case SensorFault::Quit:
            ctx.state.acquisition = Acquisition::Stopped;
            return;
        case SensorFault::Busy:
            // Nothing went wrong with the sensor: a second command was too early.
            ctx.ui.ShowStatusMessage(error.message);
            return;
        default:
            break;
    }
    SetTimeout(ctx, error.message);
    LinkFailed(ctx, error);
    if (!error.advice.empty()) {
        ctx.ui.AppendText(Ctrl::InfoBox, error.advice);
        ctx.ui.AppendText(Ctrl::InfoBox, "\n\n");
    }
}

void SetButtonsDimmed(Context& ctx, int mode, int dimmed) {
    const bool d = dimmed != 0;
    if (mode == 0) {
        for (Ctrl c : {Ctrl::SendButton, Ctrl::GetButton, Ctrl::EepromButton, Ctrl::FileButton}) {
            ctx.ui.SetDimmed(c, d);
        }
    }
    for (Ctrl c : {Ctrl::GoButton, Ctrl::FreqButton, Ctrl::StartAssistantButton,
                   Ctrl::ConnectButton, Ctrl::DisconnectButton, Ctrl::BaudRateSelector}) {
        ctx.ui.SetDimmed(c, d);
    }
    // A command that ends on a link that is gone (the server closed it, or there never was
    // one) must not offer the commands that need it.
    if (!d && !ctx.sensor.connected()) ShowNoLink(ctx);
    ctx.loop.ProcessSystemEvents();
}

void Context::LinkLost(const SensorError& error) {
    ReportFailure(*this, error);
    // A command that is running leaves the controls so when it ends.
    if (state.runningCount == 0) ShowNoLink(*this);
}

void Context::SetWaitCursor(bool busy) {
    ui.SetWaitCursor(busy);
}

Outcome LinkOutcome(Context& ctx) {
    if (ctx.loop.QuitRequested()) return Outcome::Quit;
    return ctx.state.communicationOk ? Outcome::Done : Outcome::Failed;
}

void HelpPopup(Context& ctx, std::string_view helpText) {
    ctx.ui.MessagePopup(kHelpTitle, helpText);
}

}  // namespace qelto
