// The program's surface: command-line options and the control lines read at run time.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "faults.hpp"
#include "sensor_model.hpp"

namespace qelto::sim {

class SimServer;

struct SimOptions {
    bool help = false;
    bool version = false;
    bool tcp = false;
    std::string tcpHost = "127.0.0.1";
    int tcpPort = 0;
    bool pty = false;
    int ptyBaud = 115200;  // a serial line is paced unless told otherwise
    int tcpBaud = 0;
    SensorConfig sensor;
    std::optional<std::string> scene;  // standard patch, by index or name
    std::optional<Patch> rgb;
    std::vector<Patch> patches;  // instead of the standard ones, when given
    double cycleSeconds = 0;
    std::size_t taught = 0;  // standard patches taught at start
    std::vector<FaultRule> faults;
    bool verbose = false;
};

extern const char* const kSimUsage;

// Parses the arguments after the program name. Sets `error` and returns nothing when an
// option is unknown, lacks its value or has a bad one.
std::optional<SimOptions> ParseSimOptions(const std::vector<std::string>& args, std::string& error);

// A patch from "R,G,B" or "R G B" with reflectances 0..1.
std::optional<Patch> ParseRgb(std::string_view text, std::string& error);
// A named patch from "NAME=R,G,B".
std::optional<Patch> ParseNamedPatch(std::string_view text, std::string& error);
// Selects a patch of the model's list by index or name.
bool SelectScene(SensorModel& model, std::string_view which);

extern const char* const kControlHelp;

// Runs one control line against the server; returns the line to answer with ("ok ..." or
// "error: ..."). Sets `quit` for the quit command.
std::string RunControlLine(SimServer& server, std::string_view line, bool& quit);

}  // namespace qelto::sim
