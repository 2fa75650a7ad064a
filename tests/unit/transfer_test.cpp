// Parameter transfer on the fake link: exchange sequences, plausibility reports, partial
// success and what reaches the panels.
#include <gtest/gtest.h>

#include "app/control_table.hpp"
#include "app/graphs.hpp"
#include "app/transfer.hpp"
#include "doubles//scripted_sensor.hpp"
#include "link/transaction.hpp"

namespace qelto {
namespace {

class Transfer : public ::testing::Test {
  protected:
    void SetUp() override {
        sensor.Attach(rig);
        SetWorking(rig.ctx, [&](Configuration& c) { LoadDefaultParaValues(c.para, c.teach, 1); });
    }
    std::string InfoBox() { return rig.ui.ctrl(Ctrl::InfoBox).text; }
    std::vector<std::pair<int, int>> Sequence() {
        std::vector<std::pair<int, int>> s;
        for (const auto& r : sensor.seen)
            s.emplace_back(r.command, r.argument);
        return s;
    }

    UnitRig rig;
    ScriptedSensor sensor;
};

using Seq = std::vector<std::pair<int, int>>;

TEST_F(Transfer, SendGoesThroughTheEepromOnlyForTargetTwo) {
    SetWorking(rig.ctx, [&](Configuration& c) { c.para.Power = 65535; });
    SetWorking(rig.ctx, [&](Configuration& c) { c.teach[31].Hold = 1234; });
    SetWorking(rig.ctx, [&](Configuration& c) { c.teach[32].Cell[0] = 999; });
    rig.ctx.state.sendRequest = true;
    rig.ctx.state.TransferTarget = kTargetEeprom;
    EXPECT_EQ(rig.ctx.transfer.SendPara(), SendResult::Taken);
    EXPECT_EQ(Sequence(), (Seq{{1, 0}, {1, 2}, {3, 0}}));
    EXPECT_FALSE(rig.ctx.state.sendRequest);
    ASSERT_EQ(sensor.seen[0].data.size(), kParameterBlockSize);
    ASSERT_EQ(sensor.seen[1].data.size(), kTeachBlockSize);
    EXPECT_EQ(sensor.para, rig.ctx.working.config().para);
    EXPECT_EQ(sensor.para.Power, 65535);
    EXPECT_EQ(sensor.teach[31].Hold, 1234);
    EXPECT_EQ(sensor.teach[32].Cell[0], 0);  // rows from 32 on never travel
    EXPECT_EQ(InfoBox(), "");

    for (std::uint16_t target : {kTargetFile, std::uint16_t{0}, std::uint16_t{7}}) {
        sensor.seen.clear();
        rig.ctx.state.TransferTarget = target;
        rig.ctx.transfer.SendPara();
        EXPECT_EQ(Sequence(), (Seq{{1, 0}, {1, 2}})) << "target " << target;
    }
}

TEST_F(Transfer, RejectedWritesAreReportedAndTheTransferGoesOn) {
    const ParameterSet before = rig.ctx.working.config().para;
    sensor.writeRejects = 3;
    rig.ui.SetActiveTabPage(kParameterPage);
    EXPECT_EQ(rig.ctx.transfer.SendPara(), SendResult::Refused);
    // Both writes are still made, and the EEPROM store follows; then RAM is read back to name
    // what the sensor did not take.
    EXPECT_EQ(Sequence(), (Seq{{1, 0}, {1, 2}, {3, 0}, {2, 0}, {2, 2}}));
    const std::string report =
        "INFO!\n3 PARAMETER IN RAM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO DEFAULT "
        "VALUE!\n\n";
    EXPECT_EQ(InfoBox(), report + report);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::StatusDisplay).text, "TIMEOUT!");
    EXPECT_EQ(rig.ui.GetActiveTabPage(), kConnectionPage);
    EXPECT_EQ(rig.ctx.working.config().para,
              before);  // the sensor's replacements are not taken over
}

