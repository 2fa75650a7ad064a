#include "sim_options.hpp"

#include <charconv>
#include <cstdlib>
#include <sstream>

#include "sim_server.hpp"

namespace qelto::sim {
namespace {

template <typename T>
bool ParseNumber(std::string_view text, T lo, T hi, T& out) {
    T v{};
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size() || v < lo ||
        v > hi) {
        return false;
    }
    out = v;
    return true;
}

bool ParseSeconds(std::string_view text, double& out) {
    const std::string s(text);
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (s.empty() || end != s.c_str() + s.size() || !(v >= 0.0 && v <= 86400.0)) return false;
    out = v;
    return true;
}

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
    "  --seed N            seed of the measurement noise and of fault probabilities (default 1)\n"
    "  --no-noise          measure without noise\n"
    "\n"
    "Scene (what lies in front of the sensor):\n"
    "  --scene N|NAME      a standard patch: 0 white, 1 red, 2 green, 3 blue, 4 yellow,\n"
    "                      5 orange, 6 grey, 7 black (default white)\n"
    "  --rgb R,G,B         a patch of your own: reflectance 0..1 on each channel\n"
    "  --cycle SECONDS     move to the next standard patch every SECONDS (0: never)\n"
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
    "  scene [N|NAME]      show the scene, or put a standard patch in front of the sensor\n"
    "  rgb R G B           put a patch of your own in front of the sensor (0..1 each)\n"
    "  next                the next standard patch\n"
    "  cycle SECONDS       change the patch every SECONDS (0: stop)\n"
    "  fault FAULT         add a fault (syntax below)\n"
    "  clear               remove every fault\n"
    "  faults              list the faults in force\n"
    "  noise on|off        switch the measurement noise\n"
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
        char* end = nullptr;
        v[i] = std::strtod(words[i].c_str(), &end);
        ok = end == words[i].c_str() + words[i].size() && v[i] >= 0.0 && v[i] <= 1.0;
    }
    if (!ok) {
        error = "expected three reflectances 0..1 (R,G,B), got '" + std::string(text) + "'";
        return std::nullopt;
    }
    return Patch{"custom", v[0], v[1], v[2]};
}

bool SelectScene(SensorModel& model, std::string_view which) {
    std::size_t index = 0;
    if (ParseNumber<std::size_t>(which, 0, SensorModel::StandardPatches().size() - 1, index)) {
        return model.SelectPatch(index);
    }
    return model.SelectPatch(which);
}

std::optional<SimOptions> ParseSimOptions(const std::vector<std::string>& args,
                                          std::string& error) {
    SimOptions o;
    SensorModel probe;  // for checking scene names
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& opt = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size()) {
                error = "option " + opt + " needs a value";
                return std::nullopt;
            }
            return args[++i];
        };
        auto bad = [&](const std::string& v, const std::string& what) {
            error = "bad value '" + v + "' for " + opt + ": " + what;
            return std::nullopt;
        };
        if (opt == "--help" || opt == "-h") {
            o.help = true;
        } else if (opt == "--version") {
            o.version = true;
        } else if (opt == "--tcp") {
            auto v = value();
            if (!v) return std::nullopt;
            const std::size_t colon = v->rfind(':');
            const std::string portText = colon == std::string::npos ? *v : v->substr(colon + 1);
            if (colon != std::string::npos) o.tcpHost = v->substr(0, colon);
            if (o.tcpHost.empty() || !ParseNumber(portText, 0, 65535, o.tcpPort)) {
                return bad(*v, "expected PORT or HOST:PORT with a port 0..65535");
            }
            o.tcp = true;
        } else if (opt == "--pty") {
            o.pty = true;
        } else if (opt == "--baud" || opt == "--tcp-baud") {
            auto v = value();
            if (!v) return std::nullopt;
            int baud = 0;
            if (!ParseNumber(*v, 0, 10000000, baud) || (baud > 0 && baud < 50)) {
                return bad(*v, "expected 0 (unpaced) or a rate of 50..10000000 baud");
            }
            (opt == "--baud" ? o.ptyBaud : o.tcpBaud) = baud;
        } else if (opt == "--firmware" || opt == "--name") {
            auto v = value();
            if (!v) return std::nullopt;
            if (v->size() > 2040) return bad(v->substr(0, 20) + "...", "longer than 2040 bytes");
            (opt == "--firmware" ? o.sensor.firmware : o.sensor.name) = *v;
        } else if (opt == "--serial") {
            auto v = value();
            if (!v) return std::nullopt;
            if (!ParseNumber<std::uint16_t>(*v, 0, 65535, o.sensor.serialNumber)) {
                return bad(*v, "expected 0..65535");
            }
        } else if (opt == "--seed") {
            auto v = value();
            if (!v) return std::nullopt;
            if (!ParseNumber<std::uint64_t>(*v, 0, UINT64_MAX, o.sensor.seed)) {
                return bad(*v, "expected a non-negative integer");
            }
        } else if (opt == "--no-noise") {
            o.sensor.noise = false;
        } else if (opt == "--scene") {
            auto v = value();
            if (!v) return std::nullopt;
            if (!SelectScene(probe, *v)) return bad(*v, "expected 0..7 or a patch name");
            o.scene = *v;
        } else if (opt == "--rgb") {
            auto v = value();
            if (!v) return std::nullopt;
            std::string why;
            o.rgb = ParseRgb(*v, why);
            if (!o.rgb) return bad(*v, why);
        } else if (opt == "--cycle") {
            auto v = value();
            if (!v) return std::nullopt;
            if (!ParseSeconds(*v, o.cycleSeconds)) return bad(*v, "expected seconds 0..86400");
        } else if (opt == "--fault") {
            auto v = value();
            if (!v) return std::nullopt;
            std::string why;
            auto rule = ParseFault(*v, why);
            if (!rule) return bad(*v, why);
            o.faults.push_back(*rule);
        } else if (opt == "--verbose" || opt == "-v") {
            o.verbose = true;
        } else {
            error = "unknown option '" + opt + "'";
            return std::nullopt;
        }
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
            return "error: unknown patch '" + rest +
                   "' (0..7 or a name: white red green blue "
                   "yellow orange grey black)";
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
        double seconds = 0;
        if (words.size() != 2 || !ParseSeconds(words[1], seconds)) {
            return "error: expected cycle SECONDS (0..86400)";
        }
        server.SetSceneCycle(seconds);
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
    if (cmd == "status" && words.size() == 1) {
        std::ostringstream s;
        s << "ok scene " << PatchText(model) << "; requests " << model.RequestCount()
          << "; bad frames " << model.BadFrameCount() << "; unknown " << model.UnknownCommandCount()
          << "; replaced values " << model.RejectedValueCount() << "; faults applied "
          << server.faultsApplied() << "; faults in force " << server.faults().size();
        return s.str();
    }
    return "error: unknown command '" + std::string(line) + "' (try help)";
}

}  // namespace qelto::sim
