#include "app/live.hpp"

#include <algorithm>

#include "app/graphs.hpp"
#include "app/live_record.hpp"
#include "app/transfer.hpp"
#include "sensor/sensor_session.hpp"

namespace qelto {
namespace {

constexpr const char* kRequestsNotCarriedOut =
    Tr("Send and Get pressed during data transfer were not carried out.");

}  // namespace

Live::Live(OperatorInterface& ui, EventLoop& loop, SensorSession& sensor, PresenterState& state,
           Feedback& feedback, LiveView& view, Graphs& graphs, Transfer& transfer,
           Recording& recording)
    : ui_(ui),
      loop_(loop),
      sensor_(sensor),
      state_(state),
      feedback_(feedback),
      view_(view),
      graphs_(graphs),
      transfer_(transfer),
      recording_(recording) {}

void Live::SessionChanged(const SessionEvent& event) {
    switch (event.kind) {
        case SessionEventKind::OpenFailed:
        case SessionEventKind::Failed:
        case SessionEventKind::Lost:
            liveOld_ = true;
            ui_.ShowLiveAge(LiveAge::Old);
            break;
        case SessionEventKind::Answered:
            if (event.command != kCmdLiveData) break;
            liveOld_ = false;
            ui_.ShowLiveAge(LiveAge::Arriving);
            break;
        default:
            break;
    }
}

bool Live::ReadLiveData() {
    const auto sample = sensor_.ReadLiveSample();
    if (!sample) {
        feedback_.ReportFailure(sample.error());
        return false;
    }
    view_.live = *sample;
    return true;
}

bool Live::ServeRequests(bool& ok) {
    if (state_.sendRequest) {
        if (transfer_.SendPara() != SendResult::Taken) ok = false;
        if (!state_.acquiring()) return false;
    }
    if (state_.getRequest && !transfer_.GetPara()) ok = false;
    return state_.acquiring();
}

bool Live::GetData() {
    state_.acquisition = Acquisition::Live;
    recording_.AcquisitionStarted();
    bool ok = true;  // no failure or refusal (reported) so far
    bool answered = true;
    for (;;) {
        // Send and Get pressed during the last sample run here, between two samples.
        if (!ServeRequests(ok)) {
            answered = false;
            break;
        }
        const double requestedAt = loop_.Timer();
        answered = ReadLiveData();
        if (answered) {
            SetPanelData();
            graphs_.ShowGraph3D();
            recording_.RecordSample(requestedAt);
            view_.recent.Add(requestedAt, EvidenceOf(view_.live));
        } else {
            ok = false;
        }
        if (state_.acquisition != Acquisition::Live) break;
    }
    if (!state_.sendRequest && !state_.getRequest) return ok;
    // STOP came while a sample was on its way, and Send or Get after it: the link is free now.
    if (answered && sensor_.connected() && !loop_.QuitRequested()) {
        if (state_.sendRequest) {
            const SendResult sent = transfer_.SendPara();
            if (sent != SendResult::Taken) ok = false;
            if (sent == SendResult::Failed) state_.getRequest = false;
        }
        if (state_.getRequest && !transfer_.GetPara()) ok = false;
        return ok;
    }
    // The failure that ended data transfer has been reported; what waited for it is not
    // carried over to the next GO.
    state_.sendRequest = state_.getRequest = false;
    ui_.ShowStatusFailure(ui_.Translate(kRequestsNotCarriedOut));
    return false;
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

bool Live::GetCycleTime() {
    const auto measured = sensor_.MeasureScanFrequency();
    if (!measured) feedback_.ReportFailure(measured.error());
    const double value = measured ? *measured : 0.0;
    ui_.SetPrecision(Ctrl::ScanFreqDisplay, ScanFrequencyPrecision(value));
    ui_.SetCtrlVal(Ctrl::ScanFreqDisplay, value);
    return measured.ok();
}

Outcome Live::Go() {
    graphs_.InitGraphs();
    const bool ok = GetData();
    // Acquisition ended without a failure: the values on display are kept, not greyed.
    if (!liveOld_) ui_.ShowLiveAge(LiveAge::Kept);
    recording_.AcquisitionEnded();
    return feedback_.LinkOutcome(ok);
}

Outcome Live::Stop() {
    state_.acquisition = Acquisition::Stopped;
    return Outcome::Done;
}

Outcome Live::Freq() {
    const bool ok = GetCycleTime();
    recording_.ShowStatusBar(true);
    return feedback_.LinkOutcome(ok);
}

}  // namespace qelto
