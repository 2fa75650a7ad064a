// The CSV of live samples: what a recording from the window holds and what
// `qelto-cli live --format csv` prints, line for line.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace qelto {

// One live sample as the displays show it.
struct LiveSample {
    long red = 0, green = 0, blue = 0, x = 0, y = 0, intensity = 0, colorNo = 0;
};

inline constexpr std::string_view kLiveCsvHeader = "t,red,green,blue,x,y,int,color_no\n";
// "t,red,...,color_no\n" with t in seconds to the microsecond; returns the length written
// (the buffer holds any line; 128 bytes are plenty).
std::size_t FormatLiveCsvLine(std::span<char> out, double t, const LiveSample& s);

}  // namespace qelto
