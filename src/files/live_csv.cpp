#include "files/live_csv.hpp"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "files/paths.hpp"
#include "protocol/records.hpp"

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

// --- Reading back

constexpr std::string_view kColumns = "t,red,green,blue,x,y,int,color_no";
constexpr std::string_view kColumnNames[] = {"t", "red", "green", "blue",
                                             "x", "y",   "int",   "color_no"};
constexpr std::size_t kValueColumns = 8;  // t and the seven values; the clock time may follow
// Longer than any line of a recording by far: a file without line breaks is no recording,
// and is not taken into memory whole to find that out.
constexpr std::size_t kLongestLine = 4096;
constexpr std::size_t kReadPiece = 1 << 20;

// The lines of a recording, one after the other, as the file or the text gives them.
class LiveCsvReader {
  public:
    explicit LiveCsvReader(const LiveCsvRow& row) : row_(row) {}

    // One line without its line break; false once a problem is found.
    bool Line(std::string_view line) {
        ++line_;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line_ == 1) return Header(line);
        if (line.empty()) return true;
        return Row(line);
    }

    std::optional<LiveCsvProblem> Finish() {
        if (problem_) return problem_;
        if (line_ == 0) return LiveCsvProblem{1, "the file is empty, without even the header"};
        if (rows_ == 0) return LiveCsvProblem{line_ + 1, "no samples after the header"};
        return std::nullopt;
    }

    std::optional<LiveCsvProblem> problem() const { return problem_; }
    std::size_t line() const { return line_; }

    bool Fail(std::size_t line, std::string reason) {
        problem_ = LiveCsvProblem{line, std::move(reason)};
        return false;
    }

  private:
    bool Header(std::string_view line) {
        // A byte order mark, as some editors put before a CSV they saved.
        if (line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
        if (line == kColumns) {
            columns_ = kValueColumns;
        } else if (line.size() == kColumns.size() + 11 &&
                   line.substr(0, kColumns.size()) == kColumns &&
                   line.substr(kColumns.size()) == ",wall_clock") {
            columns_ = kValueColumns + 1;
        } else {
            return Fail(1, "not a recording of live data: its first line is '" +
                               NameForMessage(line) + "', not the header " + std::string(kColumns) +
                               "[,wall_clock]");
        }
        return true;
    }

    bool Row(std::string_view line) {
        std::string_view fields[kValueColumns + 1];
        std::size_t n = 0;
        for (std::size_t start = 0;; ++n) {
            const std::size_t comma = line.find(',', start);
            if (n < std::size(fields)) fields[n] = line.substr(start, comma - start);
            if (comma == std::string_view::npos) break;
            start = comma + 1;
        }
        ++n;
        if (n != columns_) {
            return Fail(line_, std::to_string(n) + (n == 1 ? " field" : " fields") + ", not the " +
                                   std::to_string(columns_) + " of the header");
        }
        double t = 0;
        const std::string_view time = fields[0];
        const auto parsed = std::from_chars(time.data(), time.data() + time.size(), t);
        if (time.empty() || parsed.ec != std::errc{} || parsed.ptr != time.data() + time.size() ||
            !std::isfinite(t)) {
            return Fail(line_,
                        "'" + NameForMessage(time) + "' in column t is not a time in seconds");
        }
        long values[kValueColumns - 1] = {};
        for (std::size_t i = 1; i < kValueColumns; ++i) {
            const std::string_view f = fields[i];
            long v = 0;
            const auto r = std::from_chars(f.data(), f.data() + f.size(), v);
            if (f.empty() || r.ec == std::errc::invalid_argument || r.ptr != f.data() + f.size()) {
                return Fail(line_, "'" + NameForMessage(f) + "' in column " +
                                       std::string(kColumnNames[i]) + " is not a whole number");
            }
            if (r.ec != std::errc{} || v < std::numeric_limits<std::int16_t>::min() ||
                v > std::numeric_limits<std::int16_t>::max()) {
                return Fail(line_, "'" + NameForMessage(f) + "' in column " +
                                       std::string(kColumnNames[i]) +
                                       " is not a value a sensor reports (-32768..32767)");
            }
            values[i - 1] = v;
        }
        ++rows_;
        row_(t, LiveSample{values[0], values[1], values[2], values[3], values[4], values[5],
                           values[6]});
        return true;
    }

    const LiveCsvRow& row_;
    std::size_t line_ = 0;
    std::size_t rows_ = 0;
    std::size_t columns_ = 0;
    std::optional<LiveCsvProblem> problem_;
};

// Hands `reader` the whole lines of `text`; what follows the last line break is left over.
// False once the reader found a problem.
bool TakeLines(LiveCsvReader& reader, std::string_view text, std::string_view& rest) {
    std::size_t start = 0;
    for (std::size_t nl; (nl = text.find('\n', start)) != std::string_view::npos; start = nl + 1) {
        if (!reader.Line(text.substr(start, nl - start))) return false;
    }
    rest = text.substr(start);
    if (rest.size() > kLongestLine) {
        return reader.Fail(reader.line() + 1, "a line longer than " + std::to_string(kLongestLine) +
                                                  " bytes: not a recording of live data");
    }
    return true;
}

}  // namespace

std::string LiveCsvProblem::Text() const {
    return line == 0 ? reason : "line " + std::to_string(line) + ": " + reason;
}

std::optional<LiveCsvProblem> ParseLiveCsv(std::string_view text, const LiveCsvRow& row) {
    LiveCsvReader reader(row);
    std::string_view rest;
    if (TakeLines(reader, text, rest) && !rest.empty()) reader.Line(rest);
    return reader.Finish();
}

std::optional<LiveCsvProblem> ReadLiveCsv(const std::string& path, const LiveCsvRow& row) {
    namespace fs = std::filesystem;
    const fs::path p = PathFromUtf8(path);
    std::error_code ec;
    const fs::file_status st = fs::status(p, ec);
    if (st.type() == fs::file_type::not_found) return LiveCsvProblem{0, "no such file"};
    if (ec) return LiveCsvProblem{0, "cannot be read: " + ec.message()};
    // A FIFO or a device would be read without end.
    if (!fs::is_regular_file(st)) return LiveCsvProblem{0, "not a regular file"};
    errno = 0;
    std::FILE* f = OpenFile(p, "rb");
    if (f == nullptr) {
        return LiveCsvProblem{
            0, std::string("cannot be read: ") + (errno != 0 ? std::strerror(errno) : "refused")};
    }
    LiveCsvReader reader(row);
    std::vector<char> buffer(kReadPiece + kLongestLine + 1);
    std::size_t kept = 0;  // the start of a line the piece before ended in
    bool going = true;
    while (going) {
        const std::size_t got = std::fread(buffer.data() + kept, 1, kReadPiece, f);
        if (got == 0) break;
        std::string_view rest;
        going = TakeLines(reader, {buffer.data(), kept + got}, rest);
        if (!going) break;
        kept = rest.size();
        std::memmove(buffer.data(), rest.data(), kept);
    }
    const bool failed = std::ferror(f) != 0;
    const int error = errno;
    std::fclose(f);
    if (going && failed) {
        return LiveCsvProblem{0, std::string("cannot be read: ") +
                                     (error != 0 ? std::strerror(error) : "read error")};
    }
    if (going && kept > 0) reader.Line({buffer.data(), kept});
    return reader.Finish();
}

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
