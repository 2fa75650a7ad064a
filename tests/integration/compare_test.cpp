// Compare in the window against the simulated sensor: only reads go out, and nothing of the
// working copy, the panels or the transfer target changes.
#include <gtest/gtest.h>

#include <optional>

#include "app/compare.hpp"
#include "app/control_table.hpp"
#include "sensor_sim_rig.hpp"

namespace qelto {
namespace {

TEST(Compare, SensorAgainstTheWorkingCopyReadsOnlyAndListsWhatSendWouldChange) {
    SensorSimRig s;
    s.Connected();
    SetWorking(s.ctx, [&](Configuration& c) { c.para.Power = 650; });
    SetWorking(s.ctx, [&](Configuration& c) { c.teach[2].Hold = 77; });
    SetWorking(s.ctx,
               [&](Configuration& c) { c.teach[40].Hold = 77; });  // a row the sensor does not hold
    const ParameterSet para = s.ctx.working.config().para;
    const auto target = s.ctx.state.TransferTarget;
    const auto powerShown = s.ui.ctrl(Ctrl::PowerDisplay).value;

    s.ui.answers.push_back(PopupAnswer::Button(1));  // SENSOR
    EXPECT_EQ(DispatchControlEvent(s.ctx, Ctrl::CompareButton, Event::Commit), Outcome::Done);
    EXPECT_EQ(s.wire, (Wire{{2, 0}, {2, 2}}));
    ASSERT_EQ(s.ui.popups.back().title, "COMPARE");
    const std::string& list = s.ui.popups.back().message;
    EXPECT_NE(list.find("[PARAMETER] POWER: 500 -> 650\n"), std::string::npos) << list;
    EXPECT_NE(list.find("[TEACH VECTOR 2] HOLD: "), std::string::npos) << list;
    EXPECT_EQ(list.find("TEACH VECTOR 40"), std::string::npos) << list;
    EXPECT_EQ(s.ctx.working.config().para, para);
    EXPECT_EQ(s.ctx.state.TransferTarget, target);
    EXPECT_EQ(s.ui.ctrl(Ctrl::PowerDisplay).value, powerShown);

    // Cancel reads nothing.
    s.wire.clear();
    s.ui.answers.push_back(PopupAnswer::Button(3));
    EXPECT_EQ(DispatchControlEvent(s.ctx, Ctrl::CompareButton, Event::Commit), Outcome::Declined);
    EXPECT_TRUE(s.wire.empty());
}

// Get from the EEPROM while the sensor is slow to answer its reads; Compare pressed (by a key
// or a menu: its button is dimmed) while Get waits. Compare waits its turn, the wire carries
// Get's three requests alone, and the page shows what the sensor holds.
TEST(Compare, DuringASlowGetItIsRefusedAndGetReadsTheSensorsValues) {
    SensorSimRig s;
    s.Connected();
    const Configuration sensor = s.ctx.working.config();
    SetWorking(s.ctx, [&](Configuration& c) {
        c.para.Gain = 9;
    });  // the operator's change, which Get is to replace
    s.server.AddFault({.kind = sim::FaultKind::Delay,
                       .value = 300,
                       .when = sim::FaultWhen::Next,
                       .times = 2,
                       .command = kCmdRead});
    std::optional<Outcome> compared;
    bool lockShown = false;
    std::optional<SensorFault> secondRequest;
    s.ui.onEvents = [&] {
        if (compared || s.Count(kCmdRead) != 1) return;
        lockShown = s.ui.ctrl(Ctrl::CompareButton).dimmed && s.ui.ctrl(Ctrl::RecordButton).dimmed;
        compared = DispatchControlEvent(s.ctx, Ctrl::CompareButton, Event::Commit);
        const auto live = s.sensor.ReadLiveSample();
        if (!live) secondRequest = live.error().kind;
    };
    EXPECT_EQ(DispatchControlEvent(s.ctx, Ctrl::GetButton, Event::Commit), Outcome::Done);

    EXPECT_EQ(compared, Outcome::Declined);
    EXPECT_TRUE(lockShown);
    EXPECT_EQ(secondRequest, SensorFault::Busy);
    EXPECT_EQ(s.wire, (Wire{{4, 0}, {2, 0}, {2, 2}}));
    const std::vector<std::string>& said = s.ui.statusMessages;
    EXPECT_NE(std::find(said.begin(), said.end(), "Compare cannot run now: Get is running."),
              said.end());
    EXPECT_EQ(s.ctx.working.config().para, sensor.para);
    EXPECT_EQ(s.ui.ctrl(Ctrl::GainDisplay).value, sensor.para.Gain);
    EXPECT_EQ(s.ui.ctrl(Ctrl::PowerDisplay).value, sensor.para.Power);
    EXPECT_FALSE(s.ui.ctrl(Ctrl::CompareButton).dimmed);
}

// Offline there is nothing to compare with but files: Compare with the sensor says so, sends
// nothing and leaves the controls of offline work as they were.
TEST(Compare, WithTheSensorWhileOfflineSendsNothingAndKeepsTheSensorCommandsDimmed) {
    SensorSimRig s;
    s.Connected();
    EXPECT_EQ(DispatchControlEvent(s.ctx, Ctrl::DisconnectButton, Event::Commit), Outcome::Done);
    s.wire.clear();

    s.ui.answers.push_back(PopupAnswer::Button(1));  // SENSOR
    EXPECT_EQ(DispatchControlEvent(s.ctx, Ctrl::CompareButton, Event::Commit), Outcome::Declined);
    EXPECT_TRUE(s.wire.empty());
    EXPECT_EQ(s.Status(), "NO SENSOR CONNECTED!");
    for (Ctrl c : {Ctrl::GoButton, Ctrl::FreqButton, Ctrl::DisconnectButton, Ctrl::EepromButton,
                   Ctrl::StartAssistantButton}) {
        EXPECT_TRUE(s.ui.ctrl(c).dimmed) << static_cast<int>(c);
    }
    for (Ctrl c : {Ctrl::ConnectButton, Ctrl::SendButton, Ctrl::GetButton, Ctrl::CompareButton}) {
        EXPECT_FALSE(s.ui.ctrl(c).dimmed) << static_cast<int>(c);
    }
}

}  // namespace
}  // namespace qelto
