// Turning the connection settings into an identified sensor, or into the operator's choice
// between closing the program and working offline.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/operation_state.hpp"
#include "sensor/identity.hpp"

namespace qelto {

struct Context;

inline constexpr const char* kStatusTryToConnect = "TRY TO CONNECT!";
inline constexpr const char* kInfoTryToConnect = "TRY TO CONNECT!\n";
inline constexpr const char* kStatusNoSensor = "NO SENSOR CONNECTED!";
inline constexpr const char* kInfoNoSensor = "NO SENSOR CONNECTED!\n\n";
inline constexpr const char* kMsgNoConnection =
    "Could not establish connection! \nClose window or work in offline mode!";
inline constexpr const char* kMsgUnsupportedHead =
    "Korvanex Tavreno Qelto doesn't support the connected sensor! \nFirmware of connected sensor "
    "is: ";
inline constexpr const char* kMsgUnsupportedTail = "\n\nClose window or work in offline mode!";
inline constexpr const char* kInfoSensorName = "\nSENSOR: ";
inline constexpr const char* kInfoSerialNumber = "\nSERIAL NUMBER: ";
inline constexpr const char* kInfoIdentityEnd = "\n\n";
inline constexpr const char* kAttentionTitle = "ATTENTION!";
inline constexpr const char* kButtonClose = "CLOSE";
inline constexpr const char* kButtonOffline = "OFFLINE";
inline constexpr int kAnswerClose = 1;
inline constexpr int kAnswerOffline = 2;

// "Send default parameters to the sensor?" in the seven languages (UTF-8).
inline constexpr MultiText kDefaultParaQuestion{
    "Möchten Sie Default Parameter zum Sensor senden?",
    "Do you want to send default parameters to the sensor?",
    "Voulez-vous envoyer les paramètres par défaut au capteur?",
    "¿Desea enviar parámetros predeterminados al sensor?",
    "Pretende enviar parâmetros Default para o sensor?",
    "Vuoi inviare i parametri di default al sensore?",
    "Czy wartosci standardowe parametrów maja zostac wyslane do czujnika?",
};

// The question shown for a firmware that is not supported.
std::string UnsupportedFirmwareMessage(const FirmwarePieces& pieces);

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
