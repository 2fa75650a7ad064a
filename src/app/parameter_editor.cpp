#include "app/parameter_editor.hpp"

#include <cmath>
#include <string>

#include "app/compare.hpp"
#include "app/teach_evidence.hpp"
#include "app/working_copy.hpp"
#include "protocol/number_text.hpp"

namespace qelto {
namespace {

constexpr const char* kSendTitle = "SEND";
constexpr const char* kEditorSendHead =
    Tr("A Send would change in the sensor (sensor -> shown):\n\n");
constexpr const char* kEditorSendQuestion = Tr("\nSend these values to the sensor?");
constexpr const char* kNothingToSend = Tr("No differences: the sensor holds every value shown.");
constexpr const char* kUnknown =
    Tr("What the sensor holds has not been read since connecting.\n\nSend every value shown "
       "to the sensor?");
// The item ("[PARAMETER] GAIN"), the value typed, the value kept.
constexpr const char* kOutOfRange = Tr("%1: %2 is outside 0..65535; the value stays %3.");
constexpr const char* kNotANumber = Tr("that");
// What was sent, what the sensor holds.
constexpr const char* kRefusedCell = Tr("Sent: %1\nThe sensor holds: %2");
// What the sensor holds.
constexpr const char* kNotSentYet = Tr("Not sent yet: the sensor holds %1");
constexpr const char* kSensorHolds = Tr("The sensor holds %1");

// The page's controls of the plain view, and those of edit mode.
// The assistant stays on the plain page: it sets values of its own, and the editor wants the
// rows.
constexpr Ctrl kPlainPage[] = {Ctrl::PowerDisplay,   Ctrl::MaxVecNoDisplay,
                               Ctrl::GainDisplay,    Ctrl::IntegralDisplay,
                               Ctrl::TeachTableCtrl, Ctrl::StartAssistantButton};
constexpr Ctrl kEditPage[] = {Ctrl::ParameterEditor, Ctrl::TeachEditor, Ctrl::UndoButton,
                              Ctrl::RedoButton, Ctrl::RevertButton};

}  // namespace

Editor::Editor(OperatorInterface& ui, WorkingCopy& working) : ui_(ui), working_(working) {
    working_.AddView([this](const WorkingCopyChange& change) {
        if (change.marksOnly()) return;
        ShowHistory();
        if (change.teach || change.parameters) overlaps_ = OverlappingSpheres(working_.config());
    });
}

ValueMark MarkOf(OperatorInterface& ui, const WorkingCopy& working, ConfigItem item) {
    if (const auto refused = working.refusal(item)) {
        return {kCellRefused, Fill(ui.Translate(kRefusedCell),
                                   {std::to_string(refused->sent), std::to_string(refused->held)}) +
                                  "\n\n" + working.refusalReport()};
    }
    if (!working.DiffersFromSensor(item)) return {};
    const std::string held = std::to_string(ItemValue(*working.sensorValues(), item));
    return {kCellChanged,
            Fill(ui.Translate(working.Unsent(item) ? kNotSentYet : kSensorHolds), {held})};
}

EditorCell Editor::Cell(ConfigItem item) const {
    const ValueMark mark = MarkOf(ui_, working_, item);
    EditorCell cell{working_.value(item), mark.color, mark.tooltip};
    if (mark.color == kCellRefused) return cell;
    // A tolerance whose sphere overlaps another row's: the sensor cannot tell those samples.
    // That says more than a change does: it takes the mark, and the change stays in the tooltip.
    constexpr std::uint8_t kToleranceWord = 3;
    if (!item.teach || item.word != kToleranceWord) return cell;
    std::string overlaps;
    for (const TightPair& p : overlaps_) {
        if (p.row != item.index && p.other != item.index) continue;
        const std::size_t other = p.row == item.index ? p.other : p.row;
        if (!overlaps.empty()) overlaps += "\n";
        overlaps += "Its sphere overlaps row " + std::to_string(other) + "'s (" +
                    FormatFixed(p.distance, 1) + " apart, tolerance " +
                    std::to_string(working_.teach()[other].Cell[3]) +
                    "): where both hold a sample, the sensor reports the lower row.";
    }
    if (overlaps.empty()) return cell;
    cell.mark = kCellOverlap;
    cell.tooltip = mark.tooltip.empty() ? overlaps : overlaps + "\n" + mark.tooltip;
    return cell;
}

void Editor::ShowHistory() {
    ui_.SetDimmed(Ctrl::UndoButton, !working_.canUndo());
    ui_.SetDimmed(Ctrl::RedoButton, !working_.canRedo());
}

bool Editor::EditItem(ConfigItem item, double value) {
    const std::uint16_t before = working_.value(item);
    if (!(value >= 0 && value <= 65535) || value != std::floor(value)) {
        const std::string where = "[" + std::string(ItemSection(item)) + "] " + ItemKey(item);
        const std::string typed =
            std::isfinite(value) ? std::to_string(std::llround(value)) : ui_.Translate(kNotANumber);
        ui_.ShowStatusFailure(
            Fill(ui_.Translate(kOutOfRange), {where, typed, std::to_string(before)}));
        return false;
    }
    working_.Edit(item, static_cast<std::uint16_t>(value));
    return true;
}

Outcome Editor::EditActiveCell(Ctrl table) {
    const auto [column, row] = ui_.GetActiveTableCell(table);
    const bool teach = table == Ctrl::TeachEditor;
    if (row < 1 || column < 1) return Outcome::Declined;
    if (teach && (row > kEditorTeachRows || column > static_cast<int>(kTeachWordCount))) {
        return Outcome::Declined;
    }
    if (!teach && (row > static_cast<int>(kParamCount) || column != 1)) return Outcome::Declined;
    const ConfigItem item = teach ? ConfigItem::Teach(static_cast<std::size_t>(row - 1),
                                                      static_cast<std::size_t>(column - 1))
                                  : ConfigItem::Parameter(static_cast<std::size_t>(row - 1));
    return EditItem(item, ui_.GetTableCellVal(table, column, row)) ? Outcome::Done
                                                                   : Outcome::Declined;
}

Outcome Editor::ConfirmEditedSend() {
    std::string question;
    const Configuration* held = working_.sensorValues();
    if (held != nullptr) {
        const auto diffs = CompareConfigurations(*held, working_.config(),
                                                 static_cast<std::size_t>(kEditorTeachRows));
        if (diffs.empty()) {
            ui_.MessagePopup(kSendTitle, ui_.Translate(kNothingToSend));
            return Outcome::Declined;
        }
        question = ui_.Translate(kEditorSendHead) + DifferenceList(diffs);
    } else {
        question = ui_.Translate(kUnknown);
    }
    // Said before anything is written: spheres that overlap cannot tell their colours apart.
    if (const std::string overlaps = OverlapNote(working_.config()); !overlaps.empty()) {
        question += "\n" + overlaps;
    }
    if (held != nullptr) question += ui_.Translate(kEditorSendQuestion);
    // Yes writes into the sensor: Enter says no.
    return ui_.ConfirmPopup(kSendTitle, question, Default::No) == 1 ? Outcome::Done
                                                                    : Outcome::Declined;
}

Outcome Editor::ToggleEditMode() {
    on_ = !on_;
    ui_.SetCtrlVal(Ctrl::EditModeButton, on_ ? 1 : 0);
    for (Ctrl c : kPlainPage)
        ui_.SetVisible(c, !on_);
    for (Ctrl c : kEditPage)
        ui_.SetVisible(c, on_);
    ShowHistory();
    return Outcome::Done;
}

Outcome Editor::Undo() {
    return working_.Undo() ? Outcome::Done : Outcome::Declined;
}

Outcome Editor::Redo() {
    return working_.Redo() ? Outcome::Done : Outcome::Declined;
}

Outcome Editor::Revert() {
    if (working_.sensorValues() == nullptr) return Outcome::Declined;
    working_.RevertToSensor();
    return Outcome::Done;
}

}  // namespace qelto
