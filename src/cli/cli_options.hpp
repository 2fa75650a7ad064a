// The command line of qelto-cli: what the operator asked for, checked before anything runs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "protocol/records.hpp"
#include "sensor/fleet.hpp"

namespace qelto::cli {

enum class Command {
    Identify,
    Get,
    Send,
    Live,
    Record,
    Freq,
    Show,
    Defaults,
    Ports,
    Diff,
    Set,
    Store,
    Load,
    Fleet
};

enum class LinkChoice { FromSettings, Tcp, Serial };

enum class Format { Text, Json, Csv, Jsonl };

struct CliOptions {
    bool help = false;
    bool version = false;
    Command command = Command::Identify;

    LinkChoice link = LinkChoice::FromSettings;
    std::string tcpHost;
    int tcpPort = 0;
    int comPort = 0;         // COM number by the fixed device mapping
    std::string serialText;  // as given, for messages
    int baudRateIndex = 4;   // 115200

    bool verbose = false;
    bool sendDefaults = false;
    bool ram = false;
    bool force = false;
    std::string inputFile;               // send -i, show FILE
    std::string outputFile;              // get -o, defaults -o, record FILE
    std::string secondFile;              // diff FILE1 FILE2
    std::optional<std::uint64_t> count;  // live -n, record -n
    std::optional<double> seconds;       // record --seconds
    std::uint64_t every = 1;             // record --every: one sample in so many
    bool reconnect = false;              // live, record: go on when the sensor comes back
    bool verify = false;                 // send, set: read back after writing and compare
    Format format = Format::Text;
    // fleet TASK INVENTORY [DIR | GOLDEN]: DIR for backup, GOLDEN for check and rollout.
    FleetTask fleetTask = FleetTask::Identify;
    std::string inventoryFile;
    std::string fleetTarget;
    int jobs = 8;           // -j: sensors at once
    bool ramFirst = false;  // rollout: RAM, (verify,) then store
    // set: the values named on the command line, checked, in the order given.
    std::vector<std::pair<ConfigItem, std::uint16_t>> assignments;
};

// The parsed command line, or nullopt with a one-line reason in `error`.
std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& args, std::string& error);

const char* CommandName(Command c);

extern const char* const kCliUsage;

// Exit codes, one per kind of trouble; scripts rely on them.
inline constexpr int kExitOk = 0;
// The link failed: closed, no reply in time, a broken reply or one of another request.
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitUnsupported = 3;  // firmware of another family
inline constexpr int kExitFile = 4;
// diff: the two sides differ (same is kExitOk); fleet check: a sensor holds other values than
// the golden file. Kept apart from the codes of trouble above.
inline constexpr int kExitDiffer = 5;
// live, record --reconnect: another sensor answered where the lost one was.
inline constexpr int kExitOtherSensor = 6;
// The sensor refused: it replaced values with its defaults, held other values than were sent
// (--verify), or answered with its error reply.
inline constexpr int kExitRefused = 7;
// fleet: one sensor or more failed (or was not started); each one's line says which and how.
inline constexpr int kExitFleetFailed = 8;

}  // namespace qelto::cli
