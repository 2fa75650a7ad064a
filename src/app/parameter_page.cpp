#include "app/parameter_page.hpp"

#include "app/parameter_editor.hpp"
#include "app/program.hpp"
#include "app/teach_evidence.hpp"
#include "app/working_copy.hpp"

namespace qelto {
namespace {

// The page's value displays and the parameters they show.
struct Display {
    Ctrl ctrl;
    std::uint16_t ParameterSet::*member;
};
constexpr Display kDisplays[] = {{Ctrl::AverageControl, &ParameterSet::Average},
                                 {Ctrl::PowerDisplay, &ParameterSet::Power},
                                 {Ctrl::MaxVecNoDisplay, &ParameterSet::MaxVecNo},
                                 {Ctrl::GainDisplay, &ParameterSet::Gain},
                                 {Ctrl::IntegralDisplay, &ParameterSet::Integral}};

ConfigItem ItemOf(std::uint16_t ParameterSet::*member) {
    std::size_t k = 0;
    while (k + 1 < kParamFields.size() && kParamFields[k].member != member)
        ++k;
    return ConfigItem::Parameter(k);
}

}  // namespace

void ParameterPage::Show() {
    for (const Display& d : kDisplays)
        ui_.SetCtrlVal(d.ctrl, working_.para().*d.member);
    // Table row r + 1 shows teach row r; columns 1..4 show Cell[0..3].
    for (std::size_t r = 0; r < kShownTeachRows; ++r) {
        for (int k = 1; k <= 4; ++k) {
            ui_.SetTableCellVal(Ctrl::TeachTableCtrl, k, static_cast<int>(r) + 1,
                                working_.teach()[r].Cell[static_cast<std::size_t>(k - 1)]);
        }
    }
    // The rows whose spheres overlap are said beneath the teach rows.
    if (std::string line = OverlapLine(working_.config()); line != overlapLine_) {
        overlapLine_ = std::move(line);
        ui_.SetCtrlText(Ctrl::OverlapNote, overlapLine_);
        ui_.SetVisible(Ctrl::OverlapNote, !overlapLine_.empty());
    }
    ShowMarks();
}

void ParameterPage::ShowMarks() {
    for (const Display& d : kDisplays) {
        const ValueMark mark = MarkOf(ui_, working_, ItemOf(d.member));
        ui_.SetCtrlColor(d.ctrl, mark.color);
        ui_.SetTooltip(d.ctrl, mark.tooltip);
    }
    for (std::size_t r = 0; r < kShownTeachRows; ++r) {
        for (int k = 1; k <= 4; ++k) {
            const std::pair cell{k, static_cast<int>(r) + 1};
            const ValueMark mark =
                MarkOf(ui_, working_, ConfigItem::Teach(r, static_cast<std::size_t>(k - 1)));
            const bool marked = mark.color != kCellPlain;
            if (!marked && !markedCells_.contains(cell)) continue;
            ui_.SetTableCellColor(Ctrl::TeachTableCtrl, cell.first, cell.second,
                                  marked ? mark.color : kTeachTableGrey);
            ui_.SetTableCellTooltip(Ctrl::TeachTableCtrl, cell.first, cell.second, mark.tooltip);
            if (marked) {
                markedCells_.insert(cell);
            } else {
                markedCells_.erase(cell);
            }
        }
    }
}

}  // namespace qelto
