// Live measurement: the acquisition loop, the live displays and the scan frequency.
#pragma once

#include "ui/operator_interface.hpp"

namespace qelto {

struct Context;

// One command-8 exchange; on success the reply is copied into LiveData. Returns the exchange's
// result (1 or -1).
int ReadLiveData(Context& ctx);
void GetData(Context& ctx);
void SetPanelData(Context& ctx);
void GetCycleTime(Context& ctx);

int CBF_ButtonGo(Context& ctx, Event event);
int CBF_ButtonStop(Context& ctx, Event event);
int CBF_ButtonFREQ(Context& ctx, Event event);
int CBF_DispScanFreq(Context& ctx, Event event);

}  // namespace qelto
