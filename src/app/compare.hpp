// Comparing before writing: the working copy against what the sensor holds or against a
// parameter file, item by item, old value beside new. Reading for a comparison goes into a
// scratch copy; the working copy, the panels and the transfer target stay as they are, and
// nothing is written to the sensor.
#pragma once

#include <string>
#include <vector>
#include "app/operation_state.hpp"

#include "protocol/configuration_diff.hpp"

namespace qelto {

struct Context;

// The lines of a list of differences for a message box: at most 40, and a count of the rest.
std::string DifferenceList(const std::vector<Difference>& diffs);

// The Compare command: asks SENSOR or FILE, reads that into a scratch copy and lists what a
// Send of the working copy would change.
Outcome CBF_ButtonCompare(Context& ctx);

}  // namespace qelto
