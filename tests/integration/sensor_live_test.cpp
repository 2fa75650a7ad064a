// Live measurement over loopback TCP: the acquisition loop against the simulated sensor with
// the operator acting in the middle of a reply, faults ending the loop, the scan frequency,
// and the graph scaling for exact live points from a scripted peer.
#include <gtest/gtest.h>

#include "app/control_table.hpp"
#include "app/graphs.hpp"
#include "app/live.hpp"
#include "sensor_sim_rig.hpp"

namespace qelto {
namespace {

// Replies of the simulated sensor come in three pieces, 20 ms apart, so that an operator's
// click can land in the middle of one.
void SlowLiveReplies(SensorSimRig& s) {
    s.server.AddFault({.kind = sim::FaultKind::Pieces,
                       .value = 3,
                       .gapMs = 20,
                       .when = sim::FaultWhen::Every,
                       .every = 1,
                       .command = kCmdLiveData});
}

bool MidReply(const SensorSession& sensor) {
    const auto& frames = sensor.link().frames;
    return frames.RxCount > 0 && frames.RxCount < static_cast<int>(kHeaderSize + kLiveDataSize);
}

TEST(SensorLive, StopDuringAReplyCompletesThatSampleThenEnds) {
    SensorSimRig s;
    s.Connected();
    SlowLiveReplies(s);
    bool stopped = false;
    s.ui.onEvents = [&] {
        if (!stopped && s.Count(kCmdLiveData) == 3 && MidReply(s.sensor)) {
            stopped = true;
            DispatchControlEvent(s.ctx, Ctrl::StopButton, Event::Commit);
        }
    };
    const std::string before = s.InfoBox();
    DispatchControlEvent(s.ctx, Ctrl::GoButton, Event::Commit);
    ASSERT_TRUE(stopped);
    EXPECT_EQ(s.Commands(), (std::vector<int>{8, 8, 8}));
    EXPECT_GT(s.ctx.view.live.Red(), 0);
    EXPECT_EQ(s.ui.ctrl(Ctrl::RedDisplay).value, s.ctx.view.live.Red());
    EXPECT_EQ(s.ui.ctrl(Ctrl::XDisplay).value, s.ctx.view.live.X());
    EXPECT_EQ(s.ctx.view.history[297], s.ctx.view.live.Red());
    EXPECT_EQ(s.ctx.view.history[291], s.ctx.view.live.Red());  // no noise: three equal samples
    EXPECT_EQ(s.ctx.view.history[288], 0);
    EXPECT_EQ(s.ui.graph(Ctrl::GraphXY).cursor,
              std::make_pair(double(s.ctx.view.live.X()), double(s.ctx.view.live.Y())));
    EXPECT_FALSE(s.ctx.state.acquiring());
    EXPECT_EQ(s.InfoBox(), before);
    EXPECT_FALSE(s.ui.ctrl(Ctrl::GoButton).dimmed);
}

TEST(SensorLive, SendAndGetDuringOneSampleRunAfterItAndSamplingGoesOn) {
    SensorSimRig s;
    s.Connected();
    SlowLiveReplies(s);
    bool pressed = false;
    s.ui.onEvents = [&] {
        if (!pressed && s.Count(kCmdLiveData) == 2 && MidReply(s.sensor)) {
            pressed = true;
            s.ui.SetCtrlVal(Ctrl::AverageControl, 1024);
            DispatchControlEvent(s.ctx, Ctrl::SendButton, Event::Commit);
            DispatchControlEvent(s.ctx, Ctrl::GetButton, Event::Commit);
        }
        if (s.Count(kCmdLiveData) == 4)
            DispatchControlEvent(s.ctx, Ctrl::StopButton, Event::Commit);
    };
    DispatchControlEvent(s.ctx, Ctrl::GoButton, Event::Commit);
    EXPECT_EQ(
        s.wire,
        (Wire{{8, 0}, {8, 0}, {1, 0}, {1, 2}, {3, 0}, {4, 0}, {2, 0}, {2, 2}, {8, 0}, {8, 0}}));
    EXPECT_EQ(s.model.EepromParameters().Average, 1024);
    EXPECT_EQ(s.ctx.working.config().para.Average, 1024);
    EXPECT_FALSE(s.ctx.state.sendRequest);
    EXPECT_FALSE(s.ctx.state.getRequest);
    EXPECT_EQ(s.Status(), "KORVANEX V4.3B7");
    // Each press said what becomes of it (F9 and F10 during GO showed nothing before), and then
    // what it did.
    ASSERT_GE(s.ui.statusMessages.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(s.ui.statusMessages.end() - 4, s.ui.statusMessages.end()),
              (std::vector<std::string>{
                  "Send: the parameters go to the sensor between two samples.",
                  "Get: the parameters are read from the sensor between two samples.",
                  "Sent to EEPROM: 1 change, all taken", "Read from EEPROM"}));
}

// The server ends the conversation during GO; GO pressed again learns so at once, without a
// request and without waiting out a time-out, and the controls are those of offline work.
TEST(SensorLive, GoAfterTheServerClosedTheLinkSaysSoAtOnce) {
    SensorSimRig s;
    s.Connected();
    s.sensor.link().limits.reply = 0.3;  // the wait of the request the server left unanswered
    s.server.AddFault({.kind = sim::FaultKind::Close, .command = kCmdLiveData});
    const std::string before = s.InfoBox();
    EXPECT_EQ(DispatchControlEvent(s.ctx, Ctrl::GoButton, Event::Commit), Outcome::Failed);
    // The sample asked for when the server closed can never come: no time-out is waited out.
    EXPECT_EQ(s.InfoBox(), before + kMsgServerClosed + "\n\n");

    s.wire.clear();
    s.ui.ResetTextBox(Ctrl::InfoBox, "");
    EXPECT_EQ(DispatchControlEvent(s.ctx, Ctrl::GoButton, Event::Commit), Outcome::Failed);
    EXPECT_TRUE(s.wire.empty());
    EXPECT_EQ(s.InfoBox(), std::string(kMsgServerClosed) + "\n\n");
    for (Ctrl c : {Ctrl::GoButton, Ctrl::FreqButton, Ctrl::DisconnectButton, Ctrl::EepromButton,
                   Ctrl::StartAssistantButton}) {
        EXPECT_TRUE(s.ui.ctrl(c).dimmed) << static_cast<int>(c);
    }
    for (Ctrl c : {Ctrl::ConnectButton, Ctrl::SendButton, Ctrl::GetButton}) {
        EXPECT_FALSE(s.ui.ctrl(c).dimmed) << static_cast<int>(c);
    }
    EXPECT_EQ(s.ctx.state.TransferTarget, kTargetFile);
}

#if defined(__linux__)
// The serial adapter goes away during GO (here the simulator's pseudo-terminal): the sample
// asked for ends at once with the failed exchange's text, once, and the device and what
// happened to it beside it on the link line; the link counts as gone, so GO is refused without
// a request; once the device is back, Connect works again.
TEST(SensorLive, AVanishedSerialDeviceEndsGoAtOnceWithItsReason) {
    SensorSimRig s;
    ASSERT_TRUE(s.server.OpenPty()) << s.server.errorString().toStdString();
    const std::string path = s.server.ptyPath().toStdString();
    s.ui.SetCtrlVal(Ctrl::ProtocolSelector, kRs232);
    s.ui.SetCtrlVal(Ctrl::ComPortSelector, *s.server.ptyComNumber());
    s.Connected();
    struct Failures : SessionObserver {
        std::vector<SensorError> told;
        void SessionChanged(const SessionEvent& e) override {
            if (e.error != nullptr) told.push_back(*e.error);
        }
    } failures;
    s.sensor.AddObserver(&failures);
    bool pulled = false;
    s.ui.onEvents = [&] {
        if (!pulled && s.Count(kCmdLiveData) == 5) {
            pulled = true;
            s.server.ClosePty();
        }
    };
    const std::string before = s.InfoBox();
    EXPECT_EQ(DispatchControlEvent(s.ctx, Ctrl::GoButton, Event::Commit), Outcome::Failed);
    ASSERT_TRUE(pulled);
    const std::string reason = path + ": the device was removed";
    // Only the loss brings a reason: a sample that had waited out its time-out would be told
    // first, without one.
    ASSERT_EQ(failures.told.size(), 1u);
    EXPECT_EQ(failures.told[0].kind, SensorFault::LinkClosed);
    EXPECT_EQ(failures.told[0].message, kMsgTimeout);
    EXPECT_EQ(failures.told[0].reason, reason);
    EXPECT_EQ(s.InfoBox(), before + kMsgTimeout + "\n\n");
    EXPECT_FALSE(s.sensor.connected());
    EXPECT_EQ(s.ui.ctrl(Ctrl::LinkState).text.rfind("Lost 0:0", 0), 0u);
    const std::string line = s.ui.ctrl(Ctrl::LinkState).tooltip;
    EXPECT_EQ(line.rfind("Link lost at ", 0), 0u) << line;
    EXPECT_NE(line.find("TIMEOUT! NO DATA RECEIVED!"), std::string::npos) << line;
    EXPECT_NE(line.find("(" + reason + ")"), std::string::npos) << line;

    s.wire.clear();
    s.ui.ResetTextBox(Ctrl::InfoBox, "");
    EXPECT_EQ(DispatchControlEvent(s.ctx, Ctrl::GoButton, Event::Commit), Outcome::Failed);
    EXPECT_TRUE(s.wire.empty());
    EXPECT_EQ(s.InfoBox(), std::string(kMsgTimeout) + "\n\n");
    for (Ctrl c : {Ctrl::GoButton, Ctrl::FreqButton, Ctrl::DisconnectButton}) {
        EXPECT_TRUE(s.ui.ctrl(c).dimmed) << static_cast<int>(c);
    }
    for (Ctrl c : {Ctrl::ConnectButton, Ctrl::SendButton, Ctrl::GetButton}) {
        EXPECT_FALSE(s.ui.ctrl(c).dimmed) << static_cast<int>(c);
    }

    // The device is back (a new terminal takes the lowest free number, most often the same).
    ASSERT_TRUE(s.server.OpenPty()) << s.server.errorString().toStdString();
    s.ui.SetCtrlVal(Ctrl::ComPortSelector, *s.server.ptyComNumber());
    s.wire.clear();
    s.ui.answers.push_back(PopupAnswer::No());
    s.ctx.connection.TryToConnect();
    EXPECT_TRUE(s.ctx.supervisor.usable()) << s.InfoBox();
    EXPECT_TRUE(s.sensor.connected());
    EXPECT_EQ(s.Commands(), (std::vector<int>{7, 15, 2, 2}));
    s.sensor.RemoveObserver(&failures);
}
#endif

TEST(SensorLive, FaultDuringAcquisitionEndsTheLoopWithItsMessage) {
    SensorSimRig s;
    s.Connected();
    s.server.AddFault({.kind = sim::FaultKind::ErrorReply,
                       .value = 2,
                       .when = sim::FaultWhen::Every,
                       .every = 5,
                       .command = kCmdLiveData});
    LiveData fourth;
    s.ui.onEvents = [&] {
        if (s.Count(kCmdLiveData) == 4) fourth = s.ctx.view.live;
    };
    s.ui.SetActiveTabPage(kParameterPage);
    const std::string before = s.InfoBox();
    DispatchControlEvent(s.ctx, Ctrl::GoButton, Event::Commit);
    EXPECT_EQ(s.Count(kCmdLiveData), 5);
    EXPECT_EQ(s.InfoBox(), before + kMsgSensorCommError + "\n\n");
    EXPECT_EQ(s.Status(), "TIMEOUT!");
    EXPECT_EQ(s.ui.GetActiveTabPage(), kConnectionPage);
    EXPECT_FALSE(s.ctx.state.acquiring());
    EXPECT_TRUE(s.ctx.supervisor.usable());  // the sensor answered: no loss
    EXPECT_EQ(s.ctx.view.live.w, fourth.w);
    // The link stays open: the next GO samples again.
    s.server.ClearFaults();
    s.ui.onEvents = [&] {
        if (s.Count(kCmdLiveData) == 7)
            DispatchControlEvent(s.ctx, Ctrl::StopButton, Event::Commit);
    };
    DispatchControlEvent(s.ctx, Ctrl::GoButton, Event::Commit);
    EXPECT_EQ(s.Count(kCmdLiveData), 7);
}

TEST(SensorLive, SelectingTheConnectionPageStopsAcquisition) {
    SensorSimRig s;
    s.Connected();
    s.ui.onEvents = [&] {
        if (s.Count(kCmdLiveData) == 3 && s.ui.GetActiveTabPage() != kConnectionPage) {
            s.ui.SetActiveTabPage(kConnectionPage);
            DispatchControlEvent(s.ctx, Ctrl::TabControl, Event::ActiveTabChange);
        }
    };
    s.ui.SetActiveTabPage(kParameterPage);
    DispatchControlEvent(s.ctx, Ctrl::GoButton, Event::Commit);
    EXPECT_EQ(s.Count(kCmdLiveData), 3);
    EXPECT_TRUE(s.ui.ctrl(Ctrl::AcceptButton).dimmed);
    EXPECT_TRUE(s.ctx.supervisor.usable());  // stopping is not a failure
}

TEST(SensorLive, ScanFrequencyOfTheSimulatedSensor) {
    SensorSimRig s;
    s.Connected();
    DispatchControlEvent(s.ctx, Ctrl::FreqButton, Event::Commit);
    EXPECT_EQ(s.wire, (Wire{{105, 0}}));
    const double expected = s.model.ScanFrequency();
    EXPECT_DOUBLE_EQ(s.ctx.sensor.scanFrequency(), expected);
    EXPECT_EQ(s.ui.ctrl(Ctrl::ScanFreqDisplay).value, expected);
    EXPECT_EQ(s.ui.ctrl(Ctrl::ScanFreqDisplay).precision, ScanFrequencyPrecision(expected));
    EXPECT_FALSE(s.ui.ctrl(Ctrl::FreqButton).dimmed);
}

// A peer that identifies as a supported sensor, holds a given teach table and answers command
// 8 with the live points and command 105 with the cycle figures a test lines up.
struct ExactPeer {
    ScriptedPeer peer;
    QtRig rig;
    TeachTable teach{};
    std::vector<Bytes> live;  // one per command-8 request, the last one repeated
    Bytes cycle;              // data of the command-105 reply
    std::size_t liveServed = 0;

