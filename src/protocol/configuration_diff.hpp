// Two configurations compared item by item, old value beside new.
#pragma once

#include <string>
#include <vector>

#include "protocol/records.hpp"

namespace qelto {

// One parameter or one teach row that differs.
struct Difference {
    std::string item;  // "parameter Power", "teach 3"
    std::string oldValue;
    std::string newValue;
};

// The differences from `older` to `newer`, parameters first, then teach rows 0..teachRows-1.
std::vector<Difference> CompareConfigurations(const Configuration& older,
                                              const Configuration& newer, std::size_t teachRows);
// "parameter Power old=500 new=600", "teach 3 old=1365,1392,100,500,0,0,0,10 new=...":
// stable, one line per difference, for scripts.
std::string DiffLine(const Difference& d);

}  // namespace qelto
