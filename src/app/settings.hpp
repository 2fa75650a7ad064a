// What the operator has set and the program keeps from run to run.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "files/settings_file.hpp"
#include "sensor/connect.hpp"

namespace qelto {

inline constexpr std::size_t kPathSize = 260;

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
};

}  // namespace qelto
