// Arbitrary bytes as a sensor's reply, through the real transaction on an in-memory serial port
// or TCP conversation, in pieces of a size the input picks, on a clock that jumps to each
// deadline. Besides crashes and sanitizer reports, a broken rule of the transaction is a
// finding: every failure is reported exactly once, and a reply taken is a whole, checked frame
// of the request's command.
//
// Input: byte 0 picks the link (bit 0: RS-232), a line error (bit 1, RS-232) and the request
// (bits 2..4); byte 1 the size of the pieces the bytes arrive in; the rest is what the sensor
// sends, for two transactions in a row.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "link/link_context.hpp"
#include "link/transaction.hpp"
#include "link/transport.hpp"
#include "protocol/records.hpp"

namespace {

using namespace qelto;
using Bytes = std::vector<std::uint8_t>;

void Require(bool ok, const char* rule) {
    if (ok) return;
    std::fprintf(stderr, "fuzz_reply_decoder: broken rule: %s\n", rule);
    std::abort();
}

// Where the sensor's bytes come from: piece by piece, one piece per event pass.
struct Wire {
    std::deque<Bytes> pieces;
    bool HasMore() const { return !pieces.empty(); }
};

class MemoryLoop : public EventLoop, public LinkOwner {
  public:
    MemoryLoop(Wire& wire, std::function<void()> deliver)
        : wire_(wire), deliver_(std::move(deliver)) {}
    void ProcessSystemEvents() override { deliver_(); }
    // A wait delivers what is pending, as the program's event loop does: the next piece
    // arrives with each pass, and only when nothing more comes does the time run out.
    void WaitForEvents(double deadline) override {
        if (wire_.HasMore()) {
            deliver_();
            woken_ = false;
            return;
        }
        if (std::exchange(woken_, false)) return;
        now_ = std::max(now_, deadline);
    }
    void WakeWait() override { woken_ = true; }
    double Timer() override { return now_ += 1e-4; }
    void QuitUserInterface(int) override {}
    bool QuitRequested() override { return false; }

    void ReportLinkFailure(const LinkFailure& failure) override {
        ++failures;
        const std::string_view message = failure.message;
        Require(message == kMsgTimeout || message == kMsgBadHeader || message == kMsgBadData ||
                    message == kMsgInvalidOrder || message == kMsgSensorCommError,
                "a failure is reported with one of the transaction's texts");
    }
    int failures = 0;

  private:
    Wire& wire_;
    std::function<void()> deliver_;
    double now_ = 0;
    bool woken_ = false;
};

class MemorySerial : public SerialPort {
  public:
    explicit MemorySerial(Wire& wire) : wire_(wire) {}
    int OpenComConfig(int, int) override { return 0; }
    void CloseCom(int) override {}
    void SetComTime(int, double) override {}
    void SetCTSMode(int, int) override {}
    void FlushInQ(int) override { queue_.clear(); }
    void FlushOutQ(int) override {}
    int ComWrt(int, const std::uint8_t*, int count) override { return count; }
    int ComRd(int, std::uint8_t* data, int count) override {
        while (static_cast<int>(queue_.size()) < count && wire_.HasMore())
            Deliver();  // the read's own wait lets more arrive
        const int n = std::min(count, static_cast<int>(queue_.size()));
        std::copy_n(queue_.begin(), n, data);
        queue_.erase(queue_.begin(), queue_.begin() + n);
        return n;
    }
    int GetInQLen(int) override { return static_cast<int>(queue_.size()); }
    int GetComStat(int) override { return std::exchange(lineError, 0); }
    void SetDataArrivedHandler(std::function<void()>) override {}
    void Deliver() {
        if (!wire_.HasMore()) return;
        queue_.insert(queue_.end(), wire_.pieces.front().begin(), wire_.pieces.front().end());
        wire_.pieces.pop_front();
    }
    int lineError = 0;

  private:
    Wire& wire_;
    std::deque<std::uint8_t> queue_;
};

class MemoryTcp : public TcpClient {
  public:
    explicit MemoryTcp(Wire& wire) : wire_(wire) {}
    int ConnectToTCPServerEx(std::uint32_t& handle, int, const std::string&, Callback cb,
                             int) override {
        handle = 1;
        callback_ = std::move(cb);
        return 0;
    }
    int DisconnectFromTCPServer(std::uint32_t) override { return 0; }
    int ClientTCPWrite(std::uint32_t, const std::uint8_t*, int count, int) override {
        return count;
    }
    int ClientTCPRead(std::uint32_t, std::uint8_t* data, int maxCount, int) override {
        const int n = std::min(maxCount, static_cast<int>(pending_.size()));
        std::copy_n(pending_.begin(), n, data);
        pending_.erase(pending_.begin(), pending_.begin() + n);
        return n;
    }
    void Deliver() {
        if (!wire_.HasMore() || !callback_) return;
        pending_.insert(pending_.end(), wire_.pieces.front().begin(), wire_.pieces.front().end());
        wire_.pieces.pop_front();
        callback_(1, kTcpDataReady, 0);
    }

