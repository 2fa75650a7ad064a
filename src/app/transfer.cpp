#include "app/transfer.hpp"

#include <span>

#include "app/context.hpp"
#include "app/graphs.hpp"
#include "link/transaction.hpp"

namespace qelto {
namespace {

// A non-zero plausibility count after a write means the sensor replaced values with its own
// defaults: the transfer did not do what the operator asked, so it counts as a failure.
void ReportRamPlausibility(Context& ctx) {
    const std::uint16_t rejected = ctx.frames.ReplyArgument;
    if (rejected == 0) return;
    FormatErrorMessage(ctx, kMsgPlausibilityHead, rejected, kMsgRamPlausibilityTail);
    SetTimeout(ctx);
}

}  // namespace

bool ReplyCarries(Context& ctx, std::size_t needed) {
    if (ctx.frames.ReplyLength >= needed) return true;
    ReportFailure(ctx, kMsgBadData);
    return false;
}

void SendPara(Context& ctx) {
    ctx.state.SendRequest = 0;

    ParameterBlockFromSet(ctx.para, std::span<std::uint8_t, kParameterBlockSize>(
                                        ctx.frames.RequestData(), kParameterBlockSize));
    if (Exchange(ctx, kCmdWrite, kArgParameters, kParameterBlockSize) != 1) return;
    ReportRamPlausibility(ctx);

    TeachBlockFromTable(ctx.teach, std::span<std::uint8_t, kTeachBlockSize>(
                                       ctx.frames.RequestData(), kTeachBlockSize));
    if (Exchange(ctx, kCmdWrite, kArgTeachTable, kTeachBlockSize) != 1) return;
    ReportRamPlausibility(ctx);

    if (ctx.state.TransferTarget == kTargetEeprom) Exchange(ctx, kCmdStoreEeprom, 0);
}

bool ReadSensorBlocks(Context& ctx, ParameterSet& para, TeachTable& teach) {
    if (Exchange(ctx, kCmdRead, kArgParameters) != 1) return false;
    if (!ReplyCarries(ctx, kParameterBlockSize)) return false;
    ParameterSetFromBlock(std::span<const std::uint8_t, kParameterBlockSize>(ctx.frames.ReplyData(),
                                                                             kParameterBlockSize),
                          para);
    if (Exchange(ctx, kCmdRead, kArgTeachTable) != 1) return false;
    if (!ReplyCarries(ctx, kTeachBlockSize)) return false;
    TeachTableFromBlock(
        std::span<const std::uint8_t, kTeachBlockSize>(ctx.frames.ReplyData(), kTeachBlockSize),
        teach);
    return true;
}

void GetPara(Context& ctx) {
    ctx.state.GetRequest = 0;

    if (ctx.state.TransferTarget == kTargetEeprom) {
        if (Exchange(ctx, kCmdLoadEeprom, 0) != 1) return;
        const std::uint16_t rejected = ctx.frames.ReplyArgument;
        if (rejected != 0) {
            // Information only: the sensor already runs on its defaults for these, and the
            // operator sees which values came back in the read that follows.
            ctx.ui.SetActiveTabPage(kConnectionPage);
            FormatErrorMessage(ctx, kMsgPlausibilityHead, rejected, kMsgEepromPlausibilityTail);
            ctx.ui.AppendText(Ctrl::InfoBox, ErrorMessageText(ctx));
        }
    }

    if (!ReadSensorBlocks(ctx, ctx.para, ctx.teach)) return;

    SetPanelValues(ctx);
    InitGraphs(ctx);
    ShowGraph3D(ctx);
}

void SetPanelValues(Context& ctx) {
    auto& ui = ctx.ui;
    ui.SetCtrlVal(Ctrl::AverageControl, ctx.para.Average);
    ui.SetCtrlVal(Ctrl::PowerDisplay, ctx.para.Power);
    ui.SetCtrlVal(Ctrl::MaxVecNoDisplay, ctx.para.MaxVecNo);
    ui.SetCtrlVal(Ctrl::GainDisplay, ctx.para.Gain);
    ui.SetCtrlVal(Ctrl::IntegralDisplay, ctx.para.Integral);
    // Table row r + 1 shows teach row r; columns 1..4 show Cell[0..3].
    for (std::size_t r = 0; r < kShownTeachRows; ++r) {
        for (int k = 1; k <= 4; ++k) {
            ui.SetTableCellVal(Ctrl::TeachTableCtrl, k, static_cast<int>(r) + 1,
                               ctx.teach[r].Cell[static_cast<std::size_t>(k - 1)]);
        }
    }
}

}  // namespace qelto
