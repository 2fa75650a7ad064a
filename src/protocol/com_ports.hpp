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

}  // namespace qelto
