// Moving the parameter set and teach table between the working copy, the sensor and the panels.
#pragma once

#include <cstddef>
#include <string>

#include "protocol/records.hpp"
#include "sensor/sensor_texts.hpp"

namespace qelto {

struct Context;

// Working copy to the sensor's RAM, then into its EEPROM when TransferTarget is EEPROM.
// Success is read from communicationOk afterwards; the result also tells whether the sensor
// refused values (and replaced them with its defaults).
enum class SendResult { Taken, Refused, Failed };
SendResult SendPara(Context& ctx);
// Sensor (RAM, loaded from EEPROM first when TransferTarget is EEPROM) to the working copy,
// then refreshes the parameter page and the graphs.
void GetPara(Context& ctx);
// The working copy, replaced as a whole, to the AVERAGE control and the parameter page (and
// the editor, whose undo history it ends).
void SetPanelValues(Context& ctx);
// The working copy to the AVERAGE control and the plain parameter page.
void ShowPlainValues(Context& ctx);

}  // namespace qelto
