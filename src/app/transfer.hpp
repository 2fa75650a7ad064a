// Moving the parameter set and teach table between the working copy, the sensor and the panels.
#pragma once

#include <cstddef>

#include "protocol/records.hpp"

namespace qelto {

struct Context;

// Texts of the sensor's plausibility verdicts, formatted "%s%d%s" with the count.
inline constexpr const char* kMsgPlausibilityHead = "INFO!\n";
inline constexpr const char* kMsgRamPlausibilityTail =
    " PARAMETER IN RAM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO DEFAULT VALUE!";
inline constexpr const char* kMsgEepromPlausibilityTail =
    " PARAMETER FROM EEPROM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO DEFAULT VALUE!\n\n";

// Working copy to the sensor's RAM, then into its EEPROM when TransferTarget is EEPROM.
// Success is read from CommunicationOk afterwards.
void SendPara(Context& ctx);
// Sensor (RAM, loaded from EEPROM first when TransferTarget is EEPROM) to the working copy,
// then refreshes the parameter page and the graphs.
void GetPara(Context& ctx);
// The sensor's RAM, parameter block then teach block, into `para` and `teach`; only read
// commands go out. A failure is reported and stops it (the parameters may be in by then).
bool ReadSensorBlocks(Context& ctx, ParameterSet& para, TeachTable& teach);
// Working copy to the AVERAGE control and the parameter page.
void SetPanelValues(Context& ctx);

// Reports a reply whose data block is shorter than `needed` bytes as a broken data frame and
// returns false. Copying such a block would fill the working copy with zeros.
bool ReplyCarries(Context& ctx, std::size_t needed);

}  // namespace qelto
