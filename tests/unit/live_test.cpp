// Live measurement on the fake link: the acquisition loop with operator actions in the middle
// of a sample, the live displays and history, and the scan frequency.
#include <gtest/gtest.h>

#include <map>

#include "app/control_table.hpp"
#include "app/live.hpp"
#include "doubles/scripted_sensor.hpp"
#include "link/transaction.hpp"
#include "protocol/number_text.hpp"

namespace qelto {
namespace {

class Live : public ::testing::Test {
  protected:
    void SetUp() override {
        sensor.Attach(rig);
        SetWorking(rig.ctx, [&](Configuration& c) { LoadDefaultParaValues(c.para, c.teach, 1); });
    }
    // Stops the loop once `n` samples have been requested.
    void StopAfter(int n) {
        rig.onEvents = [this, n] {
            if (sensor.samples >= n) DispatchControlEvent(rig.ctx, Ctrl::StopButton, Event::Commit);
        };
    }
    std::string InfoBox() { return rig.ui.ctrl(Ctrl::InfoBox).text; }

    UnitRig rig;
    ScriptedSensor sensor;
};

TEST_F(Live, WhileRunningOnlySendGetAndTheMemorySelectorStayEnabled) {
    std::map<Ctrl, bool> seen;
    rig.onEvents = [&] {
        if (sensor.samples == 0 || !seen.empty()) return;
        for (Ctrl c : {Ctrl::GoButton, Ctrl::FreqButton, Ctrl::StartAssistantButton,
                       Ctrl::ConnectButton, Ctrl::DisconnectButton, Ctrl::SendButton,
                       Ctrl::GetButton, Ctrl::EepromButton, Ctrl::FileButton}) {
            seen[c] = rig.ui.ctrl(c).dimmed;
        }
        DispatchControlEvent(rig.ctx, Ctrl::StopButton, Event::Commit);
    };
    DispatchControlEvent(rig.ctx, Ctrl::GoButton, Event::Commit);
    EXPECT_TRUE(seen[Ctrl::GoButton]);
    EXPECT_TRUE(seen[Ctrl::FreqButton]);
    EXPECT_TRUE(seen[Ctrl::StartAssistantButton]);
    EXPECT_TRUE(seen[Ctrl::ConnectButton]);
    EXPECT_TRUE(seen[Ctrl::DisconnectButton]);
    EXPECT_FALSE(seen[Ctrl::SendButton]);
    EXPECT_FALSE(seen[Ctrl::GetButton]);
    EXPECT_FALSE(seen[Ctrl::EepromButton]);
    EXPECT_FALSE(seen[Ctrl::FileButton]);
}

TEST_F(Live, EveryWayOutOfTheLoop) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        std::vector<int> commands;
    };
    const std::vector<Case> cases = {
        {"connection page selected",
         [&] {
             rig.onEvents = [&] {
                 if (sensor.samples < 2) return;
                 rig.ui.SetActiveTabPage(kConnectionPage);
                 DispatchControlEvent(rig.ctx, Ctrl::TabControl, Event::ActiveTabChange);
             };
         },
         {8, 8}},
        {"parameter page selected does not stop",
         [&] {
             rig.onEvents = [&] {
                 if (sensor.samples == 1) {
                     rig.ui.SetActiveTabPage(kParameterPage);
                     DispatchControlEvent(rig.ctx, Ctrl::TabControl, Event::ActiveTabChange);
                 }
                 if (sensor.samples >= 3)
                     DispatchControlEvent(rig.ctx, Ctrl::StopButton, Event::Commit);
             };
         },
         {8, 8, 8}},
        {"silence",
         [&] {
             sensor.override = [&](const SeenRequest& r) -> std::optional<std::vector<Bytes>> {
                 if (r.command == kCmdLiveData && sensor.samples == 1) {
                     return std::vector<Bytes>{};
                 }
                 return std::nullopt;
             };
         },
         {8, 8}},
        {"short live reply",
         [&] {
             sensor.override = [&](const SeenRequest& r) -> std::optional<std::vector<Bytes>> {
                 if (r.command == kCmdLiveData) return std::vector<Bytes>{Frame(8, 0, Bytes(40))};
                 return std::nullopt;
             };
         },
         {8}},
        {"rejected send",
         [&] {
             sensor.writeRejects = 1;
             rig.onEvents = [&] {
                 if (sensor.samples == 1 && !rig.ctx.state.sendRequest &&
                     sensor.Commands().size() == 1) {
                     DispatchControlEvent(rig.ctx, Ctrl::SendButton, Event::Commit);
                     DispatchControlEvent(rig.ctx, Ctrl::GetButton, Event::Commit);
                 }
             };
         },
         {8, 1, 1, 3, 2, 2}},  // RAM read back to name what was refused
        {"failed get",
         [&] {
             rig.onEvents = [&] {
                 if (sensor.samples == 1 && sensor.Commands().size() == 1) {
                     DispatchControlEvent(rig.ctx, Ctrl::GetButton, Event::Commit);
                 }
             };
             sensor.override = [&](const SeenRequest& r) -> std::optional<std::vector<Bytes>> {
                 if (r.command == kCmdLoadEeprom) return std::vector<Bytes>{Frame(0, 2)};
                 return std::nullopt;
             };
         },
         {8, 4}},
        {"window closed",
         [&] {
             rig.onEvents = [&] {
                 if (sensor.samples == 2) rig.ctx.state.acquisition = Acquisition::Stopped;
             };
         },
         {8, 8}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sensor = ScriptedSensor{};
        sensor.Attach(rig);
        rig.onEvents = nullptr;
        c.arrange();
        rig.ctx.state.sendRequest = rig.ctx.state.getRequest = false;
        rig.ctx.live.GetData();
        EXPECT_EQ(sensor.Commands(), c.commands);
        EXPECT_FALSE(rig.ctx.state.acquiring());
    }
}

// STOP, then Send while the last sample is still awaited: the Send is not refused as another
// request, it goes out right after that sample, and what would disturb the link stays dimmed
// until then.
TEST_F(Live, SendAfterStopDuringASlowLastSampleGoesOutAfterIt) {
    Bytes held;
    sensor.override = [&](const SeenRequest& r) -> std::optional<std::vector<Bytes>> {
        if (r.command != kCmdLiveData || sensor.samples != 2) return std::nullopt;
        held = sensor.Normal(r);  // the third sample comes only later
        return std::vector<Bytes>{};
    };
    std::map<Ctrl, bool> dimmedWhileWaiting;
    rig.onEvents = [&] {
        if (held.empty()) return;
        DispatchControlEvent(rig.ctx, Ctrl::StopButton, Event::Commit);
        DispatchControlEvent(rig.ctx, Ctrl::SendButton, Event::Commit);
        for (Ctrl c : {Ctrl::ConnectButton, Ctrl::DisconnectButton, Ctrl::BaudRateSelector,
                       Ctrl::GoButton, Ctrl::FreqButton}) {
            dimmedWhileWaiting[c] = rig.ui.ctrl(c).dimmed;
        }
        rig.tcp.Push(std::move(held));
        held.clear();
        rig.tcp.Deliver();
    };
    EXPECT_EQ(DispatchControlEvent(rig.ctx, Ctrl::GoButton, Event::Commit), Outcome::Done);
    EXPECT_EQ(sensor.Commands(), (std::vector<int>{8, 8, 8, 1, 1, 3}));
    for (const auto& [c, dimmed] : dimmedWhileWaiting)
        EXPECT_TRUE(dimmed) << static_cast<int>(c);
    EXPECT_EQ(dimmedWhileWaiting.size(), 5u);
    for (const std::string& m : rig.ui.statusMessages)
        EXPECT_EQ(m.find("ANOTHER REQUEST"), std::string::npos) << m;
    EXPECT_EQ(rig.ui.ctrl(Ctrl::RedDisplay).value, 3);  // the last sample was shown
    EXPECT_FALSE(rig.ctx.state.sendRequest);
    EXPECT_FALSE(rig.ui.ctrl(Ctrl::GoButton).dimmed);
}

TEST_F(Live, HistoryHoldsTheLastHundredSamplesOldestFirst) {
    for (int i = 1; i <= 100; ++i) {
        rig.ctx.view.live.w[LiveData::kRed] = static_cast<std::int16_t>(i);
        rig.ctx.view.live.w[LiveData::kGreen] = static_cast<std::int16_t>(-i);
        rig.ctx.view.live.w[LiveData::kBlue] = static_cast<std::int16_t>(1000 + i);
        rig.ctx.live.SetPanelData();
    }
    EXPECT_EQ(rig.ctx.view.history[0], 1);
    EXPECT_EQ(rig.ctx.view.history[1], -1);
    EXPECT_EQ(rig.ctx.view.history[2], 1001);
    EXPECT_EQ(rig.ctx.view.history[297], 100);
    EXPECT_EQ(rig.ctx.view.history[299], 1100);
    rig.ctx.view.live.w[LiveData::kRed] = 101;
    rig.ctx.live.SetPanelData();
    EXPECT_EQ(rig.ctx.view.history[0], 2);
    EXPECT_EQ(rig.ctx.view.history[297], 101);

    LiveData d;
    Bytes raw = LiveBytes(-1, 2, 3, 4, 5, 6, 255);
    raw[0] = 0xFF;
    raw[1] = 0xFF;
    d.FromBytes(std::span<const std::uint8_t, kLiveDataSize>(raw.data(), kLiveDataSize));
    rig.ctx.view.live = d;
    rig.ctx.live.SetPanelData();
    EXPECT_EQ(rig.ui.ctrl(Ctrl::RedDisplay).value, -1);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::ColorNoDisplay).value, 255);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::XDisplay).value, 4);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::IntDisplay).value, 6);
    EXPECT_EQ(rig.ctx.view.history[297], -1);
}

