// What one transfer with the sensor did: every Send, Get, store and load gives one
// TransferOutcome, and the window's status bar, qelto-cli's JSON and exit code and Python's
// exceptions are renderings of it.
//
// How to use it:
//   TransferOptions options;
//   options.memory = Memory::Ram;                  // or Memory::Eeprom (stored after the writes)
//   options.stepDone = [&](const TransferStepRecord& s) { ... };  // each step as it ends
//   const TransferOutcome sent = SendConfiguration(session, config, options);
//   if (!sent.ok()) {
//       // sent.Failure() and sent.FailureStep(): what to report, and at which step;
//       // sent.ram, sent.eeprom: what the sensor may hold now (old, new, unknown);
//       // sent.refused: the values it did not take, with what it holds instead.
//   }
//   status = OutcomeLine(sent);  // "Sent to EEPROM: 2 changes, all taken"
// GetConfiguration reads (options.shown: what the front end showed, to count what differs),
// with the blocks in `parameters` and `teach` as far as they came; StoreInEeprom and
// LoadIntoRam send commands 3 and 4 alone. Each step's own failure has been told to the
// session's observers as it happened; the record says what it means for the sensor.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "protocol/configuration_diff.hpp"
#include "protocol/records.hpp"
#include "sensor/sensor_error.hpp"
#include "sensor/sensor_session.hpp"

namespace qelto {

// Where a transfer goes to or comes from. File is the window's parameter file, for a record
// of a save or a load from a file; the functions here take Ram or Eeprom.
enum class Memory { Ram, Eeprom, File };
const char* MemoryName(Memory memory);  // "RAM", "EEPROM", "file"

enum class TransferKind { Send, Get, Store, Load };

// The exchanges a transfer is made of, in the words scripts and the JSON use.
enum class TransferStep { WriteParameters, WriteTeach, Store, Load, ReadParameters, ReadTeach };
// "write parameters", "write teach", "store", "load", "read parameters", "read teach"
const char* StepName(TransferStep step);

// What a memory of the sensor may hold after a transfer: as before it (old), what the transfer
// put there (new: for a Send what was sent, refused values replaced by the sensor's defaults;
// for a load the EEPROM's contents), or either, or some of each (unknown: a request went out
// and its answer was lost, broken or may have been another's).
enum class Holds { Old, New, Unknown };
const char* HoldsName(Holds holds);  // "old", "new", "unknown"

struct TransferStepRecord {
    TransferStep step = TransferStep::WriteParameters;
    bool sent = false;      // the request went out (or may have)
    bool answered = false;  // its reply came and was taken
    // Writes and the load: how many values the sensor found implausible and replaced with its
    // defaults.
    RejectedCount rejected = 0;
    std::optional<SensorError> error;  // why it was not answered
};

// A value the sensor does not hold as it was sent: what went out, and what it holds instead.
struct RefusedValue {
    ConfigItem item;
    std::uint16_t value = 0;
    std::uint16_t held = 0;
};

struct TransferOutcome {
    TransferKind kind = TransferKind::Send;
    Memory memory = Memory::Eeprom;
    std::vector<TransferStepRecord> steps;  // in the order they went out
    // The failure that ended it, or that makes its answers doubtful (a frame that came outside
    // a reply), and the step it belongs to.
    std::optional<SensorError> error;
    std::optional<TransferStep> errorStep;
    Holds ram = Holds::Old;
    Holds eeprom = Holds::Old;

    // Send: how many values differ from what the sensor was known to hold (when known).
    std::optional<std::size_t> changes;
    // Send: the values it does not hold as sent, read back after a refusal or to verify.
    std::vector<RefusedValue> refused;
    bool verified = false;  // read back and compared, every value held as sent
    // A frame came outside a reply while the writes ran or right after them.
    bool stray = false;

    // Get and load: the EEPROM's plausibility count.
    RejectedCount eepromRejected = 0;
    // Get: what came, as far as it came (rows 0..31 of the teach table).
    std::optional<ParameterSet> parameters;
    std::optional<TeachRows> teach;
    // Get with what was shown: the values that differ from it.
    std::vector<Difference> differs;

    // The plausibility counts of the writes, added up.
    unsigned rejected() const;
    bool refusedAny() const { return rejected() != 0 || !refused.empty(); }
    bool ok() const { return !error && !refusedAny(); }
    // Get: both blocks, the teach rows 32..63 zero.
    std::optional<Configuration> config() const;
    // What a front end reports for the whole: the error, else the refusal (the sensor's
    // plausibility verdicts, the values it did not take named in the reason). Nothing when ok.
    std::optional<SensorError> Failure() const;
    std::optional<TransferStep> FailureStep() const;
    std::optional<FailureKind> Kind() const;
};

struct TransferOptions {
    Memory memory = Memory::Eeprom;
    // Send: read back after writing (through the EEPROM when it went there) and compare.
    // Off by default: the sensor's own order of requests is kept.
    bool verify = false;
    // Send: after a refusal, read RAM back to name what the sensor did not take.
    bool nameRefusals = true;
    // Get: what the front end showed, to count what the sensor holds otherwise.
    const Configuration* shown = nullptr;
    // Told as each step ends, before the next goes out.
    std::function<void(const TransferStepRecord&)> stepDone;
};

// The parameters, then the sensor's teach rows (0..31), then into the EEPROM when
// options.memory is Eeprom. The teach rows go out even when the sensor refused parameters; a
// failed exchange stops it. Afterwards the line must stay quiet for a moment: a frame that
// comes outside a reply while the writes run or then makes what they wrote unknown.
TransferOutcome SendConfiguration(SensorSession& session, const Configuration& config,
                                  const TransferOptions& options = {});
// Load the EEPROM into RAM first when options.memory is Eeprom, then the parameters and the
// teach rows.
TransferOutcome GetConfiguration(SensorSession& session, const TransferOptions& options = {});
// Command 3 alone: RAM into the EEPROM.
TransferOutcome StoreInEeprom(SensorSession& session, const TransferOptions& options = {});
// Command 4 alone: the EEPROM into RAM.
TransferOutcome LoadIntoRam(SensorSession& session, const TransferOptions& options = {});

// The outcome in one line for a status bar: "Sent to EEPROM: 2 changes, all taken", "Sent to
// RAM: GAIN refused (sent 9, holds 6)", "Read from EEPROM: 3 values differ from what was shown",
// "Send to EEPROM failed at store (time-out); the sensor may hold: RAM new, EEPROM unknown".
std::string OutcomeLine(const TransferOutcome& outcome);
// "GAIN", "TEACH VECTOR 3 HOLD": a value named in a line.
std::string ValueName(ConfigItem item);

// The program's words when a read-back finds values other than those sent, and the sensor
// gave no count for them.
inline constexpr const char* kMsgNotHeldAsSent = "READ-BACK DIFFERS FROM WHAT WAS SENT!";

}  // namespace qelto
