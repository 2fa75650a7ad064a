#include "cli_options.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <set>
#include <string_view>

#include "link/transport.hpp"

namespace qelto::cli {

const char* const kCliUsage =
    R"(Usage: qelto-cli [LINK] [--verbose] COMMAND [OPTIONS]
LINK:  --tcp HOST:PORT  |  --serial PORT [--baud RATE]
       PORT is a COM number or a device path; RATE one of the eight table rates (default 115200).
       Without LINK: the connection settings the GUI stored in its panel settings file.
COMMAND:
  identify                     connect; print the firmware line, family (1..3), sensor name, serial number
  get  [--ram] -o FILE         connect (through the EEPROM unless --ram) and save the sensor's parameters to FILE
  send [--ram] -i FILE [--force]
                               check FILE first (before touching the sensor), connect, load FILE, send it
                               (and store it in the EEPROM unless --ram); --force answers yes to the
                               file-type and version questions
  live [-n COUNT] [--format csv|jsonl]
                               connect and stream live samples (until COUNT or Ctrl-C): t (seconds since
                               start), red, green, blue, x, y, int, color_no (255: no colour matched),
                               wall_clock (ISO 8601, local, with its UTC offset); csv has a header line
  freq                         connect and print the scan frequency as the GUI formats it
  show FILE [--format text|json] [--force]
                               no sensor: print the parameter file as the program loads it (26 parameters
                               by file key, 64 teach rows of eight values); reports go to stderr;
                               --force as for send; json is UTF-8: a byte of the file name that
                               is not UTF-8 shows as \ufffd (U+FFFD)
  defaults -o FILE             no sensor: write a parameter file holding the default values
  ports                        list serial ports: COM number and device path
  diff FILE [--force]          compare the sensor (its RAM, read only: nothing is written) with FILE
  diff FILE1 FILE2 [--force]   no sensor: compare two parameter files
                               one line per value that differs, old (sensor or FILE1) beside new
                               (FILE or FILE2), by the file's names: "[PARAMETER] GAIN: 6 -> 9",
                               "[TEACH VECTOR 2] CELL 0: 1 -> 900"; a sensor is compared on teach
                               rows 0..31
  set [--ram] KEY=VALUE...     change only the values named: every KEY and VALUE is checked first
                               (nothing is sent for a mistake); connect, read the sensor (through
                               the EEPROM unless --ram), print the differences as diff does, send,
                               store in the EEPROM unless --ram. KEY as in the parameter file, any
                               case, "_" for a blank (gain=9, dynwin_lo=1234); a teach word as
                               section.key (teach_vector_2.cell_0=900, rows 0..31); VALUE 0..65535.
                               Values the sensor refuses are named, exit 1
--send-defaults answers yes to the connect-time default-parameter question (default: no).
--verbose shows every request and reply frame in hex on stderr, the replies the link rejected
  too (broken, an error reply, or cut short), marked (rejected).
--help, --version

Rates: 9600 19200 38400 57600 115200 230400 460800 921600.
COM numbers on Linux: /dev/ttyS<k> = k+1, /dev/ttyUSB<k> = 101+k, /dev/ttyACM<k> = 201+k,
/dev/ttyAMA<k> = 301+k, /dev/rfcomm<k> = 401+k, /dev/pts/<k> = 1001+k.
Status, log and messages go to stderr; results to stdout.
Exit codes: 0 success; 1 failure reported by the sensor link or transfer; 2 usage error;
3 unsupported sensor; 4 file problem (not found, over 16 MiB, not a parameter file,
not written).
diff: 0 the same, 5 different; 1 to 4 as above when the comparison could not be made.
)";

