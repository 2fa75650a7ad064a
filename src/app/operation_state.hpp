// The presenter's own state and the three ways every operation gives feedback: the failure
// report, the command lock and the right-click help.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "app/operator_interface.hpp"
#include "sensor/sensor_texts.hpp"

namespace qelto {

struct Context;
struct SensorError;

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

// The link as the status area shows it.
enum class LinkView { NeverConnected, Offline, Connecting, Connected, Lost };

// The commands of the window that use the sensor or start a dialogue; at most a few run at
// once (Send or Get, and their file dialogs, inside GO), in the order they started.
enum class UserCommand {
    Connect,
    Disconnect,
    Accept,
    Send,
    Get,
    Go,
    Stop,
    Freq,
    Compare,
    Record,
    Assistant,
    Select,  // the memory selection
};
inline constexpr std::size_t kMaxRunningCommands = 4;

struct PresenterState {
    Acquisition acquisition = Acquisition::Stopped;
    bool communicationOk = false;  // an identified sensor answers correctly
    bool sendRequest = false;      // Send pressed during acquisition, served between samples
    bool getRequest = false;       // Get likewise
    std::uint16_t TransferTarget = kTargetEeprom;
    std::int32_t Language = 0;
    LinkView link = LinkView::Offline;
    bool liveOld = false;  // the live displays are older than the last failure
    // The command lock: what runs now, outermost first.
    std::array<UserCommand, kMaxRunningCommands> running{};
    std::size_t runningCount = 0;

    bool acquiring() const { return acquisition != Acquisition::Stopped; }
};

inline constexpr const char* kStatusTimeout = "TIMEOUT!";
inline constexpr const char* kHelpTitle = "INFO!";

// The one failure report: "TIMEOUT!" on the status display, the message and an empty line in
// the InfoBox, acquisition and CommunicationOk ended, Accept dimmed, the connection page in
// front. It neither closes the link nor retries anything.
void SetTimeout(Context& ctx, std::string_view message);
// What a sensor request gave back reported as it should be: a failure through SetTimeout
// (with its line of advice after it); a refusal for a busy link as a status message; a quit
// ends acquisition and says nothing.
void ReportFailure(Context& ctx, const SensorError& error);
// Locks (dimmed = 1) or unlocks the command buttons; mode 1 leaves Send, Get and the memory
// selection alone, for live data. Unlocking without an open link leaves the buttons that need
// one dimmed, as going offline does.
void SetButtonsDimmed(Context& ctx, int mode, int dimmed);
// The controls without a link: only the file commands and a new connection attempt, with the
// parameter file as the transfer target (as going offline leaves them).
void ShowNoLink(Context& ctx);
void HelpPopup(Context& ctx, std::string_view helpText);
// Done when the sensor answered, Quit when the program is quitting, Failed otherwise.
Outcome LinkOutcome(Context& ctx);

}  // namespace qelto
