// The main panel's commands: routing of Send and Get by the memory selection and by a
// running acquisition, the selection itself, the language and the tab change.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/connection.hpp"
#include "app/control_table.hpp"
#include "app/live.hpp"
#include "doubles/scripted_sensor.hpp"
#include "link/transaction.hpp"
#include "temp_dir.hpp"

namespace qelto {
namespace {

class MainPanel : public ::testing::Test {
  protected:
    void SetUp() override {
        sensor.Attach(rig);
        SetWorking(rig.ctx, [&](Configuration& c) { LoadDefaultParaValues(c.para, c.teach, 1); });
    }
    std::string ReadFile(const std::filesystem::path& p) {
        std::ifstream in(p);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    UnitRig rig;
    ScriptedSensor sensor;
    TempDir temp{"qelto-main"};  // unique per process: tests run in parallel
    const std::filesystem::path& dir = temp.path();
};

TEST_F(MainPanel, SendReadsAverageAndTransfersWithTheButtonsLocked) {
    rig.ui.SetCtrlVal(Ctrl::AverageControl, 1024);
    bool lockedDuringTransfer = false;
    rig.onEvents = [&] {
        if (!sensor.seen.empty() && sensor.seen.size() < 3) {
            lockedDuringTransfer = rig.ui.ctrl(Ctrl::SendButton).dimmed;
        }
    };
    DispatchControlEvent(rig.ctx, Ctrl::SendButton, Event::Commit);
    EXPECT_EQ(sensor.Commands(), (std::vector<int>{1, 1, 3}));
    EXPECT_EQ(sensor.para.Average, 1024);
    EXPECT_EQ(rig.ctx.working.config().para.Average, 1024);
    EXPECT_TRUE(lockedDuringTransfer);
    EXPECT_FALSE(rig.ui.ctrl(Ctrl::SendButton).dimmed);

    // After a failed transfer the buttons are enabled again as well.
    sensor.seen.clear();
    sensor.override = [](const SeenRequest&) -> std::optional<std::vector<Bytes>> {
        return std::vector<Bytes>{};
    };
    DispatchControlEvent(rig.ctx, Ctrl::GetButton, Event::Commit);
    EXPECT_EQ(sensor.Commands(), (std::vector<int>{4}));
    EXPECT_FALSE(rig.ui.ctrl(Ctrl::GetButton).dimmed);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::StatusDisplay).text, "TIMEOUT!");
}

// The reply to the earlier teach read comes once more, ahead of the write's own reply (which
// says one value was refused): Send fails, and the sensor is not taken to hold what was sent.
// Once the link is in step again, the refusal is seen.
TEST_F(MainPanel, AStaleReplyAheadOfTheWritesOwnIsAFailure) {
    sensor.writeRejects = 1;
    sensor.override = [&](const SeenRequest& r) -> std::optional<std::vector<Bytes>> {
        if (r.command != kCmdWrite || r.argument != kArgParameters) return std::nullopt;
        sensor.override = nullptr;
        return std::vector<Bytes>{sensor.Normal({kCmdRead, kArgTeachTable, {}}), sensor.Normal(r)};
    };
    const ParameterSet held = rig.sensor.configuration().para;
    ASSERT_TRUE(rig.sensor.Identify().ok());  // the link line shows a connected sensor
    sensor.seen.clear();
    SetWorking(rig.ctx, [&](Configuration& c) { c.para.Gain = 7; });
    EXPECT_EQ(DispatchControlEvent(rig.ctx, Ctrl::SendButton, Event::Commit), Outcome::Failed);
    EXPECT_EQ(sensor.Commands(), (std::vector<int>{1}));
    EXPECT_EQ(rig.ui.ctrl(Ctrl::InfoBox).text, std::string(kMsgBadHeader) + "\n\n");
    EXPECT_NE(
        rig.ui.ctrl(Ctrl::LinkState).tooltip.find("(reply to command 2 while command 1 was asked)"),
        std::string::npos)
        << rig.ui.ctrl(Ctrl::LinkState).tooltip;
    EXPECT_EQ(rig.sensor.configuration().para, held);

    EXPECT_EQ(DispatchControlEvent(rig.ctx, Ctrl::SendButton, Event::Commit), Outcome::Failed);
    EXPECT_EQ(sensor.Commands(), (std::vector<int>{1, 1, 1, 3}));
    EXPECT_NE(rig.ui.ctrl(Ctrl::InfoBox).text.find(PlausibilityText(1, kMsgRamPlausibilityTail)),
              std::string::npos);
}

TEST_F(MainPanel, DuringAcquisitionSendAndGetOnlyLeaveARequest) {
    rig.ctx.state.acquisition = Acquisition::Live;
    rig.ui.SetCtrlVal(Ctrl::AverageControl, 32);
    DispatchControlEvent(rig.ctx, Ctrl::SendButton, Event::Commit);
    DispatchControlEvent(rig.ctx, Ctrl::GetButton, Event::Commit);
    EXPECT_TRUE(sensor.seen.empty());
    EXPECT_TRUE(rig.ctx.state.sendRequest);
    EXPECT_TRUE(rig.ctx.state.getRequest);
    EXPECT_EQ(rig.ctx.working.config().para.Average, 32);
}

TEST_F(MainPanel, FileTargetWritesAndReadsTheParameterFileAlsoOffline) {
    rig.ui.answers.push_back(PopupAnswer::Button(kAnswerOffline));
    rig.ctx.connection.AskCloseOrOffline(kMsgNoConnection);  // offline: FILE selected
    ASSERT_EQ(rig.ctx.state.TransferTarget, kTargetFile);
    const auto file = dir / "Parameter.ini";
    rig.ui.SetCtrlVal(Ctrl::AverageControl, 77);
    rig.ui.answers.push_back(PopupAnswer::File(kFileNew, file.string()));
    DispatchControlEvent(rig.ctx, Ctrl::SendButton, Event::Commit);
    EXPECT_TRUE(sensor.seen.empty());
    EXPECT_NE(ReadFile(file).find("77"), std::string::npos);

    // Get with FILE opens the file dialog at once, even while acquisition runs.
    SetWorking(rig.ctx, [&](Configuration& c) { c.para.Average = 1; });
    rig.ctx.state.acquisition = Acquisition::Live;
    rig.ui.answers.push_back(PopupAnswer::File(kFileExisting, file.string()));
    DispatchControlEvent(rig.ctx, Ctrl::GetButton, Event::Commit);
    EXPECT_FALSE(rig.ctx.state.getRequest);
    EXPECT_EQ(rig.ctx.working.config().para.Average, 77);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::AverageControl).value, 77);
    EXPECT_TRUE(sensor.seen.empty());
}

