#include "link/transport.hpp"

#include <algorithm>
#include <charconv>
#include <string>

#include "ui/context.hpp"

namespace qelto {

int BaudRateForIndex(int index) {
    return index >= 0 && index < static_cast<int>(kBaudRates.size())
               ? kBaudRates[static_cast<std::size_t>(index)]
               : 115200;
}

std::optional<int> BaudRateIndexFor(int baud) {
    for (std::size_t i = 0; i < kBaudRates.size(); ++i) {
        if (kBaudRates[i] == baud) return static_cast<int>(i);
    }
    return std::nullopt;
}

const char* Rs232ErrorMessage(int code) {
    switch (code) {
        case -1:
            return "Unknown system error";
        case -2:
            return "Invalid port number";
        case -3:
            return "Port is not open";
        case -4:
            return "Unknown I/0 error";
        case -6:
            return "No serial port found";
        case -7:
            return "Cannot open port";
        case -14:
            return "Invalid Baudrate";
        case -99:
            return "Timeout";
        default:
            return "RS-232 error!";
    }
}

const char* TcpErrorMessage(int code) {
    static constexpr const char* kTexts[] = {"UnableToRegisterService",
                                             "UnableToEstablishConnection",
                                             "ExistingServer",
                                             "FailedToConnect",
                                             "ServerNotRegistered",
                                             "TooManyConversations",
                                             "ReadFailed",
                                             "WriteFailed",
                                             "InvalidParameter",
                                             "OutOfMemory",
                                             "TimeOutError",
                                             "NoConnectionEstablished",
                                             "GeneralIOErr",
                                             "ConnectionClosed",
                                             "UnableToLoadWinsockDLL",
                                             "IncorrectWinsockDLLVersion",
                                             "NetworkSubsystemNotReady",
                                             "ConnectionsStillOpen",
                                             "DisconnectPending",
                                             "InfoNotAvailable"};
    if (code <= -1 && code >= -20) return kTexts[-code - 1];
    return "Connection to server failed";
}

std::int32_t ParseLeadingInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' ||
                               text[i] == '\r' || text[i] == '\v' || text[i] == '\f')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min<long long>(value * 10 + (text[i] - '0'), 2147483648LL);
    }
    if (negative) value = -value;
    return static_cast<std::int32_t>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

void CloseSerial(Context& ctx, int port) {
    ctx.serial.CloseCom(port);
}

void CloseTcp(Context& ctx) {
    if (ctx.link.TcpConnected != 0) ctx.tcp.DisconnectFromTCPServer(ctx.link.TcpHandle);
    ctx.link.TcpConnected = 0;
}

void InitRS232(Context& ctx) {
    ctx.state.DataTransferActive = 0;
    const int port = ctx.conn.ComPort;
    ctx.serial.CloseCom(port);
    const int baud = BaudRateForIndex(ctx.conn.BaudRateIndex);
    ctx.serial.SetDataArrivedHandler([&ctx] { ctx.ui.WakeWait(); });
    ctx.link.LinkStatus = ctx.serial.OpenComConfig(port, baud);
    if (ctx.link.LinkStatus >= 0) {
        ctx.serial.SetComTime(port, kSerialTimeLimit);
        ctx.serial.FlushInQ(port);
        ctx.serial.FlushOutQ(port);
        ctx.serial.SetCTSMode(port, 0);
        return;
    }
    ReportFailure(ctx, Rs232ErrorMessage(ctx.link.LinkStatus));
}

void InitTCP_IP(Context& ctx) {
    if (ctx.link.TcpConnected == 1) ctx.tcp.DisconnectFromTCPServer(ctx.link.TcpHandle);
    ctx.ui.SetWaitCursor(true);
    std::uint32_t handle = 0;
    ctx.link.LinkStatus = ctx.tcp.ConnectToTCPServerEx(
        handle, ctx.conn.TcpPort, std::string(TextOf(ctx.conn.IpAddress)),
        [&ctx](std::uint32_t h, int event, int error) { ClientTCPCB(ctx, h, event, error); },
        kTcpConnectTimeoutMs);
    ctx.ui.SetWaitCursor(false);
    if (ctx.link.LinkStatus >= 0) {
        ctx.link.TcpHandle = handle;
        ctx.link.TcpConnected = 1;
        return;
    }
    ReportFailure(ctx, TcpErrorMessage(ctx.link.LinkStatus));
    ctx.link.TcpConnected = 0;
}

int ClientTCPCB(Context& ctx, std::uint32_t handle, int event, int /*error*/) {
    // Events of a conversation that has since been replaced are of no interest.
    if (ctx.link.TcpConnected == 0 || handle != ctx.link.TcpHandle) return 0;
    auto& f = ctx.frames;
    if (event == kTcpDisconnect) {
        ReportFailure(ctx, kMsgServerClosed);
        ctx.link.TcpHandle = 0;
        ctx.link.TcpConnected = 0;
    } else if (event == kTcpDataReady) {
        const int room = static_cast<int>(kFrameBufferSize) - f.RxCount;
        if (room > 0) {
            const int n = ctx.tcp.ClientTCPRead(handle, f.RxBuffer.data() + f.RxCount, room,
                                                kTcpReadTimeoutMs);
            if (n > 0) f.RxCount += n;
        }
        if (f.RxCount >= static_cast<int>(kFrameBufferSize)) {
            // The buffer is full: whatever else has arrived is dropped, not kept for later.
            std::array<std::uint8_t, 512> scratch{};
            while (ctx.tcp.ClientTCPRead(handle, scratch.data(), static_cast<int>(scratch.size()),
                                         kTcpReadTimeoutMs) > 0) {
            }
        }
        ctx.ui.WakeWait();
    }
    return 0;
}

namespace {
struct ComFamily {
    const char* prefix;
    int first;  // COM number of device 0
    int last;   // largest COM number of the family
};
constexpr ComFamily kComFamilies[] = {{"/dev/ttyS", 1, 100},     {"/dev/ttyUSB", 101, 200},
                                      {"/dev/ttyACM", 201, 300}, {"/dev/ttyAMA", 301, 400},
                                      {"/dev/rfcomm", 401, 500}, {"/dev/pts/", 1001, 1000000}};
}  // namespace

std::string ComPortDevicePath(int number) {
#ifdef _WIN32
    return "COM" + std::to_string(number);
#else
    for (const auto& fam : kComFamilies) {
        if (number >= fam.first && number <= fam.last) {
            return fam.prefix + std::to_string(number - fam.first);
        }
    }
    return {};
#endif
}

std::optional<int> ComPortNumberForPath(std::string_view path) {
#ifdef _WIN32
    if (path.size() > 3 && (path.substr(0, 3) == "COM" || path.substr(0, 3) == "com")) {
        int n = 0;
        auto r = std::from_chars(path.data() + 3, path.data() + path.size(), n);
        if (r.ec == std::errc() && r.ptr == path.data() + path.size() && n > 0) return n;
    }
    return std::nullopt;
#else
    for (const auto& fam : kComFamilies) {
        const std::string_view prefix(fam.prefix);
        if (path.substr(0, prefix.size()) != prefix) continue;
        const std::string_view rest = path.substr(prefix.size());
        int k = 0;
        auto r = std::from_chars(rest.data(), rest.data() + rest.size(), k);
        if (rest.empty() || r.ec != std::errc() || r.ptr != rest.data() + rest.size() || k < 0 ||
            k > fam.last - fam.first) {
            return std::nullopt;
        }
        return fam.first + k;
    }
    return std::nullopt;
#endif
}

}  // namespace qelto
