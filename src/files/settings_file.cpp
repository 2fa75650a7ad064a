#include "files/settings_file.hpp"

#include <array>
#include <filesystem>

#include "files/file_header.hpp"
#include "files/paths.hpp"

namespace qelto {
namespace {

// The buffers the stored texts are read into, terminator included.
constexpr std::size_t kIpAddressBuffer = 256;
constexpr std::size_t kPortNumberBuffer = 32;

}  // namespace

std::string SettingsDirectory(std::string_view programDirectory,
                              std::string_view userConfigDirectory) {
    std::string dir = WithoutTrailingSeparator(programDirectory);
    // A program installed with the system (root can write to /usr/bin) is not a portable
    // copy: its settings belong to the user, not beside every user's shared binary.
    const bool portable = !IsSystemProgramDirectory(dir) && DirectoryIsWritable(dir);
    if (!portable && !userConfigDirectory.empty()) {
        dir = WithoutTrailingSeparator(userConfigDirectory);
        std::error_code ec;
        std::filesystem::create_directories(PathFromUtf8(dir), ec);
    }
    return dir;
}

IniHandle OpenSettingsDocument(const std::string& path) {
    std::error_code ec;
    if (path.empty() || !std::filesystem::exists(PathFromUtf8(path), ec)) return nullptr;
    IniHandle doc = Ini_New(0);
    Ini_ReadFromFile(doc.get(), path);  // unreadable: no items
    if (!HeaderItemIs(doc.get(), kItemFileType, kPanelSettingsFileType)) Ini_Dispose(doc);
    return doc;
}

StoredConnection ReadStoredConnection(IniDocument* doc) {
    StoredConnection c;
    if (doc == nullptr) return c;
    const auto readU16 = [&](std::string_view tag, std::uint16_t& field) {
        std::int32_t v = 0;
        if (Ini_GetInt(doc, kSectionCommunication, tag, v) == 1) {
            field = static_cast<std::uint16_t>(v);
        }
    };
    readU16(kItemProtocol, c.protocol);
    readU16(kItemComPort, c.comPort);
    readU16(kItemBaudRate, c.baudRateIndex);
    std::array<char, kIpAddressBuffer> ip{};
    if (Ini_GetStringIntoBuffer(doc, kSectionCommunication, kItemIpAddress, ip) > 0) {
        c.ipAddress = ip.data();
    }
    std::array<char, kPortNumberBuffer> port{};
    if (Ini_GetStringIntoBuffer(doc, kSectionCommunication, kItemPortNumber, port) > 0) {
        c.portNumber = port.data();
    }
    return c;
}

std::optional<std::int32_t> ReadStoredLanguage(IniDocument* doc) {
    std::int32_t language = 0;
    if (doc == nullptr || Ini_GetInt(doc, kSectionGeneralSettings, kItemLanguage, language) != 1) {
        return std::nullopt;
    }
    return language;
}

}  // namespace qelto
