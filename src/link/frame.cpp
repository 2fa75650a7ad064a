#include "link/frame.hpp"

#include <algorithm>
#include <cstring>

#include "ui/context.hpp"

namespace qelto {
namespace {

// Dallas/Maxim 1-Wire CRC-8: reflected polynomial 0x8C.
constexpr std::array<std::uint8_t, 256> MakeCrc8Table() {
    std::array<std::uint8_t, 256> t{};
    for (int i = 0; i < 256; ++i) {
        auto c = static_cast<std::uint8_t>(i);
        for (int b = 0; b < 8; ++b)
            c = static_cast<std::uint8_t>((c & 1) ? (c >> 1) ^ 0x8C : c >> 1);
        t[static_cast<std::size_t>(i)] = c;
    }
    return t;
}

void Trace(Context& ctx, bool outgoing, const std::uint8_t* data, std::size_t n) {
    if (ctx.frameTrace) ctx.frameTrace(outgoing, std::span<const std::uint8_t>(data, n));
}

enum class WaitResult { Complete, TimedOut };

// Waits until `have()` reports at least `need` bytes or the time limit runs out. Each pass
// delivers pending events and then checks the byte count before the clock, so bytes that are
// complete in the pass in which the time runs out still count. Between passes the wait blocks
// until data arrives (WakeWait) or the limit is reached; it never spins.
template <typename Have>
WaitResult WaitForBytes(Context& ctx, std::int32_t need, Have have) {
    const double start = ctx.ui.Timer();
    const double deadline = start + kReplyTimeLimit;
    for (;;) {
        ctx.ui.ProcessSystemEvents();
        const std::int32_t n = have();
        const double elapsed = ctx.ui.Timer() - start;
        if (n >= need) return WaitResult::Complete;
        if (elapsed >= kReplyTimeLimit) return WaitResult::TimedOut;
        ctx.ui.WaitForEvents(deadline);
    }
}

}  // namespace

const std::array<std::uint8_t, 256> kCrc8Table = MakeCrc8Table();

std::uint8_t crc8Update(const std::uint8_t* buffer, std::size_t offset, std::size_t count,
                        const std::array<std::uint8_t, 256>& table) {
    std::uint8_t crc = kCrcStart;
    for (std::size_t i = 0; i < count; ++i)
        crc = table[crc ^ buffer[offset + i]];
    return crc;
}

std::size_t BuildFrame(std::uint8_t command, std::uint16_t argument,
                       std::span<const std::uint8_t> data, std::uint8_t* out) {
    const std::size_t length = std::min(data.size(), kMaxDataLength);
    out[0] = kStartByte;
    out[1] = command;
    PutU16(out + 2, argument);
    PutU16(out + 4, static_cast<std::uint16_t>(length));
    out[6] = crc8Update(data.data(), 0, length, kCrc8Table);
    out[7] = crc8Update(out, 0, 7, kCrc8Table);
    if (length > 0) std::memmove(out + kHeaderSize, data.data(), length);
    return kHeaderSize + length;
}

void FillTxBuf(Context& ctx, int command, std::uint16_t argument, std::uint16_t length) {
    auto& f = ctx.frames;
    const std::size_t n = std::min<std::size_t>(length, kMaxDataLength);
    BuildFrame(static_cast<std::uint8_t>(command & 0xFF), argument,
               std::span<const std::uint8_t>(f.RequestData(), n), f.RequestFrame.data());
    std::memcpy(f.TxBuffer.data(), f.RequestFrame.data(), kHeaderSize + n);
}

int DataExchange(Context& ctx, int count) {
    auto& f = ctx.frames;
    f.RxBuffer.fill(0);
    f.ComStatus = 0;
    const int n = std::clamp(count, 0, static_cast<int>(kFrameBufferSize));
    Trace(ctx, true, f.TxBuffer.data(), static_cast<std::size_t>(n));
    if (ctx.conn.Protocol == kRs232) {
        ctx.serial.FlushInQ(ctx.conn.ComPort);
        ctx.serial.FlushOutQ(ctx.conn.ComPort);
        ctx.serial.ComWrt(ctx.conn.ComPort, f.TxBuffer.data(), n);
    } else {
        f.RxCount = 0;
        ctx.tcp.ClientTCPWrite(ctx.link.TcpHandle, f.TxBuffer.data(), n, kTcpWriteTimeoutMs);
    }
    const int header = GetHeaderFrame(ctx);
    if (header != 1) return header;
    const int result = f.ReplyLength == 0 ? 1 : GetDataFrame(ctx);
    if (result == 1) Trace(ctx, false, f.RxBuffer.data(), kHeaderSize + f.ReplyLength);
    return result;
}

int GetHeaderFrame(Context& ctx) {
    auto& f = ctx.frames;
    WaitResult waited;
    if (ctx.conn.Protocol == kRs232) {
        const int port = ctx.conn.ComPort;
        waited =
            WaitForBytes(ctx, kHeaderSize, [&] { return f.RxCount = ctx.serial.GetInQLen(port); });
        f.ComStatus = ctx.serial.GetComStat(port);
        ctx.serial.ComRd(port, f.RxBuffer.data(), kHeaderSize);
    } else {
        waited = WaitForBytes(ctx, kHeaderSize, [&] { return f.RxCount; });
    }
    if (waited == WaitResult::TimedOut || f.ComStatus > 0) {
        ReportFailure(ctx, kMsgTimeout);
        return -1;
    }
    if (CheckHeaderCRC(ctx) == -1) return -1;
    if (f.ReplyCommand != kCmdErrorReply) return 1;
    if (f.ReplyArgument == 1) {
        ReportFailure(ctx, kMsgInvalidOrder);
        return -1;
    }
    if (f.ReplyArgument == 2) {
        ReportFailure(ctx, kMsgSensorCommError);
        return -1;
    }
    return 1;
}

int CheckHeaderCRC(Context& ctx) {
    auto& f = ctx.frames;
    const std::uint8_t* h = f.RxBuffer.data();
    if (h[0] != kStartByte || crc8Update(h, 0, 7, kCrc8Table) != h[7]) {
        ReportFailure(ctx, kMsgBadHeader);
        return -1;
    }
    f.ReplyCommand = h[1];
    f.ReplyArgument = GetU16(h + 2);
    f.ReplyLength = GetU16(h + 4);
    f.ReplyDataCrc = h[6];
    return 1;
}

int GetDataFrame(Context& ctx) {
    auto& f = ctx.frames;
    // A length the buffer cannot hold is a broken frame: nothing of it is read.
    if (f.ReplyLength > kMaxDataLength) {
        ReportFailure(ctx, kMsgBadData);
        return -1;
    }
    const std::int32_t length = f.ReplyLength;
    WaitResult waited;
    if (ctx.conn.Protocol == kRs232) {
        const int port = ctx.conn.ComPort;
        waited = WaitForBytes(ctx, length, [&] { return f.RxCount = ctx.serial.GetInQLen(port); });
        f.ComStatus = ctx.serial.GetComStat(port);
        ctx.serial.ComRd(port, f.RxBuffer.data() + kHeaderSize, length);
    } else {
        waited = WaitForBytes(ctx, length + static_cast<std::int32_t>(kHeaderSize),
                              [&] { return f.RxCount; });
    }
    if (waited == WaitResult::TimedOut || f.ComStatus > 0) {
        ReportFailure(ctx, kMsgTimeout);
        return -1;
    }
    if (crc8Update(f.ReplyData(), 0, f.ReplyLength, kCrc8Table) != f.ReplyDataCrc) {
        ReportFailure(ctx, kMsgBadData);
        return -1;
    }
    return 1;
}

int Exchange(Context& ctx, int command, std::uint16_t argument, std::uint16_t length) {
    FillTxBuf(ctx, command, argument, length);
    return DataExchange(
        ctx, static_cast<int>(std::min<std::size_t>(length, kMaxDataLength) + kHeaderSize));
}

}  // namespace qelto