TEST_F(Transfer, SendStopsAtTheFirstFailedExchange) {
    sensor.override = [](const SeenRequest& r) -> std::optional<std::vector<Bytes>> {
        if (r.command == kCmdWrite && r.argument == kArgTeachTable) return std::vector<Bytes>{};
        return std::nullopt;
    };
    EXPECT_EQ(rig.ctx.transfer.SendPara(), SendResult::Failed);
    EXPECT_EQ(Sequence(), (Seq{{1, 0}, {1, 2}}));
    EXPECT_EQ(InfoBox(), std::string(kMsgTimeout) + "\n\n");
}

TEST_F(Transfer, GetLoadsTheEepromFirstOnlyForTargetTwo) {
    sensor.para.Average = 77;
    sensor.teach[0].Cell = {1000, 1500, 800, 100, 0, 0};
    SetWorking(rig.ctx, [&](Configuration& c) {
        c.teach[40].Cell[0] = 4242;
    });  // say, from a parameter file
    rig.ctx.state.getRequest = true;
    const std::size_t appended = rig.ui.graph(Ctrl::RgbStripChart).stripValuesAppended;
    rig.ctx.transfer.GetPara();
    EXPECT_EQ(Sequence(), (Seq{{4, 0}, {2, 0}, {2, 2}}));
    EXPECT_FALSE(rig.ctx.state.getRequest);
    EXPECT_EQ(rig.ctx.working.config().para, sensor.para);
    EXPECT_EQ(rig.ctx.working.config().teach[0].Cell[3], 100);
    EXPECT_EQ(rig.ctx.working.config().teach[5], sensor.teach[5]);
    EXPECT_EQ(rig.ctx.working.config().teach[40].Cell[0], 4242);  // rows 32..63 stay
    EXPECT_EQ(rig.ctx.working.config().teach[32].Hold, 10);
    // Panels and graphs follow the new copy.
    EXPECT_EQ(rig.ui.ctrl(Ctrl::AverageControl).value, 77);
    EXPECT_EQ(rig.ui.cellValue(1, 1), 1000);
    EXPECT_EQ(rig.ui.graph(Ctrl::GraphXY).arcs.size(), kTeachRows);
    EXPECT_EQ(rig.ctx.graphs.extent().MinX, 900);
    EXPECT_EQ(rig.ui.graph(Ctrl::RgbStripChart).stripValuesAppended - appended, kRgbHistorySize);

    sensor.seen.clear();
    rig.ctx.state.TransferTarget = kTargetFile;
    rig.ctx.transfer.GetPara();
    EXPECT_EQ(Sequence(), (Seq{{2, 0}, {2, 2}}));
}

TEST_F(Transfer, ImplausibleEepromIsOnlyNotedAndTheReadGoesOn) {
    sensor.eepromRejects = 2;
    sensor.para.Gain = 3;
    rig.ui.SetCtrlText(Ctrl::StatusDisplay, "KORVANEX V4.3B7");
    rig.ui.SetActiveTabPage(kParameterPage);
    EXPECT_TRUE(rig.ctx.transfer.GetPara());
    EXPECT_EQ(InfoBox(),
              "INFO!\n2 PARAMETER FROM EEPROM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO "
              "DEFAULT VALUE!\n\n");
    EXPECT_EQ(rig.ui.GetActiveTabPage(), kConnectionPage);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::StatusDisplay).text, "KORVANEX V4.3B7");
    EXPECT_FALSE(rig.ui.ctrl(Ctrl::AcceptButton).dimmed);
    EXPECT_EQ(rig.ctx.working.config().para.Gain, 3);
}

