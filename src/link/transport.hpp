// Opening and closing the serial line and the TCP conversation, and receiving TCP data.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qelto {

struct Context;

enum LinkKind : std::uint16_t { kRs232 = 0, kTcpIp = 1 };

inline constexpr std::size_t kIpAddressSize = 256;
inline constexpr std::size_t kPortNumberSize = 32;

struct ConnectionSettings {
    std::uint16_t Protocol = kRs232;
    std::uint16_t ComPort = 1;
    std::uint16_t BaudRateIndex = 4;
    std::array<char, kIpAddressSize> IpAddress{};
    std::array<char, kPortNumberSize> PortNumber{'5', '0', '0', '0'};
    std::int32_t TcpPort = 0;
};

struct LinkState {
    std::int32_t LinkStatus = 0;
    std::uint32_t TcpHandle = 0;
    std::int16_t TcpConnected = 0;
};

inline constexpr std::array<int, 8> kBaudRates{9600,   19200,  38400,  57600,
                                               115200, 230400, 460800, 921600};
int BaudRateForIndex(int index);  // 115200 outside 0..7
std::optional<int> BaudRateIndexFor(int baud);

inline constexpr double kSerialTimeLimit = 2.0;
inline constexpr int kTcpConnectTimeoutMs = 5000;
inline constexpr int kTcpWriteTimeoutMs = 2000;
inline constexpr int kTcpReadTimeoutMs = 5000;

inline constexpr const char* kMsgServerClosed = "SERVER HAS CLOSED CONNECTION!";

const char* Rs232ErrorMessage(int code);
const char* TcpErrorMessage(int code);

// Leading decimal digits of a text (after blanks and a sign); no digits gives 0.
std::int32_t ParseLeadingInt(std::string_view text);

// Copies text into a fixed, zero-terminated buffer, cutting it to fit.
template <std::size_t N>
void CopyText(std::array<char, N>& dst, std::string_view text) {
    const std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
    for (std::size_t i = 0; i < n; ++i)
        dst[i] = text[i];
    for (std::size_t i = n; i < N; ++i)
        dst[i] = '\0';
}
template <std::size_t N>
std::string_view TextOf(const std::array<char, N>& buf) {
    std::size_t n = 0;
    while (n < N && buf[n] != '\0')
        ++n;
    return {buf.data(), n};
}

void InitRS232(Context& ctx);
void InitTCP_IP(Context& ctx);
int ClientTCPCB(Context& ctx, std::uint32_t handle, int event, int error);
void CloseSerial(Context& ctx, int port);
void CloseTcp(Context& ctx);

// The fixed rule that maps a COM number to a device and back (see the README).
std::string ComPortDevicePath(int number);
std::optional<int> ComPortNumberForPath(std::string_view path);

}  // namespace qelto
