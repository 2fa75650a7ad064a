#include "faults.hpp"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <sstream>

#include "protocol/frame.hpp"

namespace qelto::sim {
namespace {

struct KindInfo {
    FaultKind kind;
    const char* name;
    bool takesValue;
    int defaultValue;
};

constexpr KindInfo kKinds[] = {
    {FaultKind::NoReply, "no-reply", false, 0},
    {FaultKind::Delay, "delay", true, 500},
    {FaultKind::BadStart, "bad-start", false, 0},
    {FaultKind::BadHeaderCrc, "bad-header-crc", false, 0},
    {FaultKind::BadDataCrc, "bad-data-crc", false, 0},
    {FaultKind::Truncate, "truncate", true, 0},
    {FaultKind::Pieces, "pieces", true, 3},
    {FaultKind::LengthOver, "length-over", true, 2100},
    {FaultKind::Garbage, "garbage", true, 4},
    {FaultKind::ErrorReply, "error", true, 1},
    {FaultKind::Close, "close", false, 0},
    {FaultKind::Stale, "stale", false, 0},
};

const KindInfo& Info(FaultKind kind) {
    for (const auto& k : kKinds) {
        if (k.kind == kind) return k;
    }
    return kKinds[0];
}

bool ParseInt(std::string_view text, long long lo, long long hi, int& out) {
    long long v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size() || v < lo ||
        v > hi) {
        return false;
    }
    out = static_cast<int>(v);
    return true;
}

bool ParseProbability(std::string_view text, double& out) {
    const std::string s(text);
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (s.empty() || end != s.c_str() + s.size() || !(v >= 0.0 && v <= 1.0)) return false;
    out = v;
    return true;
}

void FixHeaderCrc(std::vector<std::uint8_t>& frame) {
    frame[7] = crc8({frame.data(), 7});
}

}  // namespace

const char* const kFaultHelp =
    "A fault is KIND[=VALUE][,OPTION]... and strikes the next reply unless an option says\n"
    "otherwise. Kinds:\n"
    "  no-reply          say nothing\n"
    "  delay[=MS]        reply after MS milliseconds (500)\n"
    "  bad-start         start byte 0x56 instead of 0x55\n"
    "  bad-header-crc    wrong header CRC\n"
    "  bad-data-crc      wrong data CRC (replies that carry data)\n"
    "  truncate[=N]      send only the first N bytes (default: half the reply)\n"
    "  pieces[=N]        send the reply in N pieces (3), gap= milliseconds between them (50)\n"
    "  length-over[=N]   length field N, above 2040 (2100)\n"
    "  garbage[=N]       N extra bytes after the reply (4)\n"
    "  error[=ARG]       error reply (command 0) with argument ARG (1)\n"
    "  close             close the TCP connection instead of replying (silence on the pty)\n"
    "  stale             send the reply before this one once more, ahead of this one\n"
    "Options:\n"
    "  times=N           the next N replies (1)\n"
    "  every=N           every N-th reply\n"
    "  prob=P            each reply with probability P (0..1, reproducible with --seed)\n"
    "  cmd=C             only replies to command C\n"
    "  gap=MS            gap between pieces\n";

const char* FaultKindName(FaultKind kind) {
    return Info(kind).name;
}

std::optional<FaultRule> ParseFault(std::string_view text, std::string& error) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(
            text.substr(start, comma == std::string_view::npos ? text.npos : comma - start));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    auto split = [](std::string_view part) {
        const std::size_t eq = part.find('=');
        return eq == std::string_view::npos
                   ? std::pair{part, std::optional<std::string_view>{}}
                   : std::pair{part.substr(0, eq),
                               std::optional<std::string_view>{part.substr(eq + 1)}};
    };

    FaultRule rule;
    const auto [kindName, kindValue] = split(parts[0]);
    const KindInfo* info = nullptr;
    for (const auto& k : kKinds) {
        if (kindName == k.name) info = &k;
    }
    if (info == nullptr) {
        error = "unknown fault '" + std::string(kindName) + "'";
        return std::nullopt;
    }
    rule.kind = info->kind;
    rule.value = info->defaultValue;
    if (kindValue) {
        bool ok = info->takesValue;
        switch (rule.kind) {
            case FaultKind::Delay:
                ok = ok && ParseInt(*kindValue, 0, 600000, rule.value);
                break;
            case FaultKind::Truncate:
                ok = ok && ParseInt(*kindValue, 0, 2047, rule.value);
                break;
            case FaultKind::Pieces:
                ok = ok && ParseInt(*kindValue, 2, 2048, rule.value);
                break;
            case FaultKind::LengthOver:
                ok = ok && ParseInt(*kindValue, kMaxDataLength + 1, 65535, rule.value);
                break;
            case FaultKind::Garbage:
                ok = ok && ParseInt(*kindValue, 1, 4096, rule.value);
                break;
            case FaultKind::ErrorReply:
                ok = ok && ParseInt(*kindValue, 0, 65535, rule.value);
                break;
            default:
                break;
        }
        if (!ok) {
            error = info->takesValue
                        ? "bad value '" + std::string(*kindValue) + "' for fault " + info->name
                        : std::string("fault ") + info->name + " takes no value";
            return std::nullopt;
        }
    }

    bool triggerSet = false;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const auto [name, value] = split(parts[i]);
        if (!value) {
            error = "option '" + std::string(name) + "' needs a value (name=value)";
            return std::nullopt;
        }
        bool ok = false;
        const bool trigger = name == "times" || name == "every" || name == "prob";
        if (trigger && triggerSet) {
            error = "only one of times=, every= and prob= may be given";
            return std::nullopt;
        }
        if (name == "times") {
            ok = ParseInt(*value, 1, 1000000000, rule.times);
            rule.when = FaultWhen::Next;
        } else if (name == "every") {
            ok = ParseInt(*value, 1, 1000000000, rule.every);
            rule.when = FaultWhen::Every;
        } else if (name == "prob") {
            ok = ParseProbability(*value, rule.probability);
            rule.when = FaultWhen::Probability;
        } else if (name == "cmd") {
            ok = ParseInt(*value, 0, 255, rule.command);
        } else if (name == "gap") {
            ok = ParseInt(*value, 0, 600000, rule.gapMs);
        } else {
            error = "unknown fault option '" + std::string(name) + "'";
            return std::nullopt;
        }
        if (!ok) {
            error = "bad value '" + std::string(*value) + "' for " + std::string(name);
            return std::nullopt;
        }
        triggerSet = triggerSet || trigger;
    }
    return rule;
}

