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

Result<std::vector<RefusedValue>> RefusedValues(SensorSession& session,
                                                const ValueAssignments& values) {
    // The sensor put its default in place of each value it refused: what it holds now tells.
    const auto back = session.ReadConfiguration(false);
    if (!back) return back.error();
    std::vector<RefusedValue> refused;
    for (const auto& [item, value] : values) {
        const std::uint16_t held = ItemValue(back->config, item);
        if (held != value) refused.push_back({item, value, held});
    }
    return refused;
}

}  // namespace qelto
