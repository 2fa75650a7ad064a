// The parameter page as it always was (POWER, the number of colours, GAIN, INTEGRAL and the
// teach rows), and the AVERAGE control: a view of the working copy, shown anew whenever it
// changes. Values the sensor does not hold (not sent yet, or refused) are marked as the editor
// marks them, with a tooltip that says which and what the sensor holds.
#pragma once

#include <set>
#include <utility>

#include "app/operator_interface.hpp"

namespace qelto {

class WorkingCopy;

class ParameterPage {
  public:
    ParameterPage(OperatorInterface& ui, const WorkingCopy& working) : ui_(ui), working_(working) {}
    // The values and their marks.
    void Show();
    // Only the marks: what the sensor holds or refused has changed, the values have not.
    void ShowMarks();

  private:
    OperatorInterface& ui_;
    const WorkingCopy& working_;
    // The teach table's cells this page has marked, (column, row): only they are painted back,
    // so that the colours the assistant gives its rows stay.
    std::set<std::pair<int, int>> markedCells_;
};

}  // namespace qelto
