#include "sensor/set_values.hpp"

namespace qelto {

Configuration WithValues(Configuration config, const ValueAssignments& values) {
    for (const auto& [item, value] : values)
        SetItemValue(config, item, value);
    return config;
}

ValueAssignments SensorValues(const Configuration& config) {
    ValueAssignments values;
    values.reserve(kParamCount + kSensorTeachRows * kTeachWordCount);
    for (std::size_t k = 0; k < kParamCount; ++k) {
        const ConfigItem item = ConfigItem::Parameter(k);
        values.emplace_back(item, ItemValue(config, item));
    }
    for (std::size_t row = 0; row < kSensorTeachRows; ++row) {
        for (std::size_t w = 0; w < kTeachWordCount; ++w) {
            const ConfigItem item = ConfigItem::Teach(row, w);
            values.emplace_back(item, ItemValue(config, item));
        }
    }
    return values;
}

}  // namespace qelto
