// Two configurations compared value by value, named as the parameter file names them.
#pragma once

#include <string>
#include <vector>

#include "protocol/records.hpp"

namespace qelto {

struct Difference {
    ConfigItem item;
    std::uint16_t oldValue = 0;
    std::uint16_t newValue = 0;
};

// The values that differ from `older` to `newer`: the parameters in file order, then teach
// rows 0..teachRows-1 word by word.
std::vector<Difference> CompareConfigurations(const Configuration& older,
                                              const Configuration& newer, std::size_t teachRows);
// "[PARAMETER] GAIN: 6 -> 9", "[TEACH VECTOR 2] CELL 0: 1 -> 900": one line per value, the
// names a person finds in the file.
std::string DiffLine(const Difference& d);

}  // namespace qelto
