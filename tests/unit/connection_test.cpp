// Connection and identification on the fake links: the firmware split, the family check, the
// lines shown, the default-parameter question, CLOSE / OFFLINE and going offline.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/connection.hpp"
#include "app/control_table.hpp"
#include "doubles/scripted_sensor.hpp"
#include "link/transaction.hpp"

namespace qelto {
namespace {

using Pieces = std::array<std::string, 4>;

TEST(FirmwareSplit, PiecesModelAndLine) {
    struct Case {
        std::string text;
        Pieces pieces;
        int model;
        std::string line;
    };
    const std::vector<Case> cases = {
        {"KORVANEX V4.3.12 B7", {"KORVANEX V4", "3", "12", "B7"}, 1, "KORVANEX V4.3B7"},
        {"KORVANEX V4", {"KORVANEX V4", "", "", ""}, 1, "KORVANEX V4."},
        {"KORVANEX SLE V1.0 X", {"KORVANEX SLE V1", "0 X", "", ""}, 3, "KORVANEX SLE V1.0 X"},
        {"KORVANEX SL V1.2.5 rev A",
         {"KORVANEX SL V1", "2", "5", "rev A"},
         2,
         "KORVANEX SL V1.2rev A"},
        {"OTHER V2.1", {"OTHER V2", "1", "", ""}, 0, "OTHER V2.1"},
        // Separators at the start of a piece are skipped.
        {"..KORVANEX V4..7.  9 z", {"KORVANEX V4", "7", "9", "z"}, 1, "KORVANEX V4.7z"},
        {"korvanex v4.1.2", {"korvanex v4", "1", "2", ""}, 0, "korvanex v4.1"},
        {"KORVANEX V4 .1", {"KORVANEX V4 ", "1", "", ""}, 0, "KORVANEX V4 .1"},
        {"", {"", "", "", ""}, 0, "."},
        {"...", {"", "", "", ""}, 0, "."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const FirmwarePieces p = SplitFirmware(c.text);
        EXPECT_EQ(p.piece, c.pieces);
        EXPECT_EQ(SensorModelFor(p), c.model);
        EXPECT_EQ(FirmwareLine(p), c.line);
    }
    EXPECT_EQ(UnsupportedFirmwareMessage(SplitFirmware("OTHER V2.1")),
              "Korvanex Tavreno Qelto doesn't support the connected sensor! \nFirmware of "
              "connected sensor is: OTHER V2.1\n\nClose window or work in offline mode!");
}

TEST(DefaultParaQuestion, OneTextPerLanguageEnglishOutsideTheRange) {
    EXPECT_STREQ(Localized(kDefaultParaQuestion, 0),
                 "M\xC3\xB6"
                 "chten Sie Default Parameter zum Sensor senden?");
    EXPECT_STREQ(Localized(kDefaultParaQuestion, 1),
                 "Do you want to send default parameters to the sensor?");
    EXPECT_STREQ(Localized(kDefaultParaQuestion, 3),
                 "\xC2\xBF"
                 "Desea enviar par\xC3\xA1metros predeterminados al sensor?");
    EXPECT_STREQ(Localized(kDefaultParaQuestion, 6),
                 "Czy wartosci standardowe parametr\xC3\xB3w maja zostac wyslane do czujnika?");
    for (int bad : {-1, 7, 1000}) {
        EXPECT_STREQ(Localized(kDefaultParaQuestion, bad), Localized(kDefaultParaQuestion, 1));
    }
}

class Connect : public ::testing::Test {
  protected:
    void SetUp() override {
        sensor.Attach(rig);
        LoadDefaultParaValues(sensor.para, sensor.teach, 1);
        sensor.para.Average = 99;
        // The connection page as the settings file left it: TCP/IP to "sensor":5000.
        rig.ui.SetCtrlVal(Ctrl::ProtocolSelector, kTcpIp);
        rig.ui.SetCtrlVal(Ctrl::ComPortSelector, 3);
        rig.ui.SetCtrlVal(Ctrl::BaudRateSelector, 4);
        rig.ui.SetCtrlText(Ctrl::ServerField, "sensor");
        rig.ui.SetCtrlText(Ctrl::PortField, "5000");
        rig.ui.SetDimmed(Ctrl::AcceptButton, true);
        rig.ui.ResetTextBox(Ctrl::InfoBox, "");
        rig.tcp.connects.clear();
    }
    std::string InfoBox() { return rig.ui.ctrl(Ctrl::InfoBox).text; }
    std::string Status() { return rig.ui.ctrl(Ctrl::StatusDisplay).text; }
    void Answer(PopupAnswer a) { rig.ui.answers.push_back(a); }
    // Answers the given command with silence.
    void Silence(int command) {
        sensor.override = [command](const SeenRequest& r) -> std::optional<std::vector<Bytes>> {
            if (r.command == command) return std::vector<Bytes>{};
            return std::nullopt;
        };
    }
    const PopupRecord& LastPopup() { return rig.ui.popups.back(); }

    UnitRig rig;
    ScriptedSensor sensor;
};

TEST_F(Connect, AnsweringNoIdentifiesAndReadsTheParameters) {
    Answer(PopupAnswer::No());
    rig.ctx.state.Language = 1;
    rig.ctx.connection.TryToConnect();
    EXPECT_EQ(sensor.Commands(), (std::vector<int>{7, 15, 4, 2, 2}));
    EXPECT_EQ(InfoBox(),
              "TRY TO CONNECT!\nKORVANEX V4.3B7\nSENSOR: TAVRENO TEST\nSERIAL NUMBER: 4711\n\n");
    EXPECT_EQ(Status(), "KORVANEX V4.3B7");
    EXPECT_EQ(rig.ui.ctrl(Ctrl::StatusDisplay).tooltip, "KORVANEX V4.3.12 B7");
    EXPECT_EQ(rig.sensor.identity().firmware, "KORVANEX V4.3.12 B7");
    EXPECT_EQ(rig.sensor.identity().name, "TAVRENO TEST");
    EXPECT_EQ(rig.sensor.identity().SensorModel, 1);
    ASSERT_EQ(rig.ui.popups.size(), 1u);
    EXPECT_EQ(rig.ui.popups[0].kind, PopupKind::Confirm);
    EXPECT_EQ(rig.ui.popups[0].title, "ATTENTION!");
    EXPECT_EQ(rig.ui.popups[0].message, "Do you want to send default parameters to the sensor?");
    EXPECT_TRUE(rig.ctx.supervisor.usable());
    EXPECT_FALSE(rig.ui.ctrl(Ctrl::AcceptButton).dimmed);
    EXPECT_EQ(rig.ctx.working.config().para.Average, 99);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::AverageControl).value, 99);
    // The page was read into the settings and the displays show the link in use.
    EXPECT_EQ(rig.tcp.connects.back(), std::make_pair(std::string("sensor"), 5000));
    EXPECT_EQ(rig.ctx.settings.link.comPort, 3);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::IpAddressDisplay).text, "sensor");
    EXPECT_TRUE(rig.ui.ctrl(Ctrl::IpAddressDisplay).visible);
    EXPECT_FALSE(rig.ui.ctrl(Ctrl::ComPortDisplay).visible);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::ComPortDisplay).value, 3);
}

