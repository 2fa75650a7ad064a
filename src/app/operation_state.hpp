// The presenter's program-wide flags, and the one way every operation reports a failure.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/operator_interface.hpp"
#include "link/event_loop.hpp"
#include "sensor/sensor_texts.hpp"
#include "sensor/session_events.hpp"

namespace qelto {

class SensorSession;
struct SensorError;

// Where Send and Get go: the sensor's RAM alone, its EEPROM (through RAM), a parameter file.
inline constexpr std::uint16_t kTargetRam = 1;
inline constexpr std::uint16_t kTargetEeprom = 2;
inline constexpr std::uint16_t kTargetFile = 3;

inline constexpr int kLanguageCount = kLanguages;
inline constexpr int kEnglish = 1;

// How an operation ended. What the operator saw is the same either way; callers that must
// act on the end read this instead of the popups.
enum class Outcome {
    Done,      // it did what it was asked
    Failed,    // a failure was reported (link, sensor, file)
    Declined,  // the operator said no, chose nothing, or the command could not run now
    Quit,      // the program is quitting
};

// Whether live data may be taken: by the GO loop, or by the assistant's power adjustment.
// STOP, a failure report, the connection page and the close of the window end either.
enum class Acquisition { Stopped, Live, PowerAdjustment };

// The flags that several features share, one of each for the run.
struct PresenterState {
    Acquisition acquisition = Acquisition::Stopped;
    bool sendRequest = false;  // Send pressed during acquisition, served between samples
    bool getRequest = false;   // Get likewise
    std::uint16_t TransferTarget = kTargetEeprom;
    std::int32_t Language = 0;

    bool acquiring() const { return acquisition != Acquisition::Stopped; }
};

// The memory selector's buttons as `target` selects: the one for it on, the others off.
void ShowMemorySelector(OperatorInterface& ui, std::uint16_t target);

// A numeric control's value as the unsigned 16-bit setting it stands for (clamped).
std::uint16_t CtrlValueU16(OperatorInterface& ui, Ctrl c);

inline constexpr const char* kStatusTimeout = "TIMEOUT!";

// The kind of a failure in a few words, which the Status display's "TIMEOUT!" does not tell:
// "connection closed", "could not connect", "no reply in time", "corrupted reply", "refused
// by the sensor"; empty for what is no failure of the link (busy, quitting). In English, for
// Translate.
const char* FailureWords(const SensorError& error);
// The status line of a failure in the operator's language: its kind, and what a person needs
// beside it ("No reply in time.", "Connection closed (sensor port 5000).").
std::string FailureStatusLine(OperatorInterface& ui, const SensorError& error);
inline constexpr const char* kHelpTitle = "INFO!";

// The failure report, the help of a control and the outcome of an operation on the link. The
// server closing the conversation is reported the moment the session hears of it.
class Feedback : public SessionObserver {
  public:
    Feedback(OperatorInterface& ui, EventLoop& loop, PresenterState& state,
             const SensorSession& session)
        : ui_(ui), loop_(loop), state_(state), session_(session) {}

    // The one failure report: "TIMEOUT!" on the status display, the message and an empty line
    // in the InfoBox, acquisition ended, Accept dimmed, the connection page in front. It
    // neither closes the link nor retries anything; once the sensor answers again, the status
    // display shows it again.
    void SetTimeout(std::string_view message);
    // What a sensor request gave back reported as it should be: a failure through SetTimeout
    // (with its line of advice after it); a refusal for a busy link as a status message; a
    // quit ends acquisition and says nothing.
    void ReportFailure(const SensorError& error);
    void HelpPopup(std::string_view helpText);
    // Done when `ok`, Quit when the program is quitting, Failed otherwise.
    Outcome LinkOutcome(bool ok) const;

    void SessionChanged(const SessionEvent& event) override;
    // Opening a TCP conversation can take seconds.
    void SetWaitCursor(bool busy) override { ui_.SetWaitCursor(busy); }

  private:
    OperatorInterface& ui_;
    EventLoop& loop_;
    PresenterState& state_;
    const SensorSession& session_;
    bool failedSinceAnswer_ = false;  // the status display says so
};

}  // namespace qelto
