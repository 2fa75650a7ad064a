#include "app/connection_page.hpp"

#include <algorithm>
#include <string>
#include <vector>

#include "app/connection.hpp"
#include "app/context.hpp"
#include "app/panel_settings.hpp"
#include "link/transport.hpp"

namespace qelto {
namespace {

// "COMn", and on systems where ports are not called that, the device behind the number.
std::string PortLine(const SerialPortInfo& port) {
    std::string line = "COM" + std::to_string(port.number);
    if (!port.path.empty() && port.path != line) line += " (" + port.path + ")";
    return line + "\n";
}

}  // namespace

void InitConnectPanel(Context& ctx) {
    auto& ui = ctx.ui;
    ctx.settings.conn.Protocol = CtrlValueU16(ctx, Ctrl::ProtocolSelector);
    if (ctx.settings.conn.Protocol != kRs232 && ctx.settings.conn.Protocol != kTcpIp) return;
    const bool serial = ctx.settings.conn.Protocol == kRs232;
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

Outcome CBF_EditCommunicationProtocol(Context& ctx) {
    InitConnectPanel(ctx);
    ctx.ui.SetDimmed(Ctrl::AcceptButton, true);
    return Outcome::Done;
}

Outcome DimAcceptButton(Context& ctx) {
    // A changed setting no longer matches the connection that was identified.
    ctx.ui.SetDimmed(Ctrl::AcceptButton, true);
    return Outcome::Done;
}

Outcome CBF_StringIpAdress(Context& ctx) {
    ctx.ui.SetDimmed(Ctrl::AcceptButton, true);
    CopyText(ctx.settings.conn.IpAddress, ctx.ui.GetCtrlText(Ctrl::ServerField));
    RememberServer(ctx, TextOf(ctx.settings.conn.IpAddress));
    return Outcome::Done;
}

Outcome CBF_ButtonTryToConnect(Context& ctx) {
    SetButtonsDimmed(ctx, 0, 1);
    TryToConnect(ctx);
    if (ctx.state.communicationOk) SetButtonsDimmed(ctx, 0, 0);
    return LinkOutcome(ctx);
}

Outcome CBF_ButtonDisconnect(Context& ctx) {
    Disconnect(ctx);
    return Outcome::Done;
}

Outcome CBF_ButtonFindComPorts(Context& ctx) {
    const std::vector<SerialPortInfo> ports = ctx.portEnumerator.LocateCom();
    if (ports.empty()) return Outcome::Done;
    ctx.ui.AppendText(Ctrl::InfoBox, kInfoPortListHeading);
    const std::size_t count = std::min<std::size_t>(ports.size(), kLocateComCapacity);
    for (std::size_t i = 0; i < count; ++i)
        ctx.ui.AppendText(Ctrl::InfoBox, PortLine(ports[i]));
    return Outcome::Done;
}

Outcome CBF_ButtonAccept(Context& ctx) {
    StorePanelSettings(ctx);
    ctx.ui.SetActiveTabPage(kParameterPage);
    return Outcome::Done;
}

}  // namespace qelto