TEST_F(Connect, RejectedDefaultsEndTheAttemptWithoutReading) {
    Answer(PopupAnswer::Yes());
    sensor.writeRejects = 2;
    EXPECT_EQ(rig.ctx.connection.TryToConnect(), Outcome::Failed);
    EXPECT_EQ(sensor.Commands(), (std::vector<int>{7, 15, 1, 1, 3}));
    EXPECT_TRUE(rig.ui.ctrl(Ctrl::AcceptButton).dimmed);
    EXPECT_EQ(rig.ui.popups.size(), 1u);  // no CLOSE / OFFLINE question
    EXPECT_EQ(Status(), "TIMEOUT!");
    EXPECT_EQ(rig.ctx.sensor.tcpConnected(), true);
}

// The sensor answers 7, 15 and 4, but its teach rows do not come: the failure is reported,
// nothing is written to the sensor, and Connect and Disconnect stay usable, the commands that
// would use the unread values do not. Disconnect then goes offline; Connect tries again.
TEST_F(Connect, AFailedParameterReadLeavesConnectAndDisconnectUsable) {
    sensor.override = [](const SeenRequest& r) -> std::optional<std::vector<Bytes>> {
        if (r.command != kCmdRead || r.argument != kArgTeachTable) return std::nullopt;
        return std::vector<Bytes>{Frame(kCmdRead, kArgTeachTable, Bytes(52))};
    };
    Answer(PopupAnswer::No());
    EXPECT_EQ(DispatchControlEvent(rig.ctx, Ctrl::ConnectButton, Event::Commit), Outcome::Failed);
    EXPECT_EQ(sensor.Commands(), (std::vector<int>{7, 15, 4, 2, 2}));
    EXPECT_EQ(rig.ui.popups.size(), 1u);  // the default-parameter question only
    EXPECT_NE(InfoBox().find(std::string(kMsgBadData) + "\n\n"), std::string::npos) << InfoBox();
    ASSERT_FALSE(rig.ui.statusMessages.empty());
    EXPECT_EQ(rig.ui.statusMessages.back(), kStatusSensorNotRead);
    for (Ctrl c : {Ctrl::ConnectButton, Ctrl::DisconnectButton, Ctrl::BaudRateSelector})
        EXPECT_FALSE(rig.ui.ctrl(c).dimmed) << static_cast<int>(c);
    for (Ctrl c : {Ctrl::SendButton, Ctrl::GetButton, Ctrl::GoButton, Ctrl::FreqButton,
                   Ctrl::StartAssistantButton, Ctrl::AcceptButton}) {
        EXPECT_TRUE(rig.ui.ctrl(c).dimmed) << static_cast<int>(c);
    }

    EXPECT_EQ(DispatchControlEvent(rig.ctx, Ctrl::DisconnectButton, Event::Commit), Outcome::Done);
    EXPECT_EQ(Status(), "NO SENSOR CONNECTED!");
    EXPECT_FALSE(rig.ctx.sensor.tcpConnected());
    sensor.override = nullptr;
    Answer(PopupAnswer::No());
    EXPECT_EQ(DispatchControlEvent(rig.ctx, Ctrl::ConnectButton, Event::Commit), Outcome::Done);
    EXPECT_TRUE(rig.ctx.supervisor.usable());
    const std::vector<int> commands = sensor.Commands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), kCmdWrite), 0);

    // The server closes during the read: Connect is usable, and the rest is offline work.
    sensor.override = [&](const SeenRequest& r) -> std::optional<std::vector<Bytes>> {
        if (r.command == kCmdRead) rig.tcp.ServerCloses();
        return r.command == kCmdRead ? std::optional<std::vector<Bytes>>{std::vector<Bytes>{}}
                                     : std::nullopt;
    };
    Answer(PopupAnswer::No());
    EXPECT_EQ(DispatchControlEvent(rig.ctx, Ctrl::ConnectButton, Event::Commit), Outcome::Failed);
    EXPECT_NE(InfoBox().find(std::string(kMsgServerClosed) + "\n\n"), std::string::npos);
    EXPECT_FALSE(rig.ui.ctrl(Ctrl::ConnectButton).dimmed);
    EXPECT_TRUE(rig.ui.ctrl(Ctrl::GoButton).dimmed);
    EXPECT_EQ(rig.ctx.state.TransferTarget, kTargetFile);
}

