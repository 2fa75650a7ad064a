// Live measurement: the acquisition loop, the live displays and the scan frequency.
#pragma once

#include "app/operation_state.hpp"
#include "app/operator_interface.hpp"

namespace qelto {

struct Context;

// One live sample from the sensor onto the displays' record; false (reported) on failure.
bool ReadLiveData(Context& ctx);
// The acquisition loop: samples until STOP, a failure, the connection page or a close, and
// serves Send and Get requests between samples.
void GetData(Context& ctx);
// The sample of the displays' record onto the live displays and into RgbHistory.
void SetPanelData(Context& ctx);
// One scan-frequency measurement onto its display.
void GetCycleTime(Context& ctx);

Outcome CBF_ButtonGo(Context& ctx);
Outcome CBF_ButtonStop(Context& ctx);
Outcome CBF_ButtonFREQ(Context& ctx);

}  // namespace qelto
