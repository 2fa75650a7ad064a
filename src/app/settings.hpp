// What the operator has set and the program keeps from run to run.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "link/link_context.hpp"

namespace qelto {

inline constexpr std::size_t kPathSize = 260;

struct Settings {
    ConnectionSettings conn;        // as the connection page last gave them
    std::string ParameterFilePath;  // at most 259 characters
    std::string ProgramDirectory;   // without a trailing separator
    std::string PanelSettingsPath;
    // The operator's documents folder: where file dialogs start while there is no last folder.
    std::string DocumentsDirectory;
    // Set when this run uses a connection of its own (the demo): the connection settings that
    // closing the window stores in place of the ones on the connection page.
    std::optional<ConnectionSettings> StoredConnection;
};

}  // namespace qelto