TEST_F(Connect, CloseEndsTheProgramAndLeavesTheLinkAsItIs) {
    sensor.firmware = "OTHER V2.1";
    Answer(PopupAnswer::Button(kAnswerClose));
    rig.ctx.connection.TryToConnect();
    EXPECT_EQ(rig.ui.quitCode(), 0);
    EXPECT_EQ(rig.ctx.sensor.tcpConnected(), true);
    EXPECT_FALSE(rig.ctx.supervisor.usable());  // the attempt must not read as a success
    EXPECT_EQ(rig.ctx.state.TransferTarget, kTargetEeprom);
}

TEST_F(Connect, SilenceMidConnectReportsThenAsks) {
    for (int silent : {kCmdFirmware, kCmdSensorName}) {
        SCOPED_TRACE(silent);
        rig.ui.ResetTextBox(Ctrl::InfoBox, "");
        rig.ui.popups.clear();
        sensor.seen.clear();
        Silence(silent);
        Answer(PopupAnswer::Button(kAnswerOffline));
        rig.ctx.connection.TryToConnect();
        EXPECT_EQ(sensor.Commands().back(), silent);
        ASSERT_EQ(rig.ui.popups.size(), 1u);
        EXPECT_EQ(LastPopup().message,
                  "Could not establish connection! \nClose window or work in offline mode!");
        EXPECT_NE(InfoBox().find(std::string(kMsgTimeout) + "\n\n"), std::string::npos);
        EXPECT_EQ(Status(), "NO SENSOR CONNECTED!");
        EXPECT_EQ(rig.ctx.state.TransferTarget, kTargetFile);
        EXPECT_EQ(rig.ctx.sensor.tcpConnected(), false);
        rig.ctx.state.TransferTarget = kTargetEeprom;
    }
}

TEST_F(Connect, LinkThatCannotBeOpenedIsReportedThenAsked) {
    rig.tcp.connectResult = -2;
    Answer(PopupAnswer::Button(kAnswerClose));
    rig.ctx.connection.TryToConnect();
    EXPECT_EQ(InfoBox(), "TRY TO CONNECT!\nUnableToEstablishConnection\n\n");
    EXPECT_EQ(LastPopup().message,
              "Could not establish connection! \nClose window or work in offline mode!");
    EXPECT_EQ(rig.ui.quitCode(), 0);
    EXPECT_TRUE(sensor.seen.empty());

    // RS-232: the port shown on the page is opened, the previous one closed first.
    UnitRig serialRig;
    serialRig.ui.SetCtrlVal(Ctrl::ProtocolSelector, kRs232);
    serialRig.ui.SetCtrlVal(Ctrl::ComPortSelector, 7);
    serialRig.ui.SetCtrlVal(Ctrl::BaudRateSelector, 9);
    serialRig.ctx.settings.link.comPort = 2;
    serialRig.serial.openResult = -7;
    serialRig.ui.answers.push_back(PopupAnswer::Button(kAnswerOffline));
    serialRig.ctx.connection.TryToConnect();
    ASSERT_FALSE(serialRig.serial.closed.empty());
    EXPECT_EQ(serialRig.serial.closed.front(), 2);
    EXPECT_EQ(serialRig.serial.opened.back(), std::make_pair(7, 115200));
    EXPECT_TRUE(serialRig.ui.ctrl(Ctrl::ComPortDisplay).visible);
    EXPECT_FALSE(serialRig.ui.ctrl(Ctrl::IpAddressDisplay).visible);
    EXPECT_EQ(serialRig.ui.ctrl(Ctrl::InfoBox).text,
              "TRY TO CONNECT!\nCannot open port\n\nNO SENSOR CONNECTED!\n\n");
}

