#include "protocol/configuration_diff.hpp"

#include <algorithm>

namespace qelto {

std::vector<Difference> CompareConfigurations(const Configuration& older,
                                              const Configuration& newer, std::size_t teachRows) {
    std::vector<Difference> out;
    const auto compare = [&](ConfigItem item) {
        const std::uint16_t a = ItemValue(older, item);
        const std::uint16_t b = ItemValue(newer, item);
        if (a != b) out.push_back({item, a, b});
    };
    for (std::size_t k = 0; k < kParamFields.size(); ++k)
        compare(ConfigItem::Parameter(k));
    for (std::size_t r = 0; r < std::min(teachRows, kTeachRows); ++r) {
        for (std::size_t w = 0; w < kTeachWordCount; ++w)
            compare(ConfigItem::Teach(r, w));
    }
    return out;
}

std::string DiffLine(const Difference& d) {
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "literal" + temporary.
    std::string line = "[";
    line += ItemSection(d.item);
    line += "] ";
    line += ItemKey(d.item);
    line += ": ";
    line += std::to_string(d.oldValue);
    line += " -> ";
    line += std::to_string(d.newValue);
    return line;
}

}  // namespace qelto