    ExactPeer() {
        ParameterSet p;
        LoadDefaultParaValues(p, teach, 1);
        peer.responder = [this](const Bytes& req) -> std::vector<Chunk> {
            switch (req[1]) {
                case kCmdFirmware: {
                    const std::string fw = "KORVANEX V4.3.12 B7";
                    return {{ReplyFrame(7, 0, Bytes(fw.begin(), fw.end()))}};
                }
                case kCmdSensorName:
                    return {{ReplyFrame(15, 1, Bytes{'S'})}};
                case kCmdRead: {
                    if (req[2] == kArgParameters) {
                        ParameterSet d;
                        TeachTable t{};
                        LoadDefaultParaValues(d, t, 1);
                        Bytes b(kParameterBlockSize);
                        ParameterBlockFromSet(d, std::span<std::uint8_t, 52>(b.data(), 52));
                        return {{ReplyFrame(2, 0, b)}};
                    }
                    Bytes b(kTeachBlockSize);
                    TeachBlockFromTable(teach, std::span<std::uint8_t, 512>(b.data(), 512));
                    return {{ReplyFrame(2, 2, b)}};
                }
                case kCmdLiveData: {
                    const Bytes& d = live.at(std::min(liveServed++, live.size() - 1));
                    return {{ReplyFrame(8, 0, d)}};
                }
                case kCmdCycleTime:
                    return {{ReplyFrame(105, 0, cycle)}};
                default:
                    return {{ReplyFrame(0, 1)}};
            }
        };
        rig.ui.SetCtrlVal(Ctrl::ProtocolSelector, kTcpIp);
        rig.ui.SetCtrlText(Ctrl::ServerField, "127.0.0.1");
        rig.ui.SetCtrlText(Ctrl::PortField, std::to_string(peer.port()));
    }
    void Connect() {
        rig.ui.answers.push_back(PopupAnswer::No());
        rig.ctx.state.TransferTarget = kTargetFile;
        rig.ctx.connection.TryToConnect();
        ASSERT_TRUE(rig.ctx.supervisor.usable()) << rig.ui.ctrl(Ctrl::InfoBox).text;
    }
    static Bytes Point(std::int16_t x, std::int16_t y, std::int16_t i) {
        LiveData d;
        d.w[LiveData::kRed] = 100;
        d.w[LiveData::kX] = x;
        d.w[LiveData::kY] = y;
        d.w[LiveData::kInt] = i;
        Bytes b(kLiveDataSize);
        d.ToBytes(std::span<std::uint8_t, kLiveDataSize>(b.data(), kLiveDataSize));
        return b;
    }
    // One GO with `samples` samples; the three views as each sample left them.
    std::vector<std::array<GraphView, 3>> Acquire(int samples) {
        std::vector<std::array<GraphView, 3>> views;
        std::size_t seenStrip = rig.ui.graph(Ctrl::RgbStripChart).stripValuesAppended;
        // A new strip-chart append marks a sample that has been drawn.
        auto record = [&] {
            const std::size_t strip = rig.ui.graph(Ctrl::RgbStripChart).stripValuesAppended;
            if (strip == seenStrip) return;
            seenStrip = strip;
            views.push_back({View(Ctrl::GraphXY), View(Ctrl::GraphXInt), View(Ctrl::GraphYInt)});
        };
        rig.ui.onEvents = [&, samples] {
            record();
            if (static_cast<int>(liveServed) >= samples)
                DispatchControlEvent(rig.ctx, Ctrl::StopButton, Event::Commit);
        };
        DispatchControlEvent(rig.ctx, Ctrl::GoButton, Event::Commit);
        rig.ui.onEvents = nullptr;
        record();
        return views;
    }
    GraphView View(Ctrl g) {
        const GraphRecord& r = rig.ui.graph(g);
        return {static_cast<std::int32_t>(r.horizontal.first),
                static_cast<std::int32_t>(r.horizontal.second),
                static_cast<std::int32_t>(r.vertical.first),
                static_cast<std::int32_t>(r.vertical.second)};
    }
};

TEST(SensorGraphs, NothingTaughtShowsTheFullRange) {
    ExactPeer p;
    p.live = {ExactPeer::Point(2000, 2000, 2000)};
    p.Connect();
    const auto views = p.Acquire(1);
    ASSERT_EQ(views.size(), 1u);
    for (const GraphView& v : views[0])
        EXPECT_EQ(v, (GraphView{-25, 10025, -25, 10025}));
    EXPECT_EQ(p.rig.ui.graph(Ctrl::GraphXY).arcs.size(), kTeachRows);
}

TEST(SensorGraphs, TaughtRowLivePointOutsideAndTheShrinkBack) {
    ExactPeer p;
    p.teach[0].Cell = {1000, 1500, 800, 100, 0, 0};
    p.live = {ExactPeer::Point(1000, 1500, 800), ExactPeer::Point(3000, 1500, 800),
              ExactPeer::Point(1000, 1500, 800)};
    p.Connect();
    EXPECT_EQ(p.rig.ctx.graphs.extent().MinX, 900);
    EXPECT_EQ(p.rig.ctx.graphs.extent().MaxInt, 900);
    const auto views = p.Acquire(3);
    ASSERT_EQ(views.size(), 3u);
    EXPECT_EQ(views[0][0], (GraphView{875, 1125, 1375, 1625}));
    EXPECT_EQ(views[1][0], (GraphView{875, 3025, 425, 2575}));
    EXPECT_EQ(views[1][2], views[0][2]);  // GraphYInt does not see X
    EXPECT_EQ(views[2][0], views[0][0]);
    EXPECT_EQ(p.rig.ui.graph(Ctrl::GraphXInt).cursor, std::make_pair(1000.0, 800.0));
}

TEST(SensorCycleTime, ValuesAndPrecisions) {
    struct Case {
        Bytes data;
        double value;
        int precision;
    };
    auto nt = [](std::int32_t n, std::int32_t t) {
        Bytes b(8);
        PutI32(b.data(), n);
        PutI32(b.data() + 4, t);
        return b;
    };
    const std::vector<Case> cases = {
        {nt(250, 100), 250.0, 1},
        {nt(1000, 100), 1000.0, 1},
        {nt(20010, 2000), 1000.5, 0},
        {nt(1, 100), 1.0, 2},
        {nt(123456, 800), 15432.0, 0},
        {nt(7, 0), 0.0, 2},  // nothing measured yet: shown as a failed measurement
    };
    ExactPeer p;
    p.live = {ExactPeer::Point(0, 0, 0)};
    p.Connect();
    for (const Case& c : cases) {
        p.cycle = c.data;
        DispatchControlEvent(p.rig.ctx, Ctrl::FreqButton, Event::Commit);
        EXPECT_DOUBLE_EQ(p.rig.ctx.sensor.scanFrequency(), c.value);
        EXPECT_EQ(p.rig.ui.ctrl(Ctrl::ScanFreqDisplay).value, c.value);
        EXPECT_EQ(p.rig.ui.ctrl(Ctrl::ScanFreqDisplay).precision, c.precision);
    }
    EXPECT_TRUE(p.rig.ctx.supervisor.usable());

    // A reply too short to hold both figures is a broken frame.
    p.cycle = Bytes{1, 2, 3, 4};
    DispatchControlEvent(p.rig.ctx, Ctrl::FreqButton, Event::Commit);
    EXPECT_EQ(p.rig.ctx.sensor.scanFrequency(), 0.0);
    EXPECT_EQ(p.rig.ui.ctrl(Ctrl::ScanFreqDisplay).precision, 2);
    const std::string info = p.rig.ui.ctrl(Ctrl::InfoBox).text;
    EXPECT_EQ(info.substr(info.size() - std::string(kMsgBadData).size() - 2),
              std::string(kMsgBadData) + "\n\n");
}

}  // namespace
}  // namespace qelto