  private:
    Wire& wire_;
    Callback callback_;
    std::deque<std::uint8_t> pending_;
};

constexpr int kCommands[] = {kCmdFirmware,  kCmdSensorName, kCmdRead,       kCmdLiveData,
                             kCmdCycleTime, kCmdWrite,      kCmdLoadEeprom, kCmdStoreEeprom};

// A reply taken is a checked frame, and the data callers copy out decodes.
void CheckTaken(const FrameBuffers& f) {
    const std::uint8_t* h = f.RxBuffer.data();
    Require(h[0] == kStartByte && crc8({h, kHeaderSize}) == 0, "a reply taken has a good header");
    Require(f.ReplyLength <= kMaxDataLength, "a reply taken fits the buffer");
    if (f.ReplyLength > 0) {
        Require(crc8({f.ReplyData(), f.ReplyLength}) == f.ReplyDataCrc,
                "a reply taken has good data");
    }
    Require(f.ReplyCommand != kCmdErrorReply || (f.ReplyArgument != 1 && f.ReplyArgument != 2),
            "error replies 1 and 2 are never taken");
    const std::span<const std::uint8_t, kMaxDataLength> data(f.ReplyData(), kMaxDataLength);
    ParameterSet para;
    ParameterSetFromBlock(data.first<kParameterBlockSize>(), para);
    TeachTable teach{};
    TeachTableFromBlock(data.first<kTeachBlockSize>(), teach);
    LiveData live;
    live.FromBytes(data.first<kLiveDataSize>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::uint8_t mode = data[0];
    const std::size_t pieceSize = 1 + data[1] % 64;
    Wire wire;
    for (std::size_t at = 2; at < size; at += pieceSize) {
        wire.pieces.emplace_back(data + at, data + std::min(size, at + pieceSize));
    }

    MemorySerial serial(wire);
    MemoryTcp tcp(wire);
    const bool rs232 = (mode & 1) != 0;
    MemoryLoop loop(wire, [&] {
        if (rs232) {
            serial.Deliver();
        } else {
            tcp.Deliver();
        }
    });
    LinkContext ctx(loop, loop, serial, tcp);
    ctx.conn.Protocol = rs232 ? kRs232 : kTcpIp;
    if (rs232) {
        InitRS232(ctx);
        serial.lineError = (mode & 2) ? 1 : 0;
    } else {
        CopyText(ctx.conn.IpAddress, "sensor");
        InitTCP_IP(ctx);
    }
    Require(ctx.link.LinkStatus >= 0, "the in-memory link opens");

    int traced = 0;
    int rejected = 0;
    bool requested = false;
    ctx.frameTrace = [&](TracedFrame kind, std::span<const std::uint8_t> frame) {
        Require(frame.size() <= kFrameBufferSize, "a traced frame lies within its buffer");
        // Before the request: bytes that came outside a reply, discarded. They are no reply.
        if (kind == TracedFrame::Request) requested = true;
        if (!requested) return;
        if (kind == TracedFrame::Reply) ++traced;
        if (kind == TracedFrame::RejectedReply) ++rejected;
    };
    const int command = kCommands[(mode >> 2) & 7];
    for (int round = 0; round < 2; ++round) {
        loop.failures = 0;
        traced = 0;
        rejected = 0;
        requested = false;
        const int result = Exchange(ctx, command, 0);
        Require(result == 1 || result == -1, "an exchange gives 1 or -1");
        if (result == 1) {
            Require(loop.failures == 0, "a reply taken reports nothing");
            Require(traced == 1 && rejected == 0, "a reply taken is traced as taken");
            Require(ctx.frames.ReplyCommand == command || ctx.frames.ReplyCommand == kCmdErrorReply,
                    "a reply taken answers the request it follows");
            CheckTaken(ctx.frames);
        } else {
            Require(loop.failures == 1, "a failure is reported exactly once");
            Require(traced == 0 && rejected <= 1, "a rejected reply is traced at most once");
        }
    }
    return 0;
}
