// The parameter page as it always was (POWER, the number of colours, GAIN, INTEGRAL and the
// teach rows), and the AVERAGE control: a view of the working copy, shown anew whenever it
// changes.
#pragma once

#include <string>

#include "app/operator_interface.hpp"

namespace qelto {

class WorkingCopy;

class ParameterPage {
  public:
    ParameterPage(OperatorInterface& ui, const WorkingCopy& working) : ui_(ui), working_(working) {}
    // The values, and under the teach rows a line naming the rows whose spheres overlap.
    void Show();

  private:
    OperatorInterface& ui_;
    const WorkingCopy& working_;
    std::string overlapLine_;  // as shown
};

}  // namespace qelto
