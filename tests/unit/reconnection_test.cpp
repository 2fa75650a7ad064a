// Back to work after a lost link, on the fake link: what a reconnection resumes (GO, the memory
// selection), only for the sensor that was connected, and the automatic attempts that wait for
// the command lock. The walks through the real window are the window's tests.
#include <gtest/gtest.h>

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
    EXPECT_EQ(sensor.Commands(), (std::vector<int>{7, 15, 4, 2, 2}));  // read through EEPROM
    EXPECT_EQ(Questions(), 1u);
}

}  // namespace
}  // namespace qelto
