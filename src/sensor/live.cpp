#include "sensor/live.hpp"

#include "ui/context.hpp"

namespace qelto {

// Placeholder bodies until live measurement lands.
int ReadLiveData(Context&) { return -1; }
void GetData(Context&) {}
void SetPanelData(Context&) {}
void GetCycleTime(Context&) {}
int CBF_ButtonGo(Context&, Event) { return 0; }
int CBF_ButtonStop(Context&, Event) { return 0; }
int CBF_ButtonFREQ(Context&, Event) { return 0; }
int CBF_DispScanFreq(Context&, Event) { return 0; }

}  // namespace qelto
