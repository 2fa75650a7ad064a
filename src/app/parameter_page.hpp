// The parameter page as it always was (POWER, the number of colours, GAIN, INTEGRAL and the
// teach rows), and the AVERAGE control: a view of the working copy, shown anew whenever it
// changes.
#pragma once

#include "app/operator_interface.hpp"

namespace qelto {

class WorkingCopy;

class ParameterPage {
  public:
    ParameterPage(OperatorInterface& ui, const WorkingCopy& working) : ui_(ui), working_(working) {}
    void Show();

  private:
    OperatorInterface& ui_;
    const WorkingCopy& working_;
};

}  // namespace qelto
