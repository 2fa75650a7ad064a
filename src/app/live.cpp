#include "app/live.hpp"

#include <algorithm>

#include "app/context.hpp"
#include "app/graphs.hpp"
#include "app/link_state.hpp"
#include "app/live_record.hpp"
#include "app/transfer.hpp"

namespace qelto {

bool ReadLiveData(Context& ctx) {
    const auto sample = ctx.sensor.ReadLiveSample();
    if (!sample) {
        ReportFailure(ctx, sample.error());
        return false;
    }
    ctx.view.live = *sample;
    LinkAnswered(ctx);
    LiveValuesFresh(ctx);
    return true;
}

void GetData(Context& ctx) {
    auto& st = ctx.state;
    st.acquisition = Acquisition::Live;
    AcquisitionStarted(ctx);
    for (;;) {
        // Send and Get pressed during the last sample run here, between two samples.
        if (st.sendRequest) {
            SendPara(ctx);
            if (!st.acquiring()) break;
        }
        if (st.getRequest) GetPara(ctx);
        if (!st.acquiring()) break;

        const double requestedAt = ctx.loop.Timer();
        if (ReadLiveData(ctx)) {
            SetPanelData(ctx);
            ShowGraph3D(ctx);
            RecordSample(ctx, requestedAt);
        }
        if (st.acquisition != Acquisition::Live) break;
    }
    // Pressed after STOP while the last sample was still awaited, Send and Get run right after
    // it, as they would have between two samples. After a failure they are dropped: it has
    // been reported, and the link that failed would fail them too.
    if (st.communicationOk && !ctx.loop.QuitRequested()) {
        if (st.sendRequest) SendPara(ctx);
        if (st.getRequest && st.communicationOk) GetPara(ctx);
    }
    st.sendRequest = false;
    st.getRequest = false;
}

void SetPanelData(Context& ctx) {
    auto& ui = ctx.ui;
    const LiveData& d = ctx.view.live;
    ui.SetCtrlVal(Ctrl::XDisplay, d.X());
    ui.SetCtrlVal(Ctrl::YDisplay, d.Y());
    ui.SetCtrlVal(Ctrl::IntDisplay, d.Int());
    ui.SetCtrlVal(Ctrl::ColorNoDisplay, d.ColorNo());
    ui.SetCtrlVal(Ctrl::RedDisplay, d.Red());
    ui.SetCtrlVal(Ctrl::GreenDisplay, d.Green());
    ui.SetCtrlVal(Ctrl::BlueDisplay, d.Blue());

    auto& h = ctx.view.history;
    std::copy(h.begin() + 3, h.end(), h.begin());
    h[kRgbHistorySize - 3] = d.Red();
    h[kRgbHistorySize - 2] = d.Green();
    h[kRgbHistorySize - 1] = d.Blue();
}

void GetCycleTime(Context& ctx) {
    const auto measured = ctx.sensor.MeasureScanFrequency();
    if (!measured) ReportFailure(ctx, measured.error());
    const double value = measured ? *measured : 0.0;
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
    ctx.state.acquisition = Acquisition::Stopped;
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
