// The link settings as the settings file keeps them and as a person reads them.
#pragma once

#include <string>

#include "files/settings_file.hpp"
#include "link/link_context.hpp"
#include "sensor/connect.hpp"

namespace qelto {

// The link a stored connection names: a port number text without digits is port 0, a baud-rate
// index outside the table 115200.
LinkDescription LinkFromStored(const StoredConnection& stored);
// A link as the settings file keeps it.
StoredConnection StoredFrom(const LinkDescription& link);
// "RS-232 COM3 (/dev/ttyS2) at 115200 baud", "TCP/IP 192.168.0.7 port 5000".
std::string DescribeConnection(const ConnectionSettings& settings);

}  // namespace qelto
