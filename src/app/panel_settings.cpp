#include "app/panel_settings.hpp"

#include <algorithm>
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
#include "files/settings_file.hpp"
#include "protocol/com_ports.hpp"
#include "sensor/link_settings.hpp"

namespace qelto {

namespace {

// The module's own texts.
struct Texts {
    static constexpr std::string_view kSectionPosition = "PANEL POSITION";
    static constexpr std::string_view kItemZoom = "MAINPANEL FULLSCREEN";
    static constexpr std::string_view kItemLeft = "MAINPANEL LEFT";
    static constexpr std::string_view kItemTop = "MAINPANEL TOP";
    static constexpr std::string_view kItemWidth = "MAINPANEL WIDTH";
    static constexpr std::string_view kItemHeight = "MAINPANEL HEIGHT";

    static constexpr std::string_view kSectionDirectories = "DIRECTORIES";
    static constexpr std::string_view kItemParameterFile = "PARAMETER FILE";

    // Written only while it is on, so that a file of a run without it stays as it was.
    static constexpr std::string_view kItemAutoReconnect = "AUTO RECONNECT";

    static constexpr std::string_view kSectionServers = "IP ADDRESSES";
    static constexpr std::string_view kItemServerCount = "LIST ITEMS";
    static constexpr std::string_view kItemServerPrefix = "IP ADDR ";
};

// Geometry taken for an item that is missing or not above 0.
constexpr int kDefaultLeft = 10;
constexpr int kDefaultTop = 40;
constexpr int kDefaultWidth = 790;
constexpr int kDefaultHeight = 548;

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

// At most `limit` bytes of a text, without splitting a UTF-8 character.
std::string CutUtf8(std::string_view text, std::size_t limit) {
    return std::string(text.substr(0, Utf8CutLength(text, limit)));
}

// The connection page's settings as the file keeps them: its texts as they stand.
StoredConnection PageConnection(OperatorInterface& ui) {
    StoredConnection c;
    c.protocol = static_cast<std::uint16_t>(ToInt32(ui.GetCtrlVal(Ctrl::ProtocolSelector)));
    c.comPort = static_cast<std::uint16_t>(ToInt32(ui.GetCtrlVal(Ctrl::ComPortSelector)));
    c.baudRateIndex = static_cast<std::uint16_t>(ToInt32(ui.GetCtrlVal(Ctrl::BaudRateSelector)));
    c.ipAddress = CutUtf8(ui.GetCtrlText(Ctrl::ServerField), kIpAddressSize - 1);
    c.portNumber = CutUtf8(ui.GetCtrlText(Ctrl::PortField), kPortNumberSize - 1);
    return c;
}

IniHandle OpenSettings(const Settings& settings) {
    return OpenSettingsDocument(settings.PanelSettingsPath);
}

int GetPositive(IniDocument* doc, std::string_view tag, int fallback) {
    std::int32_t v = 0;
    return Ini_GetInt(doc, Texts::kSectionPosition, tag, v) > 0 ? v : fallback;
}

void ApplyPlacement(OperatorInterface& ui, IniDocument* doc) {
    std::int32_t zoom = 0;
    if (Ini_GetInt(doc, Texts::kSectionPosition, Texts::kItemZoom, zoom) != 1) return;
    if (zoom == kZoomMaximised) {
        ui.SetWindowZoom(kZoomMaximised);
        return;
    }
    const int left = GetPositive(doc, Texts::kItemLeft, kDefaultLeft);
    const int top = GetPositive(doc, Texts::kItemTop, kDefaultTop);
    const int width = GetPositive(doc, Texts::kItemWidth, kDefaultWidth);
    const int height = GetPositive(doc, Texts::kItemHeight, kDefaultHeight);
    // A file from another machine or a damaged one must not put the window out of reach, nor
    // make it so large that its pixels alone exhaust the memory.
    WindowPlacement w;
    w.left = left;
    w.top = top;
    w.width = width;
    w.height = height;
    w = FitOnScreen(w, ui.GetScreenArea(w));
    ui.SetWindowPos(w.left, w.top);
    ui.SetWindowSize(w.width, w.height);
}

void LoadServerList(OperatorInterface& ui, IniDocument* doc) {
    std::int32_t n = 0;
    if (Ini_GetInt(doc, Texts::kSectionServers, Texts::kItemServerCount, n) != 1) return;
    if (n > kMaxRememberedServers) n = kMaxRememberedServers;
    int m = 0;
    for (int k = 1; k <= n; ++k) {
        std::array<char, kTextBufferSize> text{};
        if (Ini_GetStringIntoBuffer(doc, Texts::kSectionServers, ServerItem(k), text) == 1) {
            ui.ComboInsert(Ctrl::ServerField, m++, text.data());
        }
    }
}

}  // namespace

WindowPlacement FitOnScreen(WindowPlacement w, const ScreenArea& area) {
    if (area.width <= 0 || area.height <= 0) return w;
    // In 64 bits: a stored edge near the end of the int range must not wrap when added to.
    const auto fit = [](int& start, int& length, int areaStart, int areaLength) {
        length = std::min(length, areaLength);
        const std::int64_t last = std::int64_t{areaStart} + areaLength - length;
        start = static_cast<int>(std::clamp<std::int64_t>(start, areaStart, last));
    };
    fit(w.left, w.width, area.left, area.width);
    fit(w.top, w.height, area.top, area.height);
    return w;
}

void ShowConnectionSettings(OperatorInterface& ui, const StoredConnection& conn) {
    // An index the table does not have stands for 115200 baud, and the selector says so: the
    // connection opens at the rate it shows.
    const int baud = BaudRateIndexFor(BaudRateForIndex(conn.baudRateIndex)).value_or(0);
    ui.SetCtrlVal(Ctrl::ProtocolSelector, conn.protocol);
    ui.SetCtrlVal(Ctrl::ComPortSelector, conn.comPort);
    ui.SetCtrlVal(Ctrl::BaudRateSelector, baud);
    ui.SetCtrlText(Ctrl::ServerField, conn.ipAddress);
    ui.SetCtrlText(Ctrl::PortField, conn.portNumber);
}

std::string InitSettingsPaths(Settings& settings, std::string_view programDirectory,
                              std::string_view userConfigDirectory) {
    const std::string dir = SettingsDirectory(programDirectory, userConfigDirectory);
    settings.ProgramDirectory = dir;
    settings.PanelSettingsPath = JoinPath(dir, kPanelSettingsFileName);
    return dir;
}

void LoadPanelSettings(Context& ctx) {
    ctx.settings.ParameterFilePath = JoinPath(ctx.settings.ProgramDirectory, kParameterFileName);
    IniHandle doc = OpenSettings(ctx.settings);
    if (!doc) return;

    ApplyPlacement(ctx.ui, doc.get());

    // Every message table has seven columns: any other value must never reach them.
    if (const auto language = ReadStoredLanguage(doc.get()); language && IsLanguage(*language)) {
        ctx.state.Language = *language;
    }
    ctx.ui.SetCtrlVal(Ctrl::LanguageSelector, ctx.state.Language);
    std::int32_t autoReconnect = 0;
    if (Ini_GetInt(doc.get(), kSectionGeneralSettings, Texts::kItemAutoReconnect, autoReconnect) ==
        1) {
        ctx.reconnection.SetAutomatic(autoReconnect == 1);
    }

    std::array<char, kPathSize> path{};
    if (Ini_GetStringIntoBuffer(doc.get(), Texts::kSectionDirectories, Texts::kItemParameterFile,
                                path) > 0) {
        ctx.settings.ParameterFilePath = path.data();
    } else {
        ctx.settings.ParameterFilePath = ctx.settings.ProgramDirectory;
    }

    LoadServerList(ctx.ui, doc.get());
    Ini_Dispose(doc);
}

StoredConnection GetConnectionSettingsFromFile(Context& ctx) {
    IniHandle doc = OpenSettings(ctx.settings);
    const StoredConnection stored = ReadStoredConnection(doc.get());
    if (doc) Ini_Dispose(doc);
    ctx.settings.link = LinkFromStored(stored);
    ShowConnectionSettings(ctx.ui, stored);
    return stored;
}

void StorePanelSettings(Context& ctx) {
    IniHandle doc = Ini_New(0);
    IniDocument* d = doc.get();
    PutFileHeader(d, kPanelSettingsFileType);

    const WindowPlacement w = ctx.ui.GetWindowPlacement();
    Ini_PutInt(d, Texts::kSectionPosition, Texts::kItemZoom, w.zoom);
    Ini_PutInt(d, Texts::kSectionPosition, Texts::kItemLeft, w.left);
    Ini_PutInt(d, Texts::kSectionPosition, Texts::kItemTop, w.top);
    Ini_PutInt(d, Texts::kSectionPosition, Texts::kItemWidth, w.width);
    Ini_PutInt(d, Texts::kSectionPosition, Texts::kItemHeight, w.height);

    const std::int32_t language = ToInt32(ctx.ui.GetCtrlVal(Ctrl::LanguageSelector));
    if (IsLanguage(language)) ctx.state.Language = language;
    Ini_PutInt(d, kSectionGeneralSettings, kItemLanguage, ctx.state.Language);
    if (ctx.supervisor.automatic()) {
        Ini_PutInt(d, kSectionGeneralSettings, Texts::kItemAutoReconnect, 1);
    }

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

    const StoredConnection kept =
        ctx.settings.keptConnection ? *ctx.settings.keptConnection : PageConnection(ctx.ui);
    Ini_PutInt(d, kSectionCommunication, kItemProtocol, kept.protocol);
    Ini_PutInt(d, kSectionCommunication, kItemComPort, kept.comPort);
    Ini_PutInt(d, kSectionCommunication, kItemBaudRate, kept.baudRateIndex);
    Ini_PutString(d, kSectionCommunication, kItemIpAddress, kept.ipAddress);
    Ini_PutString(d, kSectionCommunication, kItemPortNumber, kept.portNumber);

    // A failed write keeps the previous file; the settings are a convenience, and the window
    // may be closing, so nothing is shown.
    Ini_WriteToFile(d, ctx.settings.PanelSettingsPath);
    Ini_Dispose(doc);
}

}  // namespace qelto