TEST_F(Transfer, ShortBlocksAreRefusedInsteadOfZeroingTheWorkingCopy) {
    const ParameterSet before = rig.ctx.working.config().para;
    const TeachTable teachBefore = rig.ctx.working.config().teach;
    // A sensor's error reply with a code other than 1 and 2 passes the exchange without data.
    sensor.override = [](const SeenRequest& r) -> std::optional<std::vector<Bytes>> {
        if (r.command == kCmdRead) return std::vector<Bytes>{Frame(0, 3)};
        return std::nullopt;
    };
    EXPECT_FALSE(rig.ctx.transfer.GetPara());
    EXPECT_EQ(rig.ctx.working.config().para, before);
    EXPECT_EQ(InfoBox(), std::string(kMsgBadData) + "\n\n");

    sensor.override = [](const SeenRequest& r) -> std::optional<std::vector<Bytes>> {
        if (r.command == kCmdRead && r.argument == kArgTeachTable) {
            return std::vector<Bytes>{Frame(2, 2, Bytes(511, 9))};
        }
        return std::nullopt;
    };
    EXPECT_FALSE(rig.ctx.transfer.GetPara());
    EXPECT_EQ(rig.ctx.working.config().teach, teachBefore);
}

TEST_F(Transfer, PanelValuesShowRowsZeroToThirtyOnly) {
    for (std::size_t r = 0; r < kTeachRows; ++r) {
        SetWorking(rig.ctx, [&](Configuration& c) {
            c.teach[r].Cell = {static_cast<std::uint16_t>(r), 2, 3, 4, 5, 6};
        });
    }
    SetWorking(rig.ctx, [&](Configuration& c) { c.para.Power = 65535; });
    SetWorking(rig.ctx, [&](Configuration& c) { c.para.MaxVecNo = 7; });
    SetWorking(rig.ctx, [&](Configuration& c) { c.para.Gain = 8; });
    SetWorking(rig.ctx, [&](Configuration& c) { c.para.Integral = 9; });
    rig.ctx.page.Show();
    EXPECT_EQ(rig.ui.ctrl(Ctrl::PowerDisplay).value, 65535);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::MaxVecNoDisplay).value, 7);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::GainDisplay).value, 8);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::IntegralDisplay).value, 9);
    EXPECT_EQ(rig.ui.cellValue(1, 31), 30);
    EXPECT_EQ(rig.ui.cellValue(4, 31), 4);
    EXPECT_FALSE(rig.ui.cellValue(5, 1).has_value());   // the marker column is not a value
    EXPECT_FALSE(rig.ui.cellValue(1, 32).has_value());  // row 31 is never shown
}

