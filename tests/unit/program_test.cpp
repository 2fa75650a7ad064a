// Start-up, close and shutdown as every front end runs them.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/connection.hpp"
#include "app/graphs.hpp"
#include "app/program.hpp"
#include "doubles/scripted_sensor.hpp"
#include "files/inifile.hpp"
#include "temp_dir.hpp"

namespace qelto {
namespace {

namespace fs = std::filesystem;

class Program : public ::testing::Test {
  protected:
    StartupOptions Options() { return {dir.path().string(), {}, std::nullopt}; }
    fs::path SettingsFile() { return dir.path() / "PanelSettings.cfg"; }

    UnitRig rig;
    TempDir dir{"qelto-program"};
};

TEST_F(Program, StartWithoutSensorOfflineKeepsRunningCloseQuitsAndNeitherStores) {
    // No settings file: RS-232 COM1, which cannot be opened.
    rig.serial.openResult = -6;
    rig.ui.answers.push_back(PopupAnswer::Button(kAnswerOffline));
    InitAll(rig.ctx, Options());
    EXPECT_FALSE(rig.ui.QuitRequested());
    EXPECT_EQ(rig.ui.GetActiveTabPage(), kConnectionPage);  // the failure brought it up
    EXPECT_TRUE(rig.ui.displayed());
    EXPECT_EQ(rig.ui.GetWindowPlacement().width, kStandardWidth);
    EXPECT_EQ(rig.ui.GetWindowPlacement().height, kStandardHeight);
    EXPECT_EQ(rig.ctx.state.TransferTarget, kTargetFile);
    EXPECT_FALSE(rig.ui.ctrl(Ctrl::SendButton).dimmed);  // offline: files still work
    EXPECT_FALSE(fs::exists(SettingsFile()));

    UnitRig closing;
    closing.serial.openResult = -6;
    closing.ui.answers.push_back(PopupAnswer::Button(kAnswerClose));
    InitAll(closing.ctx, Options());
    EXPECT_EQ(closing.ui.quitCode(), 0);
    EXPECT_FALSE(fs::exists(SettingsFile()));
}

TEST_F(Program, HeaderAreaTeachTableAndParameterPageAtStartUp) {
    ScriptedSensor sensor;
    sensor.Attach(rig);
    rig.ui.answers.push_back(PopupAnswer::No());
    StartupOptions options = Options();
    options.connectionOverride = LinkDescription::Tcp("127.0.0.1", 5000);
    InitAll(rig.ctx, options);

    EXPECT_TRUE(rig.ctx.supervisor.usable());
    EXPECT_EQ(rig.ui.GetActiveTabPage(), kParameterPage);
    EXPECT_FALSE(rig.ui.ctrl(Ctrl::GoButton).dimmed);
    ASSERT_EQ(rig.ui.infoTexts.size(), 4u);
    EXPECT_EQ(rig.ui.infoTexts[0].text, "KORVANEX TAVRENO Qelto V1.1");
    EXPECT_TRUE(rig.ui.infoTexts[0].withTooltip);
    EXPECT_EQ(rig.ui.infoTexts[0].pointSize, 19);
    EXPECT_FALSE(rig.ui.infoTexts[1].withTooltip);
    EXPECT_EQ(rig.ui.bannerColor(), 0x0080FFu);
    ASSERT_TRUE(rig.ui.logo.has_value());
    EXPECT_EQ(rig.ui.logo->left, 325);
    EXPECT_EQ(rig.ui.cellColor(1, 1), 0xC0C0C0u);
    EXPECT_EQ(rig.ui.cellColor(5, 16), rig.ui.cellColor(5, 1));
    EXPECT_EQ(rig.ui.cellColor(5, 1), TeachRowColor(0));
    EXPECT_EQ(rig.ui.cellColor(5, 2), TeachRowColor(1));

    // Closing during acquisition ends it, stores the settings (the demo's connection is not
    // among them) and quits without a question.
    rig.ctx.state.acquisition = Acquisition::Live;
    const auto popups = rig.ui.popups.size();
    EXPECT_EQ(CBF_MAINP(rig.ctx, Event::Close), Outcome::Quit);
    EXPECT_FALSE(rig.ctx.state.acquiring());
    EXPECT_EQ(rig.ui.quitCode(), 0);
    EXPECT_EQ(rig.ui.popups.size(), popups);
    ASSERT_TRUE(fs::exists(SettingsFile()));
    IniHandle doc = Ini_New(0);
    Ini_ReadFromFile(doc.get(), SettingsFile().string());
    std::int32_t protocol = -1;
    EXPECT_EQ(Ini_GetInt(doc.get(), "COMMUNICATION SETTINGS", "COMPROTOCOL", protocol), 1);
    EXPECT_EQ(protocol, kRs232);

    Shutdown(rig.ctx);
    EXPECT_EQ(rig.ctx.sensor.tcpConnected(), false);
    // The rig's own conversation ended when the demo's opened; the demo's ends here.
    EXPECT_EQ(rig.tcp.disconnects, 2);
    EXPECT_FALSE(rig.serial.closed.empty());
}

TEST_F(Program, RightDoubleClickRestoresTheStandardSizeCentred) {
    rig.ui.SetWindowSize(1200, 900);
    EXPECT_EQ(CBF_MAINP(rig.ctx, Event::RightDoubleClick), Outcome::Done);
    EXPECT_EQ(rig.ui.GetWindowPlacement().width, 790);
    EXPECT_EQ(rig.ui.GetWindowPlacement().height, 548);
    EXPECT_EQ(rig.ui.centered(), 1);
    EXPECT_FALSE(rig.ui.QuitRequested());
}

}  // namespace
}  // namespace qelto
