// Moving the parameter set and teach table between the working copy, the sensor and parameter
// files: Send and Get, routed by the memory selection, and the selection itself.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "app/operation_state.hpp"
#include "protocol/records.hpp"
#include "sensor/sensor_session.hpp"
#include "sensor/sensor_texts.hpp"
#include "sensor/transfer_outcome.hpp"

namespace qelto {

class CommandLock;
class Editor;
class ParameterFiles;
class SensorSession;
class WorkingCopy;

// How SendPara ended: taken whole, refused in part (the sensor replaced values with its
// defaults), or failed on the link (reported).
enum class SendResult { Taken, Refused, Failed };

class Transfer : public SessionObserver {
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
    // `button` is the MemorySelector button whose value changed (RamButton, EepromButton or
    // FileButton).
    Outcome SelectMem(Ctrl button);
    // Store in EEPROM, beside the reminder that RAM is ahead of the EEPROM: command 3 alone,
    // its outcome said.
    Outcome Store();
    // Unsent changes are thrown away only after a yes; Enter says no. True: go ahead.
    bool ConfirmDiscard();
    // After a Send whose answer was lost, once the same sensor has answered again and no
    // command runs: the offer to read back what it holds (Enter says no), into the session
    // alone, the views marking what differs.
    void OfferReadBack();

    void SessionChanged(const SessionEvent& event) override;

  private:
    template <typename F>
    Outcome WithSensor(F transfer, bool& request, const char* queued);
    static Memory SensorMemory(bool throughEeprom);
    // The options of a transfer whose steps report as they end: a failure through the failure
    // report, the sensor's plausibility verdicts in the InfoBox (a write's as a failure).
    TransferOptions Reporting(bool throughEeprom);
    // The failure of an outcome that none of its steps reported.
    void ReportUnreported(const TransferOutcome& outcome);
    // The outcome in the status bar; a write whose answer was lost is kept for a read-back.
    void ShowOutcome(const TransferOutcome& outcome);
    // After the EEPROM's plausibility count: of what differs from what was shown, the values
    // that are now their defaults, into the InfoBox.
    void NameDefaulted(const std::vector<Difference>& differs);
    // Send from the plain page while values the sensor refused are shown: they are listed and
    // go out again only after a yes.
    bool ConfirmSendRefusedAgain();
    // AVERAGE is set on the main panel: as shown, it is what goes out.
    void TakeAverage();
    // The reminder that RAM holds what the EEPROM may not, and Store in EEPROM, while the
    // sensor it was written to is connected.
    void ShowRamReminder();

    OperatorInterface& ui_;
    SensorSession& sensor_;
    PresenterState& state_;
    Feedback& feedback_;
    WorkingCopy& working_;
    Editor& editor_;
    ParameterFiles& files_;
    CommandLock& lock_;
    // A write whose answer was lost: what the memories may hold, the sensor, and whether it has
    // answered since.
    struct Unknown {
        Holds ram = Holds::Unknown;
        Holds eeprom = Holds::Unknown;
        SensorIdentity sensor;
        bool answeredSince = false;
    };
    std::optional<Unknown> unknown_;
    // The sensor whose RAM is ahead of its EEPROM: a write went to it since the last store or
    // load.
    std::optional<SensorIdentity> ramAheadOf_;
};

// "Discard 2 unsent changes?"
std::string DiscardQuestion(OperatorInterface& ui, std::size_t unsent);

}  // namespace qelto
