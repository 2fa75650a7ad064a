#include "link/transport.hpp"

#include <algorithm>
#include <iterator>
#include <string>

#include "link/transaction.hpp"

namespace qelto {

const char* Rs232ErrorMessage(int code) {
    switch (code) {
        case kRs232UnknownSystemError:
            return "Unknown system error";
        case kRs232InvalidPortNumber:
            return "Invalid port number";
        case kRs232PortNotOpen:
            return "Port is not open";
        case kRs232UnknownIoError:
            return "Unknown I/0 error";
        case kRs232NoSerialPortFound:
            return "No serial port found";
        case kRs232CannotOpenPort:
            return "Cannot open port";
        case kRs232InvalidBaudrate:
            return "Invalid Baudrate";
        case kRs232Timeout:
            return "Timeout";
        default:
            return "RS-232 error!";
    }
}

std::string SerialPermissionHint(const SerialDeviceAccess& access) {
    if (!access.exists || !access.permissionDenied) return {};
    const std::string head = "Hint: you may not open " + access.device;
    // Joining root's group is no advice to give; nor is a group that would not get access.
    if (access.group.empty() || access.group == "root" || !access.groupMayReadWrite) {
        return head + "; ask the administrator for read and write access to it.";
    }
    return head + "; join the group " + access.group + " (sudo adduser $USER " + access.group +
           "), then log in again.";
}

std::string SerialOpenReason(int port, const SerialDeviceAccess& access) {
    std::string reason = "COM" + std::to_string(port);
    if (!access.device.empty()) reason += " (" + access.device + ")";
    if (!access.systemError.empty()) reason += ": " + access.systemError;
    return reason;
}

std::string TcpOpenReason(std::string_view host, int port, std::string_view systemError) {
    std::string reason =
        std::string(host.empty() ? "(no server)" : host) + " port " + std::to_string(port);
    if (!systemError.empty()) reason += ": " + std::string(systemError);
    return reason;
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
    static_assert(std::size(kTexts) == -kTcpInfoNotAvailable);
    if (code <= kTcpUnableToRegisterService && code >= kTcpInfoNotAvailable) {
        return kTexts[-code - 1];
    }
    return "Connection to server failed";
}

void CloseSerial(LinkContext& ctx, int port) {
    ctx.serial.CloseCom(port);
}

void CloseTcp(LinkContext& ctx) {
    if (ctx.link.TcpConnected != 0) ctx.tcp.DisconnectFromTCPServer(ctx.link.TcpHandle);
    ctx.link.TcpConnected = 0;
}

void InitRS232(LinkContext& ctx) {
    const int port = ctx.conn.ComPort;
    ctx.serial.CloseCom(port);
    const int baud = BaudRateForIndex(ctx.conn.BaudRateIndex);
    ctx.link.SerialLost.clear();
    // A new line owes nothing to the last one.
    ctx.frames.RxSettled = true;
    ctx.serial.SetDataArrivedHandler([&ctx] { SerialPortEvent(ctx); });
    ctx.link.LinkStatus = ctx.serial.OpenComConfig(port, baud);
    if (ctx.link.LinkStatus >= 0) {
        ctx.serial.SetComTime(port, ctx.limits.serialRead);
        ctx.serial.FlushInQ(port);
        ctx.serial.FlushOutQ(port);
        ctx.serial.SetCTSMode(port, 0);
        return;
    }
    LinkFailure failure{LinkFault::OpenFailed, Rs232ErrorMessage(ctx.link.LinkStatus), {}, {}};
    const SerialDeviceAccess access = ctx.serial.OpenFailureAccess(port);
    failure.reason = SerialOpenReason(port, access);
    if (ctx.link.LinkStatus == kRs232CannotOpenPort) failure.advice = SerialPermissionHint(access);
    ctx.owner.ReportLinkFailure(failure);
}

void InitTCP_IP(LinkContext& ctx) {
    if (ctx.link.TcpConnected == 1) ctx.tcp.DisconnectFromTCPServer(ctx.link.TcpHandle);
    ctx.owner.SetWaitCursor(true);
    std::uint32_t handle = 0;
    const std::string host(TextOf(ctx.conn.IpAddress));
    ctx.link.LinkStatus = ctx.tcp.ConnectToTCPServerEx(
        handle, ctx.conn.TcpPort, host,
        [&ctx](std::uint32_t h, int event, int error) { ClientTCPCB(ctx, h, event, error); },
        ctx.limits.tcpConnectMs);
    ctx.owner.SetWaitCursor(false);
    if (ctx.link.LinkStatus >= 0) {
        ctx.link.TcpHandle = handle;
        ctx.link.TcpConnected = 1;
        // A new conversation owes nothing to the last one.
        ctx.frames.RxCount = 0;
        ctx.frames.RxTaken = 0;
        ctx.frames.RxSettled = true;
        return;
    }
    ctx.link.TcpConnected = 0;
    LinkFailure failure{LinkFault::OpenFailed, TcpErrorMessage(ctx.link.LinkStatus), {}, {}};
    failure.reason = TcpOpenReason(host, ctx.conn.TcpPort, ctx.tcp.LastConnectError());
    ctx.owner.ReportLinkFailure(failure);
}

void SerialPortEvent(LinkContext& ctx) {
    // A device that went away is said once, as it happens, with the exchange's own text for a
    // line that failed: to the operator it is the same fault, and the reason tells the rest.
    if (ctx.conn.Protocol == kRs232 && ctx.link.SerialLost.empty()) {
        std::string why = ctx.serial.ComLostReason(ctx.conn.ComPort);
        if (!why.empty()) {
            // Lost before anyone hears of it, so that whoever is told sees it gone.
            ctx.link.SerialLost = why;
            ctx.owner.ReportLinkFailure({LinkFault::DeviceLost, kMsgTimeout, std::move(why), {}});
        }
    }
    // Bytes have come, or a request that waits learns at once that no reply can come.
    ctx.loop.WakeWait();
}

int ClientTCPCB(LinkContext& ctx, std::uint32_t handle, int event, int /*error*/) {
    // Events of a conversation that has since been replaced are of no interest.
    if (ctx.link.TcpConnected == 0 || handle != ctx.link.TcpHandle) return 0;
    auto& f = ctx.frames;
    if (event == kTcpDisconnect) {
        // The link is gone before anyone hears of it, so that whoever is told sees it closed.
        ctx.link.TcpHandle = 0;
        ctx.link.TcpConnected = 0;
        ctx.owner.ReportLinkFailure(
            {LinkFault::ServerClosed,
             kMsgServerClosed,
             TcpOpenReason(TextOf(ctx.conn.IpAddress), ctx.conn.TcpPort, {}),
             {}});
        // A request that waits for its reply learns at once that none can come.
        ctx.loop.WakeWait();
    } else if (event == kTcpDataReady) {
        const int room = static_cast<int>(kFrameBufferSize) - f.RxCount;
        if (room > 0) {
            const int n = ctx.tcp.ClientTCPRead(handle, f.RxBuffer.data() + f.RxCount, room,
                                                ctx.limits.tcpReadMs);
            if (n > 0) f.RxCount += n;
        }
        if (f.RxCount >= static_cast<int>(kFrameBufferSize)) {
            // The buffer is full: whatever else has arrived is dropped, not kept for later.
            std::array<std::uint8_t, 512> scratch{};
            while (ctx.tcp.ClientTCPRead(handle, scratch.data(), static_cast<int>(scratch.size()),
                                         ctx.limits.tcpReadMs) > 0) {
            }
        }
        ctx.loop.WakeWait();
    }
    return 0;
}

}  // namespace qelto
