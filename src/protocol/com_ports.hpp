// The fixed rule that numbers serial ports: COM numbers on every system, and on Linux the
// device families behind them (see the README). Shared by the program and the simulated
// sensor, which tells its pseudo-terminal's number.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qelto {

std::string ComPortDevicePath(int number);
std::optional<int> ComPortNumberForPath(std::string_view path);

// The number of a Windows serial port name: COM<n> in any letter case, also in the device
// namespace form \\.\COM<n> that Qt reports as a port's system location. Nothing for any
// other name. (The rule of ComPortNumberForPath on Windows; testable everywhere.)
std::optional<int> WindowsComPortNumber(std::string_view name);

}  // namespace qelto