// The operator's path around a refusal: an unsent GAIN is marked on the page; typing the same
// value again is no step to undo; the sensor refuses it and the status bar and the page say
// so; F9 asks before sending it again (Enter: no); a new value clears the refusal; a Send the
// sensor takes leaves nothing marked.
TEST_F(Transfer, WhatASendDidIsSaidAndWhatTheSensorDoesNotHoldIsMarked) {
    const ConfigItem gain = ConfigItem::Parameter(15);
    LoadDefaultParaValues(sensor.para, sensor.teach, 1);  // GAIN 6
    ASSERT_TRUE(rig.ctx.transfer.GetPara());
    EXPECT_EQ(rig.ui.statusMessages.back(), "Read from EEPROM");
    const auto page = [&] { return rig.ui.ctrl(Ctrl::GainDisplay); };
    EXPECT_EQ(page().color, kCellPlain);

    ASSERT_TRUE(rig.ctx.editor.EditItem(gain, 8));
    EXPECT_EQ(page().color, kCellChanged);
    EXPECT_EQ(page().tooltip, "Not sent yet: the sensor holds 6");
    rig.ctx.working.Undo();
    EXPECT_FALSE(rig.ctx.working.canUndo());
    ASSERT_TRUE(rig.ctx.editor.EditItem(gain, 8));
    ASSERT_TRUE(rig.ctx.editor.EditItem(gain, 8));  // the value it holds: no second step
    rig.ctx.working.Undo();
    EXPECT_FALSE(rig.ctx.working.canUndo());
    ASSERT_TRUE(rig.ctx.editor.EditItem(gain, 8));

    // The sensor keeps its GAIN and says it replaced one value.
    sensor.override = [&](const SeenRequest& r) -> std::optional<std::vector<Bytes>> {
        if (r.command != kCmdWrite || r.argument != kArgParameters) return std::nullopt;
        ParameterSet kept = sensor.para;
        std::vector<Bytes> reply{sensor.Normal(r)};
        sensor.para = kept;
        reply[0] = Frame(1, 1);
        return reply;
    };
    rig.ui.SetCtrlVal(Ctrl::AverageControl, rig.ctx.working.para().Average);
    EXPECT_EQ(DispatchControlEvent(rig.ctx, Ctrl::SendButton, Event::Commit), Outcome::Failed);
    EXPECT_EQ(rig.ui.statusFailures.back(), "Sent to EEPROM: GAIN refused (sent 8, holds 6)");
    EXPECT_EQ(page().color, kCellRefused);
    EXPECT_EQ(page().tooltip.rfind("Sent: 8\nThe sensor holds: 6\n\n", 0), 0u) << page().tooltip;
    EXPECT_EQ(rig.ctx.editor.Cell(ConfigItem::Parameter(0)).mark, kCellPlain);  // POWER taken

    // F9 again would send the refused value once more: not without a yes.
    sensor.seen.clear();
    rig.ui.answers.push_back(PopupAnswer::Enter());
    EXPECT_EQ(DispatchControlEvent(rig.ctx, Ctrl::SendButton, Event::Commit), Outcome::Declined);
    EXPECT_TRUE(sensor.seen.empty());
    EXPECT_NE(rig.ui.popups.back().message.find("[PARAMETER] GAIN: 8 -> 6"), std::string::npos)
        << rig.ui.popups.back().message;
    EXPECT_EQ(rig.ui.popups.back().enter, Default::No);

    // A new value is no longer the refused one; the sensor takes it.
    ASSERT_TRUE(rig.ctx.editor.EditItem(gain, 7));
    EXPECT_EQ(page().color, kCellChanged);
    sensor.override = nullptr;
    EXPECT_EQ(DispatchControlEvent(rig.ctx, Ctrl::SendButton, Event::Commit), Outcome::Done);
    EXPECT_EQ(rig.ui.statusMessages.back(), "Sent to EEPROM: 1 change, all taken");
    EXPECT_EQ(page().color, kCellPlain);
    EXPECT_EQ(page().tooltip, "");
    EXPECT_EQ(rig.ctx.editor.Cell(gain).mark, kCellPlain);
}

