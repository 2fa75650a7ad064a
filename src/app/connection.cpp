#include "app/connection.hpp"

#include <algorithm>
#include <vector>

#include "app/settings.hpp"
#include "app/transfer.hpp"
#include "app/working_copy.hpp"
#include "protocol/com_ports.hpp"
#include "protocol/number_text.hpp"
#include "sensor/connect.hpp"

namespace qelto {
namespace {

// "COMn", and on systems where ports are not called that, the device behind the number.
std::string PortLine(const SerialPortInfo& port) {
    std::string line = "COM" + std::to_string(port.number);
    if (!port.path.empty() && port.path != line) line += " (" + port.path + ")";
    return line + "\n";
}

}  // namespace

// What the window shows along the connection sequence, and its one question.
class Connection::Listener : public ConnectListener {
  public:
    explicit Listener(Connection& c) : c_(c) {}

    void Identified(const SensorIdentity& id) override {
        c_.ui_.SetTooltip(Ctrl::StatusDisplay, id.firmware);
        const std::string line = id.firmwareLine();
        c_.ui_.SetCtrlText(Ctrl::StatusDisplay, line);
        c_.ui_.AppendText(Ctrl::InfoBox, line);
    }
    void Named(const SensorIdentity& id) override {
        c_.ui_.AppendText(Ctrl::InfoBox, IdentityLogLines(id));
        sameSensor = reconnecting && c_.link_.sameSensorAgain();
    }
    bool SendDefaults() override {
        // The sensor that was connected, connected again: nothing to ask, nothing written.
        if (sameSensor) return false;
        // The program is on its way out: there is nothing left to ask, and nothing to read.
        if (c_.loop_.QuitRequested()) {
            quitting = true;
            return false;
        }
        // Yes writes the defaults over the sensor's settings and taught colours: Enter says no.
        if (c_.ui_.ConfirmPopup(kAttentionTitle,
                                Localized(kDefaultParaQuestion, c_.state_.Language),
                                Default::No) != 1) {
            return false;
        }
        Configuration defaults = c_.working_.config();
        LoadDefaultParaValues(defaults.para, defaults.teach, 1);
        c_.working_.Replace(defaults);
        return true;
    }
    bool quitting = false;
    bool reconnecting = false;
    bool sameSensor = false;

