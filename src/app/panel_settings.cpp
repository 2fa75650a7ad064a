#include "app/panel_settings.hpp"

#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>

#include "app/context.hpp"
#include "app/operation_state.hpp"
#include "app/operator_interface.hpp"
#include "files/file_header.hpp"
#include "files/inifile.hpp"
#include "files/parameter_file.hpp"
#include "files/paths.hpp"
#include "link/transport.hpp"

namespace qelto {

namespace {

// The module's own texts.
struct Texts {
    static constexpr std::string_view kFileType = "Panel Settings";

    static constexpr std::string_view kSectionPosition = "PANEL POSITION";
    static constexpr std::string_view kItemZoom = "MAINPANEL FULLSCREEN";
    static constexpr std::string_view kItemLeft = "MAINPANEL LEFT";
    static constexpr std::string_view kItemTop = "MAINPANEL TOP";
    static constexpr std::string_view kItemWidth = "MAINPANEL WIDTH";
    static constexpr std::string_view kItemHeight = "MAINPANEL HEIGHT";

    static constexpr std::string_view kSectionGeneralSettings = "GENERAL SETTINGS";
    static constexpr std::string_view kItemLanguage = "SELECTED LANGUAGE";

    static constexpr std::string_view kSectionDirectories = "DIRECTORIES";
    static constexpr std::string_view kItemParameterFile = "PARAMETER FILE";

    static constexpr std::string_view kSectionServers = "IP ADDRESSES";
    static constexpr std::string_view kItemServerCount = "LIST ITEMS";
    static constexpr std::string_view kItemServerPrefix = "IP ADDR ";

    static constexpr std::string_view kSectionCommunication = "COMMUNICATION SETTINGS";
    static constexpr std::string_view kItemProtocol = "COMPROTOCOL";
    static constexpr std::string_view kItemComPort = "COMPORT";
    static constexpr std::string_view kItemBaudRate = "BAUDRATE";
    static constexpr std::string_view kItemIpAddress = "IP ADRESS";
    static constexpr std::string_view kItemPortNumber = "PORT NUMBER";

