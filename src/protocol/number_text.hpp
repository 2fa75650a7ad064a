// How the program writes a number for a person: the window's numeric displays and qelto-cli
// write it alike.
#pragma once

#include <string>

namespace qelto {

// `value` with `decimals` decimals (0 to 17), rounded to the nearest; a value exactly halfway
// between two goes away from zero (1000.5 with none is "1001", 0.125 with two "0.13").
std::string FormatFixed(double value, int decimals);

}  // namespace qelto
