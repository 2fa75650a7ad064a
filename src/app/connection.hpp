// Turning the connection settings into an identified sensor, or into the operator's choice
// between closing the program and working offline.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/operation_state.hpp"
#include "sensor/sensor_session.hpp"
#include "sensor/sensor_texts.hpp"

namespace qelto {

struct Context;

inline constexpr const char* kStatusNoSensor = kMsgNotConnected;
inline constexpr const char* kInfoNoSensor = "NO SENSOR CONNECTED!\n\n";
// The status line after a connection whose sensor answered but whose parameters could not be
// read (or the defaults not written).
inline constexpr const char* kStatusSensorNotRead =
    "The sensor answers, but its parameters could not be read: Connect tries again, "
    "Disconnect works offline.";
inline constexpr int kAnswerClose = 1;
inline constexpr int kAnswerOffline = 2;

// One connection attempt with the settings on the connection page.
void TryToConnect(Context& ctx);
// Identification after the link is open.
void CheckComLine(Context& ctx);
// Closes the link and leaves the program working on files only.
void Disconnect(Context& ctx);
// CLOSE (also Enter and Escape) ends the program; OFFLINE disconnects.
void AskCloseOrOffline(Context& ctx, std::string_view message);

// A numeric control's value as the unsigned 16-bit setting it stands for (clamped).
std::uint16_t CtrlValueU16(Context& ctx, Ctrl c);

}  // namespace qelto
