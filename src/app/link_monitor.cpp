#include "app/link_monitor.hpp"

#include <algorithm>
#include <cstdio>

#include "protocol/frame.hpp"
#include "protocol/records.hpp"

namespace qelto {
namespace {

constexpr std::int64_t kMsPerDay = 24LL * 60 * 60 * 1000;

// The link's messages span several lines with blanks before the breaks; a list wants one.
std::string OneLine(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const char ch = (c == '\n' || c == '\r' || c == '\t') ? ' ' : c;
        if (ch == ' ' && (out.empty() || out.back() == ' ')) continue;
        out.push_back(ch);
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

void ReadHeader(MonitorEntry& e, std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kHeaderSize) return;
    e.headerCame = true;
    e.command = bytes[1];
    e.argument = GetU16(bytes.data() + 2);
    e.length = GetU16(bytes.data() + 4);
}

bool IsLiveDataRequest(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= kHeaderSize && bytes[1] == kCmdLiveData;
}

const char* DirectionMark(MonitorDirection d) {
    switch (d) {
        case MonitorDirection::Request:
            return ">";
        case MonitorDirection::Reply:
            return "<";
        case MonitorDirection::Exchanges:
            return "<>";
    }
    return "";
}

constexpr std::size_t kDumpWidth = 16;

// "YYYY-MM-DD" of a local time in milliseconds since 1970.
std::string DateOf(std::int64_t localMs) {
    char text[48];
    const std::size_t n = FormatWallClock(text, WallClock{localMs, 0});
    return std::string(text, std::min<std::size_t>(n, 10));
}

std::int64_t DayOf(std::int64_t localMs) {
    return localMs / kMsPerDay - (localMs % kMsPerDay < 0 ? 1 : 0);
}

// "3A"
std::string Hex2(std::uint8_t b) {
    return FormatHex(std::span<const std::uint8_t>(&b, 1));
}

std::string CrcText(const char* which, std::uint8_t expected, std::uint8_t received) {
    return std::string(which) + " CRC: expected " + Hex2(expected) + ", received " + Hex2(received);
}

// Carets under the bytes of `fault` that lie in [from, from + n) of a line of hex whose first
// byte starts at column `lead`, three columns a byte (and one more in the middle of a dump's
// line, `gap`); empty when none of them lie there.
std::string CaretLine(const std::optional<FrameFault>& fault, std::size_t from, std::size_t n,
                      std::size_t lead, bool gap) {
    if (!fault || fault->at + fault->count <= from || fault->at >= from + n) return {};
    std::string line;
    const std::size_t first = std::max(fault->at, from);
    const std::size_t last = std::min(fault->at + fault->count, from + n);
    for (std::size_t i = first; i < last; ++i) {
        const std::size_t k = i - from;
        const std::size_t at = lead + 3 * k + (gap && k >= kDumpWidth / 2 ? 1 : 0);
        line.resize(at + 2, ' ');
        line[at] = line[at + 1] = '^';
    }
    return line + "\n";
}

}  // namespace

std::optional<FrameFault> FindFrameFault(std::span<const std::uint8_t> bytes, int asked) {
    if (bytes.size() < kHeaderSize) return std::nullopt;
    if (bytes[0] != kStartByte) {
        return FrameFault{
            "start byte: expected " + Hex2(kStartByte) + ", received " + Hex2(bytes[0]), 0, 1};
    }
    const std::uint8_t headerCrc = crc8(bytes.first(kHeaderSize - 1));
    if (headerCrc != bytes[7]) return FrameFault{CrcText("header", headerCrc, bytes[7]), 7, 1};
    const std::size_t length = GetU16(bytes.data() + 4);
    if (length > 0 && bytes.size() >= kHeaderSize + length) {
        const std::uint8_t dataCrc = crc8(bytes.subspan(kHeaderSize, length));
        if (dataCrc != bytes[6]) return FrameFault{CrcText("data", dataCrc, bytes[6]), 6, 1};
    }
    if (asked >= 0 && bytes[1] != asked && bytes[1] != kCmdErrorReply) {
        return FrameFault{"command " + std::to_string(bytes[1]) + " where " +
                              std::to_string(asked) + " was asked",
                          1, 1};
    }
    return std::nullopt;
}

LinkMonitor::LinkMonitor(std::size_t capacity) : capacity_(capacity > 0 ? capacity : 1) {}

void LinkMonitor::SetFoldLiveData(bool fold) {
    if (fold == fold_) return;
    FlushPendingRequest();
    fold_ = fold;
}

void LinkMonitor::Clear() {
    entries_.clear();
    pending_ = false;
    dropped_ = 0;
    ++revision_;
}

MonitorEntry& LinkMonitor::Add(MonitorDirection direction, std::span<const std::uint8_t> bytes,
                               std::int64_t timeMs) {
    if (entries_.size() >= capacity_) {
        entries_.pop_front();
        ++dropped_;
    }
    MonitorEntry& e = entries_.emplace_back();
    e.number = nextNumber_++;
    e.timeMs = e.lastTimeMs = timeMs;
    e.direction = direction;
    e.bytes.assign(bytes.begin(), bytes.end());
    ReadHeader(e, bytes);
    e.revision = ++revision_;
    return e;
}

void LinkMonitor::FlushPendingRequest() {
    if (!pending_) return;
    pending_ = false;
    Add(MonitorDirection::Request, pendingBytes_, pendingTime_);
}

void LinkMonitor::Record(TracedFrame kind, std::span<const std::uint8_t> bytes,
                         std::string_view reason, std::int64_t timeMs) {
    if (kind == TracedFrame::Request) {
        // A request whose reply never came to the trace (the program quit meanwhile) still
        // went out.
        FlushPendingRequest();
        if (bytes.size() >= kHeaderSize) {
            lastCommand_ = bytes[1];
            lastArgument_ = GetU16(bytes.data() + 2);
        }
        if (fold_ && IsLiveDataRequest(bytes)) {
            pending_ = true;
            pendingBytes_.assign(bytes.begin(), bytes.end());
            pendingTime_ = timeMs;
            ++revision_;
            return;
        }
        Add(MonitorDirection::Request, bytes, timeMs);
        return;
    }
    if (kind == TracedFrame::Reply && pending_) {
        pending_ = false;
        const bool continues =
            !entries_.empty() && entries_.back().direction == MonitorDirection::Exchanges;
        MonitorEntry& run = continues
                                ? entries_.back()
                                : Add(MonitorDirection::Exchanges, pendingBytes_, pendingTime_);
        if (continues) run.bytes.assign(pendingBytes_.begin(), pendingBytes_.end());
        run.replyBytes.assign(bytes.begin(), bytes.end());
        run.lastTimeMs = pendingTime_;
        ++run.exchanges;
        run.length = bytes.size() >= kHeaderSize ? GetU16(bytes.data() + 4) : 0;
        run.result = MonitorResult::Ok;
        run.revision = ++revision_;
        return;
    }
    // A failed live-data exchange stands on its own lines, request and reply.
    FlushPendingRequest();
    MonitorEntry& e = Add(MonitorDirection::Reply, bytes, timeMs);
    if (!e.headerCame) {
        e.command = lastCommand_;
        e.argument = lastArgument_;
    }
    switch (kind) {
        case TracedFrame::Reply:
            e.result = MonitorResult::Ok;
            break;
        case TracedFrame::TimedOut:
            e.result = MonitorResult::TimedOut;
            break;
        default:
            e.result = MonitorResult::Rejected;
            e.fault = FindFrameFault(bytes, lastCommand_);
            break;
    }
    e.reason = OneLine(reason);
}

std::string_view CommandName(int command) {
    switch (command) {
        case kCmdErrorReply:
            return "error reply";
        case kCmdWrite:
            return "write RAM";
        case kCmdRead:
            return "read RAM";
        case kCmdStoreEeprom:
            return "store EEPROM";
        case kCmdLoadEeprom:
            return "load EEPROM";
        case kCmdFirmware:
            return "firmware";
        case kCmdLiveData:
            return "live data";
        case kCmdSensorName:
            return "sensor name";
        case kCmdCycleTime:
            return "cycle time";
        default:
            return "";
    }
}

std::string FormatTimeOfDay(std::int64_t ms) {
    ms %= kMsPerDay;
    if (ms < 0) ms += kMsPerDay;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", static_cast<int>(ms / 3600000),
                  static_cast<int>(ms / 60000 % 60), static_cast<int>(ms / 1000 % 60),
                  static_cast<int>(ms % 1000));
    return text;
}

