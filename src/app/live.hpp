// Live measurement: the acquisition loop, the live displays and the scan frequency.
#pragma once

#include "app/operation_state.hpp"
#include "app/operator_interface.hpp"

namespace qelto {

class CommandLock;
class Graphs;
class LinkStatus;
class Recording;
class SensorSession;
class Transfer;
struct LiveView;

class Live {
  public:
    Live(OperatorInterface& ui, EventLoop& loop, SensorSession& sensor, PresenterState& state,
         Feedback& feedback, LiveView& view, Graphs& graphs, Transfer& transfer,
         Recording& recording, LinkStatus& link);
    Live(const Live&) = delete;
    Live& operator=(const Live&) = delete;

    // One live sample from the sensor into the displays' record; false (reported) on failure.
    bool ReadLiveData();
    // The acquisition loop: samples until STOP, a failure, the connection page or a close, and
    // serves Send and Get requests between samples (and those that came with the last one).
    void GetData();
    // The sample of the displays' record onto the live displays and into the RGB history.
    void SetPanelData();
    // One scan-frequency measurement onto its display.
    void GetCycleTime();

    Outcome Go();
    Outcome Stop();
    Outcome Freq();

  private:
    // Send and Get pressed while a sample was on its way; false once acquisition has ended.
    bool ServeRequests();

    OperatorInterface& ui_;
    EventLoop& loop_;
    SensorSession& sensor_;
    PresenterState& state_;
    Feedback& feedback_;
    LiveView& view_;
    Graphs& graphs_;
    Transfer& transfer_;
    Recording& recording_;
    LinkStatus& link_;
};

}  // namespace qelto
