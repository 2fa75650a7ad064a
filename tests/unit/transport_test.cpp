#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "doubles/link_rig.hpp"
#include "doubles/unit_rig.hpp"
#include "link/transaction.hpp"

namespace qelto {
namespace {

TEST(BaudRate, TableAndFallback) {
    EXPECT_EQ(BaudRateForIndex(0), 9600);
    EXPECT_EQ(BaudRateForIndex(4), 115200);
    EXPECT_EQ(BaudRateForIndex(7), 921600);
    EXPECT_EQ(BaudRateForIndex(8), 115200);
    EXPECT_EQ(BaudRateForIndex(-1), 115200);
    EXPECT_EQ(BaudRateIndexFor(57600), 3);
    EXPECT_FALSE(BaudRateIndexFor(12345).has_value());
}

TEST(ParseLeadingInt, ReadsLeadingDigitsOnly) {
    EXPECT_EQ(ParseLeadingInt("5000"), 5000);
    EXPECT_EQ(ParseLeadingInt("  -3x"), -3);
    EXPECT_EQ(ParseLeadingInt("+7"), 7);
    EXPECT_EQ(ParseLeadingInt("abc"), 0);
    EXPECT_EQ(ParseLeadingInt(""), 0);
    EXPECT_EQ(ParseLeadingInt("99999999999999"), 2147483647);
    EXPECT_EQ(ParseLeadingInt("-99999999999999"), -2147483647 - 1);
}

TEST(ErrorTables, KnownAndUnknownCodes) {
    EXPECT_STREQ(Rs232ErrorMessage(-2), "Invalid port number");
    EXPECT_STREQ(Rs232ErrorMessage(-4), "Unknown I/0 error");
    EXPECT_STREQ(Rs232ErrorMessage(-5), "RS-232 error!");
    EXPECT_STREQ(Rs232ErrorMessage(-99), "Timeout");
    EXPECT_STREQ(TcpErrorMessage(-1), "UnableToRegisterService");
    EXPECT_STREQ(TcpErrorMessage(-11), "TimeOutError");
    EXPECT_STREQ(TcpErrorMessage(-20), "InfoNotAvailable");
    EXPECT_STREQ(TcpErrorMessage(-21), "Connection to server failed");
}

TEST(ComPortMapping, RoundTripsEveryFamily) {
#ifdef _WIN32
    // Windows numbers its serial ports itself: COMn is n, and there are no families.
    const std::pair<int, const char*> cases[] = {{1, "COM1"}, {4, "COM4"}, {700, "COM700"}};
#else
    const std::pair<int, const char*> cases[] = {
        {1, "/dev/ttyS0"},     {4, "/dev/ttyS3"},     {101, "/dev/ttyUSB0"}, {203, "/dev/ttyACM2"},
        {301, "/dev/ttyAMA0"}, {401, "/dev/rfcomm0"}, {1001, "/dev/pts/0"},  {1017, "/dev/pts/16"}};
    EXPECT_EQ(ComPortDevicePath(700), "");  // between two families
#endif
    for (const auto& [n, path] : cases) {
        EXPECT_EQ(ComPortDevicePath(n), path);
        EXPECT_EQ(ComPortNumberForPath(path), n);
    }
    EXPECT_EQ(ComPortDevicePath(0), "");
    EXPECT_EQ(ComPortDevicePath(-3), "");
    EXPECT_FALSE(ComPortNumberForPath("/dev/ttyS").has_value());
    EXPECT_FALSE(ComPortNumberForPath("/dev/ttyS1x").has_value());
    EXPECT_FALSE(ComPortNumberForPath("/dev/ttyUSB100").has_value());
    EXPECT_FALSE(ComPortNumberForPath("/tmp/ttyS1").has_value());
}

// Qt reports Windows ports as \\.\COMn; an operator types COMn.
TEST(ComPortMapping, WindowsNamesInBothForms) {
    EXPECT_EQ(WindowsComPortNumber("COM1"), 1);
    EXPECT_EQ(WindowsComPortNumber("com7"), 7);
    EXPECT_EQ(WindowsComPortNumber("\\\\.\\COM12"), 12);
    EXPECT_EQ(WindowsComPortNumber("\\\\.\\cOm3"), 3);
    for (const char* bad : {"COM", "COM0", "COM-1", "COM1x", "COM 1", "\\\\.\\", "\\\\.\\LPT1",
                            "\\\\?\\COM3", "/dev/ttyS0", "", "COM99999999999"}) {
        EXPECT_FALSE(WindowsComPortNumber(bad).has_value()) << bad;
    }
}

TEST(InitRS232, OpensAtTheTableRateAndReportsFailures) {
    FakeLinkRig rig;
    rig.link.conn.Protocol = kRs232;
    rig.link.conn.ComPort = 3;
    rig.link.conn.BaudRateIndex = 9;
    InitRS232(rig.link);
    ASSERT_EQ(rig.serial.opened.size(), 1u);
    EXPECT_EQ(rig.serial.opened[0], std::make_pair(3, 115200));
    EXPECT_EQ(rig.serial.closed, std::vector<int>{3});  // closed before it opens
    EXPECT_EQ(rig.owner.log, "");

    rig.serial.openResult = -5;
    InitRS232(rig.link);
    EXPECT_EQ(rig.link.link.LinkStatus, -5);
    EXPECT_EQ(rig.owner.log, "RS-232 error!\n\n");
    EXPECT_EQ(rig.owner.failures, 1);
}

TEST(InitTCP_IP, FailureClearsTheConversationAndShowsTheTableText) {
    FakeLinkRig rig;
    rig.link.conn.Protocol = kTcpIp;
    InitTCP_IP(rig.link);
    EXPECT_EQ(rig.link.link.TcpConnected, 1);
    const int disconnects = rig.tcp.disconnects;
    rig.tcp.connectResult = -11;
    InitTCP_IP(rig.link);
    EXPECT_EQ(rig.tcp.disconnects, disconnects + 1);  // the open conversation is ended first
    EXPECT_EQ(rig.link.link.TcpConnected, 0);
    EXPECT_EQ(rig.owner.log, "TimeOutError\n\n");
    EXPECT_FALSE(rig.owner.waitCursor);
}

TEST(ClientTCPCB, ServerCloseIsReportedOnceAndLateEventsAreIgnored) {
    FakeLinkRig rig;
    rig.tcp.ServerCloses();
    rig.loop.ProcessSystemEvents();
    EXPECT_EQ(rig.owner.log, "SERVER HAS CLOSED CONNECTION!\n\n");
    EXPECT_EQ(rig.link.link.TcpConnected, 0);
    EXPECT_EQ(ClientTCPCB(rig.link, 1, kTcpDisconnect, 0), 0);
    EXPECT_EQ(rig.owner.log, "SERVER HAS CLOSED CONNECTION!\n\n");
}

TEST(DataExchange, ATransactionOnAClosedLinkTimesOut) {
    FakeLinkRig rig;
    rig.tcp.ServerCloses();
    rig.loop.ProcessSystemEvents();
    rig.owner.log.clear();
    const double start = rig.loop.Timer();
    EXPECT_EQ(Exchange(rig.link, 8, 0), -1);
    EXPECT_DOUBLE_EQ(rig.loop.Timer() - start, 3.0);
    EXPECT_EQ(rig.owner.log, std::string(kMsgTimeout) + "\n\n");
}

// A parity or framing error while the header is awaited: the reply is not trusted, though it
// came whole, and the exchange ends with the time-out text; the same reply on a clean line is.
TEST(DataExchange, ALineErrorWhileTheHeaderIsAwaitedEndsItAsATimeOut) {
    FakeLinkRig rig;
    rig.link.conn.Protocol = kRs232;
    InitRS232(rig.link);
    int lineErrors = 0x04;  // framing, as QtSerialPort reports it; with the first reply only
    rig.loop.onEvents = [&] {
        rig.serial.lineErrors = std::exchange(lineErrors, 0);
        rig.serial.Deliver();
    };
    rig.serial.responder = [&](const Bytes&) {
        Bytes reply(8);
        BuildFrame(8, 0, {}, reply.data());
        return reply;
    };
    EXPECT_EQ(Exchange(rig.link, 8, 0), -1);
    EXPECT_EQ(rig.owner.log, std::string(kMsgTimeout) + "\n\n");
    EXPECT_EQ(rig.loop.Timer(), 0.0);  // said as the reply came, not at the limit
    EXPECT_EQ(Exchange(rig.link, 8, 0), 1);
    EXPECT_EQ(rig.owner.failures, 1);
}

TEST(DataExchange, AReplyInTwoPiecesArrivesWithoutWaitingOutTheLimit) {
    FakeLinkRig rig;
    rig.tcp.responder = [](const Bytes&) {
        Bytes reply(8 + 42, 7);
        BuildFrame(8, 0, std::span<const std::uint8_t>(reply.data() + 8, 42), reply.data());
        return std::vector<Bytes>{Bytes(reply.begin(), reply.begin() + 20),
                                  Bytes(reply.begin() + 20, reply.end())};
    };
    const long passes = rig.loop.eventPasses;
    EXPECT_EQ(Exchange(rig.link, 8, 0), 1);
    // Each wait delivers what is pending at once: the clock only runs when nothing comes.
    EXPECT_EQ(rig.loop.Timer(), 0.0);
    EXPECT_EQ(rig.loop.eventPasses, passes + 2);
}

TEST(DataExchange, HeaderCompleteInThePassWhereTimeRunsOutIsAccepted) {
    FakeLinkRig rig;
    Bytes reply(8);
    BuildFrame(8, 0, {}, reply.data());
    // The reply arrives only with the event pass that follows the wait to the deadline.
    rig.loop.onEvents = [&] {
        if (rig.loop.now_ >= 3.0 && reply.size()) {
            rig.tcp.Push(reply);
            reply.clear();
            rig.tcp.Deliver();
        }
    };
    EXPECT_EQ(Exchange(rig.link, 8, 0), 1);
}

// What --verbose shows: every reply, the rejected ones too, with the bytes that came.
TEST(DataExchange, TraceShowsRejectedRepliesWithTheBytesThatCame) {
    FakeLinkRig rig;
    std::vector<std::pair<TracedFrame, Bytes>> traced;
    rig.link.frameTrace = [&](TracedFrame kind, std::span<const std::uint8_t> bytes) {
        traced.emplace_back(kind, Bytes(bytes.begin(), bytes.end()));
    };
    const Bytes good = [] {
        Bytes b(10);
        const std::uint8_t data[] = {1, 2};
        BuildFrame(8, 0, data, b.data());
        return b;
    }();
    Bytes badStart = good;
    badStart[0] = 0x54;
    Bytes badHeaderCrc = good;
    badHeaderCrc[7] ^= 1;
    Bytes badDataCrc = good;
    badDataCrc[9] ^= 1;
    Bytes tooLong(8);
    BuildFrame(8, 0, {}, tooLong.data());
    tooLong[4] = 0xF9;  // 2041 bytes of data: more than the buffer holds
    tooLong[5] = 0x07;
    tooLong[7] = crc8({tooLong.data(), 7});
    Bytes errorReply(8);
    BuildFrame(0, 1, {}, errorReply.data());
    const Bytes partial(good.begin(), good.begin() + 5);

    for (const Bytes& reply :
         {good, badStart, badHeaderCrc, badDataCrc, tooLong, errorReply, partial, Bytes{}}) {
        traced.clear();
        rig.tcp.responder = [&](const Bytes&) { return std::vector<Bytes>{reply}; };
        const int result = Exchange(rig.link, 8, 0);
        ASSERT_EQ(traced.size(), reply.empty() ? 1u : 2u);  // silence: the request alone
        EXPECT_EQ(traced[0].first, TracedFrame::Request);
        if (reply.empty()) continue;
        EXPECT_EQ(traced[1].first, result == 1 ? TracedFrame::Reply : TracedFrame::RejectedReply);
        EXPECT_EQ(traced[1].second, reply);
        EXPECT_EQ(result == 1, reply == good);
    }
}

// The link monitor's view: every failure with the message reported for it, a time-out with
// nothing to show as well.
TEST(DataExchange, TraceWithReasonSeesEveryFailureAndItsMessage) {
    FakeLinkRig rig;
    std::vector<std::tuple<TracedFrame, std::size_t, std::string>> traced;
    rig.link.frameTrace = [&](TracedFrame kind, std::span<const std::uint8_t> bytes,
                              std::string_view reason) {
        traced.emplace_back(kind, bytes.size(), std::string(reason));
    };
    Bytes badDataCrc(10);
    const std::uint8_t data[] = {1, 2};
    BuildFrame(8, 0, data, badDataCrc.data());
    badDataCrc[9] ^= 1;
    for (const Bytes& reply : {badDataCrc, Bytes{}}) {
        traced.clear();
        rig.tcp.responder = [&](const Bytes&) { return std::vector<Bytes>{reply}; };
        EXPECT_EQ(Exchange(rig.link, 8, 0), -1);
        ASSERT_EQ(traced.size(), 2u);
        EXPECT_EQ(std::get<0>(traced[0]), TracedFrame::Request);
        EXPECT_EQ(std::get<1>(traced[1]), reply.size());
        EXPECT_EQ(std::get<0>(traced[1]),
                  reply.empty() ? TracedFrame::TimedOut : TracedFrame::RejectedReply);
        EXPECT_EQ(std::get<2>(traced[1]), reply.empty() ? kMsgTimeout : kMsgBadData);
    }
}

Bytes Framed(std::uint8_t command, std::uint16_t argument, const Bytes& data = {}) {
    Bytes out(kHeaderSize + data.size());
    BuildFrame(command, argument, data, out.data());
    return out;
}

// A reply counts only as the answer to its own request: the command it carries and the
// length the request reads decide. A refusal carries its reason beside the program's text.
TEST(DataExchange, AReplyCountsOnlyForItsOwnRequest) {
    FakeLinkRig rig;
    std::vector<std::string> rejected;
    rig.link.frameTrace = [&](TracedFrame kind, std::span<const std::uint8_t>,
                              std::string_view reason) {
        if (kind == TracedFrame::RejectedReply) rejected.emplace_back(reason);
    };
    Bytes tooLong = Framed(7, 0, Bytes(kMaxDataLength, 'x'));
    tooLong.push_back('x');
    PutU16(tooLong.data() + 4, static_cast<std::uint16_t>(kMaxDataLength + 1));
    tooLong[6] = crc8({tooLong.data() + kHeaderSize, kMaxDataLength + 1});
    tooLong[7] = crc8({tooLong.data(), 7});
    struct Case {
        const char* name;
        int command;
        Bytes reply;
        ReplyFit fit;
        const char* message;  // none: taken
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"another request's reply",
         1,
         Framed(2, 2, Bytes(512, 2)),
         {},
         kMsgBadHeader,
         "reply to command 2 while command 1 was asked"},
        {"the teach block for the parameters", 2, Framed(2, 0, Bytes(512, 2)),
         ReplyFit::Exactly(52), kMsgBadData, "512 bytes where 52 were expected"},
        {"a short live sample", 8, Framed(8, 0, Bytes(41)), ReplyFit::AtLeast(42), kMsgBadData,
         "41 bytes where at least 42 were expected"},
        {"an error reply instead of the block", 2, Framed(0, 3), ReplyFit::Exactly(52), kMsgBadData,
         "0 bytes where 52 were expected"},
        {"the smallest length refused",
         7,
         tooLong,
         {},
         kMsgBadData,
         "2041 bytes, more than the 2040 a reply can carry"},
        {"the parameter block", 2, Framed(2, 0, Bytes(52, 1)), ReplyFit::Exactly(52), nullptr, ""},
        {"a longer live sample", 8, Framed(8, 0, Bytes(50)), ReplyFit::AtLeast(42), nullptr, ""},
        {"the largest length taken", 7, Framed(7, 0, Bytes(kMaxDataLength, 'x')), {}, nullptr, ""},
        {"error reply 3 to a write", 1, Framed(0, 3), {}, nullptr, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rig.owner.log.clear();
        rejected.clear();
        rig.tcp.responder = [&c](const Bytes&) { return std::vector<Bytes>{c.reply}; };
        const int result = Exchange(rig.link, c.command, 0, 0, c.fit);
        if (c.message == nullptr) {
            EXPECT_EQ(result, 1);
            EXPECT_EQ(rig.link.frames.ReplyLength, c.reply.size() - kHeaderSize);
            EXPECT_EQ(rig.owner.log, "");
            continue;
        }
        EXPECT_EQ(result, -1);
        EXPECT_EQ(rig.owner.log, std::string(c.message) + "\n\n");
        EXPECT_EQ(rejected,
                  std::vector<std::string>{std::string(c.message) + " (" + c.reason + ")"});
    }
}

// Bytes outside a reply (a frame nobody asked for, a reply that came too late) never become
// the next request's answer, whether the data event has brought them or they still wait at
// the port. A quiet link costs no read beyond the reply's own.
TEST(DataExchange, BytesOutsideAReplyAreDiscardedBeforeTheNextRequest) {
    FakeLinkRig rig;
    std::size_t discarded = 0;
    rig.link.frameTrace = [&](TracedFrame kind, std::span<const std::uint8_t> bytes) {
        if (kind == TracedFrame::RejectedReply) discarded += bytes.size();
    };
    bool silent = false;
    rig.tcp.responder = [&](const Bytes& req) {
        return silent ? std::vector<Bytes>{} : std::vector<Bytes>{Framed(8, 0, Bytes(42, req[1]))};
    };
    const auto ownReply = [&] {
        return Exchange(rig.link, 8, 0) == 1 && rig.link.frames.ReplyData()[0] == 8;
    };

    const int reads = rig.tcp.reads;
    EXPECT_TRUE(ownReply());
    EXPECT_EQ(rig.tcp.reads, reads + 1);

    rig.tcp.Push(Framed(8, 0, Bytes(42, 0x55)));  // the window's event loop delivers this one
    rig.loop.ProcessSystemEvents();
    rig.tcp.Arrived(Framed(8, 0, Bytes(42, 0x66)));  // this one waits at the port
    EXPECT_TRUE(ownReply());
    EXPECT_EQ(discarded, 100u);

    silent = true;
    EXPECT_EQ(Exchange(rig.link, 8, 0), -1);
    silent = false;
    rig.tcp.Arrived(Framed(8, 0, Bytes(42, 0x77)));  // the reply that came too late
    EXPECT_TRUE(ownReply());
    EXPECT_EQ(discarded, 150u);
}

// The server ends the conversation while a reply is awaited: it is said once, at once, with
// the host and port, and the request ends with it instead of waiting out its time limit.
TEST(DataExchange, TheServersCloseEndsTheWaitAtOnce) {
    UnitRig rig;
    rig.tcp.responder = [&](const Bytes&) {
        rig.tcp.ServerCloses();
        return std::vector<Bytes>{};
    };
    const auto sample = rig.sensor.ReadLiveSample();
    ASSERT_FALSE(sample.ok());
    EXPECT_EQ(sample.error().kind, SensorFault::LinkClosed);
    EXPECT_EQ(sample.error().message, kMsgServerClosed);
    EXPECT_EQ(sample.error().reason, "sensor port 5000");
    EXPECT_EQ(rig.ui.Timer(), 0.0);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::InfoBox).text, "");  // the caller reports it, not the observer