std::string ResultText(const MonitorEntry& e) {
    switch (e.result) {
        case MonitorResult::Sent:
            return "sent";
        case MonitorResult::Ok:
            if (e.direction != MonitorDirection::Exchanges) return "ok";
            return "ok, " + std::to_string(e.exchanges) +
                   (e.exchanges == 1 ? " exchange" : " exchanges") + " until " +
                   FormatTimeOfDay(e.lastTimeMs);
        case MonitorResult::Rejected:
            return "rejected: " + e.reason + (e.fault ? "; " + e.fault->what : std::string());
        case MonitorResult::TimedOut:
            return "time-out: " + e.reason;
    }
    return {};
}

std::string FormatEntry(const MonitorEntry& e, bool withBytes) {
    std::string command = "-";
    if (e.command >= 0) {
        command = std::to_string(e.command);
        if (const std::string_view name = CommandName(e.command); !name.empty()) {
            command += ' ';
            command += name;
        }
    }
    const std::string length = e.headerCame ? std::to_string(e.length) : "-";
    char line[96];
    std::snprintf(line, sizeof line, "%s  %-2s  %-16s  arg %-5u  len %-4s  ",
                  FormatTimeOfDay(e.timeMs).c_str(), DirectionMark(e.direction), command.c_str(),
                  static_cast<unsigned>(e.argument), length.c_str());
    std::string out = line + ResultText(e) + "\n";
    if (withBytes) {
        const auto frame = [&out](const char* mark, const std::vector<std::uint8_t>& bytes,
                                  const std::optional<FrameFault>& fault) {
            out += std::string("    ") + mark + " ";
            if (bytes.size() <= kDumpWidth) {
                out += FormatHex(bytes) + "\n";
                out += CaretLine(fault, 0, bytes.size(), 6, false);
            } else {
                // Offsets from the second line on line up under the first's.
                const std::string dump = HexDump(bytes, "      ", fault);
                out += dump.substr(6);
            }
        };
        frame(e.direction == MonitorDirection::Reply ? "<" : ">", e.bytes, e.fault);
        if (e.direction == MonitorDirection::Exchanges) frame("<", e.replyBytes, std::nullopt);
    }
    return out;
}

