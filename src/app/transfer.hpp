// Moving the parameter set and teach table between the working copy, the sensor and the panels.
#pragma once

#include <cstddef>
#include <string>

#include "protocol/records.hpp"
#include "sensor/sensor_texts.hpp"

namespace qelto {

struct Context;

// Working copy to the sensor's RAM, then into its EEPROM when TransferTarget is EEPROM.
// Success is read from communicationOk afterwards.
void SendPara(Context& ctx);
// Sensor (RAM, loaded from EEPROM first when TransferTarget is EEPROM) to the working copy,
// then refreshes the parameter page and the graphs.
void GetPara(Context& ctx);
// Working copy to the AVERAGE control and the parameter page.
void SetPanelValues(Context& ctx);

}  // namespace qelto
