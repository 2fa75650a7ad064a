#include "app/connection.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/context.hpp"
#include "app/transfer.hpp"
#include "link/transaction.hpp"

namespace qelto {
namespace {

// Reads the link kind and its settings from the connection page.
void ReadConnectionPage(Context& ctx) {
    auto& c = ctx.conn;
    c.Protocol = CtrlValueU16(ctx, Ctrl::ProtocolSelector);
    c.ComPort = CtrlValueU16(ctx, Ctrl::ComPortSelector);
    c.BaudRateIndex = CtrlValueU16(ctx, Ctrl::BaudRateSelector);
    CopyText(c.IpAddress, ctx.ui.GetCtrlText(Ctrl::ServerField));
    CopyText(c.PortNumber, ctx.ui.GetCtrlText(Ctrl::PortField));
}

}  // namespace

std::uint16_t CtrlValueU16(Context& ctx, Ctrl c) {
    const double v = ctx.ui.GetCtrlVal(c);
    if (!(v > 0)) return 0;
    return static_cast<std::uint16_t>(std::lround(std::min(v, 65535.0)));
}

FirmwarePieces SplitFirmware(std::string_view text) {
    std::size_t pos = 0;
    // A piece starts after any separators and ends before the next one, which is consumed.
    auto next = [&](char separator) {
        while (pos < text.size() && text[pos] == separator)
            ++pos;
        const std::size_t start = pos;
        while (pos < text.size() && text[pos] != separator)
            ++pos;
        std::string piece(text.substr(start, pos - start));
        if (pos < text.size()) ++pos;
        return piece;
    };
    FirmwarePieces p;
    p.piece[0] = next('.');
    p.piece[1] = next('.');
    p.piece[2] = next(' ');
    p.piece[3] = std::string(text.substr(pos));
    return p;
}

std::int32_t SensorModelFor(const FirmwarePieces& pieces) {
    const std::string family = pieces.piece[0] + ".";
    for (std::size_t i = 0; i < kSensorFamilies.size(); ++i) {
        if (family == kSensorFamilies[i]) return static_cast<std::int32_t>(i) + 1;
    }
    return 0;
}

std::string FirmwareLine(const FirmwarePieces& pieces) {
    return pieces.piece[0] + "." + pieces.piece[1] + pieces.piece[3];
}

std::string UnsupportedFirmwareMessage(const FirmwarePieces& pieces) {
    return std::string(kMsgUnsupportedHead) + pieces.piece[0] + "." + pieces.piece[1] +
           kMsgUnsupportedTail;
}

std::string_view FirmwareText(const Context& ctx) {
    return TextOf(ctx.ident.FirmwareString);
}
std::string_view SensorNameText(const Context& ctx) {
    return TextOf(ctx.ident.SensorName);
}

void AskCloseOrOffline(Context& ctx, std::string_view message) {
    // Whatever the answer, no sensor is identified now; a caller must not take the attempt
    // for a success because an earlier connection had left CommunicationOk set.
    ctx.state.CommunicationOk = 0;
    // The program is already on its way out: there is nothing left to ask.
    if (ctx.ui.QuitRequested()) return;
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
        ctx.ui.QuitUserInterface(0);
    }
}

void TryToConnect(Context& ctx) {
    auto& ui = ctx.ui;
    CloseSerial(ctx, ctx.conn.ComPort);
    ui.SetCtrlText(Ctrl::StatusDisplay, kStatusTryToConnect);
    ui.AppendText(Ctrl::InfoBox, kInfoTryToConnect);
    ReadConnectionPage(ctx);
    ui.ProcessSystemEvents();

    ui.SetCtrlVal(Ctrl::ComPortDisplay, ctx.conn.ComPort);
    ui.SetCtrlText(Ctrl::IpAddressDisplay, TextOf(ctx.conn.IpAddress));
    ctx.conn.TcpPort = ParseLeadingInt(TextOf(ctx.conn.PortNumber));

    const bool serial = ctx.conn.Protocol == kRs232;
    ui.SetVisible(Ctrl::ComPortDisplay, serial);
    ui.SetVisible(Ctrl::IpAddressDisplay, !serial);
    if (serial) {
        InitRS232(ctx);
    } else {
        InitTCP_IP(ctx);
    }

    if (ctx.link.LinkStatus >= 0) {
        CheckComLine(ctx);
    } else {
        AskCloseOrOffline(ctx, kMsgNoConnection);
    }
}