    static constexpr std::string_view kDefaultPortNumber = "5000";
};

// Geometry taken for an item that is missing or not above 0.
constexpr int kDefaultLeft = 10;
constexpr int kDefaultTop = 40;
constexpr int kDefaultWidth = 790;
constexpr int kDefaultHeight = 548;

constexpr std::uint16_t kDefaultProtocol = kRs232;
constexpr std::uint16_t kDefaultComPort = 1;
constexpr std::uint16_t kDefaultBaudRateIndex = 4;

constexpr std::size_t kTextBufferSize = 1024;

bool IsLanguage(std::int64_t v) {
    return v >= 0 && v < kLanguageCount;
}

// A control value as a 32-bit integer, whatever the control holds.
std::int32_t ToInt32(double v) {
    if (std::isnan(v)) return 0;
    if (v <= std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    if (v >= std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(v);
}

std::string ServerItem(int k) {
    return std::string(Texts::kItemServerPrefix) + std::to_string(k);
}

// Copies text into a fixed buffer without splitting a UTF-8 character.
template <std::size_t N>
void CopyUtf8(std::array<char, N>& dst, std::string_view text) {
    CopyText(dst, text.substr(0, Utf8CutLength(text, N - 1)));
}

bool SettingsFileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::exists(PathFromUtf8(path), ec);
}

// A document of the settings file, or null when the file is missing or of another type.
IniHandle OpenSettings(const Context& ctx) {
    if (!SettingsFileExists(ctx.settings.PanelSettingsPath)) return nullptr;
    IniHandle doc = Ini_New(0);
    Ini_ReadFromFile(doc.get(), ctx.settings.PanelSettingsPath);  // unreadable: no items
    if (!HeaderItemIs(doc.get(), kItemFileType, Texts::kFileType)) Ini_Dispose(doc);
    return doc;
}

int GetPositive(IniDocument* doc, std::string_view tag, int fallback) {
    std::int32_t v = 0;
    return Ini_GetInt(doc, Texts::kSectionPosition, tag, v) > 0 ? v : fallback;
}

void ApplyPlacement(Context& ctx, IniDocument* doc) {
    std::int32_t zoom = 0;
    if (Ini_GetInt(doc, Texts::kSectionPosition, Texts::kItemZoom, zoom) != 1) return;
    if (zoom == kZoomMaximised) {
        ctx.ui.SetWindowZoom(kZoomMaximised);
        return;
    }
    const int left = GetPositive(doc, Texts::kItemLeft, kDefaultLeft);
    const int top = GetPositive(doc, Texts::kItemTop, kDefaultTop);
    const int width = GetPositive(doc, Texts::kItemWidth, kDefaultWidth);
    const int height = GetPositive(doc, Texts::kItemHeight, kDefaultHeight);
    ctx.ui.SetWindowPos(left, top);
    ctx.ui.SetWindowSize(width, height);
}

void LoadServerList(Context& ctx, IniDocument* doc) {
    std::int32_t n = 0;
    if (Ini_GetInt(doc, Texts::kSectionServers, Texts::kItemServerCount, n) != 1) return;
    if (n > kMaxRememberedServers) n = kMaxRememberedServers;
    int m = 0;
    for (int k = 1; k <= n; ++k) {
        std::array<char, kTextBufferSize> text{};
        if (Ini_GetStringIntoBuffer(doc, Texts::kSectionServers, ServerItem(k), text) == 1) {
            ctx.ui.ComboInsert(Ctrl::ServerField, m++, text.data());
        }
    }
}

}  // namespace

void ShowConnectionSettings(Context& ctx) {
    ctx.ui.SetCtrlVal(Ctrl::ProtocolSelector, ctx.settings.conn.Protocol);
    ctx.ui.SetCtrlVal(Ctrl::ComPortSelector, ctx.settings.conn.ComPort);
    ctx.ui.SetCtrlVal(Ctrl::BaudRateSelector, ctx.settings.conn.BaudRateIndex);
    ctx.ui.SetCtrlText(Ctrl::ServerField, TextOf(ctx.settings.conn.IpAddress));
    ctx.ui.SetCtrlText(Ctrl::PortField, TextOf(ctx.settings.conn.PortNumber));
}

std::string InitSettingsPaths(Context& ctx, std::string_view programDirectory,
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
    ctx.settings.ProgramDirectory = dir;
    ctx.settings.PanelSettingsPath = JoinPath(dir, kPanelSettingsFileName);
    return dir;
}

void LoadPanelSettings(Context& ctx) {
    ctx.settings.ParameterFilePath = JoinPath(ctx.settings.ProgramDirectory, kParameterFileName);
    IniHandle doc = OpenSettings(ctx);
    if (!doc) return;

    ApplyPlacement(ctx, doc.get());

    std::int32_t language = 0;
    // Every message table has seven columns: any other value must never reach them.
    if (Ini_GetInt(doc.get(), Texts::kSectionGeneralSettings, Texts::kItemLanguage, language) ==
            1 &&
        IsLanguage(language)) {
        ctx.state.Language = language;
    }
    ctx.ui.SetCtrlVal(Ctrl::LanguageSelector, ctx.state.Language);

    std::array<char, kPathSize> path{};
    if (Ini_GetStringIntoBuffer(doc.get(), Texts::kSectionDirectories, Texts::kItemParameterFile,
                                path) > 0) {
        ctx.settings.ParameterFilePath = path.data();
    } else {
        ctx.settings.ParameterFilePath = ctx.settings.ProgramDirectory;
    }

    LoadServerList(ctx, doc.get());
    Ini_Dispose(doc);
}

void GetConnectionSettingsFromFile(Context& ctx) {
    auto& conn = ctx.settings.conn;
    conn.Protocol = kDefaultProtocol;
    conn.ComPort = kDefaultComPort;
    conn.BaudRateIndex = kDefaultBaudRateIndex;
    conn.IpAddress.fill('\0');
    CopyText(conn.PortNumber, Texts::kDefaultPortNumber);

    if (IniHandle doc = OpenSettings(ctx)) {
        const auto readU16 = [&](std::string_view tag, std::uint16_t& field) {
            std::int32_t v = 0;
            if (Ini_GetInt(doc.get(), Texts::kSectionCommunication, tag, v) == 1) {
                field = static_cast<std::uint16_t>(v);
            }
        };
        readU16(Texts::kItemProtocol, conn.Protocol);
        readU16(Texts::kItemComPort, conn.ComPort);
        readU16(Texts::kItemBaudRate, conn.BaudRateIndex);

        std::array<char, kIpAddressSize> ip{};
        if (Ini_GetStringIntoBuffer(doc.get(), Texts::kSectionCommunication, Texts::kItemIpAddress,
                                    ip) > 0) {
            CopyText(conn.IpAddress, ip.data());
        }
        std::array<char, kPortNumberSize> port{};
        if (Ini_GetStringIntoBuffer(doc.get(), Texts::kSectionCommunication, Texts::kItemPortNumber,
                                    port) > 0) {
            CopyText(conn.PortNumber, port.data());
        }
        Ini_Dispose(doc);
    }
    ShowConnectionSettings(ctx);
}

void StorePanelSettings(Context& ctx) {
    IniHandle doc = Ini_New(0);
    IniDocument* d = doc.get();
    PutFileHeader(d, Texts::kFileType);

    const WindowPlacement w = ctx.ui.GetWindowPlacement();
    Ini_PutInt(d, Texts::kSectionPosition, Texts::kItemZoom, w.zoom);
    Ini_PutInt(d, Texts::kSectionPosition, Texts::kItemLeft, w.left);
    Ini_PutInt(d, Texts::kSectionPosition, Texts::kItemTop, w.top);
    Ini_PutInt(d, Texts::kSectionPosition, Texts::kItemWidth, w.width);
    Ini_PutInt(d, Texts::kSectionPosition, Texts::kItemHeight, w.height);

    const std::int32_t language = ToInt32(ctx.ui.GetCtrlVal(Ctrl::LanguageSelector));
    if (IsLanguage(language)) ctx.state.Language = language;
    Ini_PutInt(d, Texts::kSectionGeneralSettings, Texts::kItemLanguage, ctx.state.Language);

    Ini_PutString(d, Texts::kSectionDirectories, Texts::kItemParameterFile,
                  ctx.settings.ParameterFilePath);

    int n = ctx.ui.ComboCount(Ctrl::ServerField);
    if (n > kMaxRememberedServers) n = kMaxRememberedServers;
    if (n < 0) n = 0;
    Ini_PutInt(d, Texts::kSectionServers, Texts::kItemServerCount, n);
    for (int i = 0; i < n; ++i) {
        Ini_PutString(d, Texts::kSectionServers, ServerItem(i + 1),
                      ctx.ui.ComboItem(Ctrl::ServerField, i));
    }

    auto& conn = ctx.settings.conn;
    conn.Protocol = static_cast<std::uint16_t>(ToInt32(ctx.ui.GetCtrlVal(Ctrl::ProtocolSelector)));
    conn.ComPort = static_cast<std::uint16_t>(ToInt32(ctx.ui.GetCtrlVal(Ctrl::ComPortSelector)));
    conn.BaudRateIndex =
        static_cast<std::uint16_t>(ToInt32(ctx.ui.GetCtrlVal(Ctrl::BaudRateSelector)));
    CopyUtf8(conn.IpAddress, ctx.ui.GetCtrlText(Ctrl::ServerField));
    CopyUtf8(conn.PortNumber, ctx.ui.GetCtrlText(Ctrl::PortField));
    const ConnectionSettings& kept =
        ctx.settings.StoredConnection ? *ctx.settings.StoredConnection : conn;
    Ini_PutInt(d, Texts::kSectionCommunication, Texts::kItemProtocol, kept.Protocol);
    Ini_PutInt(d, Texts::kSectionCommunication, Texts::kItemComPort, kept.ComPort);
    Ini_PutInt(d, Texts::kSectionCommunication, Texts::kItemBaudRate, kept.BaudRateIndex);
    Ini_PutString(d, Texts::kSectionCommunication, Texts::kItemIpAddress, TextOf(kept.IpAddress));
    Ini_PutString(d, Texts::kSectionCommunication, Texts::kItemPortNumber, TextOf(kept.PortNumber));

    // A failed write keeps the previous file; the settings are a convenience, and the window
    // may be closing, so nothing is shown.
    Ini_WriteToFile(d, ctx.settings.PanelSettingsPath);
    Ini_Dispose(doc);
}

}  // namespace qelto
