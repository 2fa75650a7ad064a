#include "app/connection.hpp"

#include <algorithm>
#include <cmath>

#include "app/context.hpp"
#include "app/link_state.hpp"
#include "app/transfer.hpp"
#include "link/transport.hpp"

namespace qelto {
namespace {

// Reads the link kind and its settings from the connection page.
void ReadConnectionPage(Context& ctx) {
    auto& c = ctx.settings.conn;
    c.Protocol = CtrlValueU16(ctx, Ctrl::ProtocolSelector);
    c.ComPort = CtrlValueU16(ctx, Ctrl::ComPortSelector);
    c.BaudRateIndex = CtrlValueU16(ctx, Ctrl::BaudRateSelector);
    CopyText(c.IpAddress, ctx.ui.GetCtrlText(Ctrl::ServerField));
    CopyText(c.PortNumber, ctx.ui.GetCtrlText(Ctrl::PortField));
}

// A failure on the way to an identified sensor: reported, then the choice.
void GiveUp(Context& ctx, const SensorError& error) {
    ReportFailure(ctx, error);
    AskCloseOrOffline(ctx, kMsgNoConnection);
}

// The sensor is identified, but what it holds is not known: the defaults asked for, or the
// read of its parameters, failed (and was reported). Nothing that uses them may run (above
// all no Send over the sensor's own values, which were never read); the operator can try
// again or go offline. A link that went with the failure leaves the controls of offline work.
void SensorNotRead(Context& ctx) {
    auto& ui = ctx.ui;
    if (ctx.loop.QuitRequested()) return;
    if (!ctx.sensor.connected()) return ShowNoLink(ctx);
    for (Ctrl c : {Ctrl::ConnectButton, Ctrl::DisconnectButton, Ctrl::BaudRateSelector}) {
        ui.SetDimmed(c, false);
    }
    ui.ShowStatusMessage(kStatusSensorNotRead);
}

// The serial port the session opened, if its link is one: the COM port selector may show
// another by now.
void CloseOpenSerialPort(Context& ctx) {
    const ConnectionSettings& open = ctx.sensor.settings();
    if (open.Protocol == kRs232) ctx.sensor.CloseSerialPort(open.ComPort);
}

}  // namespace

std::uint16_t CtrlValueU16(Context& ctx, Ctrl c) {
    const double v = ctx.ui.GetCtrlVal(c);
    if (!(v > 0)) return 0;
    return static_cast<std::uint16_t>(std::lround(std::min(v, 65535.0)));
}

void AskCloseOrOffline(Context& ctx, std::string_view message) {
    // Whatever the answer, no sensor is identified now; a caller must not take the attempt
    // for a success because an earlier connection had left communicationOk set.
    ctx.state.communicationOk = false;
    // The program is already on its way out: there is nothing left to ask.
    if (ctx.loop.QuitRequested()) return;
    GenericPopupRequest popup;
    popup.title = kAttentionTitle;
    popup.message = std::string(message);
    popup.buttons = {kButtonClose, kButtonOffline, ""};
    popup.enterButton = kAnswerClose;
    popup.escapeButton = kAnswerClose;
    const GenericPopupResult answer = ctx.ui.GenericMessagePopup(popup);
    if (answer.button == kAnswerOffline) {
        Disconnect(ctx);
    } else {
        // Panel settings are deliberately not stored on this way out.
        ctx.loop.QuitUserInterface(0);
    }
}

void TryToConnect(Context& ctx) {
    auto& ui = ctx.ui;
    auto& conn = ctx.settings.conn;
    ctx.sensor.CloseSerialPort(conn.ComPort);
    CloseOpenSerialPort(ctx);
    ui.SetCtrlText(Ctrl::StatusDisplay, kStatusTryToConnect);
    ui.AppendText(Ctrl::InfoBox, kInfoTryToConnect);
    ReadConnectionPage(ctx);
    LinkConnecting(ctx);
    ctx.loop.ProcessSystemEvents();

    ui.SetCtrlVal(Ctrl::ComPortDisplay, conn.ComPort);
    ui.SetCtrlText(Ctrl::IpAddressDisplay, TextOf(conn.IpAddress));
    conn.TcpPort = ParseLeadingInt(TextOf(conn.PortNumber));

    const bool serial = conn.Protocol == kRs232;
    ui.SetVisible(Ctrl::ComPortDisplay, serial);
    ui.SetVisible(Ctrl::IpAddressDisplay, !serial);
    // Opening the serial line ends an acquisition that may still count as running.
    if (serial) ctx.state.acquisition = Acquisition::Stopped;
    if (const Status opened = ctx.sensor.Open(conn); !opened) {
        GiveUp(ctx, opened.error());
        return;
    }
    CheckComLine(ctx);
}

void CheckComLine(Context& ctx) {
    auto& ui = ctx.ui;
    auto& sensor = ctx.sensor;

    const auto firmware = sensor.ReadFirmware();
    if (!firmware) return GiveUp(ctx, firmware.error());
    ui.SetTooltip(Ctrl::StatusDisplay, firmware->firmware);

    const FirmwarePieces pieces = SplitFirmware(firmware->firmware);
    if (!firmware->supported()) {
        AskCloseOrOffline(ctx, UnsupportedFirmwareMessage(pieces));
        return;
    }
    const std::string line = FirmwareLine(pieces);
    ui.SetCtrlText(Ctrl::StatusDisplay, line);
    ui.AppendText(Ctrl::InfoBox, line);

    const auto named = sensor.ReadNameAndSerial();
    if (!named) return GiveUp(ctx, named.error());
    ui.AppendText(Ctrl::InfoBox, IdentityLogLines(*named));

    if (ctx.loop.QuitRequested()) {
        ctx.state.communicationOk = false;
        return;
    }
    // Yes writes the defaults over the sensor's settings and taught colours: Enter says no.
    if (ui.ConfirmPopup(kAttentionTitle, Localized(kDefaultParaQuestion, ctx.state.Language),
                        Default::No) == 1) {
        LoadDefaultParaValues(ctx.config.para, ctx.config.teach, 1);
        ctx.state.communicationOk = true;
        SendPara(ctx);
        if (!ctx.state.communicationOk) return SensorNotRead(ctx);
    }

    ctx.state.communicationOk = true;
    GetPara(ctx);
    if (!ctx.state.communicationOk) return SensorNotRead(ctx);
    ui.SetDimmed(Ctrl::AcceptButton, false);
    LinkConnected(ctx);
}

void Disconnect(Context& ctx) {
    auto& ui = ctx.ui;
    SetButtonsDimmed(ctx, 0, 1);
    // The port that is open, whatever the selector shows by now; then the selector's, which
    // is harmless when it is not open.
    CloseOpenSerialPort(ctx);
    ctx.settings.conn.ComPort = CtrlValueU16(ctx, Ctrl::ComPortSelector);
    ctx.sensor.CloseSerialPort(ctx.settings.conn.ComPort);
    if (ctx.sensor.tcpConnected()) ctx.sensor.CloseTcp();
    ui.SetCtrlText(Ctrl::StatusDisplay, kStatusNoSensor);
    ui.AppendText(Ctrl::InfoBox, kInfoNoSensor);
    ui.SetCtrlVal(Ctrl::FileButton, 1);
    ui.SetCtrlVal(Ctrl::EepromButton, 0);
    ctx.state.TransferTarget = kTargetFile;
    // Offline after a failed attempt keeps saying why.
    if (ctx.state.link != LinkView::Offline) LinkOffline(ctx);
    // Offline, only the file commands and a new connection attempt make sense.
    for (Ctrl c :
         {Ctrl::ConnectButton, Ctrl::BaudRateSelector, Ctrl::SendButton, Ctrl::GetButton}) {
        ui.SetDimmed(c, false);
    }
    ctx.state.communicationOk = false;
}

}  // namespace qelto
