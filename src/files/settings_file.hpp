// The panel settings file: where it lives, the checks of its type, and the connection
// settings and language it carries. The window's own items (placement, server list) are read
// and written by the program (app/panel_settings), through the same document.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "files/inifile.hpp"

namespace qelto {

inline constexpr const char* kPanelSettingsFileName = "PanelSettings.cfg";
inline constexpr std::string_view kPanelSettingsFileType = "Panel Settings";

inline constexpr std::string_view kSectionCommunication = "COMMUNICATION SETTINGS";
inline constexpr std::string_view kItemProtocol = "COMPROTOCOL";
inline constexpr std::string_view kItemComPort = "COMPORT";
inline constexpr std::string_view kItemBaudRate = "BAUDRATE";
inline constexpr std::string_view kItemIpAddress = "IP ADRESS";
inline constexpr std::string_view kItemPortNumber = "PORT NUMBER";
inline constexpr std::string_view kSectionGeneralSettings = "GENERAL SETTINGS";
inline constexpr std::string_view kItemLanguage = "SELECTED LANGUAGE";

// The directory the settings live in: the program's own when it is writable (a portable copy
// or a build tree), otherwise `userConfigDirectory` (created when missing). Without a
// trailing separator.
std::string SettingsDirectory(std::string_view programDirectory,
                              std::string_view userConfigDirectory);

// A document of the settings file, or null when the file is missing or of another type.
IniHandle OpenSettingsDocument(const std::string& path);

// The connection settings as stored, each one its default where the file lacks it.
struct StoredConnection {
    std::uint16_t protocol = 0;  // 0 RS-232, 1 TCP/IP
    std::uint16_t comPort = 1;
    std::uint16_t baudRateIndex = 4;
    std::string ipAddress;            // at most 255 bytes
    std::string portNumber = "5000";  // at most 31 bytes
};
StoredConnection ReadStoredConnection(IniDocument* doc);
// The stored language (unchecked), when the file holds one as a number.
std::optional<std::int32_t> ReadStoredLanguage(IniDocument* doc);

}  // namespace qelto
