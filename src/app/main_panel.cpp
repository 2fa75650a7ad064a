#include "app/main_panel.hpp"

#include <cmath>

#include "app/command_lock.hpp"
#include "app/connection.hpp"
#include "app/context.hpp"
#include "app/file_commands.hpp"
#include "app/parameter_editor.hpp"
#include "app/transfer.hpp"
#include "files/parameter_file.hpp"

namespace qelto {

namespace {

// Send and Get with the sensor: while acquisition holds the link (until the last sample after
// STOP has come) the loop serves the request after the sample in progress; otherwise the
// transfer runs with the commands locked.
template <typename Transfer>
Outcome TransferWithSensor(Context& ctx, Transfer transfer, bool& request,
                           std::string_view queued) {
    if (LiveDataHoldsTheLink(ctx.state)) {
        request = true;
        ctx.ui.ShowStatusMessage(queued);
        return Outcome::Done;
    }
    SetButtonsDimmed(ctx, 0, 1);
    transfer(ctx);
    SetButtonsDimmed(ctx, 0, 0);
    return LinkOutcome(ctx);
}

}  // namespace

Outcome CBF_ButtonSend(Context& ctx) {
    ctx.config.para.Average = CtrlValueU16(ctx, Ctrl::AverageControl);
    if (ctx.state.TransferTarget == kTargetFile) return SendParaToFile(ctx);
    if (!EditModeOn(ctx)) {
        return TransferWithSensor(ctx, SendPara, ctx.state.sendRequest,
                                  "Send: the parameters go to the sensor between two samples.");
    }
    // From the editor: the differences first, and nothing goes out without a yes.
    if (ConfirmEditedSend(ctx) != Outcome::Done) return Outcome::Declined;
    if (LiveDataHoldsTheLink(ctx.state)) {
        return TransferWithSensor(ctx, SendPara, ctx.state.sendRequest,
                                  "Send: the parameters go to the sensor between two samples.");
    }
    SetButtonsDimmed(ctx, 0, 1);
    const Configuration sent = ctx.config;
    if (SendPara(ctx) == SendResult::Refused) {
        // Which values: what the sensor holds now tells.
        const auto held = ctx.sensor.ReadConfiguration(false);
        if (held) {
            MarkRefused(ctx, sent, held->config);
        } else {
            ReportFailure(ctx, held.error());
        }
    } else {
        ClearRefused(ctx);
    }
    SetButtonsDimmed(ctx, 0, 0);
    return LinkOutcome(ctx);
}

Outcome CBF_ButtonGet(Context& ctx) {
    if (ctx.state.TransferTarget == kTargetFile) return ReadParaFromFile(ctx);
    return TransferWithSensor(ctx, GetPara, ctx.state.getRequest,
                              "Get: the parameters are read from the sensor between two samples.");
}

Outcome CBF_SelectMem(Context& ctx, Ctrl button) {
    // The two buttons act as radio buttons: the one clicked always ends up on.
    const bool file = button == Ctrl::FileButton;
    if (!file && button != Ctrl::EepromButton) return Outcome::Done;
    ctx.ui.SetCtrlVal(Ctrl::EepromButton, file ? 0 : 1);
    ctx.ui.SetCtrlVal(Ctrl::FileButton, file ? 1 : 0);
    ctx.state.TransferTarget = file ? kTargetFile : kTargetEeprom;
    return Outcome::Done;
}

Outcome CBF_EditSelectLanguage(Context& ctx) {
    const double value = ctx.ui.GetCtrlVal(Ctrl::LanguageSelector);
    // Every message table has exactly seven columns; anything else keeps the language.
    if (value >= 0 && value < kLanguageCount && value == std::floor(value)) {
        ctx.state.Language = static_cast<std::int32_t>(value);
    }
    return Outcome::Done;
}

Outcome CBF_TabMain1(Context& ctx) {
    if (ctx.ui.GetActiveTabPage() == kConnectionPage) {
        ctx.state.acquisition = Acquisition::Stopped;
        ctx.ui.SetDimmed(Ctrl::AcceptButton, true);
    }
    return Outcome::Done;
}

}  // namespace qelto