std::string HexDump(std::span<const std::uint8_t> bytes, std::string_view indent,
                    const std::optional<FrameFault>& fault) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve((bytes.size() / kDumpWidth + 1) * (indent.size() + 80));
    for (std::size_t at = 0; at < bytes.size(); at += kDumpWidth) {
        const std::size_t n = std::min(kDumpWidth, bytes.size() - at);
        char offset[24];
        std::snprintf(offset, sizeof offset, "%04zx  ", at);
        out += indent;
        out += offset;
        for (std::size_t i = 0; i < kDumpWidth; ++i) {
            if (i == kDumpWidth / 2) out += ' ';
            if (i < n) {
                out += kHex[bytes[at + i] >> 4];
                out += kHex[bytes[at + i] & 0xF];
                out += ' ';
            } else {
                out += "   ";
            }
        }
        out += " |";
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint8_t b = bytes[at + i];
            out += b >= 0x20 && b < 0x7F ? static_cast<char>(b) : '.';
        }
        out += "|\n";
        out += CaretLine(fault, at, n, indent.size() + 6, true);
    }
    return out;
}

std::string ExportText(const std::deque<MonitorEntry>& entries, const MonitorFilter& filter,
                       bool withBytes) {
    char heading[96];
    std::snprintf(heading, sizeof heading, "%-12s  %-2s  %-16s  %-9s  %-8s  %s\n", "time", "",
                  "command", "argument", "length", "result");
    std::string out = heading;
    bool first = true;
    std::int64_t day = 0;
    for (const MonitorEntry& e : entries) {
        if (!filter.Matches(e)) continue;
        if (!first && DayOf(e.timeMs) != day) out += "---- " + DateOf(e.timeMs) + "\n";
        first = false;
        day = DayOf(e.timeMs);
        out += FormatEntry(e, withBytes);
    }
    return out;
}

std::string MonitorText(const MonitorHeading& heading, const std::deque<MonitorEntry>& entries,
                        const MonitorFilter& filter, bool withBytes) {
    char saved[48];
    const std::size_t n = FormatWallClock(saved, heading.savedAt);
    std::string out = "Qelto link monitor\nSaved:  " + std::string(saved, n) +
                      "\nLink:   " + heading.link + "\nSensor: " + heading.sensor + "\n";
    const auto shown = std::find_if(entries.begin(), entries.end(),
                                    [&](const MonitorEntry& e) { return filter.Matches(e); });
    if (shown != entries.end()) {
        out += "Times are local, from " + DateOf(shown->timeMs) + " on.\n";
    }
    if (filter.command >= 0 || filter.failuresOnly) {
        out += "Shown: ";
        if (filter.command >= 0) {
            out += "command " + std::to_string(filter.command);
            if (const std::string_view name = CommandName(filter.command); !name.empty()) {
                out += " (" + std::string(name) + ")";
            }
        }
        if (filter.failuresOnly) out += filter.command >= 0 ? ", failures only" : "failures only";
        out += "\n";
    }
    return out + "\n" + ExportText(entries, filter, withBytes);
}

}  // namespace qelto