void CheckComLine(Context& ctx) {
    auto& ui = ctx.ui;
    auto& id = ctx.ident;
    auto& f = ctx.frames;

    if (Exchange(ctx, kCmdFirmware, 0) != 1) {
        AskCloseOrOffline(ctx, kMsgNoConnection);
        return;
    }
    // Only what the reply carries: bytes behind it in the buffer are not the sensor's text.
    id.FirmwareString.fill('\0');
    std::memcpy(id.FirmwareString.data(), f.ReplyData(),
                std::min<std::size_t>(f.ReplyLength, kFirmwareStringSize));
    ui.SetTooltip(Ctrl::StatusDisplay, FirmwareText(ctx));

    const FirmwarePieces pieces = SplitFirmware(FirmwareText(ctx));
    id.SensorModel = SensorModelFor(pieces);
    if (id.SensorModel == 0) {
        AskCloseOrOffline(ctx, UnsupportedFirmwareMessage(pieces));
        return;
    }
    const std::string line = FirmwareLine(pieces);
    ui.SetCtrlText(Ctrl::StatusDisplay, line);
    ui.AppendText(Ctrl::InfoBox, line);

    if (Exchange(ctx, kCmdSensorName, 0) != 1) {
        AskCloseOrOffline(ctx, kMsgNoConnection);
        return;
    }
    id.SensorName.fill('\0');
    std::memcpy(id.SensorName.data(), f.ReplyData(),
                std::min<std::size_t>(f.ReplyLength, kSensorNameSize - 1));
    ui.AppendText(Ctrl::InfoBox, kInfoSensorName);
    ui.AppendText(Ctrl::InfoBox, SensorNameText(ctx));
    ui.AppendText(Ctrl::InfoBox, kInfoSerialNumber);
    ui.AppendText(Ctrl::InfoBox, std::to_string(f.ReplyArgument));
    ui.AppendText(Ctrl::InfoBox, kInfoIdentityEnd);

    if (ui.QuitRequested()) {
        ctx.state.CommunicationOk = 0;
        return;
    }
    if (ui.ConfirmPopup(kAttentionTitle, Localized(kDefaultParaQuestion, ctx.state.Language)) ==
        1) {
        LoadDefaultParaValues(ctx.para, ctx.teach, 1);
        ctx.state.CommunicationOk = 1;
        SendPara(ctx);
        if (ctx.state.CommunicationOk == 0) return;
    }

    ctx.state.CommunicationOk = 1;
    GetPara(ctx);
    if (ctx.state.CommunicationOk == 1) ui.SetDimmed(Ctrl::AcceptButton, false);
}

void Disconnect(Context& ctx) {
    auto& ui = ctx.ui;
    SetButtonsDimmed(ctx, 0, 1);
    ctx.conn.ComPort = CtrlValueU16(ctx, Ctrl::ComPortSelector);
    CloseSerial(ctx, ctx.conn.ComPort);
    if (ctx.link.TcpConnected == 1) CloseTcp(ctx);
    ui.SetCtrlText(Ctrl::StatusDisplay, kStatusNoSensor);
    ui.AppendText(Ctrl::InfoBox, kInfoNoSensor);
    ui.SetCtrlVal(Ctrl::FileButton, 1);
    ui.SetCtrlVal(Ctrl::EepromButton, 0);
    ctx.state.TransferTarget = kTargetFile;
    // Offline, only the file commands and a new connection attempt make sense.
    for (Ctrl c :
         {Ctrl::ConnectButton, Ctrl::BaudRateSelector, Ctrl::SendButton, Ctrl::GetButton}) {
        ui.SetDimmed(c, false);
    }
    ctx.state.CommunicationOk = 0;
}

}  // namespace qelto
