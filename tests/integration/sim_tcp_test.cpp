// The host's transaction code against the simulated sensor over real loopback TCP, both in
// one thread and one event loop.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/connection.hpp"
#include "sim_test_util.hpp"

namespace qelto {
namespace {

using namespace qelto::simtest;
using sim::FaultRule;
using sim::Link;
using sim::SensorModel;
using sim::SimServer;

sim::FaultRule Fault(const std::string& text) {
    std::string error;
    auto rule = sim::ParseFault(text, error);
    EXPECT_TRUE(rule) << error;
    return rule.value_or(FaultRule{});
}

class SimTcp : public ::testing::Test {
  protected:
    explicit SimTcp(sim::SensorConfig config = {}) : model(std::move(config)), server(model) {}
    void SetUp() override {
        ASSERT_TRUE(server.ListenTcp(QHostAddress::LocalHost, 0));
        rig.ConnectTcp("127.0.0.1", server.tcpPort());
        ASSERT_EQ(rig.link.link.TcpConnected, 1);
        ResetReport(rig);
    }

    SensorModel model;
    SimServer server;
    QtLinkRig rig;
};

// --- Identification -------------------------------------------------------------------------

TEST_F(SimTcp, FirmwareNameAndSerialNumberAsConfigured) {
    const std::pair<std::string, int> families[] = {{"KORVANEX V4.3.12 B7", 1},
                                                    {"KORVANEX SL V1.2.0 A1", 2},
                                                    {"KORVANEX SLE V1.0.3 C2", 3},
                                                    {"OTHER V2.1", 0}};
    for (const auto& [fw, family] : families) {
        model.SetFirmware(fw);
        ASSERT_EQ(Exchange(rig.link, kCmdFirmware, 0), 1);
        EXPECT_EQ(rig.link.frames.ReplyCommand, kCmdFirmware);
        EXPECT_EQ(ReplyText(rig), fw);
        EXPECT_EQ(SensorModelFor(SplitFirmware(ReplyText(rig))), family) << fw;
    }
    model.SetName("PRESS 3 LEFT");
    model.SetSerialNumber(60001);
    ASSERT_EQ(Exchange(rig.link, kCmdSensorName, 0), 1);
    EXPECT_EQ(ReplyText(rig), "PRESS 3 LEFT");
    EXPECT_EQ(rig.link.frames.ReplyArgument, 60001);
    EXPECT_EQ(InfoBox(rig), "");
}

// --- Memories -------------------------------------------------------------------------------

TEST_F(SimTcp, ParametersAndTeachRowsTravelBothWaysAndThroughTheEeprom) {
    EXPECT_EQ(ReadParameters(rig), DefaultParameters());

    ParameterSet p = DefaultParameters();
    p.Gain = 8;
    p.Integral = 33;
    p.MaxVecNo = 4;
    TeachTable t{};
    ParameterSet scratch;
    LoadDefaultParaValues(scratch, t, 0);
    t[0] = {{1365, 1400, 3100, 500, 0, 0}, 1, 10};
    t[31] = {{3000, 500, 1200, 250, 7, 9}, 2, 20};
    ASSERT_EQ(WriteParameters(rig, p), 1);
    EXPECT_EQ(rig.link.frames.ReplyArgument, 0);
    ASSERT_EQ(WriteTeach(rig, t), 1);
    EXPECT_EQ(rig.link.frames.ReplyArgument, 0);
    EXPECT_EQ(ReadParameters(rig), p);
    const TeachTable back = ReadTeach(rig);
    for (std::size_t r = 0; r < kSensorTeachRows; ++r)
        EXPECT_EQ(back[r], t[r]) << "row " << r;

    // Store, spoil RAM, load back.
    ASSERT_EQ(Exchange(rig.link, kCmdStoreEeprom, 0), 1);
    ParameterSet other = p;
    other.Gain = 2;
    ASSERT_EQ(WriteParameters(rig, other), 1);
    EXPECT_EQ(ReadParameters(rig).Gain, 2);
    ASSERT_EQ(Exchange(rig.link, kCmdLoadEeprom, 0), 1);
    EXPECT_EQ(rig.link.frames.ReplyArgument, 0);
    EXPECT_EQ(ReadParameters(rig), p);
    EXPECT_EQ(ReadTeach(rig)[31], t[31]);
    EXPECT_EQ(InfoBox(rig), "");
}

TEST_F(SimTcp, PlausibilityCountsReachTheHost) {
    ParameterSet p = DefaultParameters();
    p.Gain = 1;
    p.Integral = 250;
    ASSERT_EQ(WriteParameters(rig, p), 1);
    EXPECT_EQ(rig.link.frames.ReplyArgument, 0);
    p.Gain = 0;
    p.Integral = 251;
    p.CorrectionZ = 256;
    ASSERT_EQ(WriteParameters(rig, p), 1);
    EXPECT_EQ(rig.link.frames.ReplyArgument, 3);
    const ParameterSet now = ReadParameters(rig);
    EXPECT_EQ(now.Gain, 6);
    EXPECT_EQ(now.Integral, 1);
    EXPECT_EQ(now.CorrectionZ, 128);

    TeachTable t = ReadTeach(rig);
    t[3].Cell[2] = 5000;
    ASSERT_EQ(WriteTeach(rig, t), 1);
    EXPECT_EQ(rig.link.frames.ReplyArgument, 1);

    // An EEPROM whose contents went bad reports on load.
    ParameterSet bad = DefaultParameters();
    bad.Average = 0;
    model.SetEeprom(bad, model.RamTeach());
    ASSERT_EQ(Exchange(rig.link, kCmdLoadEeprom, 0), 1);
    EXPECT_EQ(rig.link.frames.ReplyArgument, 1);
    EXPECT_EQ(ReadParameters(rig).Average, 256);
}

// --- Live data ------------------------------------------------------------------------------

TEST_F(SimTcp, LiveDataRisesWithGainUntilItSaturates) {
    model.SetNoise(false);
    ParameterSet p = DefaultParameters();
    p.Integral = 99;
    std::vector<int> peak;
    for (int gain = 1; gain <= 8; ++gain) {
        p.Gain = static_cast<std::uint16_t>(gain);
        ASSERT_EQ(WriteParameters(rig, p), 1);
        const LiveData l = ReadLive(rig);
        peak.push_back(std::max({l.Red(), l.Green(), l.Blue()}));
    }
    EXPECT_TRUE(std::is_sorted(peak.begin(), peak.end()));
    EXPECT_LT(peak.front(), 3200);
    EXPECT_GT(peak[1], peak[0]);
    EXPECT_EQ(peak.back(), 4095);
    EXPECT_EQ(InfoBox(rig), "");
}

TEST_F(SimTcp, ColourNumberNamesTheTaughtRowOr255) {
    ParameterSet p = DefaultParameters();
    p.Gain = 8;
    p.Integral = 27;
    p.MaxVecNo = 3;
    ASSERT_EQ(WriteParameters(rig, p), 1);
    TeachTable t = ReadTeach(rig);
    const char* taught[] = {"red", "green", "blue"};
    for (std::size_t row = 0; row < 3; ++row) {
        ASSERT_TRUE(model.SelectPatch(taught[row]));
        const LiveData l = ReadLive(rig);
        t[row].Cell = {static_cast<std::uint16_t>(l.X()),
                       static_cast<std::uint16_t>(l.Y()),
                       static_cast<std::uint16_t>(l.Int()),
                       500,
                       0,
                       0};
    }
    ASSERT_EQ(WriteTeach(rig, t), 1);
    for (std::size_t row = 0; row < 3; ++row) {
        model.SelectPatch(taught[row]);
        EXPECT_EQ(ReadLive(rig).ColorNo(), static_cast<int>(row)) << taught[row];
    }
    model.SelectPatch("yellow");
    EXPECT_EQ(ReadLive(rig).ColorNo(), 255);
}

TEST_F(SimTcp, SceneCyclesOnItsTimer) {
    model.SetNoise(false);
    const int first = ReadLive(rig).Red();
    server.SetSceneCycle(0.05);
    rig.Spin(0.12);
    server.SetSceneCycle(0);
    EXPECT_NE(model.CurrentPatch().name, "white");
    EXPECT_NE(ReadLive(rig).Red(), first);
}

TEST_F(SimTcp, CycleTimeGivesTheSensorsScanFrequency) {
    ParameterSet p = DefaultParameters();
    p.Average = 64;
    ASSERT_EQ(WriteParameters(rig, p), 1);
    ASSERT_EQ(Exchange(rig.link, kCmdCycleTime, 0), 1);
    ASSERT_EQ(rig.link.frames.ReplyLength, 8);
    const std::int32_t n = GetI32(rig.link.frames.ReplyData());
    const std::int32_t t = GetI32(rig.link.frames.ReplyData() + 4);
    EXPECT_GT(t, 0);
    EXPECT_DOUBLE_EQ(n / (t * 0.01), model.ScanFrequency());
    EXPECT_GT(model.ScanFrequency(), 1000);
}

TEST_F(SimTcp, UnknownCommandIsAnInvalidOrder) {
    EXPECT_EQ(Exchange(rig.link, 9, 0), -1);
    EXPECT_EQ(InfoBox(rig), std::string(kMsgInvalidOrder) + "\n\n");
    EXPECT_EQ(model.UnknownCommandCount(), 1u);
}

// --- Faults ---------------------------------------------------------------------------------

struct FaultCase {
    const char* text;
    int result;
    const char* message;  // nullptr: no report
};

TEST_F(SimTcp, QuickFaultsGiveTheMatchingResultOnTheHost) {
    const FaultCase cases[] = {
        {"bad-start", -1, kMsgBadHeader},  {"bad-header-crc", -1, kMsgBadHeader},
        {"bad-data-crc", -1, kMsgBadData}, {"length-over", -1, kMsgBadData},
        {"error=1", -1, kMsgInvalidOrder}, {"error=2", -1, kMsgSensorCommError},
        {"error=3", 1, nullptr},           {"pieces=5,gap=40", 1, nullptr},
        {"garbage=6", 1, nullptr},         {"delay=300", 1, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ResetReport(rig);
        server.AddFault(Fault(c.text));
        const double start = rig.loop.Timer();
        EXPECT_EQ(Exchange(rig.link, kCmdLiveData, 0), c.result);
        EXPECT_LT(rig.loop.Timer() - start, 1.5);
        EXPECT_EQ(InfoBox(rig), c.message ? std::string(c.message) + "\n\n" : std::string());
        rig.Spin(0.05);  // let the rest of a broken reply drain
        // The next exchange is clean again.
        ResetReport(rig);
        EXPECT_EQ(Exchange(rig.link, kCmdLiveData, 0), 1);
        EXPECT_EQ(InfoBox(rig), "");
    }
    EXPECT_EQ(server.faultsApplied(), std::size(cases));
}

// The reply limit is shortened here; the transaction tests wait out the real one once.
constexpr double kShortLimit = 0.3;

TEST_F(SimTcp, NoReplyTimesOut) {
    server.AddFault(Fault("no-reply"));
    rig.link.limits.reply = kShortLimit;
    const double start = rig.loop.Timer();
    EXPECT_EQ(Exchange(rig.link, kCmdFirmware, 0), -1);
    EXPECT_GE(rig.loop.Timer() - start, kShortLimit - 0.01);
    EXPECT_EQ(InfoBox(rig), std::string(kMsgTimeout) + "\n\n");
}

TEST_F(SimTcp, TruncatedReplyTimesOutWaitingForTheRest) {
    server.AddFault(Fault("truncate"));
    rig.link.limits.reply = kShortLimit;
    EXPECT_EQ(Exchange(rig.link, kCmdLiveData, 0), -1);
    EXPECT_EQ(InfoBox(rig), std::string(kMsgTimeout) + "\n\n");
}

TEST_F(SimTcp, ReplyLaterThanTheLimitTimesOut) {
    server.AddFault(Fault("delay=500"));
    rig.link.limits.reply = kShortLimit;
    EXPECT_EQ(Exchange(rig.link, kCmdLiveData, 0), -1);
    EXPECT_EQ(InfoBox(rig), std::string(kMsgTimeout) + "\n\n");
    rig.Spin(0.4);  // the late reply arrives and is ignored
}

TEST_F(SimTcp, CloseIsReportedAndTheNextClientIsServed) {
    server.AddFault(Fault("close"));
    rig.link.limits.reply = kShortLimit;
    EXPECT_EQ(Exchange(rig.link, kCmdLiveData, 0), -1);
    EXPECT_EQ(InfoBox(rig), std::string(kMsgServerClosed) + "\n\n");  // and no time-out after it
    EXPECT_EQ(rig.link.link.TcpConnected, 0);

    rig.ConnectTcp("127.0.0.1", server.tcpPort());
    ASSERT_EQ(rig.link.link.TcpConnected, 1);
    ResetReport(rig);
    EXPECT_EQ(Exchange(rig.link, kCmdFirmware, 0), 1);
    EXPECT_EQ(server.tcpClientsServed(), 2u);
}

TEST_F(SimTcp, EveryNthAndProbabilityFaults) {
    server.AddFault(Fault("error=2,every=3"));
    std::string seen;
    for (int i = 0; i < 7; ++i)
        seen += Exchange(rig.link, kCmdLiveData, 0) == 1 ? '.' : 'x';
    EXPECT_EQ(seen, "..x..x.");
    server.ClearFaults();

    server.AddFault(Fault("bad-data-crc,prob=0.5,cmd=8"));
    const auto before = server.faultsApplied();
    int failed = 0;
    for (int i = 0; i < 30; ++i)
        failed += Exchange(rig.link, kCmdLiveData, 0) == 1 ? 0 : 1;
    EXPECT_EQ(static_cast<std::uint64_t>(failed), server.faultsApplied() - before);
    EXPECT_GT(failed, 5);
    EXPECT_LT(failed, 25);
    // Other commands are not touched by a rule for command 8.
    EXPECT_EQ(Exchange(rig.link, kCmdFirmware, 0), 1);
}

// --- Transport ------------------------------------------------------------------------------

TEST_F(SimTcp, OneClientAtATimeAndTheNextWhenItLeaves) {
    QtLinkRig second;
    second.ConnectTcp("127.0.0.1", server.tcpPort());
    ASSERT_EQ(second.link.link.TcpConnected, 1);  // waits in the backlog
    rig.Spin(0.05);
    EXPECT_EQ(server.tcpClientsServed(), 1u);
    EXPECT_EQ(Exchange(rig.link, kCmdFirmware, 0), 1);

    CloseTcp(rig.link);
    rig.Spin(0.1);
    ResetReport(second);
    EXPECT_EQ(Exchange(second.link, kCmdFirmware, 0), 1);
    EXPECT_EQ(ReplyText(second), sim::kDefaultFirmware);
    EXPECT_EQ(server.tcpClientsServed(), 2u);
}

TEST_F(SimTcp, PacedOutputKeepsToTheBaudRate) {
    constexpr int kBaud = 38400;
    server.SetBaudRate(Link::Tcp, kBaud);
    constexpr int kRounds = 2;
    const double start = rig.loop.Timer();
    for (int i = 0; i < kRounds; ++i)
        ASSERT_EQ(Exchange(rig.link, kCmdRead, kArgTeachTable), 1);
    const double bytesPerSecond =
        kRounds * (kHeaderSize + kTeachBlockSize) / (rig.loop.Timer() - start);
    // Never faster than the line allows; a loaded machine can only make it slower. How close
    // it comes to the line rate is a benchmark figure.
    EXPECT_LE(bytesPerSecond, kBaud / 10.0 * 1.05);
}

}  // namespace
}  // namespace qelto
