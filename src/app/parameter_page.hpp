// The parameter page as it always was (POWER, the number of colours, GAIN, INTEGRAL and the
// teach rows), and the AVERAGE control: a view of the working copy, shown anew whenever it
// changes.
#pragma once

#include <bitset>

#include "app/operator_interface.hpp"
#include "protocol/records.hpp"

namespace qelto {

class WorkingCopy;

class ParameterPage {
  public:
    ParameterPage(OperatorInterface& ui, const WorkingCopy& working) : ui_(ui), working_(working) {}
    // The values, and the tolerance of each row whose sphere overlaps another's marked.
    void Show();

  private:
    OperatorInterface& ui_;
    const WorkingCopy& working_;
    std::bitset<kShownTeachRows> overlapMarked_;  // rows whose tolerance cell is marked
};

}  // namespace qelto
