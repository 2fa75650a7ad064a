#include "app/operation_state.hpp"

#include <cstdio>
#include <string>

#include "app/context.hpp"

namespace qelto {

void SetErrorMessage(Context& ctx, std::string_view text) {
    auto& buf = ctx.state.ErrorMessage;
    const std::size_t n = text.size() < buf.size() - 1 ? text.size() : buf.size() - 1;
    text.copy(buf.data(), n);
    buf[n] = '\0';
}

void FormatErrorMessage(Context& ctx, std::string_view head, long number, std::string_view tail) {
    std::string text(head);
    text += std::to_string(number);
    text += tail;
    SetErrorMessage(ctx, text);
}

std::string_view ErrorMessageText(const Context& ctx) {
    const auto& buf = ctx.state.ErrorMessage;
    std::size_t n = 0;
    while (n < buf.size() && buf[n] != '\0')
        ++n;
    return {buf.data(), n};
}

void SetTimeout(Context& ctx) {
    ctx.state.DataTransferActive = 0;
    ctx.state.CommunicationOk = 0;
    ctx.ui.SetCtrlText(Ctrl::StatusDisplay, kStatusTimeout);
    ctx.ui.AppendText(Ctrl::InfoBox, ErrorMessageText(ctx));
    ctx.ui.AppendText(Ctrl::InfoBox, "\n\n");
    ctx.ui.SetDimmed(Ctrl::AcceptButton, true);
    ctx.ui.SetActiveTabPage(kConnectionPage);
}

void ReportFailure(Context& ctx, std::string_view text) {
    SetErrorMessage(ctx, text);
    SetTimeout(ctx);
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
    ctx.ui.ProcessSystemEvents();
}

void Context::ReportLinkFailure(std::string_view message) {
    ReportFailure(*this, message);
}

void Context::ShowLinkHint(std::string_view hint) {
    ui.AppendText(Ctrl::InfoBox, hint);
    ui.AppendText(Ctrl::InfoBox, "\n\n");
}

Outcome LinkOutcome(Context& ctx) {
    if (ctx.ui.QuitRequested()) return Outcome::Quit;
    return ctx.state.CommunicationOk == 1 ? Outcome::Done : Outcome::Failed;
}

void HelpPopup(Context& ctx, std::string_view helpText) {
    ctx.ui.MessagePopup(kHelpTitle, helpText);
}

}  // namespace qelto