TEST_F(Live, SecondGoContinuesTheHistory) {
    StopAfter(2);
    DispatchControlEvent(rig.ctx, Ctrl::GoButton, Event::Commit);
    DispatchControlEvent(rig.ctx, Ctrl::GoButton, Event::Commit);
    EXPECT_EQ(rig.ctx.view.history[291], 1);
    EXPECT_EQ(rig.ctx.view.history[294], 2);
    EXPECT_EQ(rig.ctx.view.history[297], 3);
}

struct FreqCase {
    std::int32_t n, t;
    double value;
    int precision;
};

TEST(ScanFrequency, ValuesAndPrecisions) {
    const std::vector<FreqCase> cases = {
        {250, 100, 250.0, 1}, {1000, 100, 1000.0, 1}, {20010, 2000, 1000.5, 0},
        {1, 100, 1.0, 2},     {3, 800, 0.375, 2},     {-50, 100, -50.0, 2},
        {5, 0, 0.0, 2},       {0, 0, 0.0, 2},         {INT32_MAX, 1, 214748364700.0, 0},
    };
    for (const auto& c : cases) {
        Bytes b(8);
        PutI32(b.data(), c.n);
        PutI32(b.data() + 4, c.t);
        const double v = ScanFrequencyFromReply(b);
        EXPECT_DOUBLE_EQ(v, c.value) << c.n << "/" << c.t;
        EXPECT_EQ(ScanFrequencyPrecision(v), c.precision) << c.n << "/" << c.t;
    }
    EXPECT_EQ(ScanFrequencyFromReply(Bytes(7, 1)), 0.0);

    // The one text of a scan frequency, the window's display and qelto-cli alike: a value
    // exactly halfway goes away from zero, one merely near it to the nearer side.
    EXPECT_EQ(FormatScanFrequency(1000.5), "1001");
    EXPECT_EQ(FormatScanFrequency(1000.0), "1000.0");
    EXPECT_EQ(FormatScanFrequency(2.25), "2.3");
    EXPECT_EQ(FormatScanFrequency(0.125), "0.13");
    EXPECT_EQ(FormatScanFrequency(0.0), "0.00");
    EXPECT_EQ(FormatScanFrequency(-50.0), "-50.00");
    EXPECT_EQ(FormatFixed(1.005, 2), "1.00");  // just below halfway in binary
    EXPECT_EQ(FormatFixed(-2.5, 0), "-3");
}

