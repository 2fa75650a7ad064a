// qelto-cli fleet: a line of sensors from one command, each sensor on a thread of its own
// (FleetRunner), its line printed here, on the main thread, as it finishes.
#include <QJsonObject>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <mutex>
#include <system_error>

#include "cli_app.hpp"
#include "cli_json.hpp"
#include "files/overlay_file.hpp"
#include "files/paths.hpp"
#include "fleet_runner.hpp"

namespace qelto::cli {
namespace {

namespace fs = std::filesystem;

std::string Padded(std::string text, std::size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

const char* VerdictWord(FleetVerdict v) {
    switch (v) {
        case FleetVerdict::Ok:
            return "ok";
        case FleetVerdict::Differs:
            return "DIFFERS";
        case FleetVerdict::Failed:
            return "FAILED";
        case FleetVerdict::Skipped:
            break;
    }
    return "SKIPPED";
}

QJsonValue OrNull(bool known, const QJsonValue& value) {
    return known ? value : QJsonValue();
}

// One sensor as one JSON object: the failure's fields (as every failure of qelto-cli has
// them), then the sensor's own.
QJsonObject JsonFleetResult(const FleetResult& r) {
    QJsonObject json;
    if (r.failure) json = JsonFailure(*r.failure);
    for (const char* key : {"step", "kind", "message", "reason", "advice"}) {
        if (!json.contains(key)) json[key] = QJsonValue();
    }
    if (!json.contains("refused")) json["refused"] = QJsonArray();
    json["link"] = JsonText(r.entry.linkText);
    json["line"] = static_cast<qint64>(r.entry.line);
    json["name"] = OrNull(!r.entry.name.empty(), JsonText(r.entry.name));
    json["address"] = JsonText(r.address);
    json["sensor"] = JsonText(SensorNamed(r.identity));
    json["firmware"] = OrNull(r.identity.supported(), JsonText(r.identity.firmwareLine()));
    json["serial"] = OrNull(r.identified, r.identity.serialNumber);
    json["result"] = FleetVerdictName(r.verdict);
    json["status"] = JsonText(r.status);
    json["may_hold"] =
        r.mayHold ? QJsonValue(JsonMayHold(r.mayHold->ram, r.mayHold->eeprom)) : QJsonValue();
    json["differences"] = JsonDifferences(r.differences);
    if (!r.file.empty()) json["file"] = JsonText(r.file);
    if (r.saved != BackupFile::None) json["saved"] = BackupFileName(r.saved);
    json["seconds"] = r.seconds;
    return json;
}

// "ok      inlet   127.0.0.1:5000 (KORVANEX V4.3B7, KORVANEX TAVRENO SIM, serial 4711): Sent
// to EEPROM: 1 change, all taken"; a failure as its report's line, with what the sensor may
// hold after a write.
std::string FleetLine(const FleetResult& r, std::size_t nameWidth) {
    std::string line = Padded(VerdictWord(r.verdict), 8);
    if (nameWidth != 0) line += Padded(r.entry.name.empty() ? "-" : r.entry.name, nameWidth + 1);
    if (r.failure) {
        line += r.failure->Line();
        if (const auto& m = r.failure->mayHold;
            m && (m->ram != Holds::Old || m->eeprom != Holds::Old)) {
            line += std::string("; may hold: RAM ") + HoldsName(m->ram) + ", EEPROM " +
                    HoldsName(m->eeprom);
        }
        return line;
    }
    line += r.address;
    if (const std::string sensor = SensorNamed(r.identity); !sensor.empty()) {
        line += " (" + sensor + ")";
    }
    return line + ": " + r.status;
}

}  // namespace

int CliApp::Fleet() {
    const Inventory inventory = ReadInventory(opt_.inventoryFile);
    const auto refuse = [&](const std::string& why) {
        console_.Say(why + "; no sensor was started");
        FailureReport r;
        r.step = "fleet";
        r.kind = "file";
        r.message = why;
        Note(std::move(r));
        return kExitFile;
    };
    if (!inventory.error.empty()) return refuse(inventory.error);

    FleetPlan plan;
    plan.task = opt_.fleetTask;
    plan.ramFirst = opt_.ramFirst;
    plan.verify = opt_.verify;
    plan.force = opt_.force;
    if (plan.task == FleetTask::Check || plan.task == FleetTask::Rollout) {
        // Over the defaults: an overlay names only what differs from them, and a whole parameter
        // file names everything.
        LoadDefaultParaValues(plan.golden.para, plan.golden.teach, 1);
        const ReadProblem problem = ReadOverlayFile(opt_.fleetTarget, plan.golden, kTeachRows);
        if (!problem.reason.empty()) return refuse(opt_.fleetTarget + ": " + problem.Text());
        plan.goldenName = opt_.fleetTarget;
    }
    std::mutex claimed;
    std::map<std::uint16_t, std::string> serials;  // serial number: the address that has it
    if (plan.task == FleetTask::Backup) {
        plan.directory = opt_.fleetTarget;
        std::error_code ec;
        const fs::path dir = PathFromUtf8(opt_.fleetTarget);
        if (!fs::is_directory(dir, ec)) {
            if (fs::exists(dir, ec)) return refuse(opt_.fleetTarget + ": not a directory");
            if (!fs::create_directories(dir, ec) && ec) {
                return refuse(opt_.fleetTarget + ": the folder could not be made: " + ec.message());
            }
        }
        plan.claimSerial = [&](std::uint16_t serial,
                               const std::string& address) -> std::optional<std::string> {
            std::lock_guard lock(claimed);
            const auto [it, fresh] = serials.emplace(serial, address);
            if (fresh) return std::nullopt;
            return it->second;
        };
    }

    std::size_t nameWidth = 0;
    for (const InventoryEntry& e : inventory.entries)
        nameWidth = std::max(nameWidth, e.name.size());
    const std::size_t jobs =
        std::min(inventory.entries.size(), static_cast<std::size_t>(opt_.jobs));
    console_.Say(std::string("fleet ") + FleetTaskName(plan.task) + ": " +
                 std::to_string(inventory.entries.size()) + " sensors from " + opt_.inventoryFile +
                 ", " + std::to_string(jobs) + " at a time");

    std::map<FleetVerdict, std::size_t> counts;
    const auto start = std::chrono::steady_clock::now();
    FleetRunner runner(inventory.entries, plan, opt_.jobs);
    fleet_ = &runner;
    runner.Run([&](const FleetResult& r) {
        ++counts[r.verdict];
        if (opt_.format == Format::Json) {
            PrintJson(JsonFleetResult(r));
        } else {
            const std::string line = FleetLine(r, nameWidth) + "\n";
            std::fwrite(line.data(), 1, line.size(), out_);
            FlushOutput();
        }
    });
    fleet_ = nullptr;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const std::size_t total = inventory.entries.size();
    const std::size_t bad = counts[FleetVerdict::Failed] + counts[FleetVerdict::Skipped];
    const int rc = bad != 0                             ? kExitFleetFailed
                   : counts[FleetVerdict::Differs] != 0 ? kExitDiffer
                                                        : kExitOk;
    if (opt_.format == Format::Json) {
        PrintJson({{"summary", true},
                   {"task", FleetTaskName(plan.task)},
                   {"sensors", static_cast<qint64>(total)},
                   {"ok", static_cast<qint64>(counts[FleetVerdict::Ok])},
                   {"differs", static_cast<qint64>(counts[FleetVerdict::Differs])},
                   {"failed", static_cast<qint64>(counts[FleetVerdict::Failed])},
                   {"skipped", static_cast<qint64>(counts[FleetVerdict::Skipped])},
                   {"seconds", seconds},
                   {"exit_code", rc}});
        return rc;
    }
    std::string summary = std::string("fleet ") + FleetTaskName(plan.task) + ": " +
                          std::to_string(counts[FleetVerdict::Ok]) + " of " +
                          std::to_string(total) + " sensors ok";
    const std::pair<FleetVerdict, const char*> others[] = {{FleetVerdict::Differs, "differ"},
                                                           {FleetVerdict::Failed, "failed"},
                                                           {FleetVerdict::Skipped, "not started"}};
    for (const auto& [verdict, word] : others) {
        if (counts[verdict] != 0) summary += ", " + std::to_string(counts[verdict]) + " " + word;
    }
    char time[32];
    std::snprintf(time, sizeof time, " (%.1f s)\n", seconds);
    summary += time;
    std::fwrite(summary.data(), 1, summary.size(), out_);
    FlushOutput();
    return rc;
}

}  // namespace qelto::cli
