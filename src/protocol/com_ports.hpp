// The fixed rule that numbers serial ports: COM numbers on every system, and on Linux the
// device families behind them (see the README). Shared by the program and the simulated
// sensor, which tells its pseudo-terminal's number.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace qelto {

// The rates a serial link runs at, by their index in the connection settings.
inline constexpr std::array<int, 8> kBaudRates{9600,   19200,  38400,  57600,
                                               115200, 230400, 460800, 921600};
int BaudRateForIndex(int index);  // 115200 outside 0..7
std::optional<int> BaudRateIndexFor(int baud);

std::string ComPortDevicePath(int number);
std::optional<int> ComPortNumberForPath(std::string_view path);

// The number of a Windows serial port name: COM<n> in any letter case, also in the device
// namespace form \\.\COM<n> that Qt reports as a port's system location. Nothing for any
// other name. (The rule of ComPortNumberForPath on Windows; testable everywhere.)
std::optional<int> WindowsComPortNumber(std::string_view name);

}  // namespace qelto
