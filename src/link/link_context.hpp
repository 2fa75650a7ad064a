// The link's share of the program's state, and what the link asks of the program above it.
#pragma once

#include <array>
#include <concepts>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "link/event_loop.hpp"
#include "link/ports.hpp"
#include "protocol/frame.hpp"

namespace qelto {

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
    // RS-232: why the device went away since the port was opened, once that has been
    // reported; empty while it serves. The next open clears it.
    std::string SerialLost;
};

// What a request reads of its reply's data: at least `least` bytes and at most `most`. A
// block of fixed size is asked for exactly; where more is harmless (a live sample, a text) only
// what is used.
struct ReplyFit {
    std::uint16_t least = 0;
    std::uint16_t most = static_cast<std::uint16_t>(kMaxDataLength);
    static constexpr ReplyFit Exactly(std::size_t n) {
        return {static_cast<std::uint16_t>(n), static_cast<std::uint16_t>(n)};
    }
    static constexpr ReplyFit AtLeast(std::size_t n) {
        return {static_cast<std::uint16_t>(n), static_cast<std::uint16_t>(kMaxDataLength)};
    }
    constexpr bool Takes(std::size_t length) const { return length >= least && length <= most; }
};

// The frame buffers and the decoded reply header; one set for the whole program.
struct FrameBuffers {
    std::array<std::uint8_t, kFrameBufferSize> RequestFrame{};
    std::array<std::uint8_t, kFrameBufferSize> TxBuffer{};
    std::array<std::uint8_t, kFrameBufferSize> RxBuffer{};
    std::int32_t RxCount = 0;
    std::int32_t ComStatus = 0;
    std::uint8_t ReplyCommand = 0;
    std::uint16_t ReplyArgument = 0;
    std::uint16_t ReplyLength = 0;
    std::uint8_t ReplyDataCrc = 0;
    // What the request in progress reads of its reply.
    ReplyFit Expected;
    // TCP/IP: the bytes of RxBuffer the last exchange took as its reply. What the data event
    // stores beyond them came outside a request.
    std::int32_t RxTaken = 0;
    // The last exchange took its reply whole. After a failure the rest of that reply, or a late
    // one, may still be on its way: the next request waits for a quiet line first.
    bool RxSettled = true;
    // Bytes that came outside a reply and were discarded, since the link was opened: a count
    // that moves while a sequence of requests runs says that some reply may have been taken
    // for another's.
    std::uint64_t StrayBytes = 0;
    // The last exchange failed on a whole reply of another command than it asked (not the
    // error reply): most likely an earlier request's answer, come late or twice. -1 otherwise.
    int ForeignCommand = -1;
    // The request in progress went out on a link that served (an open TCP conversation, a
    // serial port whose device was still there); the link's loss ends the wait, since no reply
    // can come any more.
    bool SentOnServingLink = false;

    // The request's data area.
    std::uint8_t* RequestData() { return RequestFrame.data() + kHeaderSize; }
    // The reply's data, valid after a successful exchange.
    const std::uint8_t* ReplyData() const { return RxBuffer.data() + kHeaderSize; }
};

// The link's time limits. The sensor's are fixed; tests shorten them so that a time-out
// does not cost seconds of waiting.
struct LinkLimits {
    double reply = 3.0;       // seconds, reply header and data each
    double serialRead = 2.0;  // seconds, the serial port's own read limit
    int tcpConnectMs = 5000;
    int tcpWriteMs = 2000;
    int tcpReadMs = 5000;
    // Seconds the line must stay quiet after a failed exchange before the next request goes
    // out (a late reply is drained meanwhile), and after a sequence of writes before it counts
    // as answered.
    double quiet = 0.2;
};

// TimedOut: the time limit ran out (or the line failed) before the reply was complete; the
// bytes are what came, possibly none.
enum class TracedFrame { Request, Reply, RejectedReply, TimedOut };

// The observer of the frames on the wire. One that takes (kind, bytes) sees each request,
// each reply taken, and each reply rejected or cut short that brought bytes, as a
// RejectedReply. One that also takes a reason sees every rejection, with the message the
// transaction reports for it, and every time-out, also one that brought nothing.
class FrameTrace {
  public:
    using Bytes = std::span<const std::uint8_t>;
    FrameTrace() = default;
    template <typename F>
    requires std::invocable<F&, TracedFrame, Bytes> FrameTrace(
        F f)  // NOLINT(google-explicit-constructor): assigned from lambdas
        : frames_(std::move(f)) {}
    template <typename F>
    requires std::invocable<F&, TracedFrame, Bytes, std::string_view> FrameTrace(
        F f)  // NOLINT(google-explicit-constructor)
        : withReason_(std::move(f)) {}

    explicit operator bool() const { return frames_ || withReason_; }
    void operator()(TracedFrame kind, Bytes bytes, std::string_view reason = {}) const {
        if (withReason_) {
            withReason_(kind, bytes, reason);
        } else if (frames_ && (kind == TracedFrame::Request || kind == TracedFrame::Reply)) {
            frames_(kind, bytes);
        } else if (frames_ && !bytes.empty()) {
            frames_(TracedFrame::RejectedReply, bytes);
        }
    }

  private:
    std::function<void(TracedFrame, Bytes)> frames_;
    std::function<void(TracedFrame, Bytes, std::string_view)> withReason_;
};

// What went wrong on the link, by kind; the text the operator reads comes with it.
enum class LinkFault {
    Timeout,       // no complete reply within the limit, or a serial line error
    BadHeader,     // start byte or header CRC wrong
    BadData,       // data CRC wrong, or a data block the buffer cannot hold
    InvalidOrder,  // error reply 1: the sensor does not know the command
    SensorComm,    // error reply 2: the sensor saw a communication error
    ServerClosed,  // the server ended the TCP conversation
    DeviceLost,    // the serial device went away (unplugged, hung up) or failed for good
    OpenFailed,    // the serial port or the TCP conversation could not be opened
};

struct LinkFailure {
    LinkFault fault = LinkFault::Timeout;
    std::string_view message;  // the program's own text for it
    // What a person needs beside it: the host and port or the device, and what the system
    // said. Empty when there is nothing to add.
    std::string reason;
    // A line of advice (which group to join for a serial device the system refused).
    std::string advice;
};

// What the link needs from the layer above it.
class LinkOwner {
  public:
    virtual ~LinkOwner() = default;
    // Every failure is reported here once, where it is found; the caller then stops on -1.
    // It also arrives between exchanges: the server closing the conversation, the serial
    // device going away.
    virtual void ReportLinkFailure(const LinkFailure& failure) = 0;
    virtual void SetWaitCursor(bool /*busy*/) {}
};

struct LinkContext {
    LinkContext(EventLoop& loop_, LinkOwner& owner_, SerialPort& serial_, TcpClient& tcp_)
        : loop(loop_), owner(owner_), serial(serial_), tcp(tcp_) {}
    LinkContext(const LinkContext&) = delete;
    LinkContext& operator=(const LinkContext&) = delete;

    EventLoop& loop;
    LinkOwner& owner;
    SerialPort& serial;
    TcpClient& tcp;

    ConnectionSettings conn;
    LinkState link;
    FrameBuffers frames;
    LinkLimits limits;

    // Optional observer of every frame on the wire: each request, each reply taken, and each
    // reply rejected (broken, an error reply, or cut short) with the bytes that came of it.
    FrameTrace frameTrace;
};

}  // namespace qelto
