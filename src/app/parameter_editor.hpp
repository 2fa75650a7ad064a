// The parameter editor: an edit mode of the parameter page, off until the operator asks for
// it, that shows every parameter and the teach rows the sensor holds, takes typed or stepped
// values into the working copy, marks what differs from the sensor's values and what the
// sensor refused (with what it holds instead, and why), and has undo, redo and a way back to
// the sensor's values. A Send from edit mode lists the differences and asks first, No being
// the answer Enter gives.
//
// Its tables, as the operator types into them: ParameterEditor has parameter k in row k + 1,
// its value in column 1; TeachEditor has teach row r in row r + 1, its eight words in columns
// 1..8. What the cells show comes from Cell(), a view of the working copy.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/operation_state.hpp"
#include "protocol/configuration_diff.hpp"
#include "protocol/records.hpp"
#include "sensor/evidence.hpp"

namespace qelto {

class WorkingCopy;

// Cell backgrounds: a value that differs from the sensor's, and one it refused at the last
// send. Both light, with dark text, in either theme.
inline constexpr std::uint32_t kCellChanged = 0xFFE28A;
inline constexpr std::uint32_t kCellRefused = 0xFF9C9C;
// The tolerance of a teach row whose sphere overlaps another's.
inline constexpr std::uint32_t kCellOverlap = 0xD7C4FF;
inline constexpr int kEditorTeachRows = 32;  // the rows the sensor holds

// What a value shows beside it, in the editor and on the plain page alike: refused at the
// last send (what was sent, what the sensor holds, its verdict), or not what the sensor holds
// (not sent yet, or the sensor holds another), or nothing. Without the sensor's values there
// is nothing to tell a change from.
struct ValueMark {
    std::uint32_t color = kCellPlain;
    std::string tooltip;
};
ValueMark MarkOf(OperatorInterface& ui, const WorkingCopy& working, ConfigItem item);

// What an editor cell shows.
struct EditorCell {
    std::uint16_t value = 0;
    std::uint32_t mark = kCellPlain;
    std::string tooltip;  // what the mark means: what was sent, what the sensor holds, why
};

class Editor {
  public:
    Editor(OperatorInterface& ui, WorkingCopy& working);
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    bool on() const { return on_; }
    EditorCell Cell(ConfigItem item) const;

    // The operator's new value for an item: refused with a status line outside 0..65535 (the
    // cell keeps its value), otherwise into the working copy as a step undo takes back.
    bool EditItem(ConfigItem item, double value);
    // Send from edit mode: what would change in the sensor, and the question. Done: go ahead.
    Outcome ConfirmEditedSend();

    // The controls' actions.
    Outcome ToggleEditMode();
    // A value typed into the active cell of ParameterEditor or TeachEditor.
    Outcome EditActiveCell(Ctrl table);
    Outcome Undo();
    Outcome Redo();
    Outcome Revert();

  private:
    void ShowHistory();

    OperatorInterface& ui_;
    WorkingCopy& working_;
    bool on_ = false;
    // The taught rows whose spheres overlap, as the working copy holds them now.
    std::vector<TightPair> overlaps_;
};

}  // namespace qelto