// File > Save parameters as and Open parameters (a recent file): a parameter file whatever the
// memory selection shows, the sensor untouched, and the files in the recent list.
TEST_F(MainPanel, FileCommandsUseAParameterFileWhateverTheSelectionAndRememberIt) {
    ASSERT_EQ(rig.ctx.state.TransferTarget, kTargetEeprom);
    const auto file = dir / "line-7.ini";
    rig.ui.SetCtrlVal(Ctrl::AverageControl, 77);
    rig.ui.answers.push_back(PopupAnswer::File(kFileNew, file.string()));
    EXPECT_EQ(DispatchFileCommand(rig.ctx, FileCommand::SaveAs), Outcome::Done);
    EXPECT_TRUE(sensor.seen.empty());
    EXPECT_NE(ReadFile(file).find("77"), std::string::npos);
    EXPECT_EQ(rig.ctx.settings.RecentParameterFiles, std::vector<std::string>{file.string()});

    // Back from a recent file after an edit: the question first (No keeps the edit).
    rig.ctx.working.Edit(ConfigItem::Parameter(2), 5);
    rig.ui.answers.push_back(PopupAnswer::No());
    EXPECT_EQ(DispatchFileCommand(rig.ctx, FileCommand::Open, file.string()), Outcome::Declined);
    EXPECT_EQ(rig.ctx.working.config().para.Average, 5);
    rig.ui.answers.push_back(PopupAnswer::Yes());
    EXPECT_EQ(DispatchFileCommand(rig.ctx, FileCommand::Open, file.string()), Outcome::Done);
    EXPECT_EQ(rig.ctx.working.config().para.Average, 77);
    EXPECT_EQ(rig.ctx.state.TransferTarget, kTargetEeprom);
    EXPECT_TRUE(sensor.seen.empty());

    // A recent file that has gone is said and leaves the list.
    std::filesystem::remove(file);
    EXPECT_EQ(DispatchFileCommand(rig.ctx, FileCommand::Open, file.string()), Outcome::Failed);
    ASSERT_FALSE(rig.ui.popups.empty());
    EXPECT_NE(rig.ui.popups.back().message.find("could not be read"), std::string::npos);
    EXPECT_TRUE(rig.ctx.settings.RecentParameterFiles.empty());
}

