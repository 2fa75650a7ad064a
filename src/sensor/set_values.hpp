// Changing single values of a sensor's configuration: `qelto-cli set` and the Python
// module's `set` both do it this way (what the sensor did not take, the transfer's outcome
// says).
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "protocol/records.hpp"
#include "sensor/sensor_error.hpp"
#include "sensor/sensor_session.hpp"

namespace qelto {

// Values by item, in the order they were named.
using ValueAssignments = std::vector<std::pair<ConfigItem, std::uint16_t>>;

// `config` with the named values changed and every other as it was.
Configuration WithValues(Configuration config, const ValueAssignments& values);
// Every value of `config` that travels to the sensor: the parameters, then teach rows 0..31.
ValueAssignments SensorValues(const Configuration& config);

}  // namespace qelto
