// The panel settings file: window placement, language, last parameter file, remembered
// servers and connection settings, carried from one run to the next.
#pragma once

#include <string>
#include <string_view>

#include "app/operator_interface.hpp"
#include "files/settings_file.hpp"
#include "link/link_context.hpp"

namespace qelto {

struct Context;
struct Settings;

inline constexpr int kMaxRememberedServers = 10;

// Where the settings live: the program's own directory when it is writable (a portable or
// build-tree install), otherwise userConfigDirectory (created when missing). Fills
// ProgramDirectory (the chosen directory, without a trailing separator) and
// PanelSettingsPath; returns the directory.
std::string InitSettingsPaths(Settings& settings, std::string_view programDirectory,
                              std::string_view userConfigDirectory);

// A window placement brought onto the screen area: at most its size, and moved as little as
// needed to lie inside it. One that fits comes back as it was.
WindowPlacement FitOnScreen(WindowPlacement placement, const ScreenArea& area);

// Start-up: window placement (fitted onto the screen), language, parameter-file path and the
// server list.
void LoadPanelSettings(Context& ctx);
// Start-up: the connection settings, shown on the connection page as the file has them, and the
// link they name; what the file held.
StoredConnection GetConnectionSettingsFromFile(Context& ctx);
// The connection settings onto the connection page's controls.
void ShowConnectionSettings(OperatorInterface& ui, const StoredConnection& conn);
// Close of the main window and Accept: everything above, as shown now.
void StorePanelSettings(Context& ctx);

}  // namespace qelto
