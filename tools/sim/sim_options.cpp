#include "sim_options.hpp"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <functional>
#include <sstream>
#include <type_traits>

#include "sim_server.hpp"

namespace qelto::sim {
namespace {

// A number in [lo, hi], read by the option library. A whole number is decimal digits only:
// the library also reads 0x10 as hex, 010 as octal and -1 as the largest unsigned number.
template <typename T>
std::optional<T> Number(std::string text, T lo, T hi) {
    if constexpr (std::is_integral_v<T>) {
        if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
            return std::nullopt;
        }
        text.erase(0, std::min(text.find_first_not_of('0'), text.size() - 1));
    }
    T v{};
    if (!CLI::detail::lexical_cast(text, v) || !(v >= lo && v <= hi)) return std::nullopt;
    return v;
}

std::optional<double> Seconds(const std::string& text) {
    return Number(text, 0.0, 86400.0);
}

// Takes an option's value into the options; returns why it is not one, or nothing.
using Take = std::function<std::string(const std::string&)>;

// A number in [lo, hi] into `target`.
template <typename T>
Take NumberInto(T& target, T lo, T hi, const char* why) {
    return [&target, lo, hi, why](const std::string& text) {
        const auto n = Number(text, lo, hi);
        if (n) target = *n;
        return n ? std::string() : why;
    };
}

// A mistake on the command line, said in one line.
struct Refusal {
    std::string reason;
};

std::vector<std::string> Words(std::string_view line) {
    std::vector<std::string> words;
    std::istringstream in{std::string(line)};
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

std::string PatchText(const SensorModel& model) {
    const Patch& p = model.CurrentPatch();
    std::ostringstream s;
    if (model.CurrentPatchIndex()) s << *model.CurrentPatchIndex() << ' ';
    s << p.name << " (" << p.red << ' ' << p.green << ' ' << p.blue << ')';
    return s.str();
}

// "0 white, 1 red, ...": the patches a scene can be chosen from.
std::string PatchList(const SensorModel& model) {
    std::string list;
    for (std::size_t i = 0; i < model.Patches().size(); ++i)
        list += (i ? ", " : "") + std::to_string(i) + ' ' + model.Patches()[i].name;
    return list;
}

// How much a surface varies, in per cent of its reflectance.
std::optional<double> Spread(const std::string& text) {
    return Number(text, 0.0, 50.0);
}

}  // namespace

const char* const kSimUsage =
    "Usage: qelto-sim [OPTION]...\n"
    "A simulated KORVANEX colour sensor on a TCP port and/or a pseudo-terminal.\n"
    "\n"
    "Transports (at least one):\n"
    "  --tcp [HOST:]PORT   serve TCP on PORT (0: any free port), on HOST (default 127.0.0.1;\n"
    "                      0.0.0.0 for every interface); one client at a time\n"
    "  --pty               serve a pseudo-terminal; open its path (or COM number) as the\n"
    "                      serial port\n"
    "  --baud RATE         pace the pseudo-terminal's output at RATE baud, 10 bits a byte\n"
    "                      (default 115200; 0: unpaced)\n"
    "  --tcp-baud RATE     pace the TCP output the same way (default 0: unpaced)\n"
    "\n"
    "Sensor:\n"
    "  --firmware TEXT     firmware text of command 7 (default \"KORVANEX V4.3.12 B7\"; the\n"
    "                      other families: \"KORVANEX SL V1.2.0 A1\", \"KORVANEX SLE V1.0.3 C2\")\n"
    "  --name TEXT         sensor name of command 15 (default \"KORVANEX TAVRENO SIM\")\n"
    "  --serial N          serial number of command 15, 0..65535 (default 4711)\n"
    "  --seed N            seed of the measurement noise, the spread and fault probabilities\n"
    "                      (default 1)\n"
    "  --no-noise          measure without noise\n"
    "  --spread PERCENT    let the surface vary: Gaussian spread of each channel's\n"
    "                      reflectance, standard deviation PERCENT of it (0..50; default 0)\n"
    "\n"
    "Scene (what lies in front of the sensor):\n"
    "  --scene N|NAME      a standard patch: 0 white, 1 red, 2 green, 3 blue, 4 yellow,\n"
    "                      5 orange, 6 grey, 7 black (default white)\n"
    "  --rgb R,G,B         a patch of your own: reflectance 0..1 on each channel\n"
    "  --cycle SECONDS     move to the next patch every SECONDS (0: never)\n"
    "  --taught N          start with the first N patches taught (rows 0..N-1 of RAM and\n"
    "                      EEPROM, tolerance 500), as after the teach assistant\n"
    "  --patch NAME=R,G,B  a patch of the scene's list, repeatable: the patches given, in\n"
    "                      their order, take the place of the standard eight (for --scene,\n"
    "                      --cycle, --taught and the control lines); two patches of nearly\n"
    "                      the same colour make a pair the sensor can hardly tell apart\n"
    "\n"
    "Faults:\n"
    "  --fault FAULT       put a fault into the replies; may be repeated (see below)\n"
    "\n"
    "Other:\n"
    "  --verbose           one line per request and reply on stderr\n"
    "  --help              this text\n"
    "  --version           the program's version\n"
    "\n"
    "At start one line per transport goes to stdout:\n"
    "  listening tcp HOST PORT\n"
    "  listening pty PATH COM-NUMBER\n"
    "then \"ready\". Control lines are read from stdin (see below). SIGINT or SIGTERM ends\n"
    "the program.\n"
    "\n";

const char* const kControlHelp =
    "Control lines (stdin, one command a line; each is answered on stdout with a line\n"
    "\"ok ...\" or \"error: ...\", help with this text first):\n"
    "  scene [N|NAME]      show the scene, or put a patch of the list in front of the sensor\n"
    "  rgb R G B           put a patch of your own in front of the sensor (0..1 each)\n"
    "  next                the next patch of the list\n"
    "  cycle SECONDS       change the patch every SECONDS (0: stop)\n"
    "  fault FAULT         add a fault (syntax below)\n"
    "  clear               remove every fault\n"
    "  faults              list the faults in force\n"
    "  noise on|off        switch the measurement noise\n"
    "  spread PERCENT      the surface's spread (0..50; 0: none)\n"
    "  status              scene, counters and faults\n"
    "  help                this list\n"
    "  quit                end the program\n"
    "\n";

std::optional<Patch> ParseRgb(std::string_view text, std::string& error) {
    std::string s(text);
    for (char& c : s) {
        if (c == ',') c = ' ';
    }
    const auto words = Words(s);
    double v[3] = {};
    bool ok = words.size() == 3;
    for (std::size_t i = 0; ok && i < 3; ++i) {
        const auto reflectance = Number(words[i], 0.0, 1.0);
        ok = reflectance.has_value();
        v[i] = reflectance.value_or(0.0);
    }
    if (!ok) {
        error = "expected three reflectances 0..1 (R,G,B), got '" + std::string(text) + "'";
        return std::nullopt;
    }
    return Patch{"custom", v[0], v[1], v[2]};
}

std::optional<Patch> ParseNamedPatch(std::string_view text, std::string& error) {
    const std::size_t eq = text.find('=');
    const std::string_view name = text.substr(0, std::min(eq, text.size()));
    // A name is chosen by the scene command as a word; all digits would read as an index.
    const bool nameOk = !name.empty() && name.size() <= 40 &&
                        name.find_first_not_of(
                            "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                            "0123456789-_") == std::string_view::npos &&
                        name.find_first_not_of("0123456789") != std::string_view::npos;
    if (eq == std::string_view::npos || !nameOk) {
        error = "expected NAME=R,G,B with a NAME of letters, digits, - and _ (not only digits)";
        return std::nullopt;
    }
    auto patch = ParseRgb(text.substr(eq + 1), error);
    if (patch) patch->name = std::string(name);
    return patch;
}

bool SelectScene(SensorModel& model, std::string_view which) {
    if (const auto index = Number<std::size_t>(std::string(which), 0, model.Patches().size() - 1)) {
        return model.SelectPatch(*index);
    }
    return model.SelectPatch(which);
}

std::optional<SimOptions> ParseSimOptions(const std::vector<std::string>& args,
                                          std::string& error) {
    SimOptions o;
    SensorModel probe;  // for checking scene names
    CLI::App app;
    app.set_help_flag();  // the usage text is the program's own, kSimUsage
    app.allow_extras();   // an unknown option is named below
    app.add_flag("-h,--help", o.help);
    app.add_flag("--version", o.version);
    app.add_flag("--pty", o.pty);
    app.add_flag("-v,--verbose", o.verbose);
    app.add_flag_callback("--no-noise", [&] { o.sensor.noise = false; });
    // Each value is taken in the order given: of an option given twice the last counts, and
    // every --fault adds one.
    const auto option = [&](const char* name, Take take) {
        app.add_option(name)
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
            ->each([name, take](const std::string& value) {
                const std::string why = take(value);
                const std::string shown = value.size() > 2040 ? value.substr(0, 20) + "..." : value;
                if (!why.empty()) {
                    throw Refusal{"bad value '" + shown + "' for " + name + ": " + why};
                }
            });
    };
    option("--tcp", [&](const std::string& v) {
        const std::size_t colon = v.rfind(':');
        const bool hostGiven = colon != std::string::npos;
        o.tcpHost = hostGiven ? v.substr(0, colon) : SimOptions{}.tcpHost;
        const auto port = Number(hostGiven ? v.substr(colon + 1) : v, 0, 65535);
        if (o.tcpHost.empty() || !port) return "expected PORT or HOST:PORT with a port 0..65535";
        o.tcpPort = *port;
        o.tcp = true;
        return "";
    });
    for (const auto& [name, target] :
         {std::pair{"--baud", &o.ptyBaud}, {"--tcp-baud", &o.tcpBaud}}) {
        option(name, [baud = target](const std::string& v) {
            const auto rate = Number(v, 0, 10000000);
            if (!rate || (*rate > 0 && *rate < 50)) {
                return "expected 0 (unpaced) or a rate of 50..10000000 baud";
            }
            *baud = *rate;
            return "";
        });
    }
    for (const auto& [name, target] :
         {std::pair{"--firmware", &o.sensor.firmware}, {"--name", &o.sensor.name}}) {
        option(name, [text = target](const std::string& v) {
            if (v.size() > 2040) return "longer than 2040 bytes";
            *text = v;
            return "";
        });
    }
    option("--serial",
           NumberInto<std::uint16_t>(o.sensor.serialNumber, 0, 65535, "expected 0..65535"));
    option("--seed", NumberInto<std::uint64_t>(o.sensor.seed, 0, UINT64_MAX,
                                               "expected a non-negative integer"));
    // Both are checked against the list of patches once it is known.
    option("--taught", NumberInto<std::size_t>(o.taught, 0, 65535, "expected 0..65535"));
    option("--cycle", NumberInto(o.cycleSeconds, 0.0, 86400.0, "expected seconds 0..86400"));
    option("--spread", NumberInto(o.sensor.spread, 0.0, 50.0, "expected per cent 0..50"));
    option("--scene", [&](const std::string& v) {
        o.scene = v;
        return "";
    });
    option("--patch", [&](const std::string& v) {
        std::string why;
        if (auto patch = ParseNamedPatch(v, why)) o.patches.push_back(*patch);
        return why;
    });
    option("--rgb", [&](const std::string& v) {
        std::string why;
        o.rgb = ParseRgb(v, why);
        return why;
    });
    option("--fault", [&](const std::string& v) {
        std::string why;
        if (const auto rule = ParseFault(v, why)) o.faults.push_back(*rule);
        return why;
    });

    try {
        app.parse(std::vector<std::string>(args.rbegin(), args.rend()));
        for (const std::string& extra : app.remaining()) {
            if (extra != "--") throw Refusal{"unknown option '" + extra + "'"};
        }
    } catch (const Refusal& refusal) {
        error = refusal.reason;
        return std::nullopt;
    } catch (const CLI::ArgumentMismatch&) {
        // The only one left possible: the arguments ran out before the value of the last.
        error = "option " + args.back().substr(0, args.back().find('=')) + " needs a value";
        return std::nullopt;
    } catch (const CLI::ParseError& e) {
        error = e.what();
        return std::nullopt;
    }
    probe.SetPatches(o.patches);
    for (std::size_t i = 0; i < o.patches.size(); ++i) {
        // A name chooses the first patch of that name: a second could never be chosen.
        if (probe.SelectPatch(o.patches[i].name) && probe.CurrentPatchIndex() != i) {
            error = "bad value for --patch: the name '" + o.patches[i].name + "' is given twice";
            return std::nullopt;
        }
    }
    const std::size_t last = probe.Patches().size() - 1;
    if (o.scene && !SelectScene(probe, *o.scene)) {
        error = "bad value '" + *o.scene + "' for --scene: expected 0.." + std::to_string(last) +
                " or a patch name (" + PatchList(probe) + ")";
        return std::nullopt;
    }
    if (o.taught > probe.Patches().size()) {
        error = "bad value '" + std::to_string(o.taught) + "' for --taught: expected 0.." +
                std::to_string(last + 1) + " (the scene has " + std::to_string(last + 1) +
                " patches)";
        return std::nullopt;
    }
    if (!o.help && !o.version && !o.tcp && !o.pty) {
        error = "nothing to serve: give --tcp [HOST:]PORT and/or --pty";
        return std::nullopt;
    }
    return o;
}

std::string RunControlLine(SimServer& server, std::string_view line, bool& quit) {
    const auto words = Words(line);
    if (words.empty()) return "error: empty line (try help)";
    const std::string& cmd = words[0];
    SensorModel& model = server.model();
    const std::string rest =
        words.size() > 1 ? std::string(line.substr(line.find(words[1]))) : std::string();
    if (cmd == "help") return std::string(kControlHelp) + kFaultHelp + "ok help";
    if (cmd == "quit" || cmd == "exit") {
        quit = true;
        return "ok quit";
    }
    if (cmd == "scene") {
        if (words.size() == 1) return "ok scene " + PatchText(model);
        if (words.size() != 2 || !SelectScene(model, words[1])) {
            return "error: unknown patch '" + rest + "' (" + PatchList(model) + ")";
        }
        return "ok scene " + PatchText(model);
    }
    if (cmd == "rgb") {
        std::string why;
        auto patch = ParseRgb(rest, why);
        if (!patch) return "error: " + why;
        model.SetPatch(*patch);
        return "ok scene " + PatchText(model);
    }
    if (cmd == "next" && words.size() == 1) {
        model.NextPatch();
        return "ok scene " + PatchText(model);
    }
    if (cmd == "cycle") {
        const auto seconds = words.size() == 2 ? Seconds(words[1]) : std::nullopt;
        if (!seconds) return "error: expected cycle SECONDS (0..86400)";
        server.SetSceneCycle(*seconds);
        return "ok cycle " + words[1];
    }
    if (cmd == "fault") {
        if (words.size() != 2) return "error: expected fault FAULT (no blanks inside FAULT)";
        std::string why;
        auto rule = ParseFault(words[1], why);
        if (!rule) return "error: " + why;
        server.AddFault(*rule);
        return "ok fault " + DescribeFault(*rule);
    }
    if (cmd == "clear" && words.size() == 1) {
        server.ClearFaults();
        return "ok faults cleared";
    }
    if (cmd == "faults" && words.size() == 1) {
        std::string out = "ok faults";
        for (const auto& r : server.faults().rules())
            out += ' ' + DescribeFault(r);
        return server.faults().size() == 0 ? out + " none" : out;
    }
    if (cmd == "noise") {
        if (words.size() != 2 || (words[1] != "on" && words[1] != "off")) {
            return "error: expected noise on|off";
        }
        model.SetNoise(words[1] == "on");
        return "ok noise " + words[1];
    }
    if (cmd == "spread") {
        const auto percent = words.size() == 2 ? Spread(words[1]) : std::nullopt;
        if (!percent) return "error: expected spread PERCENT (0..50)";
        model.SetSpread(*percent);
        return "ok spread " + words[1];
    }
    if (cmd == "status" && words.size() == 1) {
        std::ostringstream s;
        s << "ok scene " << PatchText(model) << "; spread " << model.config().spread
          << " %; requests " << model.RequestCount() << "; bad frames " << model.BadFrameCount()
          << "; unknown " << model.UnknownCommandCount() << "; replaced values "
          << model.RejectedValueCount() << "; faults applied " << server.faultsApplied()
          << "; faults in force " << server.faults().size();
        return s.str();
    }
    return "error: unknown command '" + std::string(line) + "' (try help)";
}

}  // namespace qelto::sim
