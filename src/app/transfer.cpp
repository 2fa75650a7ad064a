#include "app/transfer.hpp"

#include "app/context.hpp"
#include "app/graphs.hpp"
#include "app/link_state.hpp"
#include "app/parameter_editor.hpp"

namespace qelto {
namespace {

// A non-zero plausibility count after a write means the sensor replaced values with its own
// defaults: the transfer did not do what the operator asked, so it counts as a failure.
void ReportRamPlausibility(Context& ctx, RejectedCount rejected, SendResult& result) {
    if (rejected == 0) return;
    SetTimeout(ctx, PlausibilityText(rejected, kMsgRamPlausibilityTail));
    result = SendResult::Refused;
}

}  // namespace

SendResult SendPara(Context& ctx) {
    ctx.state.sendRequest = false;
    auto& sensor = ctx.sensor;
    SendResult result = SendResult::Taken;
    const auto failed = [&](const SensorError& error) {
        ReportFailure(ctx, error);
        return SendResult::Failed;
    };

    auto written = sensor.WriteParameters(ctx.config.para);
    if (!written) return failed(written.error());
    ReportRamPlausibility(ctx, *written, result);

    written = sensor.WriteTeachTable(ctx.config.teach);
    if (!written) return failed(written.error());
    ReportRamPlausibility(ctx, *written, result);

    if (ctx.state.TransferTarget == kTargetEeprom) {
        if (Status stored = sensor.StoreEeprom(); !stored) return failed(stored.error());
    }
    return result;
}

void GetPara(Context& ctx) {
    ctx.state.getRequest = false;
    auto& sensor = ctx.sensor;

    if (ctx.state.TransferTarget == kTargetEeprom) {
        const auto loaded = sensor.LoadEeprom();
        if (!loaded) return ReportFailure(ctx, loaded.error());
        if (*loaded != 0) {
            // Information only: the sensor already runs on its defaults for these, and the
            // operator sees which values came back in the read that follows.
            ctx.ui.SetActiveTabPage(kConnectionPage);
            ctx.ui.AppendText(Ctrl::InfoBox, PlausibilityText(*loaded, kMsgEepromPlausibilityTail));
        }
    }

    const auto para = sensor.ReadParameters();
    if (!para) return ReportFailure(ctx, para.error());
    ctx.config.para = *para;
    // A failed teach read leaves the new parameters in the working copy, the panels as they
    // were.
    const auto rows = sensor.ReadTeachRows();
    if (!rows) return ReportFailure(ctx, rows.error());
    PutSensorRows(ctx.config.teach, *rows);
    LinkAnswered(ctx);

    SetPanelValues(ctx);
    InitGraphs(ctx);
    ShowGraph3D(ctx);
}

void SetPanelValues(Context& ctx) {
    ShowPlainValues(ctx);
    ForgetEdits(ctx);
}

void ShowPlainValues(Context& ctx) {
    auto& ui = ctx.ui;
    const ParameterSet& para = ctx.config.para;
    ui.SetCtrlVal(Ctrl::AverageControl, para.Average);
    ui.SetCtrlVal(Ctrl::PowerDisplay, para.Power);
    ui.SetCtrlVal(Ctrl::MaxVecNoDisplay, para.MaxVecNo);
    ui.SetCtrlVal(Ctrl::GainDisplay, para.Gain);
    ui.SetCtrlVal(Ctrl::IntegralDisplay, para.Integral);
    // Table row r + 1 shows teach row r; columns 1..4 show Cell[0..3].
    for (std::size_t r = 0; r < kShownTeachRows; ++r) {
        for (int k = 1; k <= 4; ++k) {
            ui.SetTableCellVal(Ctrl::TeachTableCtrl, k, static_cast<int>(r) + 1,
                               ctx.config.teach[r].Cell[static_cast<std::size_t>(k - 1)]);
        }
    }
}

}  // namespace qelto
