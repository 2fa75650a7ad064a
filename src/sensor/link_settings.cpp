#include "sensor/link_settings.hpp"

#include "link/transport.hpp"
#include "protocol/com_ports.hpp"

namespace qelto {

ConnectionSettings ConnectionFromStored(const StoredConnection& stored) {
    ConnectionSettings c;
    c.Protocol = stored.protocol;
    c.ComPort = stored.comPort;
    c.BaudRateIndex = stored.baudRateIndex;
    CopyText(c.IpAddress, stored.ipAddress);
    CopyText(c.PortNumber, stored.portNumber);
    return c;
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
