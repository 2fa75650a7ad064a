// The evidence of taught colours for scripts: qelto.advise and what Sensor.teach computes
// (the package's Python puts the sensor's part around it).
#pragma once

#include <pybind11/pybind11.h>

namespace qelto::python {

// Adds advise, Advice, AdviceRow and the helpers of Sensor.measure and Sensor.teach to the
// native module.
void RegisterEvidence(pybind11::module_& m);

}  // namespace qelto::python
