// The panel settings file: first run, store and load, the placement and list rules, the
// language guard and where the file lives.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "app/file_commands.hpp"
#include "app/panel_settings.hpp"
#include "doubles/unit_rig.hpp"
#include "files/parameter_file.hpp"
#include "files/paths.hpp"
#include "temp_dir.hpp"

namespace qelto {
namespace {

namespace fs = std::filesystem;

const std::string kHeader = "[GENERAL INFO]\nFILE TYPE: = \"Panel Settings\"\n";

class PanelSettings : public ::testing::Test {
  protected:
    PanelSettings() {
        InitSettingsPaths(rig.ctx.settings, dir.str(), {});
        // A placement of its own, so that "nothing applied" shows.
        rig.ui.SetWindowPos(222, 111);
        rig.ui.SetWindowSize(444, 333);
    }
    void Settings(const std::string& text) { WriteBytes(rig.ctx.settings.PanelSettingsPath, text); }
    std::vector<std::string> Servers() { return rig.ui.ctrl(Ctrl::ServerField).items; }
    WindowPlacement Window() { return rig.ui.GetWindowPlacement(); }

    TempDir dir;
    UnitRig rig;
};

// ---- without a file

TEST_F(PanelSettings, FirstRunKeepsTheLayoutAndShowsTheDefaults) {
    rig.ctx.state.Language = 0;
    LoadPanelSettings(rig.ctx);
    GetConnectionSettingsFromFile(rig.ctx);
    EXPECT_EQ(rig.ctx.settings.PanelSettingsPath, dir.File("PanelSettings.cfg"));
    EXPECT_EQ(rig.ctx.settings.ParameterFilePath, dir.File("Parameter.ini"));
    EXPECT_EQ(Window().left, 222);
    EXPECT_EQ(Window().height, 333);
    EXPECT_EQ(rig.ctx.state.Language, 0);
    EXPECT_TRUE(Servers().empty());
    const auto& ui = rig.ui;
    EXPECT_EQ(ui.ctrl(Ctrl::ProtocolSelector).value, 0);
    EXPECT_EQ(ui.ctrl(Ctrl::ComPortSelector).value, 1);
    EXPECT_EQ(ui.ctrl(Ctrl::BaudRateSelector).value, 4);
    EXPECT_EQ(ui.ctrl(Ctrl::ServerField).text, "");
    EXPECT_EQ(ui.ctrl(Ctrl::PortField).text, "5000");
    EXPECT_EQ(rig.ctx.settings.link, LinkDescription::Serial(1, 115200));
    EXPECT_TRUE(rig.ui.popups.empty());
}

TEST_F(PanelSettings, FileOfAnotherTypeCountsAsNoFile) {
    Settings(
        "[GENERAL INFO]\nFILE TYPE: = \"Parameter File\"\n[PANEL POSITION]\n"
        "MAINPANEL FULLSCREEN = 2\n[COMMUNICATION SETTINGS]\nCOMPORT = 7\n");
    LoadPanelSettings(rig.ctx);
    GetConnectionSettingsFromFile(rig.ctx);
    EXPECT_EQ(Window().zoom, kZoomNormal);
    EXPECT_EQ(rig.ctx.settings.ParameterFilePath, dir.File("Parameter.ini"));
    EXPECT_EQ(rig.ctx.settings.link.comPort, 1);
}

// ---- store and load

TEST_F(PanelSettings, StoreWritesTheShownStateExactly) {
    rig.ui.SetWindowPos(10, 40);
    rig.ui.SetWindowSize(790, 548);
    rig.ui.SetCtrlVal(Ctrl::LanguageSelector, 1);
    rig.ctx.settings.ParameterFilePath = "C:\\Data\\p.ini";
    rig.ui.ComboInsert(Ctrl::ServerField, 0, "10.0.0.7");
    rig.ui.SetCtrlVal(Ctrl::ProtocolSelector, 1);
    rig.ui.SetCtrlVal(Ctrl::ComPortSelector, 3);
    rig.ui.SetCtrlVal(Ctrl::BaudRateSelector, 7);
    rig.ui.SetCtrlText(Ctrl::ServerField, "10.0.0.7");
    rig.ui.SetCtrlText(Ctrl::PortField, "10001");
    StorePanelSettings(rig.ctx);
    EXPECT_EQ(ReadBytes(rig.ctx.settings.PanelSettingsPath),
              "[GENERAL INFO]\r\n"
              "FILE TYPE: = \"Panel Settings\"\r\n"
              "QELTO VERSION: = \"KORVANEX TAVRENO Qelto V1.1\"\r\n"
              "\r\n"
              "[PANEL POSITION]\r\n"
              "MAINPANEL FULLSCREEN = 0\r\n"
              "MAINPANEL LEFT = 10\r\n"
              "MAINPANEL TOP = 40\r\n"
              "MAINPANEL WIDTH = 790\r\n"
              "MAINPANEL HEIGHT = 548\r\n"
              "\r\n"
              "[GENERAL SETTINGS]\r\n"
              "SELECTED LANGUAGE = 1\r\n"
              "\r\n"
              "[DIRECTORIES]\r\n"
              "PARAMETER FILE = \"C:\\\\Data\\\\p.ini\"\r\n"
              "\r\n"
              "[IP ADDRESSES]\r\n"
              "LIST ITEMS = 1\r\n"
              "IP ADDR 1 = \"10.0.0.7\"\r\n"
              "\r\n"
              "[COMMUNICATION SETTINGS]\r\n"
              "COMPROTOCOL = 1\r\n"
              "COMPORT = 3\r\n"
              "BAUDRATE = 7\r\n"
              "IP ADRESS = \"10.0.0.7\"\r\n"
              "PORT NUMBER = \"10001\"\r\n"
              "\r\n");
    EXPECT_EQ(rig.ctx.state.Language, 1);
}

TEST_F(PanelSettings, WhatIsStoredComesBackInTheNextRun) {
    rig.ui.SetWindowPos(1500, -20);
    rig.ui.SetWindowSize(900, 600);
    rig.ui.SetCtrlVal(Ctrl::LanguageSelector, 6);
    std::string longPath = dir.str();
    while (longPath.size() < 200)
        longPath += "/sub\xC3\xA9";
    longPath += "/p.ini";
    rig.ctx.settings.ParameterFilePath = longPath;
    for (int i = 0; i < 12; ++i) {
        rig.ui.ComboInsert(Ctrl::ServerField, i, "host" + std::to_string(i) + ".example");
    }
    rig.ui.SetCtrlVal(Ctrl::ProtocolSelector, 1);
    rig.ui.SetCtrlVal(Ctrl::ComPortSelector, 1002);
    rig.ui.SetCtrlVal(Ctrl::BaudRateSelector, 2);
    rig.ui.SetCtrlText(Ctrl::ServerField, "sensor \"A\"");
    rig.ui.SetCtrlText(Ctrl::PortField, "2101");
    StorePanelSettings(rig.ctx);
    const std::string text = ReadBytes(rig.ctx.settings.PanelSettingsPath);
    EXPECT_NE(text.find("PARAMETER FILE Line0003 = "), std::string::npos);
    EXPECT_NE(text.find("LIST ITEMS = 10\r\n"), std::string::npos);

    UnitRig next;
    next.ui.screen = {1000, -50, 1600, 900};  // a second screen, right of and above the first
    InitSettingsPaths(next.ctx.settings, dir.str(), {});
    next.ctx.state.Language = 0;
    LoadPanelSettings(next.ctx);
    GetConnectionSettingsFromFile(next.ctx);
    const WindowPlacement w = next.ui.GetWindowPlacement();
    EXPECT_EQ(w.left, 1500);
    EXPECT_EQ(w.top, -20);
    EXPECT_EQ(w.width, 900);
    EXPECT_EQ(w.height, 600);
    EXPECT_EQ(next.ctx.state.Language, 6);
    EXPECT_EQ(next.ui.ctrl(Ctrl::LanguageSelector).value, 6);
    EXPECT_EQ(next.ctx.settings.ParameterFilePath, longPath);
    ASSERT_EQ(next.ui.ctrl(Ctrl::ServerField).items.size(), 10u);
    EXPECT_EQ(next.ui.ctrl(Ctrl::ServerField).items[0], "host0.example");
    EXPECT_EQ(next.ui.ctrl(Ctrl::ServerField).items[9], "host9.example");
    EXPECT_EQ(next.ctx.settings.link, LinkDescription::Tcp("sensor \"A\"", 2101));
    EXPECT_EQ(next.ui.ctrl(Ctrl::ComPortSelector).value, 1002);
    EXPECT_EQ(next.ui.ctrl(Ctrl::BaudRateSelector).value, 2);
    EXPECT_EQ(next.ui.ctrl(Ctrl::ServerField).text, "sensor \"A\"");
    EXPECT_EQ(next.ui.ctrl(Ctrl::PortField).text, "2101");
}

TEST_F(PanelSettings, FailedStoreKeepsTheOldFileQuietly) {
    Settings(kHeader);
    fs::permissions(rig.ctx.settings.PanelSettingsPath, fs::perms::owner_read);
    StorePanelSettings(rig.ctx);
    EXPECT_EQ(ReadBytes(rig.ctx.settings.PanelSettingsPath), kHeader);
    EXPECT_TRUE(rig.ui.popups.empty());
}

// ---- window placement

TEST_F(PanelSettings, MaximisedIgnoresTheGeometry) {
    Settings(kHeader +
             "[PANEL POSITION]\nMAINPANEL FULLSCREEN = 2\nMAINPANEL LEFT = 5\n"
             "MAINPANEL WIDTH = 6\n");
    LoadPanelSettings(rig.ctx);
    EXPECT_EQ(Window().zoom, kZoomMaximised);
    EXPECT_EQ(Window().left, 222);
    EXPECT_EQ(Window().width, 444);
}

TEST_F(PanelSettings, GeometryWithoutZoomItemIsNotApplied) {
    Settings(kHeader +
             "[PANEL POSITION]\nMAINPANEL LEFT = 5\nMAINPANEL TOP = 6\n"
             "MAINPANEL WIDTH = 7\nMAINPANEL HEIGHT = 8\n");
    LoadPanelSettings(rig.ctx);
    EXPECT_EQ(Window().left, 222);
    EXPECT_EQ(Window().top, 111);
    EXPECT_EQ(Window().width, 444);
    EXPECT_EQ(Window().height, 333);
}

TEST_F(PanelSettings, MissingGeometryItemsTakeTheirDefaults) {
    Settings(kHeader +
             "[PANEL POSITION]\nMAINPANEL FULLSCREEN = 0\nMAINPANEL LEFT = 300\n"
             "MAINPANEL TOP = high\n");
    LoadPanelSettings(rig.ctx);
    EXPECT_EQ(Window().zoom, kZoomNormal);
    EXPECT_EQ(Window().left, 300);
    EXPECT_EQ(Window().top, 40);
    EXPECT_EQ(Window().width, 790);
    EXPECT_EQ(Window().height, 548);
}

// A settings file from a larger screen, or a damaged one: the window comes up on this screen,
// no larger than it and with its title bar in reach. A placement that fits is kept as it is.
TEST_F(PanelSettings, APlacementIsBroughtOntoTheScreenAndOneThatFitsIsKept) {
    rig.ui.screen = {0, 30, 1600, 870};
    const auto load = [&](const std::string& items) {
        Settings(kHeader + "[PANEL POSITION]\nMAINPANEL FULLSCREEN = 0\n" + items);
        LoadPanelSettings(rig.ctx);
        const WindowPlacement w = Window();
        return std::vector<int>{w.left, w.top, w.width, w.height};
    };
    EXPECT_EQ(load("MAINPANEL WIDTH = 99999999\nMAINPANEL HEIGHT = 2147483647\n"),
              (std::vector<int>{0, 30, 1600, 870}));
    EXPECT_EQ(load("MAINPANEL LEFT = 5000\nMAINPANEL TOP = 5000\n"),
              (std::vector<int>{810, 352, 790, 548}));
    EXPECT_EQ(load("MAINPANEL LEFT = 2147483647\nMAINPANEL WIDTH = 2147483647\n"),
              (std::vector<int>{0, 40, 1600, 548}));
    EXPECT_EQ(load("MAINPANEL LEFT = 300\nMAINPANEL TOP = 100\nMAINPANEL WIDTH = 1300\n"
                   "MAINPANEL HEIGHT = 800\n"),
              (std::vector<int>{300, 100, 1300, 800}));
}

// ---- remembered servers

TEST_F(PanelSettings, ServerListIsCutToTenAndHasNoGaps) {
    std::string list = "[IP ADDRESSES]\nLIST ITEMS = 15\n";
    for (int k = 1; k <= 15; ++k) {
        list += "IP ADDR " + std::to_string(k) + " = \"s" + std::to_string(k) + "\"\n";
    }
    Settings(kHeader + list);
    LoadPanelSettings(rig.ctx);
    ASSERT_EQ(Servers().size(), 10u);
    EXPECT_EQ(Servers().front(), "s1");
    EXPECT_EQ(Servers().back(), "s10");

    UnitRig other;
    InitSettingsPaths(other.ctx.settings, dir.str(), {});
    Settings(kHeader + "[IP ADDRESSES]\nLIST ITEMS = 3\nIP ADDR 1 = \"a\"\nIP ADDR 3 = \"c\"\n");
    LoadPanelSettings(other.ctx);
    EXPECT_EQ(other.ui.ctrl(Ctrl::ServerField).items, (std::vector<std::string>{"a", "c"}));

    UnitRig negative;
    InitSettingsPaths(negative.ctx.settings, dir.str(), {});
    Settings(kHeader + "[IP ADDRESSES]\nLIST ITEMS = -4\nIP ADDR 1 = \"a\"\n");
    LoadPanelSettings(negative.ctx);
    EXPECT_TRUE(negative.ui.ctrl(Ctrl::ServerField).items.empty());
}

// ---- language

TEST_F(PanelSettings, LanguageOutsideTheSevenIsIgnored) {
    for (const char* stored : {"7", "-1", "2147483647", "two"}) {
        rig.ctx.state.Language = 2;
        Settings(kHeader + "[GENERAL SETTINGS]\nSELECTED LANGUAGE = " + stored + "\n");
        LoadPanelSettings(rig.ctx);
        EXPECT_EQ(rig.ctx.state.Language, 2) << stored;
        EXPECT_EQ(rig.ui.ctrl(Ctrl::LanguageSelector).value, 2) << stored;
    }
    Settings(kHeader + "[GENERAL SETTINGS]\nSELECTED LANGUAGE = 5\n");
    LoadPanelSettings(rig.ctx);
    EXPECT_EQ(rig.ctx.state.Language, 5);

    rig.ui.SetCtrlVal(Ctrl::LanguageSelector, 42);
    StorePanelSettings(rig.ctx);
    EXPECT_EQ(rig.ctx.state.Language, 5);
    EXPECT_NE(ReadBytes(rig.ctx.settings.PanelSettingsPath).find("SELECTED LANGUAGE = 5\r\n"),
              std::string::npos);
}

// ---- parameter-file path and connection values

TEST_F(PanelSettings, MissingParameterFileItemStartsTheDialogAboveTheProgramDirectory) {
    Settings(kHeader);
    LoadPanelSettings(rig.ctx);
    EXPECT_EQ(rig.ctx.settings.ParameterFilePath, dir.str());
    rig.ui.answers.push_back(PopupAnswer::File(kFileNoneSelected, {}));
    rig.ctx.files.SendParaToFile();
    ASSERT_FALSE(rig.ui.popups.empty());
    EXPECT_EQ(rig.ui.popups[0].file.startDirectory, (dir.path().parent_path() / "").string());
}

TEST_F(PanelSettings, ConnectionValuesAreCutToTheirFields) {
    Settings(kHeader +
             "[COMMUNICATION SETTINGS]\nCOMPROTOCOL = \"1\"\nCOMPORT = 65537\nBAUDRATE = x\n"
             "PORT NUMBER = \"" +
             std::string(40, '9') + "\"\n");
    GetConnectionSettingsFromFile(rig.ctx);
    EXPECT_EQ(rig.ctx.settings.link.kind, LinkDescription::Kind::Tcp);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::ComPortSelector).value, 1);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::BaudRateSelector).value, 4);
    EXPECT_EQ(rig.ctx.settings.link.host, "");
    EXPECT_EQ(rig.ui.ctrl(Ctrl::PortField).text, std::string(31, '9'));
}

