// The link monitor's record: every request and reply the link traced, with a local time stamp
// and what became of it, in a bounded history. The live-data exchanges of a running
// acquisition (hundreds to thousands a second) fold into one counting line unless the
// operator asks to see each of them, so the history keeps what happened around them.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/live_csv.hpp"
#include "link/link_context.hpp"

namespace qelto {

inline constexpr std::size_t kLinkMonitorCapacity = 5000;

enum class MonitorDirection : std::uint8_t {
    Request,
    Reply,
    Exchanges  // a folded run of live-data requests and their replies
};
enum class MonitorResult : std::uint8_t { Sent, Ok, Rejected, TimedOut };

// What is wrong with a rejected reply, as far as its bytes tell: a start byte or a CRC that
// does not fit (with the CRC the bytes call for and the one that came), or the command of
// another request. `at` and `count` are the bytes at fault within the frame.
struct FrameFault {
    std::string what;  // "header CRC: expected 3A, received 3B"
    std::size_t at = 0;
    std::size_t count = 0;
};
// The fault in a reply of `bytes` that came for a request of `asked` (-1: not known); none
// when its bytes are whole and sound (a time-out, a length the request did not take).
std::optional<FrameFault> FindFrameFault(std::span<const std::uint8_t> bytes, int asked);

struct MonitorEntry {
    std::uint64_t number = 0;     // 1, 2, ... in the order of recording, never reused
    std::int64_t timeMs = 0;      // local time of day, milliseconds (a run: its first request)
    std::int64_t lastTimeMs = 0;  // a run: its latest request
    std::uint64_t exchanges = 0;  // a run: how many requests and replies it holds
    MonitorDirection direction = MonitorDirection::Request;
    // A reply without a header (nothing came, or too little) shows the command and argument of
    // its request.
    int command = -1;
    bool headerCame = false;
    std::uint16_t argument = 0;
    std::uint16_t length = 0;  // the data length of the header (a run: of its latest reply)
    MonitorResult result = MonitorResult::Sent;
    std::string reason;               // rejected or timed out: the link's message
    std::optional<FrameFault> fault;  // rejected: what its bytes show to be wrong
    std::vector<std::uint8_t> bytes;  // the frame as it went or came (a run: its latest request)
    std::vector<std::uint8_t> replyBytes;  // a run: its latest reply
    std::uint64_t revision = 0;            // changes whenever the entry does
};

// Which entries a view shows: all, or those of one command; every result, or the failures only
// (replies rejected or timed out).
struct MonitorFilter {
    int command = -1;  // -1: every command
    bool failuresOnly = false;
    bool Matches(const MonitorEntry& e) const {
        return (command < 0 || e.command == command) &&
               (!failuresOnly || e.result == MonitorResult::Rejected ||
                e.result == MonitorResult::TimedOut);
    }
};

class LinkMonitor {
  public:
    explicit LinkMonitor(std::size_t capacity = kLinkMonitorCapacity);

    // One traced frame (see FrameTrace), at `timeMs`, the local time of day in milliseconds.
    void Record(TracedFrame kind, std::span<const std::uint8_t> bytes, std::string_view reason,
                std::int64_t timeMs);
    void Clear();

    // Whether live-data exchanges that went well fold into one line (the default).
    void SetFoldLiveData(bool fold);
    bool foldLiveData() const { return fold_; }

    // Oldest first; only the newest entry ever changes in place (a growing run).
    const std::deque<MonitorEntry>& entries() const { return entries_; }
    std::size_t capacity() const { return capacity_; }
    // Entries the bound pushed out since the start or the last Clear.
    std::uint64_t dropped() const { return dropped_; }
    // Changes with every frame recorded and every Clear.
    std::uint64_t revision() const { return revision_; }

  private:
    MonitorEntry& Add(MonitorDirection direction, std::span<const std::uint8_t> bytes,
                      std::int64_t timeMs);
    void FlushPendingRequest();

    std::size_t capacity_;
    bool fold_ = true;
    std::deque<MonitorEntry> entries_;
    std::uint64_t nextNumber_ = 1;
    std::uint64_t dropped_ = 0;
    std::uint64_t revision_ = 0;
    int lastCommand_ = -1;
    std::uint16_t lastArgument_ = 0;
    // A live-data request held back until its reply tells whether it folds.
    bool pending_ = false;
    std::vector<std::uint8_t> pendingBytes_;
    std::int64_t pendingTime_ = 0;
};

// The name of a sensor command ("live data"), or "" for one the program does not use.
std::string_view CommandName(int command);
// "HH:MM:SS.mmm" of a time of day in milliseconds.
std::string FormatTimeOfDay(std::int64_t ms);
// "sent", "ok", "rejected: why", "time-out: why", "ok, 1234 exchanges until 12:00:01.250";
// a rejection with the fault its bytes show: "rejected: why; data CRC: expected 3A, received 3B".
std::string ResultText(const MonitorEntry& e);
// The bytes of a frame, 16 to a line: the offset, the bytes in hex, and the printable ASCII
// characters beside them ("0010  55 08 ...  |U.....|"); each line starts with `indent`. The
// bytes of `fault` are marked by a line of carets below theirs.
std::string HexDump(std::span<const std::uint8_t> bytes, std::string_view indent = {},
                    const std::optional<FrameFault>& fault = std::nullopt);
// One line of the saved text; with the bytes, each frame below it: on one line when it is short,
// as a HexDump when it is longer than 16 bytes.
std::string FormatEntry(const MonitorEntry& e, bool withBytes);
// The entries the filter lets through, as text with a heading line; a line marks where the
// date changes between two of them.
std::string ExportText(const std::deque<MonitorEntry>& entries, const MonitorFilter& filter,
                       bool withBytes);

// What a saved text says first: when it was saved, over which link, to which sensor.
struct MonitorHeading {
    WallClock savedAt;
    std::string link;
    std::string sensor;
};
// The whole saved text: the heading (with the date of the first line shown, since each line
// has only its time of day), then ExportText.
std::string MonitorText(const MonitorHeading& heading, const std::deque<MonitorEntry>& entries,
                        const MonitorFilter& filter, bool withBytes);

}  // namespace qelto
