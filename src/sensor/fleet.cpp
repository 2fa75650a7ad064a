#include "sensor/fleet.hpp"

#include <chrono>
#include <filesystem>
#include <system_error>

#include "files/parameter_file.hpp"
#include "files/paths.hpp"
#include "sensor/connect.hpp"
#include "sensor/sensor_texts.hpp"
#include "sensor/transfer_outcome.hpp"

namespace qelto {
namespace {

// The step of a backup's file, as scripts read it beside the sensor's own steps.
constexpr const char* kStepWriteFile = "write file";

std::string Plural(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

FailureReport FileFailure(const FleetResult& r, std::string message, std::string reason) {
    FailureReport f;
    f.address = r.address;
    f.sensor = SensorNamed(r.identity);
    f.step = kStepWriteFile;
    f.kind = "file";
    f.message = std::move(message);
    f.reason = std::move(reason);
    return f;
}

void Fail(FleetResult& r, FailureReport failure) {
    r.verdict = FleetVerdict::Failed;
    if (r.status.empty()) {
        r.status = OneLine(failure.message);
        if (!failure.reason.empty()) r.status += " (" + OneLine(failure.reason) + ")";
    }
    r.failure = std::move(failure);
}

// SERIAL.ini in the folder: new, left alone when it holds these values already, otherwise
// kept unless the plan says to replace it.
void Backup(FleetResult& r, const Configuration& config, const FleetPlan& plan) {
    const std::uint16_t serial = r.identity.serialNumber;
    r.file = JoinPath(WithoutTrailingSeparator(plan.directory), std::to_string(serial) + ".ini");
    if (plan.claimSerial) {
        if (const auto other = plan.claimSerial(serial, r.address)) {
            return Fail(r, FileFailure(r,
                                       "another sensor of this run has serial number " +
                                           std::to_string(serial) + " (" + *other + ")",
                                       r.file + " holds that one's backup"));
        }
    }
    std::error_code ec;
    if (std::filesystem::exists(PathFromUtf8(r.file), ec)) {
        Configuration before{};
        // A file that is not one of ours, or of another version, is not read: it counts as
        // holding other values.
        const bool loaded =
            ReadParameterFile(r.file, before, [](std::string_view) { return false; }).loaded;
        if (loaded) r.differences = CompareConfigurations(before, config, kTeachRows);
        if (loaded && r.differences.empty()) {
            r.saved = BackupFile::Unchanged;
            r.verdict = FleetVerdict::Ok;
            r.status = "unchanged " + r.file;
            return;
        }
        const std::string differ =
            loaded ? Plural(r.differences.size(), "value differs", "values differ")
                   : "not a parameter file of this version";
        if (!plan.force) {
            r.saved = BackupFile::Kept;
            return Fail(r, FileFailure(r, r.file + " holds other values: kept, not replaced",
                                       differ + "; --force replaces it"));
        }
        r.saved = BackupFile::Replaced;
        r.status = "replaced " + r.file + " (" + differ + ")";
    } else {
        r.saved = BackupFile::New;
        r.status = "saved " + r.file;
    }
    int systemError = 0;
    if (const int written = WriteParameterFile(r.file, config, &systemError); written < 0) {
        r.saved = BackupFile::None;
        return Fail(r, FileFailure(r, std::string(kWriteFailed),
                                   r.file + ": " + Ini_WriteErrorText(written, systemError)));
    }
    r.verdict = FleetVerdict::Ok;
}

void Check(FleetResult& r, const Configuration& held, const FleetPlan& plan) {
    r.differences = CompareConfigurations(held, plan.golden, kSensorTeachRows);
    if (r.differences.empty()) {
        r.verdict = FleetVerdict::Ok;
        r.status = "holds " + plan.goldenName;
        return;
    }
    r.verdict = FleetVerdict::Differs;
    r.status = Plural(r.differences.size(), "value differs", "values differ") + " from " +
               plan.goldenName + ": ";
    // The first few in the line; every one in the record.
    constexpr std::size_t kNamed = 3;
    for (std::size_t i = 0; i < r.differences.size() && i < kNamed; ++i)
        r.status += (i == 0 ? "" : ", ") + DiffLine(r.differences[i]);
    if (r.differences.size() > kNamed) {
        r.status += " and " + std::to_string(r.differences.size() - kNamed) + " more";
    }
}

void Rollout(FleetResult& r, SensorSession& session, const Configuration& held,
             const FleetPlan& plan) {
    r.differences = CompareConfigurations(held, plan.golden, kSensorTeachRows);
    TransferOptions options;
    options.memory = plan.ramFirst ? Memory::Ram : Memory::Eeprom;
    options.verify = plan.verify;
    const TransferOutcome sent = SendConfiguration(session, plan.golden, options);
    r.mayHold = MayHold{sent.ram, sent.eeprom};
    r.status = OutcomeLine(sent);
    if (const auto failure = ReportOf(sent, r.address, session.identity())) {
        return Fail(r, *failure);
    }
    if (plan.ramFirst) {
        // RAM holds all of it: only now does it go into the EEPROM.
        const TransferOutcome stored = StoreInEeprom(session);
        r.mayHold->eeprom = stored.eeprom;
        if (auto failure = ReportOf(stored, r.address, session.identity())) {
            failure->mayHold = r.mayHold;
            return Fail(r, *failure);
        }
        r.status += "; " + OutcomeLine(stored);
    }
    r.verdict = FleetVerdict::Ok;
}

}  // namespace

const char* FleetTaskName(FleetTask task) {
    switch (task) {
        case FleetTask::Identify:
            return "identify";
        case FleetTask::Backup:
            return "backup";
        case FleetTask::Check:
            return "check";
        case FleetTask::Rollout:
            break;
    }
    return "rollout";
}

const char* FleetVerdictName(FleetVerdict verdict) {
    switch (verdict) {
        case FleetVerdict::Ok:
            return "ok";
        case FleetVerdict::Differs:
            return "differs";
        case FleetVerdict::Failed:
            return "failed";
        case FleetVerdict::Skipped:
            break;
    }
    return "skipped";
}

const char* BackupFileName(BackupFile file) {
    switch (file) {
        case BackupFile::None:
            return "";
        case BackupFile::New:
            return "new";
        case BackupFile::Unchanged:
            return "unchanged";
        case BackupFile::Replaced:
            return "replaced";
        case BackupFile::Kept:
            break;
    }
    return "kept";
}

FleetResult RunFleetJob(SensorSession& session, const InventoryEntry& entry,
                        const FleetPlan& plan) {
    const auto start = std::chrono::steady_clock::now();
    FleetResult r;
    r.entry = entry;
    r.address = entry.link.Address();
    ConnectOptions options;
    options.throughEeprom = false;
    options.readConfiguration = plan.task != FleetTask::Identify;
    const ConnectResult c = Connect(session, entry.link, options);
    r.identity = c.identity;
    // The name and serial number come just before the sensor is taken.
    r.identified = c.reached >= ConnectStage::NotAccepted;
    if (const auto failure = ReportOf(c, r.address)) {
        Fail(r, *failure);
    } else {
        switch (plan.task) {
            case FleetTask::Identify:
                r.verdict = FleetVerdict::Ok;
                r.status = "family " + std::to_string(c.identity.SensorModel);
                break;
            case FleetTask::Backup:
                Backup(r, c.read.config, plan);
                break;
            case FleetTask::Check:
                Check(r, c.read.config, plan);
                break;
            case FleetTask::Rollout:
                Rollout(r, session, c.read.config, plan);
                break;
        }
    }
    session.Close();
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return r;
}

FleetResult SkippedFleetJob(const InventoryEntry& entry, std::string why) {
    FleetResult r;
    r.entry = entry;
    r.address = entry.link.Address();
    r.verdict = FleetVerdict::Skipped;
    r.status = std::move(why);
    return r;
}

}  // namespace qelto
