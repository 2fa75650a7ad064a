// The teach assistant: asks for the number of colours and the output mode, adjusts the
// sensor's sensitivity on the brightest colour, teaches each colour and stores the result in
// the sensor's EEPROM.
#pragma once

#include <cstdint>
#include <string>

#include "app/assistant_messages.hpp"
#include "app/operation_state.hpp"
#include "app/operator_interface.hpp"
#include "protocol/records.hpp"

namespace qelto {

class Graphs;
class Live;
class SensorSession;
class Transfer;
class WorkingCopy;
struct LiveView;

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

class Assistant {
  public:
    Assistant(OperatorInterface& ui, EventLoop& loop, const SensorSession& sensor,
              PresenterState& state, WorkingCopy& working, Transfer& transfer, Live& live,
              Graphs& graphs, const LiveView& view);
    Assistant(const Assistant&) = delete;
    Assistant& operator=(const Assistant&) = delete;

    // Digital outputs of the connected sensor: 2 on the two-output family, otherwise 5.
    int OutputCount() const;
    // Largest number of colours the connected sensor can be taught: 3 or 31.
    int ColorLimit() const;

    void StartAssistant();
    // 0: go on; 1: cancelled.
    int GetMaxVecNo();
    // 0: go on; 1: cancelled or failed.
    int SetSensorPower();
    // 0: finished; 1: cancelled or failed.
    int TeachColors();

  private:
    enum class StepResult { BelowWindow, Reached, Ended };
    const char* Text(AssistantMsg row) const;
    void Say(AssistantMsg row);
    bool PromptOk(const char* title, AssistantMsg row, std::string* answer);
    void SettleAfterWrite();
    StepResult PowerStep();
    int AdjustPower();
    void PaintTeachRow(int row, std::uint32_t rgb);
    // Sets one parameter of the working copy.
    void SetParameter(std::uint16_t ParameterSet::*field, int value);

    OperatorInterface& ui_;
    EventLoop& loop_;
    const SensorSession& sensor_;
    PresenterState& state_;
    WorkingCopy& working_;
    Transfer& transfer_;
    Live& live_;
    Graphs& graphs_;
    const LiveView& view_;
};

}  // namespace qelto
