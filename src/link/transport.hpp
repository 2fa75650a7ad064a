// Opening and closing the serial line and the TCP conversation, and receiving TCP data.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "link/link_context.hpp"
#include "protocol/com_ports.hpp"
#include "protocol/number_text.hpp"

namespace qelto {

inline constexpr const char* kMsgServerClosed = "SERVER HAS CLOSED CONNECTION!";

const char* Rs232ErrorMessage(int code);
// The line shown after "Cannot open port" when the system refused this user the device: on
// Linux serial devices belong to a group (dialout on Debian) whose members may use them.
// Empty when the device does not exist or the refusal was not about permission (another
// program holding the port).
std::string SerialPermissionHint(const SerialDeviceAccess& access);
const char* TcpErrorMessage(int code);
// What a failed open was about, for a person: the port and its device, or the host and
// port, and what the system said.
std::string SerialOpenReason(int port, const SerialDeviceAccess& access);
std::string TcpOpenReason(std::string_view host, int port, std::string_view systemError);

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

void InitRS232(LinkContext& ctx);
void InitTCP_IP(LinkContext& ctx);
int ClientTCPCB(LinkContext& ctx, std::uint32_t handle, int event, int error);
// What the serial port's data-arrived handler does: wakes a wait, and reports once that the
// device of the open port went away (with the time-out text and the port's reason).
void SerialPortEvent(LinkContext& ctx);
void CloseSerial(LinkContext& ctx, int port);
void CloseTcp(LinkContext& ctx);

}  // namespace qelto