namespace {

struct CommandInfo {
    Command command;
    const char* name;
};
constexpr std::array<CommandInfo, 10> kCommands{{{Command::Identify, "identify"},
                                                 {Command::Get, "get"},
                                                 {Command::Send, "send"},
                                                 {Command::Live, "live"},
                                                 {Command::Freq, "freq"},
                                                 {Command::Show, "show"},
                                                 {Command::Defaults, "defaults"},
                                                 {Command::Ports, "ports"},
                                                 {Command::Diff, "diff"},
                                                 {Command::Set, "set"}}};

bool AllDigits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A decimal number in [lo, hi], nothing else.
std::optional<std::uint64_t> ParseNumber(std::string_view s, std::uint64_t lo, std::uint64_t hi) {
    if (!AllDigits(s)) return std::nullopt;
    std::uint64_t v = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size() || v < lo || v > hi) {
        return std::nullopt;
    }
    return v;
}

std::string BadValue(std::string_view option, std::string_view value, std::string_view why) {
    return "bad value '" + std::string(value) + "' for " + std::string(option) + ": " +
           std::string(why);
}

bool ParseTcp(std::string_view value, CliOptions& o, std::string& error) {
    const std::size_t colon = value.rfind(':');
    if (colon == std::string_view::npos) {
        error = BadValue("--tcp", value, "expected HOST:PORT");
        return false;
    }
    std::string_view host = value.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    const auto port = ParseNumber(value.substr(colon + 1), 1, 65535);
    if (host.empty()) {
        error = BadValue("--tcp", value, "no host before the ':'");
        return false;
    }
    if (!port) {
        error = BadValue("--tcp", value, "the port must be a number from 1 to 65535");
        return false;
    }
    o.tcpHost = std::string(host);
    o.tcpPort = static_cast<int>(*port);
    return true;
}

bool ParseSerial(std::string_view value, CliOptions& o, std::string& error) {
    o.serialText = std::string(value);
    std::string_view digits = value;
    if (digits.size() > 3 && (digits.substr(0, 3) == "COM" || digits.substr(0, 3) == "com")) {
        digits.remove_prefix(3);
    }
    if (AllDigits(digits)) {
        const auto n = ParseNumber(digits, 1, 65535);
        if (!n) {
            error = BadValue("--serial", value, "COM numbers run from 1 to 65535");
            return false;
        }
        o.comPort = static_cast<int>(*n);
        return true;
    }
    const auto n = ComPortNumberForPath(value);
    if (!n || *n > 65535) {
        error = BadValue("--serial", value,
                         "neither a COM number nor a device with one (see --help for the "
                         "numbering)");
        return false;
    }
    o.comPort = *n;
    return true;
}

bool ParseFormat(std::string_view value, CliOptions& o, std::string& error) {
    if (value == "text") {
        o.format = Format::Text;
    } else if (value == "json") {
        o.format = Format::Json;
    } else if (value == "csv") {
        o.format = Format::Csv;
    } else if (value == "jsonl") {
        o.format = Format::Jsonl;
    } else {
        error = BadValue("--format", value, "expected text, json, csv or jsonl");
        return false;
    }
    return true;
}

// KEY=VALUE of set: a key of the parameter file (teach rows 0..31, the ones the sensor holds)
// and a value from 0 to 65535, each named at most once.
bool ParseAssignment(std::string_view arg, CliOptions& o, std::string& error) {
    const std::size_t eq = arg.find('=');
    if (eq == std::string_view::npos) {
        error = "expected KEY=VALUE, not '" + std::string(arg) + "'";
        return false;
    }
    const std::string_view key = arg.substr(0, eq);
    const std::string_view value = arg.substr(eq + 1);
    const auto item = FindItem(key, kSensorTeachRows);
    if (!item) {
        error = "unknown key '" + std::string(key) +
                "': keys are the parameter file's, with _ for a blank (gain, dynwin_lo, "
                "teach_vector_2.cell_0; teach rows 0..31)";
        return false;
    }
    const auto number = ParseNumber(value, 0, 65535);
    if (!number) {
        error = BadValue(key, value, "a number from 0 to 65535");
        return false;
    }
    for (const auto& [named, v] : o.assignments) {
        if (named == *item) {
            error = std::string(key) + " is named twice";
            return false;
        }
    }
    o.assignments.emplace_back(*item, static_cast<std::uint16_t>(*number));
    return true;
}

