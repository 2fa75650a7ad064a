// Faults the simulated sensor can put into its replies on demand, when they strike, and what a
// struck reply turns into on the wire. No Qt: the server executes the plans.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sensor_model.hpp"

namespace qelto::sim {

enum class FaultKind {
    NoReply,       // say nothing
    Delay,         // reply after `value` ms
    BadStart,      // start byte 0x56, header CRC made to match
    BadHeaderCrc,  // header CRC wrong
    BadDataCrc,    // data CRC field wrong (header CRC made to match); no effect without data
    Truncate,      // only the first `value` bytes (0: half the reply)
    Pieces,        // `value` pieces with `gapMs` between them
    LengthOver,    // length field `value` (above 2040), header CRC made to match
    Garbage,       // `value` extra bytes after the reply
    ErrorReply,    // error reply (command 0) with argument `value`
    Close,         // end the TCP conversation instead of replying (silence on the pty)
    Stale,         // the reply before this one once more, ahead of this one
};

enum class FaultWhen {
    Next,         // the next `times` replies
    Every,        // every `every`-th reply
    Probability,  // each reply with `probability`
};

struct FaultRule {
    FaultKind kind = FaultKind::NoReply;
    int value = 0;
    int gapMs = 50;
    FaultWhen when = FaultWhen::Next;
    int times = 1;
    int every = 1;
    double probability = 1.0;
    int command = -1;  // only replies to this command; -1: every command
};

const char* FaultKindName(FaultKind kind);
// "KIND[=VALUE][,every=N|,prob=P|,times=N][,cmd=C][,gap=MS]", e.g. "delay=500,every=10",
// "error=2,cmd=8", "pieces=4,gap=100", "bad-data-crc,prob=0.1". Sets `error` and returns
// nothing when the text is not a valid fault.
std::optional<FaultRule> ParseFault(std::string_view text, std::string& error);
std::string DescribeFault(const FaultRule& rule);
// The text for --help and the control input's help.
extern const char* const kFaultHelp;

// What goes on the wire for one reply: pieces, each after a delay counted from the previous
// one; no pieces and no close means silence.
struct ReplyPiece {
    std::vector<std::uint8_t> bytes;
    int delayMs = 0;
};
struct ReplyPlan {
    std::vector<ReplyPiece> pieces;
    bool close = false;
};

// `previous` is the reply before this one, as the sensor made it (none for the first).
ReplyPlan PlanReply(std::vector<std::uint8_t> reply, const FaultRule* fault,
                    std::vector<std::uint8_t> previous = {});

// The faults in force, in the order they were added. The first rule that strikes a reply is
// applied; every rule that watches the command counts the reply.
class FaultSchedule {
  public:
    explicit FaultSchedule(std::uint64_t seed = 1) : rng_(seed) {}
    void Add(const FaultRule& rule);
    void Clear() { rules_.clear(); }
    std::optional<FaultRule> Pick(int command);
    std::size_t size() const { return rules_.size(); }
    std::vector<FaultRule> rules() const;

  private:
    struct Entry {
        FaultRule rule;
        std::uint64_t seen = 0;
        int left = 0;
    };
    std::vector<Entry> rules_;
    SplitMix64 rng_;
};

}  // namespace qelto::sim
