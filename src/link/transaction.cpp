#include "link/transaction.hpp"

#include <algorithm>
#include <cstring>
#include <span>
#include <string>

#include "link/transport.hpp"
#include "protocol/records.hpp"

namespace qelto {
namespace {

// What the link monitor says of bytes that came outside a reply.
constexpr std::string_view kDiscardedReason = "came outside a reply; discarded";
constexpr std::string_view kDrainedReason =
    "came after its request had failed (a late reply); drained before the next request";
// However fast a peer sends, the bytes read out before a request are bounded.
constexpr std::size_t kMostDiscarded = 16 * kFrameBufferSize;

void Trace(LinkContext& ctx, TracedFrame kind, const std::uint8_t* data, std::size_t n,
           std::string_view reason = {}) {
    if (ctx.frameTrace) ctx.frameTrace(kind, std::span<const std::uint8_t>(data, n), reason);
}

// A reply that failed: what came of it is what a user needs to see to diagnose the link. On
// TCP/IP that is everything stored so far; on RS-232 what the reads took from the port.
void TraceRejected(LinkContext& ctx, TracedFrame kind, std::string_view reason,
                   std::int32_t serialBytes) {
    const auto& f = ctx.frames;
    const std::int32_t n = ctx.conn.Protocol == kRs232 ? serialBytes : f.RxCount;
    const auto size = static_cast<std::size_t>(
        std::clamp(n, std::int32_t{0}, static_cast<std::int32_t>(kFrameBufferSize)));
    Trace(ctx, kind, f.RxBuffer.data(), size, reason);
}

// Reports the failure, with what a person needs beside the program's text, and shows the
// reply it was found in.
int Reject(LinkContext& ctx, LinkFault fault, const char* message, std::int32_t serialBytes,
           std::string reason = {}) {
    const TracedFrame kind =
        fault == LinkFault::Timeout ? TracedFrame::TimedOut : TracedFrame::RejectedReply;
    if (reason.empty()) {
        TraceRejected(ctx, kind, message, serialBytes);
    } else {
        TraceRejected(ctx, kind, std::string(message) + " (" + reason + ")", serialBytes);
    }
    ctx.owner.ReportLinkFailure({fault, message, std::move(reason), {}});
    return -1;
}

// The link went away while the reply was awaited: the server ended the conversation, or the
// serial device vanished. That has been reported as it came; the exchange shows what came of
// its reply and ends without a report of its own.
int EndedByLoss(LinkContext& ctx) {
    if (ctx.conn.Protocol == kRs232) {
        TraceRejected(ctx, TracedFrame::TimedOut,
                      std::string(kMsgTimeout) + " (" + ctx.link.SerialLost + ")", 0);
    } else {
        TraceRejected(ctx, TracedFrame::TimedOut, kMsgServerClosed, 0);
    }
    return -1;
}

// The request went out on a link that has since gone: its reply can never come.
bool LinkEnded(const LinkContext& ctx) {
    if (!ctx.frames.SentOnServingLink) return false;
    return ctx.conn.Protocol == kRs232 ? !ctx.link.SerialLost.empty() : ctx.link.TcpConnected == 0;
}

// Bytes that came since the last reply was taken would be read as the next request's reply: a
// reply that came too late, the rest of a rejected one, a frame nobody asked for. On TCP/IP
// what the data event has stored of them lies behind the last reply in RxBuffer; after a failed
// exchange more may be waiting at the port, which is then read out. On RS-232 they wait in the
// port's input queue. A quiet link costs no call here. The bytes discarded.
std::size_t DiscardStaleBytes(LinkContext& ctx, std::string_view reason) {
    auto& f = ctx.frames;
    std::array<std::uint8_t, kFrameBufferSize> stale{};
    std::size_t n = 0;
    std::size_t total = 0;
    if (ctx.conn.Protocol == kRs232) {
        const int port = ctx.conn.ComPort;
        for (int waiting = ctx.serial.GetInQLen(port); waiting > 0 && total < kMostDiscarded;
             waiting = ctx.serial.GetInQLen(port)) {
            const int room = static_cast<int>(stale.size() - n);
            if (room == 0) {
                ctx.serial.FlushInQ(port);
                total += static_cast<std::size_t>(waiting);
                break;
            }
            const int got = ctx.serial.ComRd(port, stale.data() + n, std::min(waiting, room));
            if (got <= 0) break;
            n += static_cast<std::size_t>(got);
            total += static_cast<std::size_t>(got);
        }
    } else {
        const std::int32_t stored = std::max(f.RxCount - std::max(f.RxTaken, std::int32_t{0}), 0);
        if (stored == 0 && f.RxSettled) return 0;
        if (stored > 0) {
            const auto from = static_cast<std::size_t>(f.RxCount - stored);
            n = static_cast<std::size_t>(stored);
            std::copy_n(f.RxBuffer.begin() + static_cast<std::ptrdiff_t>(from), n, stale.begin());
        }
        std::array<std::uint8_t, 512> beyond{};
        total = n;
        while (ctx.link.TcpConnected != 0 && total < kMostDiscarded) {
            const bool room = n < stale.size();
            std::uint8_t* into = room ? stale.data() + n : beyond.data();
            const auto max = static_cast<int>(room ? stale.size() - n : beyond.size());
            const int got = ctx.tcp.ClientTCPRead(ctx.link.TcpHandle, into, max, 0);
            if (got <= 0) break;
            if (room) n += static_cast<std::size_t>(got);
            total += static_cast<std::size_t>(got);
        }
        f.RxCount = 0;
        f.RxTaken = 0;
    }
    if (n > 0) Trace(ctx, TracedFrame::RejectedReply, stale.data(), n, reason);
    f.StrayBytes += total;
    return total;
}

// Bytes that have come since the last look, not yet discarded.
std::int32_t PendingBytes(LinkContext& ctx) {
    if (ctx.conn.Protocol == kRs232) return ctx.serial.GetInQLen(ctx.conn.ComPort);
    return ctx.frames.RxCount - std::max(ctx.frames.RxTaken, std::int32_t{0});
}

bool LinkServes(const LinkContext& ctx) {
    return ctx.conn.Protocol == kRs232 ? ctx.link.SerialLost.empty() : ctx.link.TcpConnected != 0;
}

// "reply to command 2 while command 1 was asked"
std::string ForeignCommandReason(int replied, int asked) {
    return "reply to command " + std::to_string(replied) + " while command " +
           std::to_string(asked) + " was asked";
}

// "512 bytes where 52 were expected", "30 bytes where at least 42 were expected"
std::string LengthReason(std::size_t length, const ReplyFit& fit) {
    std::string reason = std::to_string(length) + " bytes";
    if (length > kMaxDataLength) {
        return reason + ", more than the " + std::to_string(kMaxDataLength) + " a reply can carry";
    }
    if (fit.least == fit.most)
        return reason + " where " + std::to_string(fit.least) + " were expected";
    if (length < fit.least) {
        return reason + " where at least " + std::to_string(fit.least) + " were expected";
    }
    return reason + " where at most " + std::to_string(fit.most) + " were expected";
}

// A reply counts only as the answer to the request it follows: it must carry the request's
// command (or be the sensor's error reply) and as many data bytes as the request reads.
int CheckReplyBelongs(LinkContext& ctx, std::int32_t serialBytes) {
    const auto& f = ctx.frames;
    const int asked = f.TxBuffer[1];
    if (f.ReplyCommand != kCmdErrorReply && f.ReplyCommand != asked) {
        ctx.frames.ForeignCommand = f.ReplyCommand;
        return Reject(ctx, LinkFault::BadHeader, kMsgBadHeader, serialBytes,
                      ForeignCommandReason(f.ReplyCommand, asked));
    }
    if (f.ReplyLength > kMaxDataLength || !f.Expected.Takes(f.ReplyLength)) {
        return Reject(ctx, LinkFault::BadData, kMsgBadData, serialBytes,
                      LengthReason(f.ReplyLength, f.Expected));
    }
    return 1;
}

enum class WaitResult { Complete, TimedOut, Quit, Closed };

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
        // The reply can never come once the link it was asked on has gone.
        if (LinkEnded(ctx)) return WaitResult::Closed;
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

std::size_t SettleLine(LinkContext& ctx) {
    auto& f = ctx.frames;
    const std::string_view reason = f.RxSettled ? kDiscardedReason : kDrainedReason;
    std::size_t total = DiscardStaleBytes(ctx, reason);
    // However long a peer goes on talking, the wait ends within the reply limit.
    const double start = ctx.loop.Timer();
    double quietUntil = start + ctx.limits.quiet;
    const double most = start + ctx.limits.reply;
    while (!ctx.loop.QuitRequested() && LinkServes(ctx)) {
        if (PendingBytes(ctx) > 0) {
            total += DiscardStaleBytes(ctx, reason);
            quietUntil = ctx.loop.Timer() + ctx.limits.quiet;
            continue;
        }
        const double now = ctx.loop.Timer();
        if (now >= quietUntil || now >= most) break;
        ctx.loop.WaitForEvents(std::min(quietUntil, most));
    }
    f.RxSettled = true;
    return total;
}

int DataExchange(LinkContext& ctx, int count, ReplyFit expected) {
    auto& f = ctx.frames;
    const bool serial = ctx.conn.Protocol == kRs232;
    // After a failure the late reply of the request before may still be on its way: it must
    // have come and gone before this request's reply is awaited. Otherwise what waits is
    // discarded.
    if (!f.RxSettled) {
        SettleLine(ctx);
    } else {
        DiscardStaleBytes(ctx, kDiscardedReason);
    }
    f.RxBuffer.fill(0);
    f.ComStatus = 0;
    f.ForeignCommand = -1;
    f.Expected = expected;
    const int n = std::clamp(count, 0, static_cast<int>(kFrameBufferSize));
    Trace(ctx, TracedFrame::Request, f.TxBuffer.data(), static_cast<std::size_t>(n));
    if (serial) {
        f.SentOnServingLink = ctx.link.SerialLost.empty();
        ctx.serial.FlushInQ(ctx.conn.ComPort);
        ctx.serial.FlushOutQ(ctx.conn.ComPort);
        ctx.serial.ComWrt(ctx.conn.ComPort, f.TxBuffer.data(), n);
    } else {
        f.RxCount = 0;
        f.SentOnServingLink = ctx.link.TcpConnected != 0;
        ctx.tcp.ClientTCPWrite(ctx.link.TcpHandle, f.TxBuffer.data(), n, ctx.limits.tcpWriteMs);
    }
    int result = GetHeaderFrame(ctx);
    if (result == 1 && f.ReplyLength != 0) result = GetDataFrame(ctx);
    if (result == 1) Trace(ctx, TracedFrame::Reply, f.RxBuffer.data(), kHeaderSize + f.ReplyLength);
    f.RxSettled = result == 1;
    if (!serial) {
        f.RxTaken =
            result == 1 ? static_cast<std::int32_t>(kHeaderSize + f.ReplyLength) : f.RxCount;
    }
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
        if (waited == WaitResult::Closed) return EndedByLoss(ctx);
        f.ComStatus = ctx.serial.GetComStat(port);
        got = ctx.serial.ComRd(port, f.RxBuffer.data(), kHeaderSize);
    } else {
        waited = WaitForBytes(ctx, kHeaderSize, [&] { return f.RxCount; });
    }
    // Quitting ends the exchange without a report: the window is going away.
    if (waited == WaitResult::Quit) return -1;
    if (waited == WaitResult::Closed) return EndedByLoss(ctx);
    if (waited == WaitResult::TimedOut || f.ComStatus > 0)
        return Reject(ctx, LinkFault::Timeout, kMsgTimeout, got);
    if (CheckHeaderCRC(ctx) == -1) return -1;
    if (f.ReplyCommand == kCmdErrorReply) {
        if (f.ReplyArgument == 1)
            return Reject(ctx, LinkFault::InvalidOrder, kMsgInvalidOrder, got);
        if (f.ReplyArgument == 2) {
            return Reject(ctx, LinkFault::SensorComm, kMsgSensorCommError, got);
        }
    }
    return CheckReplyBelongs(ctx, got);
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
        if (waited == WaitResult::Closed) return EndedByLoss(ctx);
        f.ComStatus = ctx.serial.GetComStat(port);
        got = ctx.serial.ComRd(port, f.RxBuffer.data() + kHeaderSize, length);
    } else {
        waited = WaitForBytes(ctx, length + kHeader, [&] { return f.RxCount; });
    }
    if (waited == WaitResult::Quit) return -1;
    if (waited == WaitResult::Closed) return EndedByLoss(ctx);
    if (waited == WaitResult::TimedOut || f.ComStatus > 0) {
        return Reject(ctx, LinkFault::Timeout, kMsgTimeout,
                      kHeader + std::max(got, std::int32_t{0}));
    }
    if (crc8Update(f.ReplyData(), 0, f.ReplyLength, kCrc8Table) != f.ReplyDataCrc) {
        return Reject(ctx, LinkFault::BadData, kMsgBadData, kHeader + length);
    }
    return 1;
}

int Exchange(LinkContext& ctx, int command, std::uint16_t argument, std::uint16_t length,
             ReplyFit expected) {
    FillTxBuf(ctx, command, argument, length);
    return DataExchange(
        ctx, static_cast<int>(std::min<std::size_t>(length, kMaxDataLength) + kHeaderSize),
        expected);
}

}  // namespace qelto
