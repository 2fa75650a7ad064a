// The link settings as the settings file keeps them and as a person reads them.
#pragma once

#include <string>

#include "files/settings_file.hpp"
#include "link/link_context.hpp"

namespace qelto {

ConnectionSettings ConnectionFromStored(const StoredConnection& stored);
// "RS-232 COM3 (/dev/ttyS2) at 115200 baud", "TCP/IP 192.168.0.7 port 5000".
std::string DescribeConnection(const ConnectionSettings& settings);

}  // namespace qelto