TEST_F(MainPanel, MemorySelectorButtonsActAsRadioButtons) {
    rig.ui.SetCtrlVal(Ctrl::FileButton, 1);
    DispatchControlEvent(rig.ctx, Ctrl::FileButton, Event::ValChanged);
    EXPECT_EQ(rig.ctx.state.TransferTarget, kTargetFile);
    rig.ui.SetCtrlVal(Ctrl::FileButton, 0);  // clicking it again switches it off...
    DispatchControlEvent(rig.ctx, Ctrl::FileButton, Event::ValChanged);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::FileButton).value, 1);  // ...and it ends up on anyway
    EXPECT_EQ(rig.ui.ctrl(Ctrl::EepromButton).value, 0);
    EXPECT_EQ(rig.ctx.state.TransferTarget, kTargetFile);

    DispatchControlEvent(rig.ctx, Ctrl::EepromButton, Event::Commit);  // not the event that counts
    EXPECT_EQ(rig.ctx.state.TransferTarget, kTargetFile);
    DispatchControlEvent(rig.ctx, Ctrl::EepromButton, Event::ValChanged);
    EXPECT_EQ(rig.ctx.state.TransferTarget, kTargetEeprom);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::EepromButton).value, 1);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::FileButton).value, 0);
}

TEST_F(MainPanel, LanguageTakesOnlyTheSevenLanguages) {
    rig.ui.SetCtrlVal(Ctrl::LanguageSelector, 1);
    DispatchControlEvent(rig.ctx, Ctrl::LanguageSelector, Event::Commit);
    EXPECT_EQ(rig.ctx.state.Language, 1);
    for (double bad : {-1.0, 7.0, 2.5}) {
        rig.ui.SetCtrlVal(Ctrl::LanguageSelector, bad);
        DispatchControlEvent(rig.ctx, Ctrl::LanguageSelector, Event::Commit);
        EXPECT_EQ(rig.ctx.state.Language, 1);
    }
    rig.ui.SetCtrlVal(Ctrl::LanguageSelector, 6);
    DispatchControlEvent(rig.ctx, Ctrl::LanguageSelector, Event::ValChanged);
    EXPECT_EQ(rig.ctx.state.Language, 1);
    DispatchControlEvent(rig.ctx, Ctrl::LanguageSelector, Event::Commit);
    EXPECT_EQ(rig.ctx.state.Language, 6);
}

TEST_F(MainPanel, ConnectionPageStopsAcquisitionAndDimsAccept) {
    rig.ctx.state.acquisition = Acquisition::Live;
    rig.ui.SetActiveTabPage(kParameterPage);
    DispatchControlEvent(rig.ctx, Ctrl::TabControl, Event::ActiveTabChange);
    EXPECT_TRUE(rig.ctx.state.acquiring());
    EXPECT_FALSE(rig.ui.ctrl(Ctrl::AcceptButton).dimmed);
    rig.ui.SetActiveTabPage(kConnectionPage);
    DispatchControlEvent(rig.ctx, Ctrl::TabControl, Event::Commit);
    EXPECT_TRUE(rig.ctx.state.acquiring());
    DispatchControlEvent(rig.ctx, Ctrl::TabControl, Event::ActiveTabChange);
    EXPECT_FALSE(rig.ctx.state.acquiring());
    EXPECT_TRUE(rig.ui.ctrl(Ctrl::AcceptButton).dimmed);
    // Switching back does not restart anything.
    rig.ui.SetActiveTabPage(kParameterPage);
    DispatchControlEvent(rig.ctx, Ctrl::TabControl, Event::ActiveTabChange);
    EXPECT_FALSE(rig.ctx.state.acquiring());
}

}  // namespace
}  // namespace qelto
