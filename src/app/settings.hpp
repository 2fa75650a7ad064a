// What the operator has set and the program keeps from run to run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "files/settings_file.hpp"
#include "sensor/connect.hpp"

namespace qelto {

inline constexpr std::size_t kPathSize = 260;

// Which samples a recording keeps: every one, one in `n`, or one per `interval` seconds.
enum class RecordEvery { Sample, NthSample, Interval };
struct RecordSampling {
    RecordEvery every = RecordEvery::Sample;
    std::uint32_t n = 10;   // at least 1
    double interval = 1.0;  // seconds, above 0
};

// The parameter files of File > Open recent, newest first.
inline constexpr std::size_t kMaxRecentFiles = 8;

struct Settings {
    LinkDescription link;           // as the connection page last gave it
    std::string ParameterFilePath;  // at most 259 characters
    std::string ProgramDirectory;   // without a trailing separator
    std::string PanelSettingsPath;
    // The operator's documents folder: where file dialogs start while there is no last folder.
    std::string DocumentsDirectory;
    // Set when this run uses a connection of its own (the demo): the connection settings that
    // closing the window stores in place of the ones on the connection page, as the file had them.
    std::optional<StoredConnection> keptConnection;
    // Kept by the window in its own settings store, beside the panel settings file.
    RecordSampling recordSampling;
    std::vector<std::string> RecentParameterFiles;
};

}  // namespace qelto
