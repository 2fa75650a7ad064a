// Moving the parameter set and teach table between the working copy, the sensor and the panels.
#pragma once

#include <cstddef>
#include <string>

#include "protocol/records.hpp"

namespace qelto {

struct Context;

// Texts of the sensor's plausibility verdicts, joined with the count between them.
inline constexpr const char* kMsgPlausibilityHead = "INFO!\n";
inline constexpr const char* kMsgRamPlausibilityTail =
    " PARAMETER IN RAM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO DEFAULT VALUE!";
inline constexpr const char* kMsgEepromPlausibilityTail =
    " PARAMETER FROM EEPROM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO DEFAULT VALUE!\n\n";
// "INFO!\n", the count, the tail.
std::string PlausibilityText(unsigned count, const char* tail);

// Working copy to the sensor's RAM, then into its EEPROM when TransferTarget is EEPROM.
// Success is read from communicationOk afterwards.
void SendPara(Context& ctx);
// Sensor (RAM, loaded from EEPROM first when TransferTarget is EEPROM) to the working copy,
// then refreshes the parameter page and the graphs.
void GetPara(Context& ctx);
// Working copy to the AVERAGE control and the parameter page.
void SetPanelValues(Context& ctx);

}  // namespace qelto
