// The connection page's callbacks: link-kind controls, the recent-server list, the port list,
// Accept and its dimming, connecting and disconnecting.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/connection.hpp"
#include "app/control_table.hpp"
#include "doubles/scripted_sensor.hpp"
#include "temp_dir.hpp"

namespace qelto {
namespace {

class Page : public ::testing::Test {
  protected:
    std::vector<std::string> Servers() { return rig.ui.rec(Ctrl::ServerField).items; }
    void CommitServer(const std::string& text) {
        rig.ui.SetCtrlText(Ctrl::ServerField, text);
        DispatchControlEvent(rig.ctx, Ctrl::ServerField, Event::Commit);
    }
    bool AcceptDimmed() { return rig.ui.ctrl(Ctrl::AcceptButton).dimmed; }

    UnitRig rig;
};

TEST_F(Page, ProtocolShowsTheControlsOfItsLinkKind) {
    const Ctrl serialCtrls[] = {Ctrl::ComPortSelector, Ctrl::BaudRateSelector};
    const Ctrl tcpCtrls[] = {Ctrl::ServerField, Ctrl::PortField};
    rig.ui.SetCtrlVal(Ctrl::ProtocolSelector, 1);
    DispatchControlEvent(rig.ctx, Ctrl::ProtocolSelector, Event::Commit);
    EXPECT_EQ(rig.ctx.settings.link.kind, LinkDescription::Kind::Tcp);
    for (Ctrl c : serialCtrls)
        EXPECT_FALSE(rig.ui.ctrl(c).visible);
    for (Ctrl c : tcpCtrls)
        EXPECT_TRUE(rig.ui.ctrl(c).visible);
    EXPECT_TRUE(AcceptDimmed());
    EXPECT_EQ(rig.ctx.sensor.tcpConnected(), true);  // the open link is not touched

    rig.ui.SetCtrlVal(Ctrl::ProtocolSelector, 0);
    rig.ctx.connection.InitConnectPanel();
    EXPECT_EQ(rig.ctx.settings.link.kind, LinkDescription::Kind::Serial);
    for (Ctrl c : serialCtrls)
        EXPECT_TRUE(rig.ui.ctrl(c).visible);
    for (Ctrl c : tcpCtrls)
        EXPECT_FALSE(rig.ui.ctrl(c).visible);

    rig.ui.SetCtrlVal(Ctrl::ProtocolSelector, 2);
    rig.ctx.connection.InitConnectPanel();
    for (Ctrl c : serialCtrls)
        EXPECT_TRUE(rig.ui.ctrl(c).visible);
    for (Ctrl c : tcpCtrls)
        EXPECT_FALSE(rig.ui.ctrl(c).visible);
}

TEST_F(Page, RecentServersMostRecentFirstNoDuplicatesAtMostTen) {
    CommitServer("alpha");
    CommitServer("alpha");
    EXPECT_EQ(Servers(), (std::vector<std::string>{"alpha"}));
    EXPECT_EQ(rig.ctx.settings.link.host, "alpha");
    for (int i = 1; i <= 9; ++i)
        CommitServer("s" + std::to_string(i));
    ASSERT_EQ(Servers().size(), 10u);
    EXPECT_EQ(Servers().back(), "alpha");
    CommitServer("s3");  // an older entry moves to the top
    EXPECT_EQ(Servers().size(), 10u);
    EXPECT_EQ(Servers().front(), "s3");
    EXPECT_EQ(Servers()[1], "s9");
    CommitServer("new");
    EXPECT_EQ(Servers().size(), 10u);
    EXPECT_EQ(Servers().front(), "new");
    const auto servers = Servers();
    EXPECT_EQ(std::count(servers.begin(), servers.end(), "alpha"), 0);
    CommitServer("");
    EXPECT_EQ(Servers().front(), "");
    EXPECT_EQ(Servers().size(), 10u);
}

TEST_F(Page, EverySettingChangeDimsAccept) {
    for (Ctrl c : {Ctrl::ComPortSelector, Ctrl::BaudRateSelector, Ctrl::PortField,
                   Ctrl::ServerField, Ctrl::ProtocolSelector}) {
        rig.ui.SetDimmed(Ctrl::AcceptButton, false);
        DispatchControlEvent(rig.ctx, c, Event::ValChanged);
        EXPECT_FALSE(AcceptDimmed());
        DispatchControlEvent(rig.ctx, c, Event::Commit);
        EXPECT_TRUE(AcceptDimmed());
    }
}

TEST_F(Page, PortListAppendsOneLinePerPortAndNothingWhenThereAreNone) {
    rig.ui.AppendText(Ctrl::InfoBox, "x\n");
    DispatchControlEvent(rig.ctx, Ctrl::PortListButton, Event::Commit);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::InfoBox).text, "x\n");
    rig.ports.ports = {{1, "COM1"}, {3, "COM3"}};
    DispatchControlEvent(rig.ctx, Ctrl::PortListButton, Event::Commit);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::InfoBox).text,
              "x\nFollowing COM PORTS are available:\nCOM1\nCOM3\n");
    rig.ui.ResetTextBox(Ctrl::InfoBox, "");
    rig.ports.ports = {{101, "/dev/ttyUSB0"}};
    DispatchControlEvent(rig.ctx, Ctrl::PortListButton, Event::Commit);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::InfoBox).text,
              "Following COM PORTS are available:\nCOM101 (/dev/ttyUSB0)\n");
    EXPECT_EQ(rig.ui.ctrl(Ctrl::ComPortSelector).value, 0);  // the operator chooses
}

