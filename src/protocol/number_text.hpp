// How the program writes a number for a person: the window's numeric displays and qelto-cli
// write it alike.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qelto {

// `value` with `decimals` decimals (0 to 17), rounded to the nearest; a value exactly halfway
// between two goes away from zero (1000.5 with none is "1001", 0.125 with two "0.13").
std::string FormatFixed(double value, int decimals);

// Leading decimal digits of a text (after blanks and a sign), as a person typed a number;
// no digits gives 0, and too many the nearest of the int32 range.
std::int32_t ParseLeadingInt(std::string_view text);

}  // namespace qelto
