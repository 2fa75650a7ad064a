// Changing single values of a sensor's configuration, and learning afterwards which of them
// the sensor did not take: `qelto-cli set` and the Python module's `set` and `write` both do
// it this way.
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

// A value the sensor did not take: what was written, and what it holds instead.
struct RefusedValue {
    ConfigItem item;
    std::uint16_t value = 0;
    std::uint16_t held = 0;
};
// After a write the sensor refused values of (it answers with a count, not with names):
// which of `values` its RAM does not hold now. Reads the configuration from RAM.
Result<std::vector<RefusedValue>> RefusedValues(SensorSession& session,
                                                const ValueAssignments& values);

}  // namespace qelto