TEST_F(Page, ConnectButtonUnlocksOnlyAfterASuccess) {
    ScriptedSensor sensor;
    sensor.Attach(rig);
    rig.ui.SetCtrlVal(Ctrl::ProtocolSelector, kTcpIp);
    rig.ui.SetCtrlText(Ctrl::ServerField, "sensor");
    rig.ui.answers.push_back(PopupAnswer::No());
    DispatchControlEvent(rig.ctx, Ctrl::ConnectButton, Event::Commit);
    EXPECT_TRUE(rig.ctx.supervisor.usable());
    EXPECT_FALSE(rig.ui.ctrl(Ctrl::GoButton).dimmed);
    EXPECT_FALSE(rig.ui.ctrl(Ctrl::DisconnectButton).dimmed);
    EXPECT_FALSE(AcceptDimmed());

    // Changing only the baud rate dims Accept until the next success.
    DispatchControlEvent(rig.ctx, Ctrl::BaudRateSelector, Event::Commit);
    EXPECT_TRUE(AcceptDimmed());

    sensor.firmware = "OTHER V2.1";
    rig.ui.answers.push_back(PopupAnswer::Button(kAnswerOffline));
    DispatchControlEvent(rig.ctx, Ctrl::ConnectButton, Event::Commit);
    EXPECT_TRUE(rig.ui.ctrl(Ctrl::GoButton).dimmed);
    EXPECT_TRUE(rig.ui.ctrl(Ctrl::DisconnectButton).dimmed);
    EXPECT_FALSE(rig.ui.ctrl(Ctrl::SendButton).dimmed);
    EXPECT_TRUE(AcceptDimmed());

    DispatchControlEvent(rig.ctx, Ctrl::DisconnectButton, Event::Commit);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::StatusDisplay).text, "NO SENSOR CONNECTED!");
}

TEST_F(Page, AcceptStoresTheSettingsAndShowsTheParameterPage) {
    TempDir temp("qelto-page");
    const auto& dir = temp.path();
    rig.ctx.settings.ProgramDirectory = dir.string();
    rig.ctx.settings.PanelSettingsPath = (dir / "PanelSettings.cfg").string();
    rig.ui.SetCtrlText(Ctrl::ServerField, "host.example");
    DispatchControlEvent(rig.ctx, Ctrl::ServerField, Event::Commit);
    DispatchControlEvent(rig.ctx, Ctrl::AcceptButton, Event::Commit);
    EXPECT_EQ(rig.ui.GetActiveTabPage(), kParameterPage);
    std::ifstream in(rig.ctx.settings.PanelSettingsPath);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("host.example"), std::string::npos);
}

}  // namespace
}  // namespace qelto
