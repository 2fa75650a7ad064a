#include "app/live.hpp"

#include <algorithm>

#include "app/graphs.hpp"
#include "app/link_status.hpp"
#include "app/live_record.hpp"
#include "app/transfer.hpp"
#include "sensor/sensor_session.hpp"

namespace qelto {

Live::Live(OperatorInterface& ui, EventLoop& loop, SensorSession& sensor, PresenterState& state,
           Feedback& feedback, LiveView& view, Graphs& graphs, Transfer& transfer,
           Recording& recording, LinkStatus& link)
    : ui_(ui),
      loop_(loop),
      sensor_(sensor),
      state_(state),
      feedback_(feedback),
      view_(view),
      graphs_(graphs),
      transfer_(transfer),
      recording_(recording),
      link_(link) {}

bool Live::ReadLiveData() {
    const auto sample = sensor_.ReadLiveSample();
    if (!sample) {
        feedback_.ReportFailure(sample.error());
        return false;
    }
    view_.live = *sample;
    return true;
}

bool Live::ServeRequests() {
    if (state_.sendRequest) {
        transfer_.SendPara();
        if (!state_.acquiring()) return false;
    }
    if (state_.getRequest) transfer_.GetPara();
    return state_.acquiring();
}

void Live::GetData() {
    state_.acquisition = Acquisition::Live;
    recording_.AcquisitionStarted();
    bool answered = true;
    for (;;) {
        // Send and Get pressed during the last sample run here, between two samples.
        if (!ServeRequests()) {
            answered = false;
            break;
        }
        const double requestedAt = loop_.Timer();
        answered = ReadLiveData();
        if (answered) {
            SetPanelData();
            graphs_.ShowGraph3D();
            recording_.RecordSample(requestedAt);
        }
        if (state_.acquisition != Acquisition::Live) break;
    }
    if (!state_.sendRequest && !state_.getRequest) return;
    // STOP came while a sample was on its way, and Send or Get after it: the link is free now.
    if (answered && sensor_.connected() && !loop_.QuitRequested()) {
        if (state_.sendRequest && transfer_.SendPara() == SendResult::Failed) {
            state_.getRequest = false;
        }
        if (state_.getRequest) transfer_.GetPara();
        return;
    }
    // The failure that ended data transfer has been reported; what waited for it is not
    // carried over to the next GO.
    state_.sendRequest = state_.getRequest = false;
    ui_.ShowStatusFailure("Send and Get pressed during data transfer were not carried out.");
}

void Live::SetPanelData() {
    const LiveData& d = view_.live;
    ui_.SetCtrlVal(Ctrl::XDisplay, d.X());
    ui_.SetCtrlVal(Ctrl::YDisplay, d.Y());
    ui_.SetCtrlVal(Ctrl::IntDisplay, d.Int());
    ui_.SetCtrlVal(Ctrl::ColorNoDisplay, d.ColorNo());
    ui_.SetCtrlVal(Ctrl::RedDisplay, d.Red());
    ui_.SetCtrlVal(Ctrl::GreenDisplay, d.Green());
    ui_.SetCtrlVal(Ctrl::BlueDisplay, d.Blue());

    auto& h = view_.history;
    std::copy(h.begin() + 3, h.end(), h.begin());
    h[kRgbHistorySize - 3] = d.Red();
    h[kRgbHistorySize - 2] = d.Green();
    h[kRgbHistorySize - 1] = d.Blue();
}

void Live::GetCycleTime() {
    const auto measured = sensor_.MeasureScanFrequency();
    if (!measured) feedback_.ReportFailure(measured.error());
    const double value = measured ? *measured : 0.0;
    ui_.SetPrecision(Ctrl::ScanFreqDisplay, ScanFrequencyPrecision(value));
    ui_.SetCtrlVal(Ctrl::ScanFreqDisplay, value);
}

Outcome Live::Go() {
    graphs_.InitGraphs();
    GetData();
    link_.LiveEnded();
    recording_.AcquisitionEnded();
    return feedback_.LinkOutcome();
}

Outcome Live::Stop() {
    state_.acquisition = Acquisition::Stopped;
    return Outcome::Done;
}

Outcome Live::Freq() {
    GetCycleTime();
    recording_.ShowStatusBar(true);
    return feedback_.LinkOutcome();
}

}  // namespace qelto
