#include "link/connection_page.hpp"

#include <algorithm>
#include <string>
#include <vector>

#include "files/panel_settings.hpp"
#include "link/connection.hpp"
#include "ui/context.hpp"

namespace qelto {
namespace {

inline constexpr const char* kHelpProtocol = "Select RS232 or TCP/IP Interface. ";
inline constexpr const char* kHelpComPort = "Select a serial COM-PORT.";
inline constexpr const char* kHelpBaudrate =
    "Select the Baudrate for data transfer. \n\nAttention! Sensor and user surface \nmust work "
    "with the same Baudrate. ";
inline constexpr const char* kHelpServer = "Select a Server by name or IP address.";
inline constexpr const char* kHelpPortNumber = "Select a port number.";
inline constexpr const char* kHelpConnect = "Try to connect sensor.";
inline constexpr const char* kHelpDisconnect = "Disconnect from sensor.!";
inline constexpr const char* kHelpFindComPorts = "Shows a list of available COM PORTS.";
inline constexpr const char* kHelpAccept =
    "Accept settings for communication \nand switch to parapanel. ";

// A changed setting no longer matches the connection that was identified.
int DimAcceptOnCommit(Context& ctx, Event event, const char* help) {
    if (event == Event::RightClick) {
        HelpPopup(ctx, help);
    } else if (event == Event::Commit) {
        ctx.ui.SetDimmed(Ctrl::AcceptButton, true);
    }
    return 0;
}

// "COMn", and on systems where ports are not called that, the device behind the number.
std::string PortLine(const SerialPortInfo& port) {
    std::string line = "COM" + std::to_string(port.number);
    if (!port.path.empty() && port.path != line) line += " (" + port.path + ")";
    return line + "\n";
}

}  // namespace

void InitConnectPanel(Context& ctx) {
    auto& ui = ctx.ui;
    ctx.conn.Protocol = CtrlValueU16(ctx, Ctrl::ProtocolSelector);
    if (ctx.conn.Protocol != kRs232 && ctx.conn.Protocol != kTcpIp) return;
    const bool serial = ctx.conn.Protocol == kRs232;
    ui.SetVisible(Ctrl::ComPortSelector, serial);
    ui.SetVisible(Ctrl::BaudRateSelector, serial);
    ui.SetVisible(Ctrl::ServerField, !serial);
    ui.SetVisible(Ctrl::PortField, !serial);
}

void RememberServer(Context& ctx, std::string_view server) {
    auto& ui = ctx.ui;
    const Ctrl c = Ctrl::ServerField;
    for (int i = 0; i < ui.ComboCount(c); ++i) {
        if (ui.ComboItem(c, i) == server) {
            ui.ComboDelete(c, i);
            break;
        }
    }
    ui.ComboInsert(c, 0, server);
    while (ui.ComboCount(c) > kMaxRecentServers)
        ui.ComboDelete(c, ui.ComboCount(c) - 1);
}

int CBF_EditCommunicationProtocol(Context& ctx, Event event) {
    if (event == Event::RightClick) {
        HelpPopup(ctx, kHelpProtocol);
    } else if (event == Event::Commit) {
        InitConnectPanel(ctx);
        ctx.ui.SetDimmed(Ctrl::AcceptButton, true);
    }
    return 0;
}

int CBF_EditSelectComPort(Context& ctx, Event event) {
    return DimAcceptOnCommit(ctx, event, kHelpComPort);
}

int CBF_EditSelectBaudrate(Context& ctx, Event event) {
    return DimAcceptOnCommit(ctx, event, kHelpBaudrate);
}

int CBF_StringPortNumber(Context& ctx, Event event) {
    return DimAcceptOnCommit(ctx, event, kHelpPortNumber);
}

int CBF_StringIpAdress(Context& ctx, Event event) {
    if (event == Event::RightClick) {
        HelpPopup(ctx, kHelpServer);
    } else if (event == Event::Commit) {
        ctx.ui.SetDimmed(Ctrl::AcceptButton, true);
        CopyText(ctx.conn.IpAddress, ctx.ui.GetCtrlText(Ctrl::ServerField));
        RememberServer(ctx, TextOf(ctx.conn.IpAddress));
    }
    return 0;
}

int CBF_ButtonTryToConnect(Context& ctx, Event event) {
    if (event == Event::RightClick) {
        HelpPopup(ctx, kHelpConnect);
    } else if (event == Event::Commit) {
        SetButtonsDimmed(ctx, 0, 1);
        TryToConnect(ctx);
        if (ctx.state.CommunicationOk == 1) SetButtonsDimmed(ctx, 0, 0);
    }
    return 0;
}

int CBF_ButtonDisconnect(Context& ctx, Event event) {
    if (event == Event::RightClick) {
        HelpPopup(ctx, kHelpDisconnect);
    } else if (event == Event::Commit) {
        Disconnect(ctx);
    }
    return 0;
}

int CBF_ButtonFindComPorts(Context& ctx, Event event) {
    if (event == Event::RightClick) {
        HelpPopup(ctx, kHelpFindComPorts);
    } else if (event == Event::Commit) {
        const std::vector<SerialPortInfo> ports = ctx.portEnumerator.LocateCom();
        if (ports.empty()) return 0;
        ctx.ui.AppendText(Ctrl::InfoBox, kInfoPortListHeading);
        const std::size_t count = std::min<std::size_t>(ports.size(), kLocateComCapacity);
        for (std::size_t i = 0; i < count; ++i)
            ctx.ui.AppendText(Ctrl::InfoBox, PortLine(ports[i]));
    }
    return 0;
}

int CBF_ButtonAccept(Context& ctx, Event event) {
    if (event == Event::RightClick) {
        HelpPopup(ctx, kHelpAccept);
    } else if (event == Event::Commit) {
        StorePanelSettings(ctx);
        ctx.ui.SetActiveTabPage(kParameterPage);
    }
    return 0;
}

}  // namespace qelto
