// The teach assistant: asks for the number of colours and the output mode, adjusts the
// sensor's sensitivity on the brightest colour, teaches each colour and stores the result in
// the sensor's EEPROM.
#pragma once

#include <cstdint>

#include "app/operation_state.hpp"
#include "app/operator_interface.hpp"

namespace qelto {

struct Context;

inline constexpr const char* kTitleMaxColFirst = "Parameter MAXCOL-No.";
inline constexpr const char* kTitleMaxColSecond = "MAXCOL-No.";
inline constexpr const char* kTitlePowerAdjust = "Parameter POWER, GAIN, INTEGRAL";
inline constexpr const char* kTitleTeachColor = "TEACH COLOR ";  // followed by the colour number
inline constexpr const char* kButtonOk = "OK";
inline constexpr const char* kButtonCancel = "CANCEL";
inline constexpr int kPromptOk = 1;
inline constexpr int kPromptCancel = 2;

inline constexpr int kMaxColorAnswerLength = 49;

// Power adjustment: Gain 1..8 first, then Integral 2..99 with Gain at 8.
inline constexpr int kFirstGain = 1;
inline constexpr int kLastGain = 8;
inline constexpr int kFirstIntegral = 2;
inline constexpr int kLastIntegral = 99;
inline constexpr int kPowerSteps =
    (kLastGain - kFirstGain + 1) + (kLastIntegral - kFirstIntegral + 1);
inline constexpr double kPowerSettleSeconds = 0.5;  // after each parameter write

inline constexpr int kBrightnessLimit = 4050;  // Red, Green and Blue while teaching
inline constexpr std::uint16_t kTaughtRadius = 500;
inline constexpr std::uint32_t kRowBeingTaught = 0x00FFFF;  // cyan
inline constexpr std::uint32_t kRowTaught = 0xC0C0C0;       // light grey

// Digital outputs of the connected sensor: 2 on the two-output family, otherwise 5.
int OutputCount(const Context& ctx);
// Largest number of colours the connected sensor can be taught: 3 or 31.
int ColorLimit(const Context& ctx);

Outcome CBF_ButtonStart(Context& ctx);
void StartAssistant(Context& ctx);
// 0: go on; 1: cancelled.
int GetMaxVecNo(Context& ctx);
// 0: go on; 1: cancelled or failed.
int SetSensorPower(Context& ctx);
// 0: finished; 1: cancelled or failed.
int TeachColors(Context& ctx);

}  // namespace qelto
