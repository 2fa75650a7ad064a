#include "files/live_csv.hpp"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <ctime>

namespace qelto {
namespace {

using std::chrono::days;
using std::chrono::sys_days;

constexpr std::int64_t kMsPerMinute = 60 * 1000;
constexpr std::int64_t kMsPerDay = 24 * 60 * kMsPerMinute;

// Minutes since 1970 of a broken-down time, read as if it were UTC.
std::int64_t MinutesOf(const std::tm& t) {
    const sys_days day{std::chrono::year{t.tm_year + 1900} /
                       std::chrono::month{static_cast<unsigned>(t.tm_mon + 1)} /
                       std::chrono::day{static_cast<unsigned>(t.tm_mday)}};
    return static_cast<std::int64_t>(day.time_since_epoch().count()) * 24 * 60 + t.tm_hour * 60 +
           t.tm_min;
}

int UtcOffsetMinutes(std::time_t when) {
    std::tm local{};
    std::tm utc{};
#ifdef _WIN32
    if (localtime_s(&local, &when) != 0 || gmtime_s(&utc, &when) != 0) return 0;
#else
    if (localtime_r(&when, &local) == nullptr || gmtime_r(&when, &utc) == nullptr) return 0;
#endif
    return static_cast<int>(MinutesOf(local) - MinutesOf(utc));
}

std::int64_t EpochMsNow() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0);
}

}  // namespace

WallClock WallClockNow() {
    const std::int64_t ms = EpochMsNow();
    return {ms, UtcOffsetMinutes(static_cast<std::time_t>(FloorDiv(ms, 1000)))};
}

WallClock WallClockSource::Now() {
    const std::int64_t ms = EpochMsNow();
    const std::int64_t minute = FloorDiv(ms, kMsPerMinute);
    if (minute != minute_) {
        minute_ = minute;
        offset_ = UtcOffsetMinutes(static_cast<std::time_t>(FloorDiv(ms, 1000)));
    }
    return {ms, offset_};
}

LocalTime LocalTimeOf(const WallClock& clock) {
    const std::int64_t local = clock.epochMs + std::int64_t{clock.utcOffsetMinutes} * kMsPerMinute;
    const std::int64_t day = FloorDiv(local, kMsPerDay);
    const auto inDay = static_cast<int>(local - day * kMsPerDay);
    const std::chrono::year_month_day date{sys_days{days{day}}};
    return {static_cast<int>(date.year()),
            static_cast<int>(static_cast<unsigned>(date.month())),
            static_cast<int>(static_cast<unsigned>(date.day())),
            inDay / 3600000,
            inDay / 60000 % 60,
            inDay / 1000 % 60,
            inDay % 1000};
}

std::size_t FormatWallClock(std::span<char> out, const WallClock& clock) {
    const LocalTime time = LocalTimeOf(clock);
    const int offset =
        clock.utcOffsetMinutes < 0 ? -clock.utcOffsetMinutes : clock.utcOffsetMinutes;
    char text[48];
    char* p = text;
    char* const end = text + sizeof text;
    const auto digits = [&](std::int64_t v, int width) {
        for (int i = width - 1; i >= 0; --i, v /= 10)
            p[i] = static_cast<char>('0' + v % 10);
        p += width;
    };
    if (time.year >= 0 && time.year <= 9999) {
        digits(time.year, 4);
    } else {
        p = std::to_chars(p, end, time.year).ptr;
    }
    *p++ = '-';
    digits(time.month, 2);
    *p++ = '-';
    digits(time.day, 2);
    *p++ = 'T';
    digits(time.hour, 2);
    *p++ = ':';
    digits(time.minute, 2);
    *p++ = ':';
    digits(time.second, 2);
    *p++ = '.';
    digits(time.millisecond, 3);
    *p++ = clock.utcOffsetMinutes < 0 ? '-' : '+';
    digits(offset / 60 % 100, 2);
    *p++ = ':';
    digits(offset % 60, 2);
    const auto n = std::min(static_cast<std::size_t>(p - text), out.size());
    std::copy(text, text + n, out.data());
    return n;
}

std::size_t FormatLiveCsvLine(std::span<char> out, double t, const LiveSample& s,
                              const WallClock& clock) {
    // Byte for byte what snprintf's "%.6f,%ld,...,%s\n" writes, at a quarter of its cost: a
    // line goes out for every sample, thousands a second. What would not fit is left off.
    char* p = out.data();
    char* const end = p + out.size();
    bool fits = true;
    const auto put = [&](std::to_chars_result r) {
        fits = fits && r.ec == std::errc{};
        if (fits) p = r.ptr;
    };
    const auto putChar = [&](char c) {
        fits = fits && p < end;
        if (fits) *p++ = c;
    };
    put(std::to_chars(p, end, t, std::chars_format::fixed, 6));
    for (const long v : {s.red, s.green, s.blue, s.x, s.y, s.intensity, s.colorNo}) {
        putChar(',');
        put(std::to_chars(p, end, v));
    }
    putChar(',');
    if (fits) {
        char stamp[48];
        const std::size_t n = FormatWallClock(stamp, clock);
        fits = static_cast<std::size_t>(end - p) >= n;
        if (fits) p = std::copy(stamp, stamp + n, p);
    }
    putChar('\n');
    return static_cast<std::size_t>(p - out.data());
}

}  // namespace qelto