// A baud-rate index the table does not have means 115200 baud: the selector shows that entry
// (a combo box has none for 9), and a connection opens at it.
TEST_F(PanelSettings, ABaudRateIndexOutsideTheTableShowsAndOpens115200) {
    for (const char* stored : {"9", "65535"}) {
        SCOPED_TRACE(stored);
        Settings(kHeader +
                 "[COMMUNICATION SETTINGS]\nCOMPROTOCOL = \"0\"\nCOMPORT = 3\nBAUDRATE = " +
                 stored + "\n");
        GetConnectionSettingsFromFile(rig.ctx);
        EXPECT_EQ(rig.ui.ctrl(Ctrl::BaudRateSelector).value, *BaudRateIndexFor(115200));
        EXPECT_EQ(rig.ctx.settings.link.baud, 115200);
    }
}

// ---- where the settings live

TEST(SettingsDirectory, ProgramDirectoryWhenWritableOtherwiseTheUsersOwn) {
    TempDir root;
    UnitRig rig;
    const std::string program = root.File("bin");
    const std::string user = (root.path() / "config" / "qelto").string();
    fs::create_directory(program);

    EXPECT_EQ(InitSettingsPaths(rig.ctx.settings, program + "/", user), program);
    EXPECT_EQ(rig.ctx.settings.ProgramDirectory, program);
    EXPECT_EQ(rig.ctx.settings.PanelSettingsPath,
              (fs::path(program) / "PanelSettings.cfg").string());
    EXPECT_TRUE(fs::is_empty(program));  // the probe left nothing behind

    const std::string userSettings = (fs::path(user) / "PanelSettings.cfg").string();
    // Windows does not refuse new files in a folder for its read-only flag (only access control
    // lists do, which a test cannot set up portably): the flag means nothing there.
#ifndef _WIN32
    fs::permissions(program, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(InitSettingsPaths(rig.ctx.settings, program, user), user);
    EXPECT_TRUE(fs::is_directory(user));
    EXPECT_EQ(rig.ctx.settings.PanelSettingsPath, userSettings);
#endif

    EXPECT_EQ(InitSettingsPaths(rig.ctx.settings, root.File("missing"), user), user);
    EXPECT_TRUE(fs::is_directory(user));
    EXPECT_EQ(rig.ctx.settings.PanelSettingsPath, userSettings);

#ifdef _WIN32
    // A program installed under Program Files cannot write there, so the probe already sends
    // its settings to the user's folder.
    EXPECT_FALSE(IsSystemProgramDirectory("C:\\Program Files\\Qelto"));
#else
    // An installed program keeps its settings per user, even where it could write (root).
    EXPECT_TRUE(IsSystemProgramDirectory("/usr/bin"));
    EXPECT_TRUE(IsSystemProgramDirectory("/usr/local/bin"));
    EXPECT_TRUE(IsSystemProgramDirectory("/bin"));
    EXPECT_FALSE(IsSystemProgramDirectory("/binaries/qelto"));
    EXPECT_FALSE(IsSystemProgramDirectory("/opt/qelto"));
    EXPECT_FALSE(IsSystemProgramDirectory("/home/op/qelto/build"));
#endif
}

}  // namespace
}  // namespace qelto
