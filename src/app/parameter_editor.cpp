#include "app/parameter_editor.hpp"

#include <cmath>
#include <string>

#include "app/compare.hpp"
#include "app/connection.hpp"
#include "app/context.hpp"
#include "app/transfer.hpp"

namespace qelto {
namespace {

struct Texts {
    static constexpr std::string_view kSendTitle = "SEND";
    static constexpr std::string_view kSendHead =
        "A Send would change in the sensor (sensor -> shown):\n\n";
    static constexpr std::string_view kSendQuestion = "\nSend these values to the sensor?";
    static constexpr std::string_view kNothingToSend =
        "No differences: the sensor holds every value shown.";
    static constexpr std::string_view kUnknown =
        "What the sensor holds has not been read since connecting.\n\nSend every value shown "
        "to the sensor?";
    static constexpr std::string_view kOutOfRange = " is outside 0..65535; the value stays ";
};

// The page's controls of the plain view, and those of edit mode.
constexpr Ctrl kPlainPage[] = {Ctrl::PowerDisplay, Ctrl::MaxVecNoDisplay, Ctrl::GainDisplay,
                               Ctrl::IntegralDisplay, Ctrl::TeachTableCtrl};
constexpr Ctrl kEditPage[] = {Ctrl::ParameterEditor, Ctrl::TeachEditor, Ctrl::UndoButton,
                              Ctrl::RedoButton, Ctrl::RevertButton};

ParameterEditing& Editing(Context& ctx) {
    return *ctx.editing;
}

// Where an item's cell is.
struct Cell {
    Ctrl table;
    int column, row;
};
Cell CellOf(ConfigItem item) {
    if (item.teach) return {Ctrl::TeachEditor, item.word + 1, item.index + 1};
    return {Ctrl::ParameterEditor, 1, item.index + 1};
}

std::uint32_t MarkOf(const Context& ctx, ConfigItem item) {
    if (ctx.editing->refused.count(item)) return kCellRefused;
    // Without the sensor's values there is nothing to tell a change from.
    if (!ctx.sensor.knowsConfiguration()) return kCellPlain;
    return ItemValue(ctx.config, item) != ItemValue(ctx.sensor.configuration(), item) ? kCellChanged
                                                                                      : kCellPlain;
}

void ShowItem(Context& ctx, ConfigItem item) {
    const Cell c = CellOf(item);
    ctx.ui.SetTableCellVal(c.table, c.column, c.row, ItemValue(ctx.config, item));
    ctx.ui.SetTableCellColor(c.table, c.column, c.row, MarkOf(ctx, item));
}

template <typename F>
void ForEachItem(F f) {
    for (std::size_t k = 0; k < kParamCount; ++k)
        f(ConfigItem::Parameter(k));
    for (std::size_t r = 0; r < static_cast<std::size_t>(kEditorTeachRows); ++r) {
        for (std::size_t w = 0; w < kTeachWordCount; ++w)
            f(ConfigItem::Teach(r, w));
    }
}

void ShowHistory(Context& ctx) {
    ctx.ui.SetDimmed(Ctrl::UndoButton, Editing(ctx).undo.empty());
    ctx.ui.SetDimmed(Ctrl::RedoButton, Editing(ctx).redo.empty());
}

// Applies a step's values in one direction and shows the items it touched.
void Apply(Context& ctx, const ParameterEditing::Step& step, bool forward) {
    for (const auto& change : step) {
        SetItemValue(ctx.config, change.item, forward ? change.after : change.before);
        if (change.item == ConfigItem::Parameter(2)) {
            ctx.ui.SetCtrlVal(Ctrl::AverageControl, ctx.config.para.Average);
        }
        ShowItem(ctx, change.item);
    }
}

void Do(Context& ctx, ParameterEditing::Step step) {
    if (step.empty()) return;
    auto& e = Editing(ctx);
    Apply(ctx, step, true);
    e.undo.push_back(std::move(step));
    e.redo.clear();
    ShowHistory(ctx);
}

// Undo (backwards) or redo (forwards): the last step of `from`, applied, onto `to`.
Outcome Replay(Context& ctx, std::vector<ParameterEditing::Step>& from,
               std::vector<ParameterEditing::Step>& to, bool forward) {
    if (from.empty()) return Outcome::Declined;
    ParameterEditing::Step step = std::move(from.back());
    from.pop_back();
    Apply(ctx, step, forward);
    to.push_back(std::move(step));
    ShowHistory(ctx);
    return Outcome::Done;
}

Outcome EditActiveCell(Context& ctx, Ctrl table) {
    const auto [column, row] = ctx.ui.GetActiveTableCell(table);
    const bool teach = table == Ctrl::TeachEditor;
    if (row < 1 || column < 1) return Outcome::Declined;
    if (teach && (row > kEditorTeachRows || column > static_cast<int>(kTeachWordCount))) {
        return Outcome::Declined;
    }
    if (!teach && (row > static_cast<int>(kParamCount) || column != 1)) return Outcome::Declined;
    const ConfigItem item = teach ? ConfigItem::Teach(static_cast<std::size_t>(row - 1),
                                                      static_cast<std::size_t>(column - 1))
                                  : ConfigItem::Parameter(static_cast<std::size_t>(row - 1));
    return EditItem(ctx, item, ctx.ui.GetTableCellVal(table, column, row)) ? Outcome::Done
                                                                           : Outcome::Declined;
}

}  // namespace

bool EditModeOn(const Context& ctx) {
    return ctx.editing->on;
}

void ShowEditor(Context& ctx) {
    ForEachItem([&](ConfigItem item) { ShowItem(ctx, item); });
    ShowHistory(ctx);
}

bool EditItem(Context& ctx, ConfigItem item, double value) {
    const std::uint16_t before = ItemValue(ctx.config, item);
    if (!(value >= 0 && value <= 65535) || value != std::floor(value)) {
        ctx.ui.ShowStatusMessage(
            "[" + ItemSection(item) + "] " + ItemKey(item) + ": " +
            (std::isfinite(value) ? std::to_string(std::llround(value)) : std::string("that")) +
            std::string(Texts::kOutOfRange) + std::to_string(before) + ".");
        ShowItem(ctx, item);
        return false;
    }
    const auto after = static_cast<std::uint16_t>(value);
    if (after == before) return true;
    Editing(ctx).refused.erase(item);
    Do(ctx, {{item, before, after}});
    return true;
}

void ForgetEdits(Context& ctx) {
    auto& e = Editing(ctx);
    e.undo.clear();
    e.redo.clear();
    if (e.on) ShowEditor(ctx);
}

Outcome ConfirmEditedSend(Context& ctx) {
    std::string question;
    if (ctx.sensor.knowsConfiguration()) {
        const auto diffs = CompareConfigurations(ctx.sensor.configuration(), ctx.config,
                                                 static_cast<std::size_t>(kEditorTeachRows));
        if (diffs.empty()) {
            ctx.ui.MessagePopup(Texts::kSendTitle, Texts::kNothingToSend);
            return Outcome::Declined;
        }
        question = std::string(Texts::kSendHead) + DifferenceList(diffs) +
                   std::string(Texts::kSendQuestion);
    } else {
        question = Texts::kUnknown;
    }
    // Yes writes into the sensor: Enter says no.
    return ctx.ui.ConfirmPopup(Texts::kSendTitle, question, Default::No) == 1 ? Outcome::Done
                                                                              : Outcome::Declined;
}

void MarkRefused(Context& ctx, const Configuration& sent, const Configuration& held) {
    auto& refused = Editing(ctx).refused;
    refused.clear();
    for (const auto& d :
         CompareConfigurations(sent, held, static_cast<std::size_t>(kEditorTeachRows))) {
        refused.insert(d.item);
    }
    if (EditModeOn(ctx)) ShowEditor(ctx);
}

void ClearRefused(Context& ctx) {
    Editing(ctx).refused.clear();
    if (EditModeOn(ctx)) ShowEditor(ctx);
}

Outcome CBF_EditMode(Context& ctx) {
    auto& e = Editing(ctx);
    e.on = !e.on;
    ctx.ui.SetCtrlVal(Ctrl::EditModeButton, e.on ? 1 : 0);
    for (Ctrl c : kPlainPage)
        ctx.ui.SetVisible(c, !e.on);
    for (Ctrl c : kEditPage)
        ctx.ui.SetVisible(c, e.on);
    if (e.on) {
        ShowEditor(ctx);
    } else {
        // The plain page shows the working copy as the editor left it.
        ShowPlainValues(ctx);
    }
    return Outcome::Done;
}

Outcome CBF_EditParameterCell(Context& ctx) {
    return EditActiveCell(ctx, Ctrl::ParameterEditor);
}

Outcome CBF_EditTeachCell(Context& ctx) {
    return EditActiveCell(ctx, Ctrl::TeachEditor);
}

Outcome CBF_Undo(Context& ctx) {
    return Replay(ctx, Editing(ctx).undo, Editing(ctx).redo, false);
}

Outcome CBF_Redo(Context& ctx) {
    return Replay(ctx, Editing(ctx).redo, Editing(ctx).undo, true);
}

Outcome CBF_Revert(Context& ctx) {
    if (!ctx.sensor.knowsConfiguration()) return Outcome::Declined;
    ParameterEditing::Step step;
    ForEachItem([&](ConfigItem item) {
        const std::uint16_t now = ItemValue(ctx.config, item);
        const std::uint16_t sensor = ItemValue(ctx.sensor.configuration(), item);
        if (now != sensor) step.push_back({item, now, sensor});
    });
    Do(ctx, std::move(step));
    return Outcome::Done;
}

}  // namespace qelto
