// One sensor of a line, done as a whole: connect, then identify it, back it up, check it
// against a golden configuration or roll that out, with one record of how it went. qelto-cli
// fleet runs many of these at once, each on a thread of its own with its own session; nothing
// here is shared between sensors but the plan.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "protocol/configuration_diff.hpp"
#include "protocol/records.hpp"
#include "sensor/failure_report.hpp"
#include "sensor/identity.hpp"
#include "sensor/inventory.hpp"
#include "sensor/sensor_session.hpp"

namespace qelto {

enum class FleetTask { Identify, Backup, Check, Rollout };
const char* FleetTaskName(FleetTask task);  // "identify", "backup", "check", "rollout"

// "ok"; "differs" (check: the sensor holds other values than the golden file); "failed"; and
// "skipped" for a sensor that was never started (the run was stopped).
enum class FleetVerdict { Ok, Differs, Failed, Skipped };
const char* FleetVerdictName(FleetVerdict verdict);

// What a backup did with SERIAL.ini.
enum class BackupFile {
    None,       // nothing written (the sensor failed before, or not a backup)
    New,        // there was none
    Unchanged,  // it held these values already: left as it was
    Replaced,   // it held other values and --force replaced it
    Kept,       // it held other values and was kept: the sensor counts as failed
};
const char* BackupFileName(BackupFile file);  // "", "new", "unchanged", "replaced", "kept"

struct FleetPlan {
    FleetTask task = FleetTask::Identify;
    // check, rollout: the configuration the sensors should hold (rows 0..31 count).
    Configuration golden{};
    std::string goldenName;  // as the lines name it
    // backup: the folder, and whether a file with other values is replaced.
    std::string directory;
    bool force = false;
    // rollout: into RAM first (read back with verify), stored only once RAM took everything.
    bool ramFirst = false;
    bool verify = false;
    // backup: called before SERIAL.ini is touched, from any thread: the address of an earlier
    // sensor of this run with the same serial number, if there is one. Two sensors must not
    // share a backup, nor one replace the other's unseen.
    std::function<std::optional<std::string>(std::uint16_t serial, const std::string& address)>
        claimSerial;
};

struct FleetResult {
    InventoryEntry entry;
    std::string address;  // entry.link.Address()
    FleetVerdict verdict = FleetVerdict::Failed;
    SensorIdentity identity;  // as far as it was read
    bool identified = false;  // its name and serial number came
    std::optional<FailureReport> failure;
    // check: the sensor's values (old) against the golden ones (new); rollout: what the
    // rollout changes in RAM; backup: the previous file (old) against the sensor (new).
    std::vector<Difference> differences;
    // rollout: what the sensor's memories may hold now.
    std::optional<MayHold> mayHold;
    std::string file;  // backup
    BackupFile saved = BackupFile::None;
    // What happened, in a line: "Sent to EEPROM: 1 change, all taken", "saved 4711.ini".
    std::string status;
    double seconds = 0;
};

// Does the plan's task on one sensor, on `session` (which it opens and closes again). Reads
// only RAM: loading the EEPROM would throw away what the sensor holds only in RAM.
FleetResult RunFleetJob(SensorSession& session, const InventoryEntry& entry, const FleetPlan& plan);

// For a sensor that was never started.
FleetResult SkippedFleetJob(const InventoryEntry& entry, std::string why);

}  // namespace qelto
