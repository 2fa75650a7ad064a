// Back to work after a lost link, on the fake link: what a reconnection resumes (GO, the memory
// selection), only for the sensor that was connected, and the automatic attempts that wait for
// the command lock. The walks through the real window are the window's tests.
#include <gtest/gtest.h>

#include "app/control_table.hpp"
#include "doubles/scripted_sensor.hpp"

namespace qelto {
namespace {

class Reconnect : public ::testing::Test {
  protected:
    void SetUp() override {
        sensor.Attach(rig);
        rig.ui.SetCtrlVal(Ctrl::ProtocolSelector, kTcpIp);
        rig.ui.SetCtrlText(Ctrl::ServerField, "sensor");
        rig.ui.SetCtrlText(Ctrl::PortField, "5000");
        // GO takes one sample and stops.
        sensor.override = [this](const SeenRequest& r) -> std::optional<std::vector<Bytes>> {
            if (r.command == kCmdLiveData) rig.ctx.state.acquisition = Acquisition::Stopped;
            return std::nullopt;
        };
        rig.ui.answers.push_back(PopupAnswer::No());
        ASSERT_EQ(rig.ctx.connection.TryToConnect(), Outcome::Done);
    }
    // The server ends the conversation while GO runs.
    void LoseDuringGo() {
        const CommandLock::Scope go(rig.ctx.lock, UserCommand::Go);
        rig.tcp.ServerCloses();
        rig.ui.ProcessSystemEvents();
        ASSERT_EQ(rig.ctx.supervisor.phase(), LinkPhase::Lost);
    }
    std::size_t Questions() const { return rig.ui.popups.size(); }

    UnitRig rig;
    ScriptedSensor sensor;
};

TEST_F(Reconnect, GoesOnOnlyWithTheSensorThatWasConnected) {
    LoseDuringGo();
    EXPECT_EQ(rig.ctx.state.TransferTarget, kTargetFile);  // the loss selects FILE
    // Another serial number answers: a new sensor, asked about, and GO does not go on.
    sensor.serial = 815;
    rig.ui.answers.push_back(PopupAnswer::No());
    EXPECT_EQ(rig.ctx.reconnection.Reconnect(), Outcome::Done);
    EXPECT_EQ(Questions(), 2u);
    EXPECT_EQ(sensor.samples, 0);
    EXPECT_EQ(rig.ctx.state.TransferTarget, kTargetEeprom);

    // The same one (815 by now) after the next loss: nothing asked, GO goes on.
    LoseDuringGo();
    EXPECT_EQ(rig.ctx.reconnection.Reconnect(), Outcome::Done);
    EXPECT_EQ(Questions(), 2u);
    EXPECT_EQ(sensor.samples, 1);
    EXPECT_EQ(rig.ui.statusMessages.back().rfind("Reconnected after ", 0), 0u);
    EXPECT_NE(rig.ui.statusMessages.back().find("GO goes on"), std::string::npos);
}

// The operator's FILE, not the EEPROM a new link starts with (EEPROM kept through a loss is the
// automatic attempts' test).
TEST_F(Reconnect, TheOperatorsFileSelectionStaysThroughAReconnection) {
    rig.ctx.transfer.SelectMem(Ctrl::FileButton);
    rig.tcp.ServerCloses();
    rig.ui.ProcessSystemEvents();
    EXPECT_EQ(rig.ctx.reconnection.Reconnect(), Outcome::Done);
    EXPECT_TRUE(rig.ctx.supervisor.usable());
    EXPECT_EQ(rig.ctx.state.TransferTarget, kTargetFile);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::EepromButton).value, 0);
}

TEST_F(Reconnect, DisconnectThenConnectAsksAboutDefaultsAgainAReconnectionDoesNot) {
    rig.ctx.connection.Disconnect();
    rig.ui.answers.push_back(PopupAnswer::No());
    EXPECT_EQ(rig.ctx.connection.TryToConnect(), Outcome::Done);
    ASSERT_EQ(Questions(), 2u);
    EXPECT_EQ(rig.ui.popups.back().message, Localized(kDefaultParaQuestion, 0));

    rig.tcp.ServerCloses();
    rig.ui.ProcessSystemEvents();
    EXPECT_EQ(rig.ctx.reconnection.Reconnect(), Outcome::Done);
    EXPECT_EQ(Questions(), 2u);
}

