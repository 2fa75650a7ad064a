// Links written as text, and an inventory of the sensors of a line: one sensor a line,
//
//     # press line 3
//     tcp 192.168.10.31:5000   inlet
//     serial /dev/ttyUSB0 57600 outlet left
//     serial COM4
//
// a link (`tcp HOST:PORT`, or `serial DEVICE [RATE]` with DEVICE a COM number or a device
// path and RATE one of the table rates, 115200 when left out), then an optional name (the
// rest of the line); `#` starts a comment. qelto-cli's --tcp and --serial read their values
// with the same functions.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sensor/connect.hpp"

namespace qelto {

// A link read from text, or why it could not be read (a short reason, no file or line).
struct LinkText {
    std::optional<LinkDescription> link;
    std::string why;
};

// HOST:PORT; an IPv6 address in brackets ("[::1]:5000").
LinkText ParseTcpLink(std::string_view hostPort);
// A COM number (COM3, 3) or a device path with one (see protocol/com_ports).
LinkText ParseSerialLink(std::string_view port, int baud = 115200);

struct InventoryEntry {
    std::size_t line = 0;  // in the file, from 1
    std::string linkText;  // "tcp 127.0.0.1:5000", "serial /dev/ttyUSB0 57600", as written
    LinkDescription link;
    std::string name;  // empty when none was given
};

struct Inventory {
    std::vector<InventoryEntry> entries;
    // "line.txt:7: unknown link 'udp' (...)": the first problem, naming the file and the line.
    // Nothing of a file with a problem is used.
    std::string error;
};

// The text of an inventory; `fileName` names it in the error.
Inventory ParseInventory(std::string_view text, std::string_view fileName);
// The file at `path` (UTF-8), at most 1 MiB.
Inventory ReadInventory(const std::string& path);

}  // namespace qelto
