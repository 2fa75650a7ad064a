#include "link/transaction.hpp"

#include <algorithm>
#include <cstring>
#include <span>

#include "protocol/records.hpp"

namespace qelto {
namespace {

void Trace(LinkContext& ctx, TracedFrame kind, const std::uint8_t* data, std::size_t n,
           std::string_view reason = {}) {
    if (ctx.frameTrace) ctx.frameTrace(kind, std::span<const std::uint8_t>(data, n), reason);
}

// A reply that failed: what came of it is what a user needs to see to diagnose the link. On
// TCP/IP that is everything stored so far; on RS-232 what the reads took from the port.
void TraceRejected(LinkContext& ctx, TracedFrame kind, const char* reason,
                   std::int32_t serialBytes) {
    const auto& f = ctx.frames;
    const std::int32_t n = ctx.conn.Protocol == kRs232 ? serialBytes : f.RxCount;
    const auto size = static_cast<std::size_t>(
        std::clamp(n, std::int32_t{0}, static_cast<std::int32_t>(kFrameBufferSize)));
    Trace(ctx, kind, f.RxBuffer.data(), size, reason);
}

// Reports the failure and shows the reply it was found in.
int Reject(LinkContext& ctx, LinkFault fault, const char* message, std::int32_t serialBytes) {
    TraceRejected(ctx,
                  fault == LinkFault::Timeout ? TracedFrame::TimedOut : TracedFrame::RejectedReply,
                  message, serialBytes);
    ctx.owner.ReportLinkFailure({fault, message, {}, {}});
    return -1;
}

enum class WaitResult { Complete, TimedOut, Quit };

// Waits until `have()` reports at least `need` bytes or the time limit runs out. Each pass
// looks at what has arrived before it waits, and at the byte count before the clock, so bytes
// that are complete in the pass in which the time runs out still count. The wait delivers the
// events pending and blocks until data arrives (WakeWait) or the limit is reached; it never
// spins. Replies reach the count only through events, and the header wait starts from none,
// so every exchange delivers events at least once (STOP, timers, the window). Once the
// program is quitting the wait gives up at once: the event loop would no longer block, and
// nobody is left to see the reply.
template <typename Have>
WaitResult WaitForBytes(LinkContext& ctx, std::int32_t need, Have have) {
    // The limit runs from the first pass that finds too few bytes; a reply that is already
    // complete costs no look at the clock.
    double deadline = -1.0;
    for (;;) {
        if (ctx.loop.QuitRequested()) return WaitResult::Quit;
        if (have() >= need) return WaitResult::Complete;
        const double now = ctx.loop.Timer();
        if (deadline < 0) {
            deadline = now + ctx.limits.reply;
        } else if (now >= deadline) {
            return WaitResult::TimedOut;
        }
        ctx.loop.WaitForEvents(deadline);
    }
}

}  // namespace

void FillTxBuf(LinkContext& ctx, int command, std::uint16_t argument, std::uint16_t length) {
    auto& f = ctx.frames;
    const std::size_t n = std::min<std::size_t>(length, kMaxDataLength);
    BuildFrame(static_cast<std::uint8_t>(command & 0xFF), argument,
               std::span<const std::uint8_t>(f.RequestData(), n), f.RequestFrame.data());
    std::memcpy(f.TxBuffer.data(), f.RequestFrame.data(), kHeaderSize + n);
}

int DataExchange(LinkContext& ctx, int count) {
    auto& f = ctx.frames;
    f.RxBuffer.fill(0);
    f.ComStatus = 0;
    const int n = std::clamp(count, 0, static_cast<int>(kFrameBufferSize));
    Trace(ctx, TracedFrame::Request, f.TxBuffer.data(), static_cast<std::size_t>(n));
    if (ctx.conn.Protocol == kRs232) {
        ctx.serial.FlushInQ(ctx.conn.ComPort);
        ctx.serial.FlushOutQ(ctx.conn.ComPort);
        ctx.serial.ComWrt(ctx.conn.ComPort, f.TxBuffer.data(), n);
    } else {
        f.RxCount = 0;
        ctx.tcp.ClientTCPWrite(ctx.link.TcpHandle, f.TxBuffer.data(), n, ctx.limits.tcpWriteMs);
    }
    const int header = GetHeaderFrame(ctx);
    if (header != 1) return header;
    const int result = f.ReplyLength == 0 ? 1 : GetDataFrame(ctx);
    if (result == 1) Trace(ctx, TracedFrame::Reply, f.RxBuffer.data(), kHeaderSize + f.ReplyLength);
    return result;
}

int GetHeaderFrame(LinkContext& ctx) {
    auto& f = ctx.frames;
    WaitResult waited;
    std::int32_t got = 0;  // RS-232: bytes the read took
    if (ctx.conn.Protocol == kRs232) {
        const int port = ctx.conn.ComPort;
        waited =
            WaitForBytes(ctx, kHeaderSize, [&] { return f.RxCount = ctx.serial.GetInQLen(port); });
        if (waited == WaitResult::Quit) return -1;
        f.ComStatus = ctx.serial.GetComStat(port);
        got = ctx.serial.ComRd(port, f.RxBuffer.data(), kHeaderSize);
    } else {
        waited = WaitForBytes(ctx, kHeaderSize, [&] { return f.RxCount; });
    }
    // Quitting ends the exchange without a report: the window is going away.
    if (waited == WaitResult::Quit) return -1;
    if (waited == WaitResult::TimedOut || f.ComStatus > 0)
        return Reject(ctx, LinkFault::Timeout, kMsgTimeout, got);
    if (CheckHeaderCRC(ctx) == -1) return -1;
    if (f.ReplyCommand != kCmdErrorReply) return 1;
    if (f.ReplyArgument == 1) return Reject(ctx, LinkFault::InvalidOrder, kMsgInvalidOrder, got);
    if (f.ReplyArgument == 2) return Reject(ctx, LinkFault::SensorComm, kMsgSensorCommError, got);
    return 1;
}

int CheckHeaderCRC(LinkContext& ctx) {
    auto& f = ctx.frames;
    const std::uint8_t* h = f.RxBuffer.data();
    if (h[0] != kStartByte || crc8Update(h, 0, 7, kCrc8Table) != h[7]) {
        return Reject(ctx, LinkFault::BadHeader, kMsgBadHeader, kHeaderSize);
    }
    f.ReplyCommand = h[1];
    f.ReplyArgument = GetU16(h + 2);
    f.ReplyLength = GetU16(h + 4);
    f.ReplyDataCrc = h[6];
    return 1;
}

int GetDataFrame(LinkContext& ctx) {
    auto& f = ctx.frames;
    constexpr auto kHeader = static_cast<std::int32_t>(kHeaderSize);
    // A length the buffer cannot hold is a broken frame: nothing of it is read.
    if (f.ReplyLength > kMaxDataLength)
        return Reject(ctx, LinkFault::BadData, kMsgBadData, kHeader);
    const std::int32_t length = f.ReplyLength;
    WaitResult waited;
    std::int32_t got = 0;
    if (ctx.conn.Protocol == kRs232) {
        const int port = ctx.conn.ComPort;
        waited = WaitForBytes(ctx, length, [&] { return f.RxCount = ctx.serial.GetInQLen(port); });
        if (waited == WaitResult::Quit) return -1;
        f.ComStatus = ctx.serial.GetComStat(port);
        got = ctx.serial.ComRd(port, f.RxBuffer.data() + kHeaderSize, length);
    } else {
        waited = WaitForBytes(ctx, length + kHeader, [&] { return f.RxCount; });
    }
    if (waited == WaitResult::Quit) return -1;
    if (waited == WaitResult::TimedOut || f.ComStatus > 0) {
        return Reject(ctx, LinkFault::Timeout, kMsgTimeout,
                      kHeader + std::max(got, std::int32_t{0}));
    }
    if (crc8Update(f.ReplyData(), 0, f.ReplyLength, kCrc8Table) != f.ReplyDataCrc) {
        return Reject(ctx, LinkFault::BadData, kMsgBadData, kHeader + length);
    }
    return 1;
}

int Exchange(LinkContext& ctx, int command, std::uint16_t argument, std::uint16_t length) {
    FillTxBuf(ctx, command, argument, length);
    return DataExchange(
        ctx, static_cast<int>(std::min<std::size_t>(length, kMaxDataLength) + kHeaderSize));
}

}  // namespace qelto