    rig.OpenTestLink();
    EXPECT_EQ(Exchange(rig.link, 8, 0), -1);
    EXPECT_EQ(rig.ui.Timer(), 0.0);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::InfoBox).text, std::string(kMsgServerClosed) + "\n\n");
}

// An event loop that, like Qt's once the application is quitting, no longer blocks: every
// wait returns at once and the clock barely moves.
struct QuittingLoop : EventLoop, LinkOwner {
    long passes = 0;
    long quitAtPass = -1;  // the pass in which a nested callback asks to quit
    bool quit = false;
    int failures = 0;
    double now = 0.0;
    void ProcessSystemEvents() override {
        if (++passes == quitAtPass) quit = true;
    }
    void WaitForEvents(double) override {
        if (++passes == quitAtPass) quit = true;
        now += 1e-6;
    }
    void WakeWait() override {}
    double Timer() override { return now; }
    void QuitUserInterface(int) override { quit = true; }
    bool QuitRequested() override { return quit; }
    void ReportLinkFailure(const LinkFailure&) override { ++failures; }
};

TEST(DataExchange, QuittingEndsTheWaitAtOnceWithoutAReport) {
    QuittingLoop loop;
    FakeSerial serial;
    FakeTcp tcp;
    LinkContext link(loop, loop, serial, tcp);
    link.conn.Protocol = kTcpIp;
    InitTCP_IP(link);
    // A silent sensor: without the quit this wait would pass a million times through a loop
    // that no longer blocks.
    loop.QuitUserInterface(0);
    EXPECT_EQ(Exchange(link, kCmdLiveData, 0), -1);
    EXPECT_LE(loop.passes, 1);
    EXPECT_EQ(loop.failures, 0);

    // Quit arriving in the middle of a wait (a nested close of the window).
    QuittingLoop later;
    later.quitAtPass = 5;
    LinkContext link2(later, later, serial, tcp);
    link2.conn.Protocol = kTcpIp;
    InitTCP_IP(link2);
    EXPECT_EQ(Exchange(link2, kCmdLiveData, 0), -1);
    EXPECT_LE(later.passes, 6);
    EXPECT_EQ(later.failures, 0);
}

}  // namespace
}  // namespace qelto
