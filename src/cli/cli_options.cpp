#include "cli_options.hpp"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>
#include <set>
#include <string_view>

#include "protocol/com_ports.hpp"
#include "protocol/records.hpp"
#include "sensor/evidence.hpp"
#include "sensor/inventory.hpp"

namespace qelto::cli {

const char* const kCliUsage =
    R"(Usage: qelto-cli [LINK] [--verbose] COMMAND [OPTIONS]
LINK:  --tcp HOST:PORT  |  --serial PORT [--baud RATE]
       PORT is a COM number or a device path; RATE one of the eight table rates (default 115200).
       Without LINK: the connection settings the GUI stored in its panel settings file.
COMMAND:
  identify                     connect; print the firmware line, family (1..3), sensor name, serial number
  get  [--ram] -o FILE         connect (through the EEPROM unless --ram) and save the sensor's parameters to FILE
  send [--ram] -i FILE [--force] [--verify] [--format text|json]
                               check FILE first (before touching the sensor), connect, load FILE, send it
                               (and store it in the EEPROM unless --ram); --force answers yes to the
                               file-type and version questions
  store                        connect (nothing is read) and store the sensor's RAM in its EEPROM
                               (command 3 alone): "RAM, verify, then persist" without sending twice
  load                         connect (nothing is read) and load the EEPROM into RAM (command 4 alone)
  live [-n COUNT] [--format csv|jsonl] [--reconnect]
                               connect and stream live samples (until COUNT or Ctrl-C): t (seconds since
                               start), red, green, blue, x, y, int, color_no (255: no colour matched),
                               wall_clock (ISO 8601, local, with its UTC offset); csv has a header line
  record FILE [-n COUNT | --seconds S] [--every N] [--reconnect] [--force]
                               connect and record live samples into the CSV file FILE (the lines of live
                               --format csv), until COUNT rows, S seconds or Ctrl-C; one sample in N
                               (default 1). FILE is held locked and gets whole rows at least once a
                               second; an existing FILE is refused unless --force (which replaces it)
--reconnect (live, record): when the link is lost, try again quietly every 2 s and go on with the
  sensor that was connected (nothing is written to it); the gap shows as a jump of t and one line
  on stderr. Another sensor ends the command with exit code 6.
  freq                         connect and print the scan frequency as the GUI formats it
  show FILE [--format text|json] [--force]
                               no sensor: print the parameter file as the program loads it (26 parameters
                               by file key, 64 teach rows of eight values); reports go to stderr;
                               --force as for send; json is always valid UTF-8: a byte of the file
                               name that is not UTF-8 shows as U+FFFD
  defaults -o FILE             no sensor: write a parameter file holding the default values
  ports                        list serial ports: COM number and device path
  diff FILE [--force]          compare the sensor (its RAM, read only: nothing is written) with FILE
  diff FILE1 FILE2 [--force]   no sensor: compare two parameter files
                               one line per value that differs, old (sensor or FILE1) beside new
                               (FILE or FILE2), by the file's names: "[PARAMETER] GAIN: 6 -> 9",
                               "[TEACH VECTOR 2] CELL 0: 1 -> 900"; a sensor is compared on teach
                               rows 0..31
  set [--ram] [--verify] KEY=VALUE...
                               change only the values named: every KEY and VALUE is checked first
                               (nothing is sent for a mistake); connect, read the sensor (through
                               the EEPROM unless --ram), print the differences as diff does, send,
                               store in the EEPROM unless --ram. KEY as in the parameter file, any
                               case, "_" for a blank (gain=9, dynwin_lo=1234); a teach word as
                               section.key (teach_vector_2.cell_0=900, rows 0..31); VALUE 0..65535.
                               Values the sensor refuses are named, exit 7
  teach ROW [--samples N] [--tolerance auto|VALUE] [--margin M] [--ram] [--verify] [--dry-run]
                               teach one colour, the one in front of the sensor, into ROW (0..30;
                               0..2 with two outputs) and leave every other row as it is: read the
                               sensor, take N live samples (default 100; auto needs 10), set the
                               row's CELL 0..2 to their centre (per-axis median) and CELL 3 to
                               VALUE or, with auto (the default), to M (default 1.5) times the
                               radius that holds 99.7 % of them, kept clear of the other rows'
                               spheres; raise MAX VEC NO to ROW+1 when lower. Print the
                               differences and send them as set does; --dry-run sends nothing
  advise RECORDING.csv [-i FILE] [--margin M] [--coverage P] [-o OUT]
                               check the taught colours of FILE (without -i: the sensor's RAM, read
                               only) against a recording of live data (Record, or live --format
                               csv): per taught row its samples (those nearest its centre), the
                               radius that holds P % of them (default 99.7), how many lie inside
                               its sphere, its nearest row, the proposed tolerance (M times that
                               radius, the spheres kept apart) and a verdict: ok, too small, too
                               large, cannot separate, too few samples (under 10); the agreement of
                               the spheres with the colour numbers the sensor reported. -o saves
                               FILE (or the sensor's) with the proposals as a parameter file.
                               Nothing is written to a sensor. A recording that cannot be read:
                               its line and why, exit 2
  fleet identify INVENTORY     many sensors at once, [-j N] of them (default 8), each on a thread of its
  fleet backup INVENTORY DIR [--force]       own: one line per sensor as it finishes, then a summary
  fleet check INVENTORY GOLDEN               line; --format json: one JSON object a line (JSON Lines)
  fleet rollout INVENTORY GOLDEN [--ram-first] [--verify]
                               identify: connect and identify each sensor. backup: save what each
                               sensor holds in RAM (nothing is written to it) to DIR/SERIAL.ini, by
                               serial number; DIR is made when missing. A SERIAL.ini that holds the
                               same values is left as it is ("unchanged"), one with other values is
                               kept and the sensor fails, unless --force replaces it (the line
                               names how many values changed): a nightly run into a folder of the
                               day, or into one folder kept under version control. Two sensors of
                               one serial number fail rather than share a file.
                               check: compare each sensor's RAM (read only) with GOLDEN.
                               rollout: send GOLDEN and store it in the EEPROM (--verify reads it
                               back through the EEPROM); --ram-first sends it to RAM only (read
                               back there with --verify) and stores RAM in the EEPROM only when
                               every value was taken.
                               INVENTORY: one sensor a line, "tcp HOST:PORT" or "serial DEVICE
                               [RATE]", then an optional name; "#" starts a comment. GOLDEN: a
                               parameter file, or an overlay (only the values that differ from the
                               defaults); it is read over the defaults, a bad item named by its line.
                               Exit codes: 0 every sensor ok (check: each holds GOLDEN); 5 check:
                               some differ, none failed; 8 one or more failed or were not started;
                               4 the inventory, GOLDEN or DIR could not be used (nothing was
                               started); 2 usage. Ctrl-C lets the sensors in progress finish and
                               starts no more.
--verify (send, set, teach): read back after writing (through the EEPROM unless --ram) and compare;
  a value not held as sent is named and refused (exit 7). Off by default: without it the
  requests go out in the sensor's own order.
After send, set, teach, store and load one line says what happened and what the sensor may
  now hold: "Sent to EEPROM: 2 changes, all taken", "Send to EEPROM failed at store
  (time-out); the sensor may hold: RAM new, EEPROM unknown" (old: as before; new: what was
  sent; unknown: a request went out and its answer was lost, broken, or may have been
  another's).
--format json (identify, get, send, set, store, load, freq, diff, teach, advise, ports): the
  result as one JSON object on one line instead of the text (get: the file it saved); a failure
  too, as one object with "ok": false, "address", "sensor", "step", "kind", "message",
  "reason", "may_hold" and "refused"; the keys are in qelto-cli(1).
--send-defaults answers yes to the connect-time default-parameter question (default: no).
--verbose shows every request and reply frame in hex on stderr, the replies the link rejected
  too (broken, an error reply, or cut short), marked (rejected).
--help, --version

Rates: 9600 19200 38400 57600 115200 230400 460800 921600.
COM numbers on Linux: /dev/ttyS<k> = k+1, /dev/ttyUSB<k> = 101+k, /dev/ttyACM<k> = 201+k,
/dev/ttyAMA<k> = 301+k, /dev/rfcomm<k> = 401+k, /dev/pts/<k> = 1001+k.
Status, log and messages go to stderr; results to stdout.
Exit codes: 0 success; 1 the link failed (closed, no reply in time, a broken reply or one of
another request); 2 usage error; 3 unsupported sensor; 4 file problem (not found, over 16 MiB,
not a parameter file, not written); 6 another sensor answered after a lost link (--reconnect);
7 refused by the sensor (values replaced with its defaults or not held as sent, an error reply).
diff: 0 the same, 5 different; 1 to 4 as above when the comparison could not be made.
fleet: 0 every sensor ok; 5 check found differences; 8 a sensor failed; 2 and 4 as above.
)";

namespace {

struct CommandInfo {
    Command command;
    const char* name;
};
constexpr std::array<CommandInfo, 16> kCommands{{{Command::Identify, "identify"},
                                                 {Command::Get, "get"},
                                                 {Command::Send, "send"},
                                                 {Command::Live, "live"},
                                                 {Command::Record, "record"},
                                                 {Command::Freq, "freq"},
                                                 {Command::Show, "show"},
                                                 {Command::Defaults, "defaults"},
                                                 {Command::Ports, "ports"},
                                                 {Command::Diff, "diff"},
                                                 {Command::Set, "set"},
                                                 {Command::Teach, "teach"},
                                                 {Command::Advise, "advise"},
                                                 {Command::Store, "store"},
                                                 {Command::Load, "load"},
                                                 {Command::Fleet, "fleet"}}};

// Every option; the flags take no value.
struct OptionInfo {
    const char* name;
    bool flag;
};
constexpr std::array<OptionInfo, 24> kOptions{{{"-h,--help", true},
                                               {"--version", true},
                                               {"--tcp", false},
                                               {"--serial", false},
                                               {"--baud", false},
                                               {"--verbose", true},
                                               {"--send-defaults", true},
                                               {"--ram", true},
                                               {"--force", true},
                                               {"-o", false},
                                               {"-i", false},
                                               {"-n", false},
                                               {"--format", false},
                                               {"--samples", false},
                                               {"--tolerance", false},
                                               {"--margin", false},
                                               {"--coverage", false},
                                               {"--dry-run", true},
                                               {"--seconds", false},
                                               {"--every", false},
                                               {"--reconnect", true},
                                               {"--verify", true},
                                               {"-j", false},
                                               {"--ram-first", true}}};

// More threads than this are a typing slip, not a line of sensors.
constexpr std::uint64_t kMaxFleetJobs = 256;

// A mistake on the command line, said in one line.
struct Refusal {
    std::string reason;
};

[[noreturn]] void Refuse(std::string reason) {
    throw Refusal{std::move(reason)};
}

std::string BadValue(std::string_view option, std::string_view value, std::string_view why) {
    return "bad value '" + NameForMessage(value) + "' for " + NameForMessage(option) + ": " +
           std::string(why);
}

bool AllDigits(std::string_view s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

// A whole number in [lo, hi], read by the option library. Decimal digits only: the library
// also reads 0x10 as hex, 010 as octal and -1 as the largest unsigned number, and a port, a
// count or a value for the sensor must mean what it says.
std::optional<std::uint64_t> Number(std::string_view text, std::uint64_t lo, std::uint64_t hi) {
    if (!AllDigits(text)) return std::nullopt;
    std::string digits(text.substr(std::min(text.find_first_not_of('0'), text.size() - 1)));
    std::uint64_t v = 0;
    if (!CLI::detail::lexical_cast(digits, v) || v < lo || v > hi) return std::nullopt;
    return v;
}

// A decimal number in [lo, hi]: digits with at most one point, nothing else.
std::optional<double> Decimal(std::string_view text, double lo, double hi) {
    const std::size_t point = text.find('.');
    std::string digits(text);
    if (point != std::string_view::npos) digits.erase(point, 1);
    if (!AllDigits(digits) || text.front() == '.' || text.back() == '.') return std::nullopt;
    double v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc{} || r.ptr != text.data() + text.size() || v < lo || v > hi) {
        return std::nullopt;
    }
    return v;
}

void ParseTcp(std::string_view value, CliOptions& o) {
    const LinkText parsed = ParseTcpLink(value);
    if (!parsed.link) Refuse(BadValue("--tcp", value, parsed.why));
    o.tcpHost = parsed.link->host;
    o.tcpPort = parsed.link->tcpPort;
    o.link = LinkChoice::Tcp;
}

void ParseSerial(std::string_view value, CliOptions& o) {
    o.serialText = std::string(value);
    o.link = LinkChoice::Serial;
    const LinkText parsed = ParseSerialLink(value);
    if (!parsed.link) Refuse(BadValue("--serial", value, parsed.why));
    o.comPort = parsed.link->comPort;
}

Format ParseFormat(std::string_view value) {
    if (value == "text") return Format::Text;
    if (value == "json") return Format::Json;
    if (value == "csv") return Format::Csv;
    if (value == "jsonl") return Format::Jsonl;
    Refuse(BadValue("--format", value, "expected text, json, csv or jsonl"));
}

// KEY=VALUE of set: a key of the parameter file (teach rows 0..31, the ones the sensor holds)
// and a value from 0 to 65535, each named at most once.
void ParseAssignment(std::string_view arg, CliOptions& o) {
    const std::size_t eq = arg.find('=');
    if (eq == std::string_view::npos)
        Refuse("expected KEY=VALUE, not '" + NameForMessage(arg) + "'");
    const std::string_view key = arg.substr(0, eq);
    const std::string_view value = arg.substr(eq + 1);
    const auto item = FindItem(key, kSensorTeachRows);
    if (!item) {
        Refuse("unknown key '" + NameForMessage(key) +
               "': keys are the parameter file's, with _ for a blank (gain, dynwin_lo, "
               "teach_vector_2.cell_0; teach rows 0..31)");
    }
    const auto number = Number(value, 0, 65535);
    if (!number) Refuse(BadValue(key, value, "a number from 0 to 65535"));
    for (const auto& [named, v] : o.assignments) {
        if (named == *item) Refuse(NameForMessage(key) + " is named twice");
    }
    o.assignments.emplace_back(*item, static_cast<std::uint16_t>(*number));
}

// fleet TASK INVENTORY [DIR | GOLDEN]
void ParseFleetWords(const std::vector<std::string>& words, CliOptions& o) {
    constexpr std::array kTasks{FleetTask::Identify, FleetTask::Backup, FleetTask::Check,
                                FleetTask::Rollout};
    if (words.size() < 2) Refuse("fleet needs a task: identify, backup, check or rollout");
    const auto task = std::find_if(kTasks.begin(), kTasks.end(),
                                   [&](FleetTask t) { return words[1] == FleetTaskName(t); });
    if (task == kTasks.end()) {
        Refuse("unknown fleet task '" + NameForMessage(words[1]) +
               "': identify, backup, check or rollout");
    }
    o.fleetTask = *task;
    const std::string name = std::string("fleet ") + FleetTaskName(o.fleetTask);
    const char* target = o.fleetTask == FleetTask::Backup     ? "DIR"
                         : o.fleetTask == FleetTask::Identify ? nullptr
                                                              : "GOLDEN";
    const std::size_t wanted = target ? 4 : 3;
    if (words.size() < wanted) {
        Refuse(name + " needs INVENTORY" + (target ? std::string(" ") + target : std::string()));
    }
    if (words.size() > wanted) Refuse("unexpected argument '" + words[wanted] + "'");
    o.inventoryFile = words[2];
    if (target) o.fleetTarget = words[3];
}

// The command and its operands: show FILE, diff FILE [FILE2], set KEY=VALUE...
void ParseWords(const std::vector<std::string>& words, CliOptions& o) {
    if (words.empty()) Refuse("no command given");
    const auto it = std::find_if(kCommands.begin(), kCommands.end(),
                                 [&](const CommandInfo& c) { return words[0] == c.name; });
    if (it == kCommands.end()) Refuse("unknown command '" + words[0] + "'");
    o.command = it->command;
    if (o.command == Command::Fleet) return ParseFleetWords(words, o);
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string& arg = words[i];
        if ((o.command == Command::Show || o.command == Command::Diff) && o.inputFile.empty()) {
            o.inputFile = arg;
        } else if (o.command == Command::Record && o.outputFile.empty()) {
            o.outputFile = arg;
        } else if (o.command == Command::Diff && o.secondFile.empty()) {
            o.secondFile = arg;
        } else if (o.command == Command::Set) {
            ParseAssignment(arg, o);
        } else if (o.command == Command::Teach && !o.teachRow) {
            // The rows the sensor holds; the family's own limit is known once it answers.
            const auto row = Number(arg, 0, kSensorTeachRows - 1);
            if (!row) Refuse(BadValue("teach", arg, "ROW is a teach row from 0 to 31"));
            o.teachRow = static_cast<std::size_t>(*row);
        } else if (o.command == Command::Advise && o.recording.empty()) {
            if (arg.empty()) Refuse("advise needs a RECORDING file name");
            o.recording = arg;
        } else {
            Refuse("unexpected argument '" + arg + "'");
        }
    }
}

// Options each command takes besides --verbose, --help and --version.
std::set<std::string> AllowedOptions(Command c, FleetTask task) {
    const std::set<std::string> link{"--tcp", "--serial", "--baud", "--send-defaults"};
    auto with = [&](std::initializer_list<const char*> more) {
        std::set<std::string> s = link;
        s.insert(more.begin(), more.end());
        return s;
    };
    switch (c) {
        case Command::Identify:
        case Command::Freq:
            return with({"--format"});
        case Command::Get:
            return with({"--ram", "-o", "--format"});
        case Command::Send:
            return with({"--ram", "-i", "--force", "--verify", "--format"});
        case Command::Live:
            return with({"-n", "--format", "--reconnect"});
        case Command::Record:
            return with({"-n", "--seconds", "--every", "--reconnect", "--force"});
        case Command::Show:
            return {"--format", "--force"};
        case Command::Defaults:
            return {"-o"};
        case Command::Ports:
            return {"--format"};
        case Command::Diff:
            // Against a sensor the link options apply; it never sends defaults.
            return {"--tcp", "--serial", "--baud", "--force", "--format"};
        case Command::Set:
            // It changes the values it names and no others: never the defaults.
            return {"--tcp", "--serial", "--baud", "--ram", "--format", "--verify"};
        case Command::Teach:
            // One row and no others: never the defaults.
            return {"--tcp",       "--serial", "--baud",    "--ram",    "--samples",
                    "--tolerance", "--margin", "--dry-run", "--format", "--verify"};
        case Command::Advise:
            // Reads the sensor at most: never the defaults.
            return {"--tcp",   "--serial", "--baud",     "-i",      "-o",
                    "--force", "--margin", "--coverage", "--format"};
        case Command::Store:
        case Command::Load:
            // One command to the sensor and nothing else: never the defaults.
            return {"--tcp", "--serial", "--baud", "--format"};
        case Command::Fleet:
            // The inventory names the links; the defaults are never sent.
            switch (task) {
                case FleetTask::Backup:
                    return {"-j", "--format", "--force"};
                case FleetTask::Rollout:
                    return {"-j", "--format", "--ram-first", "--verify"};
                case FleetTask::Identify:
                case FleetTask::Check:
                    break;
            }
            return {"-j", "--format"};
    }
    return {};
}

// --samples, --tolerance, --margin, --coverage and --dry-run of teach and advise.
template <typename Value>
void ParseEvidenceOptions(const Value& value, CliOptions& o) {
    if (const auto v = value("--samples")) {
        const auto n = Number(*v, 1, 1000000);
        if (!n) Refuse(BadValue("--samples", *v, "a whole number of samples, 1 to 1000000"));
        o.samples = *n;
    }
    if (const auto v = value("--tolerance"); v && *v != "auto") {
        const auto n = Number(*v, 0, 65535);
        if (!n) Refuse(BadValue("--tolerance", *v, "auto or a tolerance from 0 to 65535"));
        o.tolerance = static_cast<std::uint16_t>(*n);
    }
    if (const auto v = value("--margin")) {
        const auto m = Decimal(*v, 1, kMarginLimit);
        if (!m) Refuse(BadValue("--margin", *v, "a number from 1 to 10 (1.5: half as much again)"));
        o.margin = *m;
    }
    if (const auto v = value("--coverage")) {
        const auto p = Decimal(*v, kCoverageLow, 100);
        if (!p) Refuse(BadValue("--coverage", *v, "a share in per cent from 50 to 100"));
        o.coverage = *p;
    }
    o.dryRun = value("--dry-run").has_value();
}

void CheckEvidenceCommand(const CliOptions& o, const std::vector<std::string>& given) {
    const auto named = [&](const char* option) {
        return std::find(given.begin(), given.end(), option) != given.end();
    };
    if (o.command == Command::Teach) {
        if (!o.teachRow) Refuse("teach needs ROW (a teach row, 0 for the first colour)");
        if (o.tolerance && named("--margin")) Refuse("--margin applies to --tolerance auto only");
        if (!o.tolerance && o.samples < kMinRowSamples) {
            Refuse("--tolerance auto needs at least " + std::to_string(kMinRowSamples) +
                   " samples (--samples)");
        }
    }
    if (o.command == Command::Advise) {
        if (o.recording.empty())
            Refuse("advise needs RECORDING.csv (from Record or live --format csv)");
        if (!o.inputFile.empty() && o.link != LinkChoice::FromSettings) {
            Refuse("advise with -i FILE uses no sensor: leave out --tcp and --serial");
        }
        if (o.inputFile.empty() && named("--force")) Refuse("--force applies to -i FILE");
    }
}

// Checks that the options given fit the command.
void CheckCommand(CliOptions& o, const std::vector<std::string>& given, bool formatGiven) {
    const std::string name = CommandName(o.command);
    const auto allowed = AllowedOptions(o.command, o.fleetTask);
    for (const auto& opt : given) {
        if (opt == "--verbose" && o.command == Command::Fleet) {
            Refuse(
                "--verbose does not apply to fleet: the frames of many sensors at once would "
                "be one tangle (use it with one sensor)");
        }
        if (opt == "--verbose") continue;
        if (!allowed.count(opt)) {
            const bool offline = o.command == Command::Show || o.command == Command::Defaults ||
                                 o.command == Command::Ports ||
                                 (o.command == Command::Diff && !o.secondFile.empty());
            const bool linkOption =
                opt == "--tcp" || opt == "--serial" || opt == "--baud" || opt == "--send-defaults";
            const bool fleet = o.command == Command::Fleet;
            Refuse(opt + " does not apply to " +
                   (fleet ? "fleet " + std::string(FleetTaskName(o.fleetTask)) : name) +
                   (offline && linkOption ? " (it does not use a sensor)"
                    : fleet && linkOption ? " (the inventory names the sensors)"
                                          : ""));
        }
    }
    if (o.link != LinkChoice::Serial &&
        std::find(given.begin(), given.end(), "--baud") != given.end()) {
        Refuse("--baud needs --serial");
    }
    if ((o.command == Command::Get || o.command == Command::Defaults) && o.outputFile.empty()) {
        Refuse(name + " needs -o FILE");
    }
    if (o.command == Command::Send && o.inputFile.empty()) Refuse("send needs -i FILE");
    if (o.command == Command::Show && o.inputFile.empty()) Refuse("show needs a FILE");
    if (o.command == Command::Diff && o.inputFile.empty()) {
        Refuse("diff needs FILE (against the sensor) or FILE1 FILE2");
    }
    if (o.command == Command::Diff && !o.secondFile.empty() && o.link != LinkChoice::FromSettings) {
        Refuse("diff of two files uses no sensor: leave out --tcp and --serial");
    }
    if (o.command == Command::Record && o.outputFile.empty()) Refuse("record needs a FILE");
    if (o.count && o.seconds) Refuse("give either -n or --seconds, not both");
    if (o.command == Command::Set && o.assignments.empty()) {
        Refuse("set needs KEY=VALUE (for example gain=9)");
    }
    CheckEvidenceCommand(o, given);
    if (o.command == Command::Record) {
        if (formatGiven) Refuse("record writes csv");
        o.format = Format::Csv;
    } else if (o.command == Command::Live) {
        if (!formatGiven) o.format = Format::Csv;
        if (o.format != Format::Csv && o.format != Format::Jsonl)
            Refuse("live writes csv or jsonl");
    } else if (o.format != Format::Text && o.format != Format::Json) {
        Refuse(name + " writes text or json");
    }
}

CliOptions Parse(const std::vector<std::string>& args) {
    CLI::App app;
    app.set_help_flag();  // the usage text is the program's own, kCliUsage
    app.allow_extras();   // an unknown option is named below
    std::vector<std::string> words;
    app.add_option("words", words);
    for (const auto& [name, flag] : kOptions) {
        // Every value is kept: an option given twice is a mistake, said below.
        (flag ? app.add_flag(name) : app.add_option(name))
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    }
    try {
        app.parse(std::vector<std::string>(args.rbegin(), args.rend()));
    } catch (const CLI::ArgumentMismatch&) {
        // The only one left possible: the arguments ran out before the value of the last.
        Refuse(args.back().substr(0, args.back().find('=')) + " needs a value");
    } catch (const CLI::ParseError& e) {
        Refuse(e.what());
    }
    for (const std::string& extra : app.remaining()) {
        if (extra == "--") continue;  // the end of the options, kept among the extras
        Refuse("unknown option '" + extra.substr(0, extra.find('=')) + "'");
    }

    std::vector<std::string> given;  // for the per-command check
    for (const CLI::Option* opt : app.get_options()) {
        if (opt->get_positional() || opt->count() == 0) continue;
        const std::string name = opt->get_name();
        if (opt->count() > 1) Refuse(name + " given twice");
        // A flag given as --flag=VALUE: the library would read VALUE as yes or no.
        if (opt->get_expected_max() == 0 && opt->results().front() != "true") {
            Refuse(name + " takes no value");
        }
        given.push_back(name);
    }
    const auto value = [&](const char* name) -> std::optional<std::string> {
        const CLI::Option* opt = app.get_option(name);
        if (opt->count() == 0) return std::nullopt;
        return opt->results().front();
    };
    const auto flag = [&](const char* name) { return app.get_option(name)->count() > 0; };

    CliOptions o;
    o.help = flag("--help");
    o.version = flag("--version");
    if (o.help || o.version) return o;
    ParseWords(words, o);

    if (flag("--tcp") && flag("--serial")) Refuse("give either --tcp or --serial, not both");
    if (const auto v = value("--tcp")) ParseTcp(*v, o);
    if (const auto v = value("--serial")) ParseSerial(*v, o);
    if (const auto v = value("--baud")) {
        const auto baud = Number(*v, 1, 10000000);
        const auto index = baud ? BaudRateIndexFor(static_cast<int>(*baud)) : std::nullopt;
        if (!index) Refuse(BadValue("--baud", *v, "not one of the eight rates (see --help)"));
        o.baudRateIndex = *index;
    }
    o.verbose = flag("--verbose");
    o.sendDefaults = flag("--send-defaults");
    o.ram = flag("--ram");
    o.force = flag("--force");
    for (const auto& [option, file] : {std::pair{"-o", &o.outputFile}, {"-i", &o.inputFile}}) {
        if (const auto v = value(option)) {
            if (v->empty()) Refuse(std::string(option) + " needs a file name");
            *file = *v;
        }
    }
    if (const auto v = value("-n")) {
        o.count = Number(*v, 1, UINT64_MAX);
        if (!o.count) Refuse(BadValue("-n", *v, "expected a whole number of samples, at least 1"));
    }
    if (const auto v = value("--seconds")) {
        // Whole or decimal seconds, at most a year: a typing slip must not record for ever.
        const std::string& text = *v;
        char* end = nullptr;
        const double s = std::strtod(text.c_str(), &end);
        if (text.empty() || end != text.c_str() + text.size() || !(s > 0) || s > 366 * 86400.0 ||
            text.find_first_not_of("0123456789.") != std::string::npos) {
            Refuse(BadValue("--seconds", text, "expected seconds greater than 0, like 10 or 2.5"));
        }
        o.seconds = s;
    }
    if (const auto v = value("--every")) {
        const auto n = Number(*v, 1, UINT64_MAX);
        if (!n) Refuse(BadValue("--every", *v, "expected a whole number, at least 1"));
        o.every = *n;
    }
    o.reconnect = flag("--reconnect");
    o.verify = flag("--verify");
    o.ramFirst = flag("--ram-first");
    if (const auto v = value("-j")) {
        const auto n = Number(*v, 1, kMaxFleetJobs);
        if (!n) Refuse(BadValue("-j", *v, "expected how many sensors at once, 1 to 256"));
        o.jobs = static_cast<int>(*n);
    }
    if (const auto v = value("--format")) o.format = ParseFormat(*v);
    ParseEvidenceOptions(value, o);
    CheckCommand(o, given, value("--format").has_value());
    return o;
}

}  // namespace

const char* CommandName(Command c) {
    for (const auto& info : kCommands) {
        if (info.command == c) return info.name;
    }
    return "?";
}

std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& args,
                                          std::string& error) {
    try {
        return Parse(args);
    } catch (const Refusal& refusal) {
        error = refusal.reason;
    }
    return std::nullopt;
}

}  // namespace qelto::cli
