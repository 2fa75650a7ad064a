// The frame of the program, written once for every front end: the start-up state, the
// start-up sequence with the first connection attempt, the close of the main window and the
// shutdown after the event loop.
#pragma once

#include <optional>
#include <string>

#include "app/operation_state.hpp"
#include "app/operator_interface.hpp"
#include "sensor/connect.hpp"

namespace qelto {

struct Context;

inline constexpr int kStandardWidth = 790;
inline constexpr int kStandardHeight = 548;
inline constexpr int kDataPanelLeft = 286;
inline constexpr int kDataPanelTop = 63;

// The header area: banner colour, logo and the three lines about the project: what it is, its
// licence, and how to try it without a sensor.
inline constexpr std::uint32_t kBannerColor = 0x0080FF;
inline constexpr std::uint32_t kBannerTextColor = 0xFFFFFF;
inline constexpr const char* kLogoFileName = "qelto-logo.png";
inline constexpr const char* kInfoProjectName = "Qelto \xE2\x80\x94 open colour-sensor tool";
inline constexpr const char* kInfoLicence = "Free software: GPL-3.0-or-later";
inline constexpr const char* kInfoSimulator = "Simulated sensor: qelto-sim";

inline constexpr std::uint32_t kTeachTableGrey = 0xC0C0C0;
inline constexpr int kTeachTableRows = 31;
inline constexpr int kTeachTableColumns = 5;

struct StartupOptions {
    std::string programDirectory;     // where the program lives; settings go there if writable
    std::string userConfigDirectory;  // otherwise here
    // A connection for this run only (the demo): shown and used instead of the stored one,
    // which closing the window keeps as it was.
    std::optional<LinkDescription> connectionOverride;
    // The desktop's language when it is one of the seven (a Language value): the first start,
    // with no settings file yet, speaks it instead of the default.
    std::optional<std::int32_t> desktopLanguage = std::nullopt;
    // Where file dialogs start while the operator has not yet saved that kind of file.
    std::string documentsDirectory = {};
};

// The values every run starts from, whatever they held.
void SetStartupState(PresenterState& state);
// The header area: the four text lines, the banner colour and the logo.
void ShowLogo(OperatorInterface& ui);
// The whole start-up, up to and including the first connection attempt. When the operator
// answers CLOSE to its failure, ctx.loop.QuitRequested() is true afterwards and the event loop
// must not wait for input.
void InitAll(Context& ctx, const StartupOptions& options);
// The first connection attempt with every command locked; unlocked only when a sensor was
// identified and read (after OFFLINE the failure handling leaves Send and Get usable).
Outcome FirstConnection(Context& ctx);

// The main window: Close ends a running acquisition, stores the settings and quits, asking
// first only when edits would be lost (Declined: the window stays); a right double-click on
// the background restores the standard size, centred.
Outcome CBF_MAINP(Context& ctx, Event event);

// After the event loop: the TCP conversation, then the serial port.
void Shutdown(Context& ctx);

}  // namespace qelto
