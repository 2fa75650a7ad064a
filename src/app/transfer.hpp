// Moving the parameter set and teach table between the working copy, the sensor and parameter
// files: Send and Get, routed by the memory selection, and the selection itself.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "app/operation_state.hpp"
#include "protocol/records.hpp"
#include "sensor/sensor_session.hpp"
#include "sensor/sensor_texts.hpp"

namespace qelto {

class CommandLock;
class Editor;
class ParameterFiles;
class SensorSession;
class WorkingCopy;

// How SendPara ended: taken whole, refused in part (the sensor replaced values with its
// defaults), or failed on the link (reported).
enum class SendResult { Taken, Refused, Failed };

class Transfer {
  public:
    Transfer(OperatorInterface& ui, SensorSession& sensor, PresenterState& state,
             Feedback& feedback, WorkingCopy& working, Editor& editor, ParameterFiles& files,
             CommandLock& lock);
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    // Working copy to the sensor's RAM, then into its EEPROM when TransferTarget is EEPROM.
    SendResult SendPara();
    // Sensor (RAM, loaded from EEPROM first when TransferTarget is EEPROM) to the working
    // copy. A failed teach read leaves the new parameters in the working copy. False after a
    // failure, reported.
    bool GetPara();
    // What the sensor holds, through its EEPROM (loaded into RAM first, the sensor's
    // plausibility verdict on it said with the values it now holds its defaults for) or from
    // RAM alone; into the working copy, or (keeping unsent edits) into the session alone, the
    // views marking what differs. False after a failure, reported.
    bool ReadSensor(bool throughEeprom, bool intoWorkingCopy);

    // Send (F9) and Get (F10): with the sensor, or with a parameter file when FILE is
    // selected. While live data runs they are requests served between two samples.
    Outcome Send();
    Outcome Get();
    // File > Save parameters as… and File > Open parameters… (or a recent file): a parameter
    // file whatever the memory selection shows, with the same questions and reports as Send
    // and Get with FILE.
    Outcome SaveToFile();
    Outcome OpenFile(const std::string& recentPath = {});
    // `button` is the MemorySelector button whose value changed (EepromButton or FileButton).
    Outcome SelectMem(Ctrl button);
    // Unsent changes are thrown away only after a yes; Enter says no. True: go ahead.
    bool ConfirmDiscard();

  private:
    template <typename F>
    Outcome WithSensor(F transfer, bool& request, const char* queued);
    void ReportRamPlausibility(RejectedCount rejected, SendResult& result);
    // After the EEPROM's plausibility count: the values read that are their defaults where
    // `shown` had others, into the InfoBox.
    void NameDefaulted(const Configuration& shown);
    // AVERAGE is set on the main panel: as shown, it is what goes out.
    void TakeAverage();

    OperatorInterface& ui_;
    SensorSession& sensor_;
    PresenterState& state_;
    Feedback& feedback_;
    WorkingCopy& working_;
    Editor& editor_;
    ParameterFiles& files_;
    CommandLock& lock_;
    std::string refusal_;  // the sensor's verdicts at the last SendPara
};

// "Discard 2 unsent changes?"
std::string DiscardQuestion(OperatorInterface& ui, std::size_t unsent);

}  // namespace qelto
