#include "sensor/connect.hpp"

#include "link/transport.hpp"
#include "protocol/com_ports.hpp"
#include "sensor/link_settings.hpp"
#include "sensor/sensor_texts.hpp"

namespace qelto {
namespace {

ConnectResult Stopped(ConnectResult c, ConnectStage stage, SensorError error) {
    c.reached = stage;
    c.error = std::move(error);
    return c;
}

class SilentListener : public ConnectListener {};

}  // namespace

LinkDescription LinkDescription::Tcp(std::string host, int port) {
    LinkDescription d;
    d.kind = Kind::Tcp;
    d.host = std::move(host);
    d.tcpPort = port;
    return d;
}

LinkDescription LinkDescription::Serial(int comPort, int baud) {
    LinkDescription d;
    d.kind = Kind::Serial;
    d.comPort = comPort;
    d.baud = baud;
    return d;
}

LinkDescription LinkDescription::From(const ConnectionSettings& s) {
    if (s.Protocol == kTcpIp) {
        return Tcp(std::string(TextOf(s.IpAddress)), ParseLeadingInt(TextOf(s.PortNumber)));
    }
    return Serial(s.ComPort, BaudRateForIndex(s.BaudRateIndex));
}

ConnectionSettings LinkDescription::Settings() const {
    ConnectionSettings s;
    if (kind == Kind::Tcp) {
        s.Protocol = kTcpIp;
        CopyText(s.IpAddress, host);
        CopyText(s.PortNumber, std::to_string(tcpPort));
        s.TcpPort = tcpPort;
    } else {
        s.Protocol = kRs232;
        s.ComPort = static_cast<std::uint16_t>(comPort);
        s.BaudRateIndex = static_cast<std::uint16_t>(BaudRateIndexFor(baud).value_or(4));
    }
    return s;
}

std::string LinkDescription::Describe() const {
    return DescribeConnection(Settings());
}

std::string LinkDescription::Address() const {
    if (kind == Kind::Tcp) {
        const bool v6 = host.find(':') != std::string::npos;
        return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(tcpPort);
    }
    const std::string device = ComPortDevicePath(comPort);
    return device.empty() ? "COM" + std::to_string(comPort) : device;
}

bool ConnectionRefused(const SensorError& error) {
    return error.kind == SensorFault::OpenFailed &&
           error.message == TcpErrorMessage(kTcpUnableToEstablishConnection);
}

ConnectResult Connect(SensorSession& session, const ConnectionSettings& settings,
                      ConnectListener& listener, ConnectOptions options) {
    ConnectResult c;
    if (Status opened = session.Open(settings); !opened) {
        return Stopped(std::move(c), ConnectStage::Open, opened.error());
    }
    const auto firmware = session.ReadFirmware();
    if (!firmware) return Stopped(std::move(c), ConnectStage::Identify, firmware.error());
    c.identity = *firmware;
    if (!firmware->supported()) {
        return Stopped(std::move(c), ConnectStage::Unsupported,
                       {SensorFault::Unsupported,
                        UnsupportedFirmwareMessage(SplitFirmware(firmware->firmware)),
                        {},
                        {}});
    }
    listener.Identified(c.identity);
    const auto named = session.ReadNameAndSerial();
    if (!named) return Stopped(std::move(c), ConnectStage::Identify, named.error());
    c.identity = *named;
    listener.Named(c.identity);
    if (!listener.Accept(c.identity)) {
        c.reached = ConnectStage::NotAccepted;
        return c;
    }

    if (listener.SendDefaults()) {
        Configuration defaults;
        LoadDefaultParaValues(defaults.para, defaults.teach, 1);
        TransferOptions send;
        send.memory = options.throughEeprom ? Memory::Eeprom : Memory::Ram;
        // A refusal ends the attempt: nothing more is read.
        send.nameRefusals = false;
        c.defaults = SendConfiguration(session, defaults, send);
        if (const auto failure = c.defaults->Failure()) {
            c.defaultsSent = !c.defaults->error;
            return Stopped(std::move(c), ConnectStage::Defaults, *failure);
        }
        c.defaultsSent = true;
    }
    if (options.readConfiguration) {
        TransferOptions get;
        get.memory = options.throughEeprom ? Memory::Eeprom : Memory::Ram;
        c.get = GetConfiguration(session, get);
        // The EEPROM's verdict is said as soon as it is known, also when a read fails after it.
        if (c.get->eepromRejected != 0) listener.EepromRejected(c.get->eepromRejected);
        if (c.get->error) return Stopped(std::move(c), ConnectStage::Read, *c.get->error);
        c.read = {*c.get->config(), c.get->eepromRejected};
    }
    c.reached = ConnectStage::Done;
    return c;
}

ConnectResult Connect(SensorSession& session, const LinkDescription& link,
                      ConnectListener& listener, ConnectOptions options) {
    if (link.kind == LinkDescription::Kind::Serial && !BaudRateIndexFor(link.baud)) {
        ConnectResult c;
        c.error = SensorError{
            SensorFault::OpenFailed,
            Rs232ErrorMessage(kRs232InvalidBaudrate),
            "COM" + std::to_string(link.comPort) + " at " + std::to_string(link.baud) + " baud",
            {}};
        return c;
    }
    return Connect(session, link.Settings(), listener, options);
}

ConnectResult Connect(SensorSession& session, const LinkDescription& link, ConnectOptions options) {
    SilentListener silent;
    return Connect(session, link, silent, options);
}

}  // namespace qelto