// Options each command takes besides --verbose, --help and --version.
std::set<std::string> AllowedOptions(Command c) {
    const std::set<std::string> link{"--tcp", "--serial", "--baud", "--send-defaults"};
    auto with = [&](std::initializer_list<const char*> more) {
        std::set<std::string> s = link;
        s.insert(more.begin(), more.end());
        return s;
    };
    switch (c) {
        case Command::Identify:
        case Command::Freq:
            return link;
        case Command::Get:
            return with({"--ram", "-o"});
        case Command::Send:
            return with({"--ram", "-i", "--force"});
        case Command::Live:
            return with({"-n", "--format"});
        case Command::Show:
            return {"--format", "--force"};
        case Command::Defaults:
            return {"-o"};
        case Command::Ports:
            return {};
        case Command::Diff:
            // Against a sensor the link options apply; it never sends defaults.
            return {"--tcp", "--serial", "--baud", "--force"};
        case Command::Set:
            // It changes the values it names and no others: never the defaults.
            return {"--tcp", "--serial", "--baud", "--ram"};
    }
    return {};
}

// Checks that the options given fit the command.
bool CheckCommand(CliOptions& o, const std::vector<std::string>& given, bool formatGiven,
                  std::string& error) {
    const std::string name = CommandName(o.command);
    const auto allowed = AllowedOptions(o.command);
    for (const auto& opt : given) {
        if (opt == "--verbose") continue;
        if (!allowed.count(opt)) {
            const bool offline = o.command == Command::Show || o.command == Command::Defaults ||
                                 o.command == Command::Ports ||
                                 (o.command == Command::Diff && !o.secondFile.empty());
            const bool linkOption =
                opt == "--tcp" || opt == "--serial" || opt == "--baud" || opt == "--send-defaults";
            error = opt + " does not apply to " + name +
                    (offline && linkOption ? " (it does not use a sensor)" : "");
            return false;
        }
    }
    if (o.link != LinkChoice::Serial &&
        std::find(given.begin(), given.end(), "--baud") != given.end()) {
        error = "--baud needs --serial";
        return false;
    }
    if ((o.command == Command::Get || o.command == Command::Defaults) && o.outputFile.empty()) {
        error = name + " needs -o FILE";
        return false;
    }
    if (o.command == Command::Send && o.inputFile.empty()) {
        error = "send needs -i FILE";
        return false;
    }
    if (o.command == Command::Show && o.inputFile.empty()) {
        error = "show needs a FILE";
        return false;
    }
    if (o.command == Command::Diff && o.inputFile.empty()) {
        error = "diff needs FILE (against the sensor) or FILE1 FILE2";
        return false;
    }
    if (o.command == Command::Diff && !o.secondFile.empty() && o.link != LinkChoice::FromSettings) {
        error = "diff of two files uses no sensor: leave out --tcp and --serial";
        return false;
    }
    if (o.command == Command::Set && o.assignments.empty()) {
        error = "set needs KEY=VALUE (for example gain=9)";
        return false;
    }
    if (o.command == Command::Live) {
        if (!formatGiven) o.format = Format::Csv;
        if (o.format != Format::Csv && o.format != Format::Jsonl) {
            error = "live writes csv or jsonl";
            return false;
        }
    }
    if (o.command == Command::Show && o.format != Format::Text && o.format != Format::Json) {
        error = "show writes text or json";
        return false;
    }
    return true;
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
    CliOptions o;
    bool haveCommand = false;
    bool formatGiven = false;
    bool optionsEnded = false;
    std::vector<std::string> given;  // every option seen, for the per-command check

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        std::optional<std::string> inlineValue;
        if (!optionsEnded && arg.rfind("--", 0) == 0 && arg.size() > 2) {
            const std::size_t eq = arg.find('=');
            if (eq != std::string::npos) {
                inlineValue = arg.substr(eq + 1);
                arg.resize(eq);
            }
        }
        const auto value = [&]() -> std::optional<std::string> {
            if (inlineValue) return inlineValue;
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return std::nullopt;
            }
            return args[++i];
        };
        const auto flag = [&]() {
            if (inlineValue) {
                error = arg + " takes no value";
                return false;
            }
            return true;
        };

        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            if (!haveCommand) {
                const auto it = std::find_if(kCommands.begin(), kCommands.end(),
                                             [&](const CommandInfo& c) { return arg == c.name; });
                if (it == kCommands.end()) {
                    error = "unknown command '" + arg + "'";
                    return std::nullopt;
                }
                o.command = it->command;
                haveCommand = true;
            } else if ((o.command == Command::Show || o.command == Command::Diff) &&
                       o.inputFile.empty()) {
                o.inputFile = arg;
            } else if (o.command == Command::Diff && o.secondFile.empty()) {
                o.secondFile = arg;
            } else if (o.command == Command::Set) {
                if (!ParseAssignment(arg, o, error)) return std::nullopt;
            } else {
                error = "unexpected argument '" + arg + "'";
                return std::nullopt;
            }
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            o.help = true;
            continue;
        }
        if (arg == "--version") {
            o.version = true;
            continue;
        }

        const bool known = arg == "--tcp" || arg == "--serial" || arg == "--baud" ||
                           arg == "--verbose" || arg == "--send-defaults" || arg == "--ram" ||
                           arg == "--force" || arg == "-o" || arg == "-i" || arg == "-n" ||
                           arg == "--format";
        if (!known) {
            error = "unknown option '" + arg + "'";
            return std::nullopt;
        }
        if (std::find(given.begin(), given.end(), arg) != given.end()) {
            error = arg + " given twice";
            return std::nullopt;
        }
        given.push_back(arg);

        if (arg == "--tcp" || arg == "--serial") {
            if (o.link != LinkChoice::FromSettings) {
                error = "give either --tcp or --serial, not both";
                return std::nullopt;
            }
            const auto v = value();
            if (!v) return std::nullopt;
            if (arg == "--tcp") {
                if (!ParseTcp(*v, o, error)) return std::nullopt;
                o.link = LinkChoice::Tcp;
            } else {
                if (!ParseSerial(*v, o, error)) return std::nullopt;
                o.link = LinkChoice::Serial;
            }
        } else if (arg == "--baud") {
            const auto v = value();
            if (!v) return std::nullopt;
            const auto baud = ParseNumber(*v, 1, 10000000);
            const auto index = baud ? BaudRateIndexFor(static_cast<int>(*baud)) : std::nullopt;
            if (!index) {
                error = BadValue("--baud", *v, "not one of the eight rates (see --help)");
                return std::nullopt;
            }
            o.baudRateIndex = *index;
        } else if (arg == "--verbose" || arg == "--send-defaults" || arg == "--ram" ||
                   arg == "--force") {
            if (!flag()) return std::nullopt;
            (arg == "--verbose"         ? o.verbose
             : arg == "--send-defaults" ? o.sendDefaults
             : arg == "--ram"           ? o.ram
                                        : o.force) = true;
        } else if (arg == "-o" || arg == "-i") {
            const auto v = value();
            if (!v) return std::nullopt;
            if (v->empty()) {
                error = arg + " needs a file name";
                return std::nullopt;
            }
            (arg == "-o" ? o.outputFile : o.inputFile) = *v;
        } else if (arg == "-n") {
            const auto v = value();
            if (!v) return std::nullopt;
            const auto n = ParseNumber(*v, 1, UINT64_MAX);
            if (!n) {
                error = BadValue("-n", *v, "expected a whole number of samples, at least 1");
                return std::nullopt;
            }
            o.count = *n;
        } else if (arg == "--format") {
            const auto v = value();
            if (!v) return std::nullopt;
            if (!ParseFormat(*v, o, error)) return std::nullopt;
            formatGiven = true;
        }
    }

    if (o.help || o.version) return o;
    if (!haveCommand) {
        error = "no command given";
        return std::nullopt;
    }
    if (!CheckCommand(o, given, formatGiven, error)) return std::nullopt;
    return o;
}

}  // namespace qelto::cli
