// The parameter editor as an operator uses it: edit mode on, a parameter and a teach word
// changed, undo and redo, a Send that shows the differences and writes nothing without a yes,
// and the mark of a value the sensor refused.
#include <gtest/gtest.h>

#include "app/control_table.hpp"
#include "app/parameter_editor.hpp"
#include "doubles/scripted_sensor.hpp"

namespace qelto {
namespace {

constexpr int kGainRow = 16;  // parameter 15
const ConfigItem kGain = ConfigItem::Parameter(15);
const ConfigItem kRow2Cell0 = ConfigItem::Teach(2, 0);

Outcome Edit(UnitRig& rig, Ctrl table, int column, int row, double value) {
    rig.ui.EditCell(table, column, row, value);
    return DispatchControlEvent(rig.ctx, table, Event::ValChanged);
}

TEST(ParameterEditor, EditsGoOutOnlyAfterAYesAndARefusedValueIsMarked) {
    UnitRig rig;
    ScriptedSensor sensor;
    LoadDefaultParaValues(sensor.para, sensor.teach, 1);
    sensor.Attach(rig);
    DispatchControlEvent(rig.ctx, Ctrl::GetButton, Event::Commit);  // the sensor's values

    DispatchControlEvent(rig.ctx, Ctrl::EditModeButton, Event::Commit);
    EXPECT_TRUE(rig.ui.ctrl(Ctrl::TeachEditor).visible);
    EXPECT_FALSE(rig.ui.ctrl(Ctrl::TeachTableCtrl).visible);
    EXPECT_EQ(rig.ctx.editor.Cell(kGain).value, 6);

    EXPECT_EQ(Edit(rig, Ctrl::ParameterEditor, 1, kGainRow, 9), Outcome::Done);
    EXPECT_EQ(Edit(rig, Ctrl::TeachEditor, 1, 3, 900), Outcome::Done);  // row 2, CELL 0
    EXPECT_EQ(rig.ctx.working.config().para.Gain, 9);
    EXPECT_EQ(rig.ctx.working.config().teach[2].Cell[0], 900);
    EXPECT_EQ(rig.ctx.editor.Cell(kGain).mark, kCellChanged);
    // Outside 0..65535 the cell keeps its value, and the operator is told.
    EXPECT_EQ(Edit(rig, Ctrl::ParameterEditor, 1, kGainRow, 70000), Outcome::Declined);
    EXPECT_EQ(rig.ctx.working.config().para.Gain, 9);
    EXPECT_EQ(rig.ctx.editor.Cell(kGain).value, 9);
    EXPECT_EQ(rig.ui.statusMessages.back(),
              "[PARAMETER] GAIN: 70000 is outside 0..65535; the value stays 9.");

    EXPECT_FALSE(rig.ui.ctrl(Ctrl::UndoButton).dimmed);
    EXPECT_TRUE(rig.ui.ctrl(Ctrl::RedoButton).dimmed);
    DispatchControlEvent(rig.ctx, Ctrl::UndoButton, Event::Commit);
    EXPECT_EQ(rig.ctx.working.config().teach[2].Cell[0], 1);
    DispatchControlEvent(rig.ctx, Ctrl::RedoButton, Event::Commit);
    EXPECT_EQ(rig.ctx.working.config().teach[2].Cell[0], 900);

    // Send lists what would change; Enter says no and nothing goes out.
    sensor.seen.clear();
    rig.ui.SetCtrlVal(Ctrl::AverageControl, rig.ctx.working.config().para.Average);
    rig.ui.answers.push_back(PopupAnswer::Enter());
    EXPECT_EQ(DispatchControlEvent(rig.ctx, Ctrl::SendButton, Event::Commit), Outcome::Declined);
    EXPECT_TRUE(sensor.seen.empty());
    const std::string& asked = rig.ui.popups.back().message;
    EXPECT_NE(asked.find("[PARAMETER] GAIN: 6 -> 9\n[TEACH VECTOR 2] CELL 0: 1 -> 900\n"),
              std::string::npos)
        << asked;
    EXPECT_EQ(rig.ui.popups.back().enter, Default::No);

    rig.ui.answers.push_back(PopupAnswer::Yes());
    EXPECT_EQ(DispatchControlEvent(rig.ctx, Ctrl::SendButton, Event::Commit), Outcome::Done);
    EXPECT_EQ(sensor.Commands(), (std::vector<int>{1, 1, 3}));
    EXPECT_EQ(sensor.para.Gain, 9);
    EXPECT_EQ(sensor.teach[2].Cell[0], 900);
    EXPECT_EQ(rig.ctx.editor.Cell(kGain).mark, kCellPlain);

    // A value the sensor will not take: it keeps its own, and says it replaced one.
    sensor.writeRejects = 1;
    sensor.override = [&](const SeenRequest& r) -> std::optional<std::vector<Bytes>> {
        if (r.command != kCmdWrite || r.argument != kArgParameters) return std::nullopt;
        std::vector<Bytes> reply{sensor.Normal(r)};
        sensor.para.Gain = 6;
        return reply;
    };
    Edit(rig, Ctrl::ParameterEditor, 1, kGainRow, 200);
    rig.ui.answers.push_back(PopupAnswer::Yes());
    DispatchControlEvent(rig.ctx, Ctrl::SendButton, Event::Commit);
    EXPECT_EQ(rig.ctx.editor.Cell(kGain).mark, kCellRefused);
    EXPECT_EQ(rig.ctx.editor.Cell(kRow2Cell0).mark, kCellPlain);
    // The cell says what was sent, what the sensor holds now, and the sensor's verdicts (it
    // replaced one value of each block).
    const std::string verdict = "INFO!\n1" + std::string(kMsgRamPlausibilityTail);
    EXPECT_EQ(rig.ctx.editor.Cell(kGain).tooltip,
              "Sent: 200\nThe sensor holds: 6\n\n" + verdict + "\n\n" + verdict);
}

}  // namespace
}  // namespace qelto