TEST_F(Connect, LongTextsAreCutAndSerialNumbersAreUnsigned) {
    sensor.firmware = "KORVANEX V4.1.0 " + std::string(100, 'x');
    sensor.name = std::string(300, 'n');
    sensor.serial = 65535;
    Answer(PopupAnswer::No());
    rig.ctx.connection.TryToConnect();
    EXPECT_EQ(rig.sensor.identity().firmware.size(), 72u);
    EXPECT_EQ(rig.sensor.identity().name.size(), 255u);
    EXPECT_NE(InfoBox().find("\nSERIAL NUMBER: 65535\n\n"), std::string::npos);
    EXPECT_EQ(Status(), "KORVANEX V4.1" + std::string(56, 'x'));
}

// Bytes behind the reply (stray, or left over in the buffer) are not part of the firmware text.
TEST_F(Connect, FirmwareTextIsOnlyWhatTheReplyCarries) {
    for (const std::string firmware : {"KORVANEX V4.3.12 B7", "KORVANEX V4"}) {
        SCOPED_TRACE(firmware);
        sensor.override = [firmware](const SeenRequest& r) -> std::optional<std::vector<Bytes>> {
            if (r.command != kCmdFirmware) return std::nullopt;
            Bytes reply = Frame(7, 0, Bytes(firmware.begin(), firmware.end()));
            reply.insert(reply.end(), {'x', 'y'});
            return std::vector<Bytes>{reply};
        };
        Answer(PopupAnswer::No());
        rig.ctx.connection.TryToConnect();
        EXPECT_EQ(rig.sensor.identity().firmware, firmware);
        EXPECT_EQ(rig.sensor.identity().SensorModel, 1);
        EXPECT_EQ(Status(), firmware == "KORVANEX V4" ? "KORVANEX V4." : "KORVANEX V4.3B7");
    }
}

TEST_F(Connect, PortTextWithoutDigitsConnectsToPortZero) {
    rig.ui.SetCtrlText(Ctrl::PortField, "abc");
    Answer(PopupAnswer::No());
    rig.ctx.connection.TryToConnect();
    EXPECT_EQ(rig.tcp.connects.back().second, 0);
}

TEST_F(Connect, DisconnectLeavesOnlyFilesAndReconnecting) {
    rig.ui.SetCtrlVal(Ctrl::EepromButton, 1);
    rig.ui.SetCtrlVal(Ctrl::ComPortSelector, 5);  // changed after connecting
    rig.ctx.connection.Disconnect();
    EXPECT_EQ(rig.serial.closed.back(), 5);
    EXPECT_EQ(rig.tcp.disconnects, 1);
    EXPECT_EQ(rig.ctx.sensor.tcpConnected(), false);
    EXPECT_EQ(Status(), "NO SENSOR CONNECTED!");
    EXPECT_EQ(rig.ui.ctrl(Ctrl::FileButton).value, 1);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::EepromButton).value, 0);
    EXPECT_EQ(rig.ctx.state.TransferTarget, kTargetFile);
    EXPECT_FALSE(rig.ctx.supervisor.usable());
    for (Ctrl c :
         {Ctrl::ConnectButton, Ctrl::BaudRateSelector, Ctrl::SendButton, Ctrl::GetButton}) {
        EXPECT_FALSE(rig.ui.ctrl(c).dimmed);
    }
    for (Ctrl c : {Ctrl::DisconnectButton, Ctrl::EepromButton, Ctrl::FileButton, Ctrl::GoButton,
                   Ctrl::FreqButton, Ctrl::StartAssistantButton}) {
        EXPECT_TRUE(rig.ui.ctrl(c).dimmed);
    }
    rig.ctx.connection.Disconnect();
    EXPECT_EQ(rig.tcp.disconnects, 1);
    EXPECT_EQ(InfoBox(), "NO SENSOR CONNECTED!\n\nNO SENSOR CONNECTED!\n\n");
}

}  // namespace
}  // namespace qelto
