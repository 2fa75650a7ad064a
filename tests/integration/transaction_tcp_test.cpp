// Transactions over real loopback TCP against a scripted peer.
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "qt_rig.hpp"

#if defined(__linux__)
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace qelto {
namespace {

class TcpTransaction : public ::testing::Test {
  protected:
    void SetUp() override {
        rig.ConnectTcp("127.0.0.1", peer.port());
        ASSERT_EQ(rig.link.link.TcpConnected, 1);
    }
    // Answers every request with these chunks.
    void Answer(std::vector<Chunk> chunks) {
        peer.responder = [chunks](const Bytes&) { return chunks; };
    }
    std::string InfoBox() { return rig.owner.log; }

    ScriptedPeer peer;
    QtLinkRig rig;
};

Bytes Firmware() {
    const std::string fw = "KORVANEX V4.3.12 B7";
    return Bytes(fw.begin(), fw.end());
}

TEST_F(TcpTransaction, ReplyWithDataIsDecoded) {
    Answer({{ReplyFrame(7, 0x1234, Firmware())}});
    ASSERT_EQ(Exchange(rig.link, 7, 0), 1);
    EXPECT_EQ(rig.link.frames.ReplyCommand, 7);
    EXPECT_EQ(rig.link.frames.ReplyArgument, 0x1234);
    EXPECT_EQ(rig.link.frames.ReplyLength, Firmware().size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(rig.link.frames.ReplyData())),
              "KORVANEX V4.3.12 B7");
    ASSERT_EQ(peer.requests.size(), 1u);
    EXPECT_EQ(peer.requests[0], (Bytes{0x55, 0x07, 0x00, 0x00, 0x00, 0x00, 0xAA, 0x52}));
    EXPECT_EQ(InfoBox(), "");
}

TEST_F(TcpTransaction, ReplyWithoutDataEndsAfterTheHeaderEvenWithAWrongDataCrcByte) {
    Bytes reply = ReplyFrame(3, 0);
    reply[6] = 0x00;  // not checked when there is no data
    reply[7] = crc8({reply.data(), 7});
    Answer({{reply}});
    EXPECT_EQ(Exchange(rig.link, 3, 0), 1);
    EXPECT_EQ(rig.link.frames.ReplyLength, 0);
}

TEST_F(TcpTransaction, ReplyInPiecesWithGapsIsJoinedInOrder) {
    const Bytes reply = ReplyFrame(7, 5, Firmware());
    Answer({{Bytes(reply.begin(), reply.begin() + 3)},
            {Bytes(reply.begin() + 3, reply.begin() + 10), 50},
            {Bytes(reply.begin() + 10, reply.end()), 50}});
    ASSERT_EQ(Exchange(rig.link, 7, 0), 1);
    EXPECT_EQ(rig.link.frames.ReplyArgument, 5);
}

TEST_F(TcpTransaction, BytesAfterTheReplyAreIgnored) {
    Bytes reply = ReplyFrame(8, 0, Bytes(42, 1));
    reply.insert(reply.end(), {0xDE, 0xAD, 0xBE, 0xEF});
    Answer({{reply}});
    EXPECT_EQ(Exchange(rig.link, 8, 0), 1);
    EXPECT_EQ(rig.link.frames.ReplyLength, 42);
}

TEST_F(TcpTransaction, ErrorReplyWithArgumentThreeCountsAsSuccess) {
    Answer({{ReplyFrame(0, 3)}});
    EXPECT_EQ(Exchange(rig.link, 8, 0), 1);
    EXPECT_EQ(InfoBox(), "");
}

// Another request's reply is no answer to this one.
TEST_F(TcpTransaction, ReplyWithAnotherCommandIsRejected) {
    Answer({{ReplyFrame(9, 0)}});
    EXPECT_EQ(Exchange(rig.link, 8, 0), -1);
    EXPECT_EQ(InfoBox(), std::string(kMsgBadHeader) + "\n\n");
}

struct FailureCase {
    const char* name;
    std::function<Bytes()> reply;
    const char* message;
};

TEST_F(TcpTransaction, EveryBrokenReplyIsReportedOnceWithItsText) {
    const std::vector<FailureCase> cases = {
        {"bad start byte",
         [] {
             Bytes r = ReplyFrame(8, 0);
             r[0] = 0x56;
             r[7] = crc8({r.data(), 7});
             return r;
         },
         kMsgBadHeader},
        {"bad header crc",
         [] {
             Bytes r = ReplyFrame(8, 0);
             r[7] ^= 0x01;
             return r;
         },
         kMsgBadHeader},
        {"error reply 1", [] { return ReplyFrame(0, 1); }, kMsgInvalidOrder},
        {"error reply 2", [] { return ReplyFrame(0, 2); }, kMsgSensorCommError},
        {"bad data crc",
         [] {
             Bytes r = ReplyFrame(8, 0, Bytes(42, 7));
             r.back() ^= 0xFF;
             return r;
         },
         kMsgBadData},
        {"length above 2040",
         [] {
             Bytes r = ReplyFrame(8, 0);
             r[4] = 0xF9;  // 2041
             r[5] = 0x07;
             r[7] = crc8({r.data(), 7});
             r.resize(8 + 2100, 0x11);
             return r;
         },
         kMsgBadData},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        rig.owner.log.clear();
        const int failures = rig.owner.failures;
        Answer({{c.reply()}});
        EXPECT_EQ(Exchange(rig.link, 8, 0), -1);
        EXPECT_EQ(InfoBox(), std::string(c.message) + "\n\n");
        EXPECT_EQ(rig.owner.failures, failures + 1);  // said once
        rig.Spin(0.05);  // let stray bytes of this case drain before the next request
    }
}

TEST_F(TcpTransaction, SilenceTimesOutAfterThreeSecondsWithOneReport) {
    Answer({});
    const double start = rig.loop.Timer();
    EXPECT_EQ(Exchange(rig.link, 8, 0), -1);
    const double took = rig.loop.Timer() - start;
    EXPECT_GE(took, 2.99);
    EXPECT_LT(took, 4.5);
    EXPECT_EQ(InfoBox(), std::string(kMsgTimeout) + "\n\n");
}

TEST_F(TcpTransaction, MissingDataTimesOutOnItsOwnLimit) {
    const Bytes reply = ReplyFrame(8, 0, Bytes(42, 3));
    Answer({{Bytes(reply.begin(), reply.begin() + 20)}});
    rig.link.limits.reply = 0.3;  // the real limit is waited out above
    EXPECT_EQ(Exchange(rig.link, 8, 0), -1);
    EXPECT_EQ(InfoBox(), std::string(kMsgTimeout) + "\n\n");
}

TEST_F(TcpTransaction, TwoFailuresInARowLeaveTwoMessages) {
    Answer({{ReplyFrame(0, 1)}});
    EXPECT_EQ(Exchange(rig.link, 8, 0), -1);
    Answer({{ReplyFrame(0, 2)}});
    EXPECT_EQ(Exchange(rig.link, 8, 0), -1);
    EXPECT_EQ(InfoBox(), std::string(kMsgInvalidOrder) + "\n\n" + kMsgSensorCommError + "\n\n");
}

TEST_F(TcpTransaction, MoreThanTheBufferStopsStoring) {
    peer.Send(Bytes(3000, 0x42));
    rig.Spin(0.2);
    EXPECT_EQ(rig.link.frames.RxCount, 2048);
    // The next transaction starts clean.
    Answer({{ReplyFrame(8, 0, Bytes(42, 9))}});
    EXPECT_EQ(Exchange(rig.link, 8, 0), 1);
    EXPECT_EQ(rig.link.frames.ReplyData()[0], 9);
}

TEST_F(TcpTransaction, ServerCloseIsReportedAtOnce) {
    peer.CloseClient();
    rig.Spin(0.3);
    EXPECT_EQ(InfoBox(), std::string(kMsgServerClosed) + "\n\n");
    EXPECT_EQ(rig.link.link.TcpConnected, 0);
    EXPECT_EQ(rig.link.link.TcpHandle, 0u);
}

TEST(TcpConnect, RefusedConnectionReportsItsTableMessage) {
    QtLinkRig rig;
    quint16 freePort;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        freePort = probe.serverPort();
    }
    rig.ConnectTcp("127.0.0.1", freePort);
    EXPECT_LT(rig.link.link.LinkStatus, 0);
    EXPECT_EQ(rig.link.link.TcpConnected, 0);
    EXPECT_EQ(rig.owner.log, std::string(TcpErrorMessage(rig.link.link.LinkStatus)) + "\n\n");
    EXPECT_EQ(rig.owner.log, "UnableToEstablishConnection\n\n");
}

