#include "sensor/transfer_outcome.hpp"

#include <algorithm>
#include <array>

#include "link/transaction.hpp"
#include "sensor/sensor_texts.hpp"

namespace qelto {
namespace {

// The values named in one line at most; the rest are counted.
constexpr std::size_t kNamedInLine = 3;

// What a failed step may have left: the sensor said it did not act (it does not know the
// command, or it saw a garbled request), or nothing went out; otherwise its answer is lost.
bool MayHaveActed(const TransferStepRecord& step) {
    if (!step.sent) return false;
    return !step.error || (step.error->kind != SensorFault::InvalidOrder &&
                           step.error->kind != SensorFault::SensorComm);
}

Holds Both(Holds a, Holds b) {
    return a == b ? a : Holds::Unknown;
}

// One transfer as it goes: each step's request, its record, what the memories may hold.
class Run {
  public:
    Run(SensorSession& session, const TransferOptions& options, TransferKind kind)
        : s_(session), options_(options) {
        o_.kind = kind;
        o_.memory = options.memory;
    }

    // Runs one request; its value when it was answered.
    template <typename T, typename F>
    std::optional<T> Step(TransferStep step, F request) {
        TransferStepRecord record;
        record.step = step;
        const std::uint64_t before = s_.requestsSent();
        const std::uint64_t strayBefore = s_.strayBytes();
        Result<T> result = request();
        // Bytes that came after the step before had its answer, discarded before this request
        // went out: that answer may have been another's.
        if (s_.strayBytes() != strayBefore && !doubted_ && !o_.steps.empty()) {
            doubted_ = o_.steps.back().step;
        }
        record.sent = s_.requestsSent() != before;
        std::optional<T> value;
        // The reply of another command is most likely the late answer of a step before: the
        // answer that step took may have been another's.
        const bool foreign =
            !result.ok() && s_.link().frames.ForeignCommand >= 0 && !o_.steps.empty();
        if (foreign && !doubted_) doubted_ = o_.steps.back().step;
        if (result.ok()) {
            record.answered = true;
            value = result.value();
            if constexpr (std::is_same_v<T, RejectedCount>) record.rejected = *value;
        } else {
            record.error = result.error();
            o_.error = result.error();
            o_.errorStep = step;
        }
        Mark(record);
        o_.steps.push_back(record);
        if (foreign) {
            Doubt();
            o_.error->reason += ": an answer taken before it may have been another's";
        }
        if (options_.stepDone) options_.stepDone(record);
        return value;
    }

    bool StepStatus(TransferStep step, const std::function<Status()>& request) {
        return Step<bool>(step,
                          [&]() -> Result<bool> {
                              if (const Status st = request(); !st) return st.error();
                              return true;
                          })
            .has_value();
    }

    // The configuration read back, each block as a step.
    std::optional<Configuration> ReadBack(bool throughEeprom) {
        if (throughEeprom &&
            !Step<RejectedCount>(TransferStep::Load, [&] { return s_.LoadEeprom(); })) {
            return std::nullopt;
        }
        const auto para =
            Step<ParameterSet>(TransferStep::ReadParameters, [&] { return s_.ReadParameters(); });
        if (!para) return std::nullopt;
        o_.parameters = para;
        const auto rows =
            Step<TeachRows>(TransferStep::ReadTeach, [&] { return s_.ReadTeachRows(); });
        if (!rows) return std::nullopt;
        o_.teach = rows;
        return o_.config();
    }

    // A frame came outside a reply: no answer of the writes can be trusted.
    void Doubtful(std::size_t bytes) {
        Doubt();
        o_.error = SensorError{SensorFault::BadHeader,
                               kMsgBadHeader,
                               std::to_string(bytes) +
                                   " bytes came outside a reply while the writes ran: which "
                                   "reply answered which request is not known",
                               {}};
    }

    // What the writes were answered with may not have been their own answers.
    void Doubt() {
        o_.stray = true;
        for (Holds* h : {&ramPara_, &ramTeach_, &eeprom_}) {
            if (*h == Holds::New) *h = Holds::Unknown;
        }
        o_.errorStep = doubted_ ? *doubted_ : o_.steps.back().step;
    }

    TransferOutcome& outcome() { return o_; }
    SensorSession& session() { return s_; }
    const TransferOptions& options() const { return options_; }

    TransferOutcome Done() {
        o_.ram = Both(ramPara_, ramTeach_);
        o_.eeprom = eeprom_;
        return std::move(o_);
    }

  private:
    void Mark(const TransferStepRecord& r) {
        if (!MayHaveActed(r)) return;
        const Holds now = r.answered ? Holds::New : Holds::Unknown;
        switch (r.step) {
            case TransferStep::WriteParameters:
                ramPara_ = now;
                break;
            case TransferStep::WriteTeach:
                ramTeach_ = now;
                break;
            case TransferStep::Store:
                eeprom_ = now;
                break;
            case TransferStep::Load: {
                // RAM takes what the EEPROM holds: for a read, that is what it put there; after
                // a Send, whatever the Send left in the EEPROM.
                const bool reading = o_.kind == TransferKind::Get || o_.kind == TransferKind::Load;
                const Holds loaded = now == Holds::New && !reading ? eeprom_ : now;
                ramPara_ = ramTeach_ = loaded;
                break;
            }
            case TransferStep::ReadParameters:
            case TransferStep::ReadTeach:
                break;
        }
    }

