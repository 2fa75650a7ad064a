#include "sensor/link_settings.hpp"

#include "link/transport.hpp"
#include "protocol/com_ports.hpp"

namespace qelto {

LinkDescription LinkFromStored(const StoredConnection& stored) {
    if (stored.protocol == kTcpIp) {
        return LinkDescription::Tcp(stored.ipAddress, ParseLeadingInt(stored.portNumber));
    }
    return LinkDescription::Serial(stored.comPort, BaudRateForIndex(stored.baudRateIndex));
}

StoredConnection StoredFrom(const LinkDescription& link) {
    StoredConnection stored;
    stored.protocol = link.kind == LinkDescription::Kind::Tcp ? kTcpIp : kRs232;
    stored.comPort = static_cast<std::uint16_t>(link.comPort);
    stored.baudRateIndex = static_cast<std::uint16_t>(BaudRateIndexFor(link.baud).value_or(4));
    stored.ipAddress = link.host;
    stored.portNumber = std::to_string(link.tcpPort);
    return stored;
}

std::string DescribeConnection(const ConnectionSettings& c) {
    if (c.Protocol == kRs232) {
        const std::string device = ComPortDevicePath(c.ComPort);
        return "RS-232 COM" + std::to_string(c.ComPort) +
               (device.empty() ? std::string() : " (" + device + ")") + " at " +
               std::to_string(BaudRateForIndex(c.BaudRateIndex)) + " baud";
    }
    return "TCP/IP " + std::string(TextOf(c.IpAddress)) + " port " +
           std::string(TextOf(c.PortNumber));
}

}  // namespace qelto