TEST_F(Reconnect, AttemptsWaitForTheCommandLockAndGoBackToTheOperatorsSelection) {
    rig.ctx.reconnection.SetAutomatic(true);
    rig.tcp.ServerCloses();
    rig.ui.ProcessSystemEvents();
    ASSERT_TRUE(rig.ctx.supervisor.retrying());
    EXPECT_EQ(rig.ui.timerSeconds, kRetryInterval);
    EXPECT_EQ(rig.ctx.state.TransferTarget, kTargetFile);

    const std::size_t connects = rig.tcp.connects.size();
    {
        const CommandLock::Scope compare(rig.ctx.lock, UserCommand::Compare);
        rig.ctx.reconnection.Tick();
    }
    EXPECT_EQ(rig.tcp.connects.size(), connects);
    EXPECT_EQ(rig.ctx.supervisor.attempts(), 0);

    sensor.seen.clear();
    rig.ctx.reconnection.Tick();
    EXPECT_FALSE(rig.ctx.supervisor.retrying());
    EXPECT_TRUE(rig.ctx.supervisor.usable());
    EXPECT_EQ(rig.ui.timerSeconds, 0);
    EXPECT_EQ(rig.ctx.state.TransferTarget, kTargetEeprom);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::FileButton).value, 0);
    // Read from RAM: a load from the EEPROM would throw away what the sensor holds in RAM.
    EXPECT_EQ(sensor.Commands(), (std::vector<int>{7, 15, 2, 2}));
    EXPECT_EQ(Questions(), 1u);
}

// A sensor that was reset while the link was away: said with its values, nothing written, the
// operator's values and edits kept and marked where the sensor holds others.
TEST_F(Reconnect, ToASensorResetMeanwhileSaysWhatDiffersAndWritesNothing) {
    const ConfigItem gain = *FindItem("gain"), power = *FindItem("power");
    sensor.para.Gain = 8;
    sensor.para.Power = 400;
    rig.ctx.transfer.GetPara();
    rig.ctx.working.Edit(power, 450);  // unsent
    LoseDuringGo();
    LoadDefaultParaValues(sensor.para, sensor.teach, 1);  // the sensor restarted with defaults
    sensor.seen.clear();
    EXPECT_EQ(rig.ctx.reconnection.Reconnect(), Outcome::Done);
    EXPECT_EQ(sensor.Commands(), (std::vector<int>{7, 15, 2, 2, 8}));  // and GO goes on
    ASSERT_EQ(Questions(), 2u);
    const std::string& said = rig.ui.popups.back().message;
    EXPECT_EQ(said.rfind("The sensor holds other values than when the link was lost", 0), 0u);
    EXPECT_NE(said.find("GAIN: 8 -> " + std::to_string(sensor.para.Gain) + "\n"), std::string::npos)
        << said;
    EXPECT_NE(said.find("POWER: 400 -> " + std::to_string(sensor.para.Power) + "\n"),
              std::string::npos)
        << said;
    EXPECT_NE(rig.ui.ctrl(Ctrl::InfoBox).text.find(said), std::string::npos);
    EXPECT_NE(rig.ui.statusMessages.back().find("values other than before (marked)"),
              std::string::npos)
        << rig.ui.statusMessages.back();
    EXPECT_EQ(rig.ctx.working.value(gain), 8);
    EXPECT_EQ(rig.ctx.working.value(power), 450);
    EXPECT_EQ(rig.ctx.working.UnsentCount(), 1u);
    EXPECT_TRUE(rig.ctx.working.DiffersFromSensor(gain));
}

// Connect after a loss, keeping unsent edits: the memory selection of before, so the EEPROM is
// loaded, and its plausibility verdict is said with the values now at their defaults.
TEST_F(Reconnect, ConnectAfterALossKeepingEditsSaysTheEepromVerdict) {
    LoadDefaultParaValues(sensor.para, sensor.teach, 1);
    sensor.para.Gain = 8;
    sensor.para.Integral = 3;
    rig.ctx.transfer.GetPara();
    rig.ctx.working.Edit(*FindItem("power"), 450);  // unsent
    rig.tcp.ServerCloses();
    rig.ui.ProcessSystemEvents();
    ASSERT_EQ(rig.ctx.state.TransferTarget, kTargetFile);
    LoadDefaultParaValues(sensor.para, sensor.teach, 1);
    sensor.eepromRejects = 2;
    sensor.seen.clear();
    rig.ui.SetActiveTabPage(kParameterPage);
    rig.ui.answers = {PopupAnswer::No(), PopupAnswer::Enter()};  // no defaults, keep the edits
    EXPECT_EQ(DispatchControlEvent(rig.ctx, Ctrl::ConnectButton, Event::Commit), Outcome::Done);
    EXPECT_EQ(rig.ctx.state.TransferTarget, kTargetEeprom);
    EXPECT_EQ(sensor.Commands(), (std::vector<int>{7, 15, 4, 2, 2}));
    EXPECT_EQ(rig.ui.GetActiveTabPage(), kConnectionPage);
    const std::string& log = rig.ui.ctrl(Ctrl::InfoBox).text;
    EXPECT_NE(log.find(PlausibilityText(2, kMsgEepromPlausibilityTail) +
                       "Now at their defaults, unlike what was shown (shown -> sensor):\n"
                       "[PARAMETER] POWER: 450 -> 500\n"
                       "[PARAMETER] GAIN: 8 -> 6\n"
                       "[PARAMETER] INTEGRAL: 3 -> 1\n\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(rig.ctx.working.value(*FindItem("power")), 450);
}

}  // namespace
}  // namespace qelto
