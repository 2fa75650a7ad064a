// The CSV of live samples: what a recording from the window holds and what
// `qelto-cli live --format csv` prints, line for line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string_view>

namespace qelto {

// One live sample as the displays show it.
struct LiveSample {
    long red = 0, green = 0, blue = 0, x = 0, y = 0, intensity = 0, colorNo = 0;
};

// A moment as the clock on the wall shows it: milliseconds since 1970-01-01 UTC and the local
// offset from UTC at that moment.
struct WallClock {
    std::int64_t epochMs = 0;
    int utcOffsetMinutes = 0;
};

// The system clock now, with the local offset from UTC.
WallClock WallClockNow();

// The system clock for a stream of samples: the offset from UTC changes twice a year, so it is
// looked up again only when the minute changes, not for each of thousands of samples a second.
class WallClockSource {
  public:
    WallClock Now();

  private:
    std::int64_t minute_ = std::numeric_limits<std::int64_t>::min();
    int offset_ = 0;
};

// A wall-clock moment as the local calendar and clock show it.
struct LocalTime {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};
LocalTime LocalTimeOf(const WallClock& clock);

// "2026-03-14T09:26:53.589+01:00": ISO 8601, local time to the millisecond with its offset
// from UTC. Returns the length written (29 for the years 0..9999; 40 bytes hold any).
std::size_t FormatWallClock(std::span<char> out, const WallClock& clock);

inline constexpr std::string_view kLiveCsvHeader = "t,red,green,blue,x,y,int,color_no,wall_clock\n";
// "t,red,...,color_no,wall_clock\n" with t in seconds to the microsecond; returns the length
// written (the buffer holds any line; 128 bytes are plenty).
std::size_t FormatLiveCsvLine(std::span<char> out, double t, const LiveSample& s,
                              const WallClock& clock);

}  // namespace qelto