    SensorSession& s_;
    const TransferOptions& options_;
    TransferOutcome o_;
    Holds ramPara_ = Holds::Old;
    Holds ramTeach_ = Holds::Old;
    Holds eeprom_ = Holds::Old;
    std::optional<TransferStep> doubted_;  // the first step whose answer may be another's
};

std::vector<RefusedValue> NotHeld(const Configuration& sent, const Configuration& held) {
    std::vector<RefusedValue> refused;
    for (const Difference& d : CompareConfigurations(sent, held, kSensorTeachRows))
        refused.push_back({d.item, d.oldValue, d.newValue});
    return refused;
}

std::string Plural(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string MayHoldText(const TransferOutcome& o) {
    if (o.ram == Holds::Old && o.eeprom == Holds::Old) return {};
    return std::string("; the sensor may hold: RAM ") + HoldsName(o.ram) + ", EEPROM " +
           HoldsName(o.eeprom);
}

std::string RefusedText(const TransferOutcome& o) {
    if (o.refused.empty()) return Plural(o.rejected(), "value refused", "values refused");
    std::string text;
    const std::size_t named = std::min(o.refused.size(), kNamedInLine);
    for (std::size_t i = 0; i < named; ++i) {
        const RefusedValue& r = o.refused[i];
        if (i != 0) text += ", ";
        text += ValueName(r.item) + " refused (sent " + std::to_string(r.value) + ", holds " +
                std::to_string(r.held) + ")";
    }
    if (o.refused.size() > named) {
        text += " and " + Plural(o.refused.size() - named, "more", "more");
    }
    return text;
}

}  // namespace

const char* MemoryName(Memory memory) {
    switch (memory) {
        case Memory::Ram:
            return "RAM";
        case Memory::Eeprom:
            return "EEPROM";
        case Memory::File:
            break;
    }
    return "file";
}

const char* StepName(TransferStep step) {
    switch (step) {
        case TransferStep::WriteParameters:
            return "write parameters";
        case TransferStep::WriteTeach:
            return "write teach";
        case TransferStep::Store:
            return "store";
        case TransferStep::Load:
            return "load";
        case TransferStep::ReadParameters:
            return "read parameters";
        case TransferStep::ReadTeach:
            break;
    }
    return "read teach";
}

const char* HoldsName(Holds holds) {
    switch (holds) {
        case Holds::Old:
            return "old";
        case Holds::New:
            return "new";
        case Holds::Unknown:
            break;
    }
    return "unknown";
}

std::string ValueName(ConfigItem item) {
    return item.teach ? ItemSection(item) + " " + ItemKey(item) : ItemKey(item);
}

unsigned TransferOutcome::rejected() const {
    unsigned n = 0;
    for (const TransferStepRecord& s : steps) {
        if (s.step == TransferStep::WriteParameters || s.step == TransferStep::WriteTeach)
            n += s.rejected;
    }
    return n;
}

std::optional<Configuration> TransferOutcome::config() const {
    if (!parameters || !teach) return std::nullopt;
    Configuration c;
    c.para = *parameters;
    PutSensorRows(c.teach, *teach);
    return c;
}

std::optional<SensorError> TransferOutcome::Failure() const {
    if (error) return error;
    if (!refusedAny()) return std::nullopt;
    std::string message;
    for (const TransferStepRecord& s : steps) {
        if (s.rejected == 0 || s.step == TransferStep::Load) continue;
        if (!message.empty()) message += "\n\n";
        message += PlausibilityText(s.rejected, kMsgRamPlausibilityTail);
    }
    if (message.empty()) message = kMsgNotHeldAsSent;
    std::string reason;
    for (const RefusedValue& r : refused) {
        if (!reason.empty()) reason += "; ";
        reason += ValueName(r.item) + ": sent " + std::to_string(r.value) + ", holds " +
                  std::to_string(r.held);
    }
    return SensorError{SensorFault::Refused, message, reason, {}};
}

std::optional<TransferStep> TransferOutcome::FailureStep() const {
    if (error) return errorStep;
    for (const TransferStepRecord& s : steps) {
        if (s.rejected != 0 && s.step != TransferStep::Load) return s.step;
    }
    if (!refused.empty()) {
        // Found by the read-back: the write of the first value not held.
        return refused.front().item.teach ? TransferStep::WriteTeach
                                          : TransferStep::WriteParameters;
    }
    return std::nullopt;
}

std::optional<FailureKind> TransferOutcome::Kind() const {
    const auto failure = Failure();
    if (!failure) return std::nullopt;
    return FailureKindOf(failure->kind);
}

TransferOutcome SendConfiguration(SensorSession& session, const Configuration& config,
                                  const TransferOptions& options) {
    Run run(session, options, TransferKind::Send);
    TransferOutcome& o = run.outcome();
    if (session.knowsConfiguration()) {
        o.changes = CompareConfigurations(session.configuration(), config, kSensorTeachRows).size();
    }
    const std::uint64_t strayBefore = session.strayBytes();
    const auto para = run.Step<RejectedCount>(TransferStep::WriteParameters,
                                              [&] { return session.WriteParameters(config.para); });
    if (!para) return run.Done();
    if (!run.Step<RejectedCount>(TransferStep::WriteTeach,
                                 [&] { return session.WriteTeachTable(config.teach); })) {
        return run.Done();
    }
    if (options.memory == Memory::Eeprom &&
        !run.StepStatus(TransferStep::Store, [&] { return session.StoreEeprom(); })) {
        return run.Done();
    }
    // A late or doubled reply taken for a write's own would hide the real answer, which then
    // comes outside a reply: listen for it before anything counts as answered.
    session.SettleLine();
    if (const std::uint64_t stray = session.strayBytes() - strayBefore; stray != 0) {
        run.Doubtful(static_cast<std::size_t>(stray));
        return run.Done();
    }
    const bool refusedSome = o.rejected() != 0;
    if (!options.verify && !(refusedSome && options.nameRefusals)) return run.Done();
    // Read back from where it went: through the EEPROM when verifying a store.
    const bool throughEeprom = options.verify && options.memory == Memory::Eeprom;
    if (const auto held = run.ReadBack(throughEeprom)) {
        o.refused = NotHeld(config, *held);
        o.verified = options.verify && o.refused.empty();
    }
    // The blocks read back belong to no Get.
    o.parameters.reset();
    o.teach.reset();
    return run.Done();
}

TransferOutcome GetConfiguration(SensorSession& session, const TransferOptions& options) {
    Run run(session, options, TransferKind::Get);
    TransferOutcome& o = run.outcome();
    if (options.memory == Memory::Eeprom) {
        const auto loaded =
            run.Step<RejectedCount>(TransferStep::Load, [&] { return session.LoadEeprom(); });
        if (!loaded) return run.Done();
        o.eepromRejected = *loaded;
    }
    if (const auto read = run.ReadBack(false); read && options.shown != nullptr) {
        o.differs = CompareConfigurations(*options.shown, *read, kSensorTeachRows);
    }
    return run.Done();
}

TransferOutcome StoreInEeprom(SensorSession& session, const TransferOptions& options) {
    TransferOptions to = options;
    to.memory = Memory::Eeprom;
    Run run(session, to, TransferKind::Store);
    // What RAM holds goes into the EEPROM: "new" there is RAM's contents.
    run.StepStatus(TransferStep::Store, [&] { return session.StoreEeprom(); });
    return run.Done();
}

TransferOutcome LoadIntoRam(SensorSession& session, const TransferOptions& options) {
    TransferOptions to = options;
    to.memory = Memory::Eeprom;
    Run run(session, to, TransferKind::Load);
    if (const auto loaded =
            run.Step<RejectedCount>(TransferStep::Load, [&] { return session.LoadEeprom(); })) {
        run.outcome().eepromRejected = *loaded;
    }
    return run.Done();
}

std::string OutcomeLine(const TransferOutcome& o) {
    const std::string memory = MemoryName(o.memory);
    std::string done;
    std::string failed;
    switch (o.kind) {
        case TransferKind::Send:
            done = "Sent to " + memory;
            failed = "Send to " + memory + " failed";
            break;
        case TransferKind::Get:
            done = "Read from " + memory;
            failed = "Read from " + memory + " failed";
            break;
        case TransferKind::Store:
            done = "Stored RAM in the EEPROM";
            failed = "Store in the EEPROM failed";
            break;
        case TransferKind::Load:
            done = "Loaded the EEPROM into RAM";
            failed = "Load of the EEPROM failed";
            break;
    }
    if (o.error) {
        std::string line = failed;
        if (o.errorStep) line += std::string(" at ") + StepName(*o.errorStep);
        if (const auto kind = FailureKindOf(o.error->kind)) {
            line += std::string(" (") + FailureKindText(*kind) + ")";
        }
        return line + MayHoldText(o);
    }
    if (o.kind == TransferKind::Send) {
        if (o.refusedAny()) return done + ": " + RefusedText(o);
        std::string line = done + ": ";
        if (o.changes) line += Plural(*o.changes, "change", "changes") + ", ";
        line += "all taken";
        if (o.verified) line += ", read back alike";
        return line;
    }
    std::vector<std::string> notes;
    if (o.eepromRejected != 0) {
        notes.push_back(Plural(o.eepromRejected, "value", "values") +
                        " set to defaults by the sensor");
    }
    if (o.kind == TransferKind::Get && !o.differs.empty()) {
        notes.push_back(Plural(o.differs.size(), "value differs", "values differ") +
                        " from what was shown");
    }
    std::string line = done;
    for (std::size_t i = 0; i < notes.size(); ++i)
        line += (i == 0 ? ": " : "; ") + notes[i];
    return line;
}

}  // namespace qelto
