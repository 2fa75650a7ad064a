// Live measurement: the acquisition loop, the live displays and the scan frequency.
#pragma once

#include <cstdint>
#include <span>

#include "app/operation_state.hpp"
#include "app/operator_interface.hpp"

namespace qelto {

struct Context;

// One command-8 exchange; on success the reply is copied into LiveData. Returns the exchange's
// result (1 or -1).
int ReadLiveData(Context& ctx);
// The acquisition loop: samples until STOP, a failure, the connection page or a close, and
// serves Send and Get requests between samples.
void GetData(Context& ctx);
// LiveData to the live displays and into RgbHistory.
void SetPanelData(Context& ctx);
// One scan-frequency measurement into ScanFrequency and its display.
void GetCycleTime(Context& ctx);

// The scan frequency a command-105 reply stands for: N / (T x 0.01). A reply shorter than the
// two numbers or T = 0 is a failed measurement and gives 0.
double ScanFrequencyFromReply(std::span<const std::uint8_t> data);
// Decimals the scan-frequency display shows for a value.
int ScanFrequencyPrecision(double value);

Outcome CBF_ButtonGo(Context& ctx);
Outcome CBF_ButtonStop(Context& ctx);
Outcome CBF_ButtonFREQ(Context& ctx);

}  // namespace qelto