TEST_F(Live, FreqShowsTheValueOrZeroWithTwoDecimals) {
    DispatchControlEvent(rig.ctx, Ctrl::FreqButton, Event::Commit);
    EXPECT_EQ(sensor.Commands(), (std::vector<int>{105}));
    EXPECT_EQ(rig.ctx.sensor.scanFrequency(), 250.0);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::ScanFreqDisplay).value, 250.0);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::ScanFreqDisplay).precision, 1);
    EXPECT_FALSE(rig.ui.ctrl(Ctrl::FreqButton).dimmed);

    sensor.window = 0;
    DispatchControlEvent(rig.ctx, Ctrl::FreqButton, Event::Commit);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::ScanFreqDisplay).value, 0.0);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::ScanFreqDisplay).precision, 2);
    EXPECT_EQ(InfoBox(), "");  // the sensor answered; it had nothing measured

    sensor.override = [](const SeenRequest&) -> std::optional<std::vector<Bytes>> {
        return std::vector<Bytes>{Frame(105, 0, Bytes{1, 0, 0, 0, 2, 0})};
    };
    rig.ui.SetCtrlVal(Ctrl::ScanFreqDisplay, 99);
    rig.ctx.live.GetCycleTime();
    EXPECT_EQ(rig.ui.ctrl(Ctrl::ScanFreqDisplay).value, 0.0);
    EXPECT_EQ(rig.ctx.sensor.scanFrequency(), 0.0);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::ScanFreqDisplay).precision, 2);
    EXPECT_EQ(InfoBox(), std::string(kMsgBadData) + "\n\n");

    sensor.override = [](const SeenRequest&) -> std::optional<std::vector<Bytes>> {
        return std::vector<Bytes>{};
    };
    rig.ui.SetPrecision(Ctrl::ScanFreqDisplay, 0);
    rig.ctx.live.GetCycleTime();
    EXPECT_EQ(rig.ui.ctrl(Ctrl::ScanFreqDisplay).value, 0.0);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::ScanFreqDisplay).precision, 2);
}

}  // namespace
}  // namespace qelto