std::string DescribeFault(const FaultRule& rule) {
    std::ostringstream out;
    out << FaultKindName(rule.kind);
    if (Info(rule.kind).takesValue) out << '=' << rule.value;
    switch (rule.when) {
        case FaultWhen::Next:
            out << ",times=" << rule.times;
            break;
        case FaultWhen::Every:
            out << ",every=" << rule.every;
            break;
        case FaultWhen::Probability:
            out << ",prob=" << rule.probability;
            break;
    }
    if (rule.command >= 0) out << ",cmd=" << rule.command;
    if (rule.kind == FaultKind::Pieces) out << ",gap=" << rule.gapMs;
    return out.str();
}

ReplyPlan PlanReply(std::vector<std::uint8_t> reply, const FaultRule* fault,
                    std::vector<std::uint8_t> previous) {
    ReplyPlan plan;
    if (fault == nullptr) {
        plan.pieces.push_back({std::move(reply), 0});
        return plan;
    }
    switch (fault->kind) {
        case FaultKind::NoReply:
            return plan;
        case FaultKind::Close:
            plan.close = true;
            return plan;
        case FaultKind::Stale:
            // A reply left over from before, as a link that lost step delivers it.
            if (!previous.empty()) plan.pieces.push_back({std::move(previous), 0});
            break;
        case FaultKind::Delay:
            plan.pieces.push_back({std::move(reply), fault->value});
            return plan;
        case FaultKind::BadStart:
            reply[0] = kStartByte + 1;
            FixHeaderCrc(reply);
            break;
        case FaultKind::BadHeaderCrc:
            reply[7] ^= 0x01;
            break;
        case FaultKind::BadDataCrc:
            reply[6] ^= 0x01;
            FixHeaderCrc(reply);
            break;
        case FaultKind::Truncate: {
            const std::size_t keep =
                fault->value > 0 ? static_cast<std::size_t>(fault->value) : reply.size() / 2;
            reply.resize(std::min(keep, reply.size() - 1));
            break;
        }
        case FaultKind::Pieces: {
            const std::size_t n =
                std::min<std::size_t>(static_cast<std::size_t>(fault->value), reply.size());
            std::size_t at = 0;
            for (std::size_t i = 0; i < n; ++i) {
                const std::size_t end = reply.size() * (i + 1) / n;
                plan.pieces.push_back(
                    {std::vector<std::uint8_t>(reply.begin() + static_cast<long>(at),
                                               reply.begin() + static_cast<long>(end)),
                     i == 0 ? 0 : fault->gapMs});
                at = end;
            }
            return plan;
        }
        case FaultKind::LengthOver:
            PutU16(reply.data() + 4, static_cast<std::uint16_t>(fault->value));
            FixHeaderCrc(reply);
            break;
        case FaultKind::Garbage: {
            static constexpr std::uint8_t kPattern[] = {0xDE, 0xAD, 0xBE, 0xEF};
            for (int i = 0; i < fault->value; ++i)
                reply.push_back(kPattern[i % 4]);
            break;
        }
        case FaultKind::ErrorReply:
            reply.assign(kHeaderSize, 0);
            BuildFrame(kCmdErrorReply, static_cast<std::uint16_t>(fault->value), {}, reply.data());
            break;
    }
    plan.pieces.push_back({std::move(reply), 0});
    return plan;
}

void FaultSchedule::Add(const FaultRule& rule) {
    rules_.push_back({rule, 0, rule.times});
}

std::optional<FaultRule> FaultSchedule::Pick(int command) {
    std::optional<FaultRule> picked;
    for (auto& e : rules_) {
        if (e.rule.command >= 0 && e.rule.command != command) continue;
        ++e.seen;
        bool strikes = false;
        switch (e.rule.when) {
            case FaultWhen::Next:
                strikes = !picked && e.left > 0;
                break;
            case FaultWhen::Every:
                strikes = e.seen % static_cast<std::uint64_t>(e.rule.every) == 0;
                break;
            // Drawn for every reply the rule watches, so the sequence depends on the seed only.
            case FaultWhen::Probability:
                strikes = rng_.Unit() < e.rule.probability;
                break;
        }
        if (strikes && !picked) {
            picked = e.rule;
            if (e.rule.when == FaultWhen::Next) --e.left;
        }
    }
    std::erase_if(rules_,
                  [](const Entry& e) { return e.rule.when == FaultWhen::Next && e.left <= 0; });
    return picked;
}

std::vector<FaultRule> FaultSchedule::rules() const {
    std::vector<FaultRule> out;
    for (const auto& e : rules_)
        out.push_back(e.rule);
    return out;
}

}  // namespace qelto::sim
