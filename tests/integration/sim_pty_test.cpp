// The host's serial link and transactions against the simulated sensor on a real
// pseudo-terminal.
#include <gtest/gtest.h>

#include <limits>

#include "platform/qt_serial_port.hpp"
#include "sim_test_util.hpp"

namespace qelto {
namespace {

using namespace qelto::simtest;
using sim::Link;

sim::FaultRule Fault(const std::string& text) {
    std::string error;
    auto rule = sim::ParseFault(text, error);
    EXPECT_TRUE(rule) << error;
    return rule.value_or(sim::FaultRule{});
}

class SimPty : public ::testing::Test {
  protected:
    SimPty() : server(model) {}
    void SetUp() override {
        ConnectPty(rig, server);
        ResetReport(rig);
    }
    void TearDown() override { CloseSerial(rig.link, rig.link.conn.ComPort); }

    sim::SensorModel model;
    sim::SimServer server;
    QtLinkRig rig;
};

TEST_F(SimPty, PathAndComNumberFollowTheMappingRule) {
    const std::string path = server.ptyPath().toStdString();
    EXPECT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;
    EXPECT_EQ(ComPortDevicePath(*server.ptyComNumber()), path);
}

TEST_F(SimPty, IdentificationAndParametersOverTheSerialLink) {
    ASSERT_EQ(Exchange(rig.link, kCmdFirmware, 0), 1);
    EXPECT_EQ(ReplyText(rig), sim::kDefaultFirmware);
    ASSERT_EQ(Exchange(rig.link, kCmdSensorName, 0), 1);
    EXPECT_EQ(ReplyText(rig), sim::kDefaultSensorName);
    EXPECT_EQ(rig.link.frames.ReplyArgument, sim::kDefaultSerialNumber);

    ParameterSet p = DefaultParameters();
    p.Gain = 7;
    p.Integral = 12;
    ASSERT_EQ(WriteParameters(rig, p), 1);
    EXPECT_EQ(rig.link.frames.ReplyArgument, 0);
    EXPECT_EQ(ReadParameters(rig), p);
    TeachTable t = ReadTeach(rig);
    t[30] = {{100, 200, 300, 400, 5, 6}, 7, 8};
    ASSERT_EQ(WriteTeach(rig, t), 1);
    EXPECT_EQ(ReadTeach(rig)[30], t[30]);
    EXPECT_EQ(InfoBox(rig), "");
}

TEST_F(SimPty, BrokenRepliesAreReportedAndTheLineRecovers) {
    const struct {
        const char* text;
        int result;
        const char* message;
    } cases[] = {
        {"bad-start", -1, kMsgBadHeader}, {"bad-data-crc", -1, kMsgBadData},
        {"length-over", -1, kMsgBadData}, {"error=2", -1, kMsgSensorCommError},
        {"pieces=3,gap=60", 1, nullptr},  {"garbage=5", 1, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ResetReport(rig);
        server.AddFault(Fault(c.text));
        EXPECT_EQ(Exchange(rig.link, kCmdLiveData, 0), c.result);
        EXPECT_EQ(InfoBox(rig), c.message ? std::string(c.message) + "\n\n" : std::string());
        // The host flushes its input before each request, so leftovers do no harm.
        ResetReport(rig);
        EXPECT_EQ(Exchange(rig.link, kCmdLiveData, 0), 1);
        EXPECT_EQ(InfoBox(rig), "");
    }
}

TEST_F(SimPty, SilentSensorTimesOutWithinTheSerialBound) {
    server.AddFault(Fault("no-reply"));
    // The reply limit shortened (its real length is waited out over TCP); the port's own 2 s
    // read limit is the real one.
    rig.link.limits.reply = 0.3;
    const double start = rig.loop.Timer();
    EXPECT_EQ(Exchange(rig.link, kCmdFirmware, 0), -1);
    const double took = rig.loop.Timer() - start;
    EXPECT_GE(took, 0.29);
    EXPECT_LE(took, 2.8);  // the wait plus at most the port's 2 s read limit
    EXPECT_EQ(InfoBox(rig), std::string(kMsgTimeout) + "\n\n");
}

TEST_F(SimPty, PacedOutputKeepsToTheBaudRate) {
    for (int baud : {115200, 19200}) {
        SCOPED_TRACE(baud);
        server.SetBaudRate(Link::Pty, baud);
        const int rounds = baud / 40000 + 1;
        const double start = rig.loop.Timer();
        for (int i = 0; i < rounds; ++i)
            ASSERT_EQ(Exchange(rig.link, kCmdRead, kArgTeachTable), 1);
        const double took = rig.loop.Timer() - start;
        const double bytesPerSecond = rounds * (kHeaderSize + kTeachBlockSize) / took;
        // Never faster than the line allows; a loaded machine can only make it slower. How
        // close it comes to the line rate is a benchmark figure.
        EXPECT_LE(bytesPerSecond, baud / 10.0 * 1.05);
    }
}

TEST_F(SimPty, RequestSplitByTheLineIsStillOneRequest) {
    // Write a request in two parts with a pause: the sensor waits for the rest.
    FillTxBuf(rig.link, kCmdFirmware, 0, 0);
    rig.serial.ComWrt(rig.link.conn.ComPort, rig.link.frames.TxBuffer.data(), 3);
    rig.Spin(0.05);
    rig.serial.ComWrt(rig.link.conn.ComPort, rig.link.frames.TxBuffer.data() + 3, 5);
    rig.Spin(0.05);
    EXPECT_EQ(rig.serial.GetInQLen(rig.link.conn.ComPort), 8 + 19);
    EXPECT_EQ(model.CommandCount(kCmdFirmware), 1u);
}

// Qt 6 reports no parity, framing, overrun or break errors; the driver's counters are read
// instead, and every counter that moved between two readings is an error.
TEST(SerialLineErrors, EveryCounterThatMovedIsAnError) {
    const LineErrorCounts before{7, 0, 2, 0, 0};
    EXPECT_EQ(LineErrorBits(before, before), 0);
    LineErrorCounts now = before;
    now.frame = 1;
    now.brk = 3;
    EXPECT_EQ(LineErrorBits(before, now), kFramingErrorBit | kBreakBit);
    now = {8, 1, 3, 1, 1};
    EXPECT_EQ(LineErrorBits(before, now), kParityErrorBit | kFramingErrorBit | kOverrunErrorBit |
                                              kBreakBit | kBufferOverrunBit);
    LineErrorCounts high = before;
    high.overrun = std::numeric_limits<int>::max();
    now = before;
    now.overrun = std::numeric_limits<int>::min();  // wrapped round
    EXPECT_EQ(LineErrorBits(high, now), kOverrunErrorBit);
}

}  // namespace
}  // namespace qelto
