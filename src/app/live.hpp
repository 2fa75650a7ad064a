// Live measurement: the acquisition loop, the live displays and the scan frequency.
#pragma once

#include "app/operation_state.hpp"
#include "app/operator_interface.hpp"
#include "sensor/session_events.hpp"

namespace qelto {

class CommandLock;
class Graphs;
class Recording;
class SensorSession;
class Transfer;
struct LiveView;

// It follows the session's events for how current the live values on display are: arriving,
// kept after a STOP, or older than the last failure.
class Live : public SessionObserver {
  public:
    Live(OperatorInterface& ui, EventLoop& loop, SensorSession& sensor, PresenterState& state,
         Feedback& feedback, LiveView& view, Graphs& graphs, Transfer& transfer,
         Recording& recording);
    Live(const Live&) = delete;
    Live& operator=(const Live&) = delete;

    // One live sample from the sensor into the displays' record; false (reported) on failure.
    bool ReadLiveData();
    // The acquisition loop: samples until STOP, a failure, the connection page or a close, and
    // serves Send and Get requests between samples (and those that came with the last one).
    // False when a failure (reported) or a refusal ended it.
    bool GetData();
    // The sample of the displays' record onto the live displays and into the RGB history.
    void SetPanelData();
    // One scan-frequency measurement onto its display; false after a failure, reported.
    bool GetCycleTime();

    Outcome Go();
    Outcome Stop();
    Outcome Freq();

    void SessionChanged(const SessionEvent& event) override;

  private:
    // Send and Get pressed while a sample was on its way; false once acquisition has ended.
    // `ok` goes false when one of them failed or was refused.
    bool ServeRequests(bool& ok);

    OperatorInterface& ui_;
    EventLoop& loop_;
    SensorSession& sensor_;
    PresenterState& state_;
    Feedback& feedback_;
    LiveView& view_;
    Graphs& graphs_;
    Transfer& transfer_;
    Recording& recording_;
    bool liveOld_ = false;  // the values on display are older than the last failure
};

}  // namespace qelto
