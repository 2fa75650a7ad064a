// Connecting to the simulated sensor over loopback TCP, as an operator lives through it: the
// start-up attempt with either answer to the default-parameter question, sensors that are not
// supported or stop answering, and the CLOSE / OFFLINE choice.
#include <gtest/gtest.h>

#include "app/control_table.hpp"
#include "sensor_sim_rig.hpp"

namespace qelto {
namespace {

constexpr const char* kIdentified =
    "TRY TO CONNECT!\nKORVANEX V4.3B7\nSENSOR: KORVANEX TAVRENO SIM\nSERIAL NUMBER: 4711\n\n";

TEST(SensorConnect, StartUpAnsweringNoOnlyReadsTheSensor) {
    SensorSimRig s;
    ParameterSet stored = s.model.EepromParameters();
    TeachTable storedTeach = s.model.EepromTeach();
    stored.Average = 128;
    storedTeach[0].Cell = {1000, 1500, 800, 100, 0, 0};
    s.model.SetEeprom(stored, storedTeach);
    SetWorking(s.ctx, [&](Configuration& c) {
        c.teach[45].Cell[0] = 321;
    });  // rows beyond 31 are the host's alone
    s.ctx.state.Language = 1;

    s.StartUp(PopupAnswer::No());
    EXPECT_EQ(s.wire, (Wire{{7, 0}, {15, 0}, {4, 0}, {2, 0}, {2, 2}}));
    EXPECT_EQ(s.InfoBox(), kIdentified);
    EXPECT_EQ(s.Status(), "KORVANEX V4.3B7");
    EXPECT_EQ(s.ui.popups.at(0).message, "Do you want to send default parameters to the sensor?");
    EXPECT_TRUE(s.ctx.supervisor.usable());
    EXPECT_EQ(s.ctx.working.config().para, stored);
    EXPECT_EQ(s.ctx.working.config().teach[0].Cell[3], 100);
    EXPECT_EQ(s.ctx.working.config().teach[45].Cell[0], 321);
    EXPECT_EQ(s.ui.ctrl(Ctrl::AverageControl).value, 128);
    EXPECT_EQ(s.ui.cellValue(1, 1), 1000);
    EXPECT_FALSE(s.ui.ctrl(Ctrl::AcceptButton).dimmed);
    for (Ctrl c : {Ctrl::GoButton, Ctrl::SendButton, Ctrl::DisconnectButton, Ctrl::FreqButton}) {
        EXPECT_FALSE(s.ui.ctrl(c).dimmed);
    }
    EXPECT_EQ(s.model.EepromParameters(), stored);  // nothing was written
}

TEST(SensorConnect, StartUpAnsweringYesStoresTheDefaultsThroughTheEeprom) {
    SensorSimRig s;
    ParameterSet odd = s.model.EepromParameters();
    odd.Average = 1000;
    odd.MaxVecNo = 5;
    s.model.SetEeprom(odd, s.model.EepromTeach());
    s.model.SetRam(odd, s.model.RamTeach());
    s.ctx.state.Language = 4;

    s.StartUp(PopupAnswer::Yes());
    EXPECT_EQ(s.wire, (Wire{{7, 0}, {15, 0}, {1, 0}, {1, 2}, {3, 0}, {4, 0}, {2, 0}, {2, 2}}));
    EXPECT_EQ(s.ui.popups.at(0).message, "Pretende enviar parâmetros Default para o sensor?");
    ParameterSet defaults;
    TeachTable defaultTeach{};
    LoadDefaultParaValues(defaults, defaultTeach, 1);
    EXPECT_EQ(s.model.EepromParameters(), defaults);
    EXPECT_EQ(s.model.RamParameters(), defaults);
    EXPECT_EQ(s.ctx.working.config().para, defaults);
    EXPECT_TRUE(s.ctx.supervisor.usable());
    EXPECT_EQ(s.InfoBox(), kIdentified);
}

TEST(SensorConnect, YesWithTheFileTargetWritesRamOnly) {
    SensorSimRig s;
    ParameterSet odd = s.model.EepromParameters();
    odd.Average = 1000;
    s.model.SetEeprom(odd, s.model.EepromTeach());
    s.model.SetRam(odd, s.model.RamTeach());
    s.ctx.state.TransferTarget = kTargetFile;  // for example after going offline once

    s.StartUp(PopupAnswer::Yes());
    EXPECT_EQ(s.wire, (Wire{{7, 0}, {15, 0}, {1, 0}, {1, 2}, {2, 0}, {2, 2}}));
    EXPECT_EQ(s.model.RamParameters().Average, 256);
    EXPECT_EQ(s.model.EepromParameters().Average, 1000);
    EXPECT_EQ(s.ctx.working.config().para.Average, 256);
}

TEST(SensorConnect, UnsupportedFirmwareIsRefusedWithItsNameAndOfflineFollows) {
    SensorSimRig s;
    s.model.SetFirmware("OTHER V2.1");
    s.ui.answers.push_back(PopupAnswer::Button(kAnswerOffline));
    s.StartUp(PopupAnswer::No());  // never asked: the answer stays unused
    EXPECT_EQ(s.wire, (Wire{{7, 0}}));
    ASSERT_EQ(s.ui.popups.size(), 1u);
    EXPECT_EQ(s.ui.popups[0].kind, PopupKind::Generic);
    EXPECT_EQ(s.ui.popups[0].message,
              "Korvanex Tavreno Qelto doesn't support the connected sensor! \nFirmware of "
              "connected sensor is: OTHER V2.1\n\nClose window or work in offline mode!");
    EXPECT_EQ(s.ui.popups[0].generic.escapeButton, kAnswerClose);
    EXPECT_EQ(s.ui.popups[0].generic.enterButton, kAnswerClose);
    EXPECT_EQ(s.Status(), "NO SENSOR CONNECTED!");
    s.rig.Spin(0.1);  // our own close of the conversation is not a failure
    EXPECT_EQ(s.InfoBox(), "TRY TO CONNECT!\nNO SENSOR CONNECTED!\n\n");
    EXPECT_EQ(s.ctx.sensor.tcpConnected(), false);
    EXPECT_EQ(s.ctx.state.TransferTarget, kTargetFile);
    EXPECT_EQ(s.ui.ctrl(Ctrl::FileButton).value, 1);
    EXPECT_FALSE(s.ui.ctrl(Ctrl::SendButton).dimmed);
    EXPECT_TRUE(s.ui.ctrl(Ctrl::GoButton).dimmed);
    EXPECT_FALSE(s.ui.quitCode().has_value());
}

TEST(SensorConnect, FirmwareFamiliesAndTheirLines) {
    const std::vector<std::tuple<std::string, int, std::string>> cases = {
        {"KORVANEX V4.3.12 B7", 1, "KORVANEX V4.3B7"},
        {"KORVANEX V4", 1, "KORVANEX V4."},
        {"KORVANEX SL V1.4.2 R", 2, "KORVANEX SL V1.4R"},
        {"KORVANEX SLE V1.0 X", 3, "KORVANEX SLE V1.0 X"},
    };
    for (const auto& [firmware, model, line] : cases) {
        SCOPED_TRACE(firmware);
        SensorSimRig s;
        s.model.SetFirmware(firmware);
        s.StartUp(PopupAnswer::No());
        EXPECT_EQ(s.sensor.identity().SensorModel, model);
        EXPECT_EQ(s.Status(), line);
        EXPECT_EQ(s.ui.ctrl(Ctrl::StatusDisplay).tooltip, firmware);
        EXPECT_TRUE(s.ctx.supervisor.usable());
    }
}

TEST(SensorConnect, SensorSilentMidConnectThenClose) {
    SensorSimRig s;
    s.server.AddFault({.kind = sim::FaultKind::NoReply, .command = kCmdSensorName});
    s.sensor.link().limits.reply = 0.3;  // the real limit is waited out in the transaction tests
    s.ui.answers.push_back(PopupAnswer::Button(kAnswerClose));
    s.StartUp(PopupAnswer::No());
    EXPECT_EQ(s.wire, (Wire{{7, 0}, {15, 0}}));
    EXPECT_EQ(s.InfoBox(), std::string("TRY TO CONNECT!\nKORVANEX V4.3B7") + kMsgTimeout + "\n\n");
    EXPECT_EQ(s.ui.popups.back().message,
              "Could not establish connection! \nClose window or work in offline mode!");
    EXPECT_EQ(s.ui.quitCode(), 0);
    EXPECT_FALSE(s.ctx.supervisor.usable());
    EXPECT_TRUE(s.ui.ctrl(Ctrl::GoButton).dimmed);
    EXPECT_EQ(s.ctx.sensor.tcpConnected(), true);  // CLOSE leaves the link to the program's exit
}

TEST(SensorConnect, ServerClosingMidConnectThenOffline) {
    SensorSimRig s;
    s.server.AddFault({.kind = sim::FaultKind::Close, .command = kCmdFirmware});
    s.sensor.link().limits.reply = 0.3;
    s.ui.answers.push_back(PopupAnswer::Button(kAnswerOffline));
    s.StartUp(PopupAnswer::No());
    EXPECT_EQ(s.wire, (Wire{{7, 0}}));
    // The close ends the wait for the firmware at once: said once, no time-out after it.
    EXPECT_EQ(s.InfoBox(),
              std::string("TRY TO CONNECT!\n") + kMsgServerClosed + "\n\nNO SENSOR CONNECTED!\n\n");
    EXPECT_EQ(s.ctx.sensor.tcpConnected(), false);
    EXPECT_EQ(s.ctx.state.TransferTarget, kTargetFile);
    EXPECT_FALSE(s.ui.quitCode().has_value());

    // A new attempt connects again; the target stays on FILE, so the read is RAM only.
    s.server.ClearFaults();
    s.wire.clear();
    s.ui.answers.push_back(PopupAnswer::No());
    s.ctx.connection.TryToConnect();
    EXPECT_EQ(s.wire, (Wire{{7, 0}, {15, 0}, {2, 0}, {2, 2}}));
    EXPECT_TRUE(s.ctx.supervisor.usable());
}

#if defined(__linux__)
// Connected over a serial line, then the COM port selector moved on: Disconnect closes the
// port that is open, and its lock is released for the next program that wants it.
TEST(SensorConnect, DisconnectAfterASelectorChangeReleasesThePortThatWasOpen) {
    SensorSimRig s;
    ASSERT_TRUE(s.server.OpenPty()) << s.server.errorString().toStdString();
    const std::optional<int> com = s.server.ptyComNumber();
    ASSERT_TRUE(com.has_value());
    s.ui.SetCtrlVal(Ctrl::ProtocolSelector, kRs232);
    s.ui.SetCtrlVal(Ctrl::ComPortSelector, *com);
    s.Connected();
    s.ui.SetCtrlVal(Ctrl::ComPortSelector, *com + 1);
    EXPECT_EQ(DispatchControlEvent(s.ctx, Ctrl::DisconnectButton, Event::Commit), Outcome::Done);
    EXPECT_EQ(s.Status(), "NO SENSOR CONNECTED!");
    QtSerialPort next;
    EXPECT_GE(next.OpenComConfig(*com, 115200), 0);
    next.CloseCom(*com);
}
#endif

TEST(SensorConnect, NoServerListeningAsksAtOnce) {
    SensorSimRig s;
    quint16 freePort;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        freePort = probe.serverPort();
    }
    s.FillPage(freePort);
    s.ui.answers.push_back(PopupAnswer::Button(kAnswerOffline));
    s.StartUp(PopupAnswer::No());
    EXPECT_TRUE(s.wire.empty());
    EXPECT_EQ(s.InfoBox(),
              "TRY TO CONNECT!\nUnableToEstablishConnection\n\nNO SENSOR CONNECTED!\n\n");
    EXPECT_EQ(s.ctx.sensor.tcpConnected(), false);
}

}  // namespace
}  // namespace qelto
