#include "app/live.hpp"

#include <algorithm>
#include <cmath>

#include "app/context.hpp"
#include "app/graphs.hpp"
#include "app/transfer.hpp"
#include "link/transaction.hpp"

namespace qelto {
namespace {

inline constexpr std::size_t kCycleTimeReplySize = 8;

}  // namespace

int ReadLiveData(Context& ctx) {
    if (Exchange(ctx, kCmdLiveData, 0) != 1) return -1;
    // A short block would show (and let the assistant teach) zeros that were never measured.
    if (!ReplyCarries(ctx, kLiveDataSize)) return -1;
    ctx.live.FromBytes(
        std::span<const std::uint8_t, kLiveDataSize>(ctx.frames.ReplyData(), kLiveDataSize));
    return 1;
}

void GetData(Context& ctx) {
    auto& st = ctx.state;
    st.DataTransferActive = 1;
    AcquisitionStarted(ctx);
    for (;;) {
        // Send and Get pressed during the last sample run here, between two samples.
        if (st.SendRequest != 0) {
            SendPara(ctx);
            if (st.DataTransferActive == 0) return;
        }
        if (st.GetRequest != 0) GetPara(ctx);
        if (st.DataTransferActive == 0) return;

        const double requestedAt = ctx.ui.Timer();
        if (ReadLiveData(ctx) == 1) {
            SetPanelData(ctx);
            ShowGraph3D(ctx);
            RecordSample(ctx, requestedAt);
        }
        if (st.DataTransferActive != 1) return;
    }
}

void SetPanelData(Context& ctx) {
    auto& ui = ctx.ui;
    const LiveData& d = ctx.live;
    ui.SetCtrlVal(Ctrl::XDisplay, d.X());
    ui.SetCtrlVal(Ctrl::YDisplay, d.Y());
    ui.SetCtrlVal(Ctrl::IntDisplay, d.Int());
    ui.SetCtrlVal(Ctrl::ColorNoDisplay, d.ColorNo());
    ui.SetCtrlVal(Ctrl::RedDisplay, d.Red());
    ui.SetCtrlVal(Ctrl::GreenDisplay, d.Green());
    ui.SetCtrlVal(Ctrl::BlueDisplay, d.Blue());

    auto& h = ctx.history;
    std::copy(h.begin() + 3, h.end(), h.begin());
    h[kRgbHistorySize - 3] = d.Red();
    h[kRgbHistorySize - 2] = d.Green();
    h[kRgbHistorySize - 1] = d.Blue();
}

double ScanFrequencyFromReply(std::span<const std::uint8_t> data) {
    if (data.size() < kCycleTimeReplySize) return 0.0;
    const std::int32_t n = GetI32(data.data());
    const std::int32_t t = GetI32(data.data() + 4);
    if (t == 0) return 0.0;
    const double value = static_cast<double>(n) / (static_cast<double>(t) * 0.01);
    return std::isfinite(value) ? value : 0.0;
}

int ScanFrequencyPrecision(double value) {
    if (value > 1000.0) return 0;
    if (value <= 1.0) return 2;
    return 1;
}

void GetCycleTime(Context& ctx) {
    double value = 0.0;
    if (Exchange(ctx, kCmdCycleTime, 0) == 1 && ReplyCarries(ctx, kCycleTimeReplySize)) {
        value = ScanFrequencyFromReply(
            std::span<const std::uint8_t>(ctx.frames.ReplyData(), ctx.frames.ReplyLength));
    }
    ctx.ScanFrequency = value;
    ctx.ui.SetPrecision(Ctrl::ScanFreqDisplay, ScanFrequencyPrecision(value));
    ctx.ui.SetCtrlVal(Ctrl::ScanFreqDisplay, value);
}

Outcome CBF_ButtonGo(Context& ctx) {
    SetButtonsDimmed(ctx, 1, 1);
    InitGraphs(ctx);
    GetData(ctx);
    AcquisitionEnded(ctx);
    SetButtonsDimmed(ctx, 0, 0);
    return LinkOutcome(ctx);
}

Outcome CBF_ButtonStop(Context& ctx) {
    ctx.state.DataTransferActive = 0;
    return Outcome::Done;
}

Outcome CBF_ButtonFREQ(Context& ctx) {
    SetButtonsDimmed(ctx, 0, 1);
    GetCycleTime(ctx);
    ShowStatusBar(ctx, true);
    SetButtonsDimmed(ctx, 0, 0);
    return LinkOutcome(ctx);
}

}  // namespace qelto