TEST(TcpConnect, SecondAttemptEndsTheFirstConversation) {
    ScriptedPeer peer;
    QtLinkRig rig;
    rig.ConnectTcp("127.0.0.1", peer.port());
    const auto first = rig.link.link.TcpHandle;
    rig.ConnectTcp("127.0.0.1", peer.port());
    EXPECT_NE(rig.link.link.TcpHandle, first);
    EXPECT_EQ(rig.link.link.TcpConnected, 1);
    rig.Spin(0.1);
    EXPECT_EQ(rig.owner.log, "");  // closing our own conversation reports nothing
}

#if defined(__linux__)
// A server whose accept queue is full drops every further handshake: the attempt can only end
// by its time limit, which is a floor, never a little earlier.
TEST(TcpConnect, AServerThatNeverAnswersTimesOutNoEarlierThanTheLimit) {
    const int server = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(server, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(listen(server, 0), 0);
    socklen_t len = sizeof addr;
    getsockname(server, reinterpret_cast<sockaddr*>(&addr), &len);
    std::vector<int> fillers;
    for (int i = 0; i < 3; ++i) {
        fillers.push_back(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
        connect(fillers.back(), reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    }
    QtTcpClient client;
    const int limitMs = 150;
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::uint32_t handle = 0;
        QElapsedTimer clock;
        clock.start();
        const int result = client.ConnectToTCPServerEx(
            handle, ntohs(addr.sin_port), "127.0.0.1", [](std::uint32_t, int, int) {}, limitMs);
        const qint64 elapsed = clock.elapsed();
        EXPECT_EQ(result, kTcpTimeOutError);
        EXPECT_GE(elapsed, limitMs) << "attempt " << attempt;
        EXPECT_LT(elapsed, limitMs + 2000) << "attempt " << attempt;  // generous: a busy machine
    }
    for (int fd : fillers)
        close(fd);
    close(server);
}
#endif

}  // namespace
}  // namespace qelto
