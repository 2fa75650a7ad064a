// The parameter editor: an edit mode of the parameter page, off until the operator asks for
// it, that shows every parameter and the teach rows the sensor holds, takes typed or stepped
// values into the working copy, marks what differs from the sensor's values, and has undo,
// redo and a way back to the sensor's values. A Send from edit mode lists the differences and
// asks first, No being the answer Enter gives.
//
// Its tables: ParameterEditor has parameter k in row k + 1, its value in column 1 (the window
// takes the group, key and meaning from the parameter table); TeachEditor has teach row r in
// row r + 1, its eight words in columns 1..8.
#pragma once

#include <cstdint>
#include <set>
#include <vector>

#include "app/operation_state.hpp"
#include "protocol/configuration_diff.hpp"
#include "protocol/records.hpp"

namespace qelto {

struct Context;

// Cell backgrounds: a value that differs from the sensor's, and one it refused at the last
// send. Both light, with dark text, in either theme.
inline constexpr std::uint32_t kCellChanged = 0xFFE28A;
inline constexpr std::uint32_t kCellRefused = 0xFF9C9C;
inline constexpr int kEditorTeachRows = 32;  // the rows the sensor holds

struct ParameterEditing {
    struct Change {
        ConfigItem item;
        std::uint16_t before = 0;
        std::uint16_t after = 0;
    };
    using Step = std::vector<Change>;  // what one undo takes back
    bool on = false;
    std::vector<Step> undo, redo;
    std::set<ConfigItem> refused;  // by the sensor at the last send from the editor
};

bool EditModeOn(const Context& ctx);
// The editor's cells from the working copy, with their marks.
void ShowEditor(Context& ctx);
// The operator's new value for an item: refused with a status line outside 0..65535 (the
// cell shows the value it keeps), otherwise into the working copy as a step undo takes back.
bool EditItem(Context& ctx, ConfigItem item, double value);
// The working copy was replaced as a whole (Get, a file, the assistant): nothing to undo.
void ForgetEdits(Context& ctx);

// Send from edit mode: what would change in the sensor, and the question. Done: go ahead.
Outcome ConfirmEditedSend(Context& ctx);
// After a send the sensor refused some of: what it holds now tells which, and they are
// marked. `sent` is what went out.
void MarkRefused(Context& ctx, const Configuration& sent, const Configuration& held);
// A send the sensor took whole, or that failed on the way: no value is marked refused.
void ClearRefused(Context& ctx);

Outcome CBF_EditMode(Context& ctx);
Outcome CBF_EditParameterCell(Context& ctx);
Outcome CBF_EditTeachCell(Context& ctx);
Outcome CBF_Undo(Context& ctx);
Outcome CBF_Redo(Context& ctx);
Outcome CBF_Revert(Context& ctx);

}  // namespace qelto
