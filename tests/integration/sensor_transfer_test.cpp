// Send and Get against the simulated sensor: the sensor's plausibility verdicts on a write and
// on an EEPROM load, and a teach-table read that fails half way.
#include <gtest/gtest.h>

#include "app/control_table.hpp"
#include "app/transfer.hpp"
#include "sensor_sim_rig.hpp"

namespace qelto {
namespace {

TEST(SensorTransfer, ImplausibleWriteIsReportedTheTeachTableStillGoesAndEepromStores) {
    SensorSimRig s;
    s.Connected();
    SetWorking(s.ctx, [&](Configuration& c) { c.para.Gain = 99; });     // the sensor takes 1..8
    SetWorking(s.ctx, [&](Configuration& c) { c.para.Power = 5000; });  // and 1..1000
    SetWorking(s.ctx, [&](Configuration& c) { c.teach[2].Cell = {1200, 900, 700, 150, 0, 0}; });
    s.ui.SetCtrlVal(Ctrl::AverageControl, 512);
    s.ui.SetActiveTabPage(kParameterPage);
    const std::string before = s.InfoBox();
    EXPECT_EQ(DispatchControlEvent(s.ctx, Ctrl::SendButton, Event::Commit), Outcome::Failed);
    // After the writes, RAM is read back to name what the sensor did not take.
    EXPECT_EQ(s.wire, (Wire{{1, 0}, {1, 2}, {3, 0}, {2, 0}, {2, 2}}));
    EXPECT_EQ(
        s.InfoBox(),
        before +
            "INFO!\n2 PARAMETER IN RAM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO DEFAULT "
            "VALUE!\n\nNot taken by the sensor (sent -> holds):\n[PARAMETER] POWER: 5000 -> "
            "500\n[PARAMETER] GAIN: 99 -> 6\n\n");
    EXPECT_EQ(s.Status(), "TIMEOUT!");
    EXPECT_EQ(s.ui.GetActiveTabPage(), kConnectionPage);
    EXPECT_TRUE(s.ui.ctrl(Ctrl::AcceptButton).dimmed);
    // The sensor replaced the two and kept the rest, the teach row included.
    EXPECT_EQ(s.model.EepromParameters().Gain, 6);
    EXPECT_EQ(s.model.EepromParameters().Power, 500);
    EXPECT_EQ(s.model.EepromParameters().Average, 512);
    EXPECT_EQ(s.model.EepromTeach()[2].Cell[0], 1200);
    // The host's copy is not corrected behind the operator's back.
    EXPECT_EQ(s.ctx.working.config().para.Gain, 99);
    // The buttons are usable again for the next attempt.
    EXPECT_FALSE(s.ui.ctrl(Ctrl::SendButton).dimmed);
}

TEST(SensorTransfer, ImplausibleEepromIsNotedAndTheReadGoesOn) {
    SensorSimRig s;
    s.Connected();
    ParameterSet bad = s.model.EepromParameters();
    bad.Integral = 0;  // the sensor takes 1..250
    bad.Average = 40000;
    TeachTable teach = s.model.EepromTeach();
    teach[1].Hold = 5000;  // 0..1000
    s.model.SetEeprom(bad, teach);
    s.ui.SetActiveTabPage(kParameterPage);
    const std::string before = s.InfoBox();
    DispatchControlEvent(s.ctx, Ctrl::GetButton, Event::Commit);
    EXPECT_EQ(s.wire, (Wire{{4, 0}, {2, 0}, {2, 2}}));
    EXPECT_EQ(s.InfoBox(), before +
                               "INFO!\n3 PARAMETER FROM EEPROM DID NOT PASS PLAUSIBILITY CHECK AND "
                               "WERE SET TO DEFAULT VALUE!\n\n");
    EXPECT_EQ(s.ui.GetActiveTabPage(), kConnectionPage);
    EXPECT_EQ(s.Status(), "KORVANEX V4.3B7");
    EXPECT_TRUE(s.ctx.supervisor.usable());
    EXPECT_FALSE(s.ui.ctrl(Ctrl::AcceptButton).dimmed);
    // What the host reads is what the sensor now runs on: its defaults for the three.
    EXPECT_EQ(s.ctx.working.config().para.Integral, 1);
    EXPECT_EQ(s.ctx.working.config().para.Average, 256);
    EXPECT_EQ(s.ctx.working.config().teach[1].Hold, 10);
    EXPECT_EQ(s.ui.ctrl(Ctrl::IntegralDisplay).value, 1);
}

// The parameters that came are the working copy's, and shown: what is shown is what a Send
// would write. The teach rows, and so the circles, stay as they were.
TEST(SensorTransfer, FailedTeachReadLeavesTheNewParametersShownAndTheOldCircles) {
    SensorSimRig s;
    s.Connected();
    const TeachTable hostTeach = s.ctx.working.config().teach;
    const auto arcsBefore = s.ui.graph(Ctrl::GraphXY).deletions;
    ParameterSet sensorPara = s.model.RamParameters();
    sensorPara.Average = 64;
    sensorPara.Gain = 3;
    TeachTable sensorTeach = s.model.RamTeach();
    sensorTeach[0].Cell = {2000, 2000, 2000, 50, 0, 0};
    s.model.SetRam(sensorPara, sensorTeach);
    // The second reply to command 2 (the teach block) arrives with a broken data CRC.
    s.server.AddFault({.kind = sim::FaultKind::BadDataCrc,
                       .when = sim::FaultWhen::Every,
                       .every = 2,
                       .command = kCmdRead});
    s.ctx.state.TransferTarget = kTargetFile;
    s.ctx.transfer.GetPara();
    EXPECT_EQ(s.wire, (Wire{{2, 0}, {2, 2}}));
    EXPECT_EQ(s.ctx.working.config().para, sensorPara);
    EXPECT_EQ(s.ctx.working.config().teach, hostTeach);
    EXPECT_EQ(s.ui.ctrl(Ctrl::AverageControl).value, 64);
    EXPECT_EQ(s.ui.ctrl(Ctrl::GainDisplay).value, 3);
    EXPECT_EQ(s.ui.graph(Ctrl::GraphXY).deletions, arcsBefore);
    EXPECT_EQ(s.InfoBox().substr(s.InfoBox().size() - std::string(kMsgBadData).size() - 2),
              std::string(kMsgBadData) + "\n\n");
    EXPECT_TRUE(s.ctx.supervisor.usable());  // a broken reply is no loss
}

}  // namespace
}  // namespace qelto
