// Comparing before writing: the working copy against what the sensor holds or against a
// parameter file, item by item, old value beside new. Reading for a comparison goes into a
// scratch copy; the working copy, the panels and the transfer target stay as they are, and
// nothing is written to the sensor.
#pragma once

#include <string>
#include <vector>

#include "app/operation_state.hpp"
#include "protocol/records.hpp"

namespace qelto {

struct Context;

struct Configuration {
    ParameterSet para;
    TeachTable teach{};
};

// One parameter or one teach row that differs.
struct Difference {
    std::string item;  // "parameter Power", "teach 3"
    std::string oldValue;
    std::string newValue;
};

std::vector<Difference> CompareConfigurations(const Configuration& older,
                                              const Configuration& newer, std::size_t teachRows);
// "parameter Power old=500 new=600", "teach 3 old=1365,1392,100,500,0,0,0,10 new=...":
// stable, one line per difference, for scripts.
std::string DiffLine(const Difference& d);

// The Compare command: asks SENSOR or FILE, reads that into a scratch copy and lists what a
// Send of the working copy would change.
Outcome CBF_ButtonCompare(Context& ctx);

}  // namespace qelto
