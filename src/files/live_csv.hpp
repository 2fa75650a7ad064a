// The CSV of live samples: what a recording from the window holds and what
// `qelto-cli live --format csv` prints, line for line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <span>
#include <string>
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

// --- Reading a recording back

// Why a recording could not be read, and where.
struct LiveCsvProblem {
    std::size_t line = 0;  // 1-based; 0: the file itself could not be read
    std::string reason;
    // "line 7: ..." (or the reason alone for the file itself).
    std::string Text() const;
};

// Each row of a recording as it is read: t and the seven values (the clock time is not kept).
using LiveCsvRow = std::function<void(double t, const LiveSample& sample)>;

// Reads a CSV in the program's columns, the header line `t,red,green,blue,x,y,int,color_no`
// with or without `,wall_clock`, and hands `row` every row after it; a blank line is passed
// over, a CR before a line's end too. Every value must be what a sensor reports (a signed
// 16-bit number; t a finite number of seconds). Nothing (and every row handed on) when the
// whole text was a recording with at least one row; else the first problem, by line.
std::optional<LiveCsvProblem> ParseLiveCsv(std::string_view text, const LiveCsvRow& row);
// The same for a file, read piece by piece, so that a recording of any length fits.
std::optional<LiveCsvProblem> ReadLiveCsv(const std::string& path, const LiveCsvRow& row);

}  // namespace qelto
