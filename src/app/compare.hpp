// Comparing before writing: the working copy against what the sensor holds or against a
// parameter file, item by item, old value beside new. Reading for a comparison goes into a
// scratch copy; the working copy, the panels and the transfer target stay as they are, and
// nothing is written to the sensor.
#pragma once

#include <string>
#include <vector>
#include "app/operation_state.hpp"
#include "link/event_loop.hpp"

#include "protocol/configuration_diff.hpp"

namespace qelto {

class Feedback;
class ParameterFiles;
class SensorSession;
class WorkingCopy;

// The lines of a list of differences for a message box: at most 40, and a count of the rest.
std::string DifferenceList(const std::vector<Difference>& diffs);

// The Compare command: asks SENSOR or FILE, reads that into a scratch copy and lists what a
// Send of the working copy would change.
class Compare {
  public:
    Compare(OperatorInterface& ui, EventLoop& loop, SensorSession& sensor, Feedback& feedback,
            const WorkingCopy& working, ParameterFiles& files)
        : ui_(ui),
          loop_(loop),
          sensor_(sensor),
          feedback_(feedback),
          working_(working),
          files_(files) {}
    Outcome Run();

  private:
    OperatorInterface& ui_;
    EventLoop& loop_;
    SensorSession& sensor_;
    Feedback& feedback_;
    const WorkingCopy& working_;
    ParameterFiles& files_;
};

}  // namespace qelto
