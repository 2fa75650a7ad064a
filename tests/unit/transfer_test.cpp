// Parameter transfer on the fake link: exchange sequences, plausibility reports, partial
// success and what reaches the panels.
#include <gtest/gtest.h>

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
    // Both writes are still made, and the EEPROM store follows.
    EXPECT_EQ(Sequence(), (Seq{{1, 0}, {1, 2}, {3, 0}}));
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

}  // namespace
}  // namespace qelto
