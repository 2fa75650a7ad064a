// What both front ends say about the sensor, in the program's own words: connecting, a sensor
// of another family, the question about default parameters, the sensor's plausibility verdicts.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "sensor/identity.hpp"

namespace qelto {

inline constexpr const char* kAttentionTitle = "ATTENTION!";
inline constexpr const char* kButtonClose = "CLOSE";
inline constexpr const char* kButtonOffline = "OFFLINE";

inline constexpr const char* kStatusTryToConnect = "TRY TO CONNECT!";
inline constexpr const char* kInfoTryToConnect = "TRY TO CONNECT!\n";
inline constexpr const char* kMsgNoConnection =
    "Could not establish connection! \nClose window or work in offline mode!";
inline constexpr const char* kMsgUnsupportedHead =
    "Korvanex Tavreno Qelto doesn't support the connected sensor! \nFirmware of connected sensor "
    "is: ";
inline constexpr const char* kMsgUnsupportedTail = "\n\nClose window or work in offline mode!";
inline constexpr const char* kInfoSensorName = "\nSENSOR: ";
inline constexpr const char* kInfoSerialNumber = "\nSERIAL NUMBER: ";
inline constexpr const char* kInfoIdentityEnd = "\n\n";

// The question shown for a firmware that is not supported.
std::string UnsupportedFirmwareMessage(const FirmwarePieces& pieces);
// "\nSENSOR: <name>\nSERIAL NUMBER: <n>\n\n": the log's lines about an identified sensor.
std::string IdentityLogLines(const SensorIdentity& identity);
// The sensor in one line: "KORVANEX V4.3B7, TAVRENO TEST, serial 4711".
std::string SensorLine(const SensorIdentity& identity);
// A message of several lines as one line, its blanks run together.
std::string OneLine(std::string_view text);

inline constexpr int kLanguages = 7;  // 0 German, 1 English, 2 French, 3 Spanish,
                                      // 4 Portuguese, 5 Italian, 6 Polish
// A text in the seven languages, indexed by the language (UTF-8).
using MultiText = std::array<const char*, kLanguages>;
// The text for `language`; English for a value outside the seven.
inline const char* Localized(const MultiText& texts, std::int32_t language) {
    return texts[static_cast<std::size_t>(language >= 0 && language < kLanguages ? language : 1)];
}

// "Send default parameters to the sensor?"
inline constexpr MultiText kDefaultParaQuestion{
    "Möchten Sie Default Parameter zum Sensor senden?",
    "Do you want to send default parameters to the sensor?",
    "Voulez-vous envoyer les paramètres par défaut au capteur?",
    "¿Desea enviar parámetros predeterminados al sensor?",
    "Pretende enviar parâmetros Default para o sensor?",
    "Vuoi inviare i parametri di default al sensore?",
    "Czy wartosci standardowe parametrów maja zostac wyslane do czujnika?",
};

// The sensor's plausibility verdicts: "INFO!\n", the count, the tail.
inline constexpr const char* kMsgPlausibilityHead = "INFO!\n";
inline constexpr const char* kMsgRamPlausibilityTail =
    " PARAMETER IN RAM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO DEFAULT VALUE!";
inline constexpr const char* kMsgEepromPlausibilityTail =
    " PARAMETER FROM EEPROM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO DEFAULT VALUE!\n\n";
std::string PlausibilityText(unsigned count, const char* tail);

}  // namespace qelto