// RAM as a target of its own: Send and Get touch RAM alone, a reminder stays on the link line
// until Store in EEPROM (command 3 alone) has put RAM into the EEPROM, and says so.
TEST_F(Transfer, RamIsATargetOfItsOwnAndStoreInEepromKeepsIt) {
    ASSERT_TRUE(rig.sensor.Identify().ok());
    EXPECT_FALSE(rig.ui.ctrl(Ctrl::StoreButton).visible);
    DispatchControlEvent(rig.ctx, Ctrl::RamButton, Event::ValChanged);
    EXPECT_EQ(rig.ctx.state.TransferTarget, kTargetRam);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::RamButton).value, 1);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::EepromButton).value, 0);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::SendButton).text, "Send \u2192 RAM F9");
    EXPECT_EQ(rig.ui.ctrl(Ctrl::GetButton).text, "Get \u2190 RAM F10");

    sensor.seen.clear();
    rig.ui.SetCtrlVal(Ctrl::AverageControl, 16);
    EXPECT_EQ(DispatchControlEvent(rig.ctx, Ctrl::SendButton, Event::Commit), Outcome::Done);
    EXPECT_EQ(Sequence(), (Seq{{1, 0}, {1, 2}}));
    EXPECT_EQ(rig.ui.statusMessages.back().rfind("Sent to RAM: ", 0), 0u)
        << rig.ui.statusMessages.back();
    EXPECT_TRUE(rig.ui.ctrl(Ctrl::RamReminder).visible);
    EXPECT_TRUE(rig.ui.ctrl(Ctrl::StoreButton).visible);
    sensor.seen.clear();
    EXPECT_EQ(DispatchControlEvent(rig.ctx, Ctrl::GetButton, Event::Commit), Outcome::Done);
    EXPECT_EQ(Sequence(), (Seq{{2, 0}, {2, 2}}));
    EXPECT_TRUE(rig.ui.ctrl(Ctrl::StoreButton).visible);  // RAM is still ahead

    // Store's answer lost: the EEPROM may hold either, and the reminder stays.
    sensor.override = [](const SeenRequest& r) -> std::optional<std::vector<Bytes>> {
        if (r.command == kCmdStoreEeprom) return std::vector<Bytes>{};
        return std::nullopt;
    };
    sensor.seen.clear();
    EXPECT_EQ(DispatchControlEvent(rig.ctx, Ctrl::StoreButton, Event::Commit), Outcome::Failed);
    EXPECT_EQ(Sequence(), (Seq{{3, 0}}));
    EXPECT_EQ(rig.ui.statusFailures.back(),
              "Store in the EEPROM failed at store (time-out); the sensor may hold: RAM "
              "old, EEPROM unknown");
    EXPECT_TRUE(rig.ui.ctrl(Ctrl::StoreButton).visible);
    sensor.override = nullptr;
    EXPECT_EQ(DispatchControlEvent(rig.ctx, Ctrl::StoreButton, Event::Commit), Outcome::Done);
    EXPECT_EQ(rig.ui.statusMessages.back(), "Stored RAM in the EEPROM");
    EXPECT_FALSE(rig.ui.ctrl(Ctrl::RamReminder).visible);
    EXPECT_FALSE(rig.ui.ctrl(Ctrl::StoreButton).visible);

    // Not beside GO: the live data holds the link.
    rig.ctx.transfer.SendPara();
    ASSERT_TRUE(rig.ui.ctrl(Ctrl::StoreButton).visible);
    const CommandLock::Scope live(rig.ctx.lock, UserCommand::Go);
    EXPECT_TRUE(rig.ui.ctrl(Ctrl::StoreButton).dimmed);
}

// A Send whose answer was lost: once the sensor has answered again and no command runs, a
// read-back is offered, Enter saying no; yes reads it into the session alone, the unsent edits
// kept and what the sensor holds otherwise marked.
TEST_F(Transfer, AfterALostAnswerAReadBackIsOfferedAndEnterSaysNo) {
    ASSERT_TRUE(rig.sensor.Identify().ok());
    LoadDefaultParaValues(sensor.para, sensor.teach, 1);
    ASSERT_TRUE(rig.ctx.transfer.GetPara());
    rig.ctx.working.Edit(ConfigItem::Parameter(15), 8);
    rig.ui.SetCtrlVal(Ctrl::AverageControl, rig.ctx.working.para().Average);
    sensor.override = [](const SeenRequest& r) -> std::optional<std::vector<Bytes>> {
        if (r.command == kCmdStoreEeprom) return std::vector<Bytes>{};
        return std::nullopt;
    };
    EXPECT_EQ(DispatchControlEvent(rig.ctx, Ctrl::SendButton, Event::Commit), Outcome::Failed);
    EXPECT_EQ(rig.ui.statusFailures.back(),
              "Send to EEPROM failed at store (time-out); the sensor may hold: RAM new, "
              "EEPROM unknown");
    sensor.override = nullptr;
    const std::size_t asked = rig.ui.popups.size();
    rig.ctx.transfer.OfferReadBack();  // nothing has answered since
    EXPECT_EQ(rig.ui.popups.size(), asked);

    rig.ui.answers.push_back(PopupAnswer::Enter());
    DispatchControlEvent(rig.ctx, Ctrl::FreqButton, Event::Commit);  // answered
    ASSERT_EQ(rig.ui.popups.size(), asked + 1);
    EXPECT_EQ(rig.ui.popups.back().enter, Default::No);
    EXPECT_NE(rig.ui.popups.back().message.find("RAM new, EEPROM unknown"), std::string::npos);
    sensor.seen.clear();
    rig.ctx.transfer.OfferReadBack();  // asked once
    EXPECT_TRUE(sensor.seen.empty());
}

}  // namespace
}  // namespace qelto