  private:
    Connection& c_;
};

Connection::Connection(OperatorInterface& ui, EventLoop& loop, SensorSession& sensor,
                       LinkSupervisor& link, PortEnumerator& ports, PresenterState& state,
                       Feedback& feedback, Settings& settings, WorkingCopy& working,
                       Transfer& transfer)
    : ui_(ui),
      loop_(loop),
      sensor_(sensor),
      link_(link),
      ports_(ports),
      state_(state),
      feedback_(feedback),
      settings_(settings),
      working_(working),
      transfer_(transfer) {}

// Reads the link kind and its settings from the connection page.
void Connection::ReadConnectionPage() {
    LinkDescription& link = settings_.link;
    link.kind = CtrlValueU16(ui_, Ctrl::ProtocolSelector) == kRs232 ? LinkDescription::Kind::Serial
                                                                    : LinkDescription::Kind::Tcp;
    link.comPort = CtrlValueU16(ui_, Ctrl::ComPortSelector);
    link.baud = BaudRateForIndex(CtrlValueU16(ui_, Ctrl::BaudRateSelector));
    link.host = ui_.GetCtrlText(Ctrl::ServerField);
    link.tcpPort = ParseLeadingInt(ui_.GetCtrlText(Ctrl::PortField));
}

Outcome Connection::GiveUp(const SensorError& error) {
    feedback_.ReportFailure(error);
    return AskCloseOrOffline(kMsgNoConnection);
}

Outcome Connection::AskCloseOrOffline(std::string_view message) {
    // The program is already on its way out: there is nothing left to ask.
    if (loop_.QuitRequested()) return Outcome::Quit;
    GenericPopupRequest popup;
    popup.title = kAttentionTitle;
    popup.message = std::string(message);
    popup.buttons = {kButtonClose, kButtonOffline, ""};
    popup.enterButton = kAnswerClose;
    popup.escapeButton = kAnswerClose;
    const GenericPopupResult answer = ui_.GenericMessagePopup(popup);
    if (answer.button == kAnswerOffline) {
        Disconnect();
        return Outcome::Failed;
    }
    // Panel settings are deliberately not stored on this way out.
    loop_.QuitUserInterface(0);
    return Outcome::Quit;
}

void Connection::CloseOpenSerialPort() {
    const ConnectionSettings& open = sensor_.settings();
    if (open.Protocol == kRs232) sensor_.CloseSerialPort(open.ComPort);
}

Outcome Connection::SensorNotRead() {
    // The sensor answers, but what it holds is not known: the controls follow from that (see
    // CommandLock), and the status line says what the operator can do.
    if (loop_.QuitRequested()) return Outcome::Quit;
    if (sensor_.connected()) ui_.ShowStatusMessage(kStatusSensorNotRead);
    return Outcome::Failed;
}

Outcome Connection::TryToConnect(bool reconnecting) {
    const LinkDescription& link = settings_.link;
    // A serial link that was lost (its sensor fell silent) and is opened again as it was is
    // closed by the opening itself: closing it here would count as the operator's Disconnect,
    // which ends the loss.
    const ConnectionSettings& open = sensor_.settings();
    const bool reopening = link_.lossPending() && open.Protocol == kRs232 &&
                           CtrlValueU16(ui_, Ctrl::ProtocolSelector) == kRs232 &&
                           CtrlValueU16(ui_, Ctrl::ComPortSelector) == open.ComPort;
    if (!reopening) {
        sensor_.CloseSerialPort(link.comPort);
        // The port the session has open, whatever the selector shows by now.
        CloseOpenSerialPort();
    }
    ui_.SetCtrlText(Ctrl::StatusDisplay, kStatusTryToConnect);
    ui_.AppendText(Ctrl::InfoBox, kInfoTryToConnect);
    ReadConnectionPage();
    loop_.ProcessSystemEvents();

    ui_.SetCtrlVal(Ctrl::ComPortDisplay, link.comPort);
    ui_.SetCtrlText(Ctrl::IpAddressDisplay, link.host);

    const bool serial = link.kind == LinkDescription::Kind::Serial;
    ui_.SetVisible(Ctrl::ComPortDisplay, serial);
    ui_.SetVisible(Ctrl::IpAddressDisplay, !serial);
    // Opening the serial line ends an acquisition that may still count as running.
    if (serial) state_.acquisition = Acquisition::Stopped;

    Listener listener(*this);
    listener.reconnecting = reconnecting;
    ConnectOptions options;
    options.throughEeprom = state_.TransferTarget == kTargetEeprom;
    // The read is the window's Get, with its reports and the working copy.
    options.readConfiguration = false;
    const ConnectResult result = qelto::Connect(sensor_, link, listener, options);
    switch (result.reached) {
        case ConnectStage::Open:
        case ConnectStage::Identify:
            return GiveUp(*result.error);
        case ConnectStage::Unsupported:
            return AskCloseOrOffline(result.error->message);
        case ConnectStage::Defaults:
            // Identified: no question, the failure says what happened.
            feedback_.ReportFailure(*result.error);
            return SensorNotRead();
        case ConnectStage::NotAccepted:  // every sensor is taken here
        case ConnectStage::Read:
        case ConnectStage::Done:
            break;
    }
    if (listener.quitting) return Outcome::Quit;
    bool read = false;
    if (listener.sameSensor) {
        read = ReadAfterReconnection();
    } else {
        // Edits that were never sent are not thrown away without a yes; without, the sensor's
        // values are known all the same, and the views mark what differs.
        const bool keepEdits = working_.UnsentCount() != 0 && !transfer_.ConfirmDiscard();
        read = transfer_.ReadSensor(options.throughEeprom, !keepEdits);
    }
    if (!read) return SensorNotRead();
    ui_.SetDimmed(Ctrl::AcceptButton, false);
    return Outcome::Done;
}

bool Connection::ReadAfterReconnection() {
    // Nothing is loaded from its EEPROM: that would throw away what it holds in RAM alone.
    if (!link_.heldAtLoss()) {
        // Nothing was known of it before: what it holds is read as a connection reads it.
        return transfer_.ReadSensor(false, working_.UnsentCount() == 0);
    }
    const auto read = sensor_.ReadConfiguration(false);
    if (!read) feedback_.ReportFailure(read.error());
    return read.ok();
}

LinkSupervisor::Attempt Connection::TryAgainQuietly() {
    ConnectOptions options;
    options.throughEeprom = false;
    options.readConfiguration = false;
    const LinkSupervisor::Attempt attempt = link_.TryAgain(options);
    if (attempt != LinkSupervisor::Attempt::SameSensor) return attempt;
    // The sensor that was connected: what it holds is read, the working copy kept, and the
    // status display shows it again.
    if (!ReadAfterReconnection()) return LinkSupervisor::Attempt::Failed;
    ui_.SetCtrlText(Ctrl::StatusDisplay, sensor_.identity().firmwareLine());
    ui_.SetDimmed(Ctrl::AcceptButton, false);
    return attempt;
}

void Connection::Disconnect() {
    // The port the selector shows, and whatever link is really open (the selector may have
    // been changed since it was opened).
    CloseOpenSerialPort();
    settings_.link.comPort = CtrlValueU16(ui_, Ctrl::ComPortSelector);
    sensor_.CloseSerialPort(settings_.link.comPort);
    sensor_.Close();
    ui_.SetCtrlText(Ctrl::StatusDisplay, kStatusNoSensor);
    ui_.AppendText(Ctrl::InfoBox, kInfoNoSensor);
    state_.TransferTarget = kTargetFile;
    ShowMemorySelector(ui_, kTargetFile);
}

void Connection::InitConnectPanel() {
    const std::uint16_t protocol = CtrlValueU16(ui_, Ctrl::ProtocolSelector);
    if (protocol != kRs232 && protocol != kTcpIp) return;
    const bool serial = protocol == kRs232;
    settings_.link.kind = serial ? LinkDescription::Kind::Serial : LinkDescription::Kind::Tcp;
    ui_.SetVisible(Ctrl::ComPortSelector, serial);
    ui_.SetVisible(Ctrl::BaudRateSelector, serial);
    ui_.SetVisible(Ctrl::ServerField, !serial);
    ui_.SetVisible(Ctrl::PortField, !serial);
}

void Connection::RememberServer(std::string_view server) {
    const Ctrl c = Ctrl::ServerField;
    for (int i = 0; i < ui_.ComboCount(c); ++i) {
        if (ui_.ComboItem(c, i) == server) {
            ui_.ComboDelete(c, i);
            break;
        }
    }
    ui_.ComboInsert(c, 0, server);
    while (ui_.ComboCount(c) > kMaxRecentServers)
        ui_.ComboDelete(c, ui_.ComboCount(c) - 1);
}

Outcome Connection::ProtocolChanged() {
    InitConnectPanel();
    ui_.SetDimmed(Ctrl::AcceptButton, true);
    return Outcome::Done;
}

Outcome Connection::SettingChanged() {
    // A changed setting no longer matches the connection that was identified.
    ui_.SetDimmed(Ctrl::AcceptButton, true);
    return Outcome::Done;
}

Outcome Connection::ServerChanged() {
    ui_.SetDimmed(Ctrl::AcceptButton, true);
    settings_.link.host = ui_.GetCtrlText(Ctrl::ServerField);
    RememberServer(settings_.link.host);
    return Outcome::Done;
}

Outcome Connection::DisconnectButton() {
    Disconnect();
    return Outcome::Done;
}

void Connection::ListPorts(const std::vector<SerialPortInfo>& ports) {
    // The selector offers the ports found, each by its number and device; the number chosen
    // (or typed) stays.
    const Ctrl c = Ctrl::ComPortSelector;
    const double chosen = ui_.GetCtrlVal(c);
    while (ui_.ComboCount(c) > 0)
        ui_.ComboDelete(c, ui_.ComboCount(c) - 1);
    const std::size_t count = std::min<std::size_t>(ports.size(), kLocateComCapacity);
    for (std::size_t i = 0; i < count; ++i) {
        std::string item = std::to_string(ports[i].number);
        if (!ports[i].path.empty()) item += "  (" + ports[i].path + ")";
        ui_.ComboInsert(c, static_cast<int>(i), item);
    }
    ui_.SetCtrlVal(c, chosen);
}

void Connection::ListPorts() {
    ListPorts(ports_.LocateCom());
}

Outcome Connection::FindComPorts() {
    const std::vector<SerialPortInfo> ports = ports_.LocateCom();
    ListPorts(ports);
    if (ports.empty()) return Outcome::Done;
    ui_.AppendText(Ctrl::InfoBox, kInfoPortListHeading);
    const std::size_t count = std::min<std::size_t>(ports.size(), kLocateComCapacity);
    for (std::size_t i = 0; i < count; ++i)
        ui_.AppendText(Ctrl::InfoBox, PortLine(ports[i]));
    return Outcome::Done;
}

}  // namespace qelto
