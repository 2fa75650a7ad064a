#include "app/parameter_page.hpp"

#include "app/parameter_editor.hpp"
#include "app/program.hpp"
#include "app/working_copy.hpp"
#include "sensor/evidence.hpp"

namespace qelto {

void ParameterPage::Show() {
    const ParameterSet& para = working_.para();
    ui_.SetCtrlVal(Ctrl::AverageControl, para.Average);
    ui_.SetCtrlVal(Ctrl::PowerDisplay, para.Power);
    ui_.SetCtrlVal(Ctrl::MaxVecNoDisplay, para.MaxVecNo);
    ui_.SetCtrlVal(Ctrl::GainDisplay, para.Gain);
    ui_.SetCtrlVal(Ctrl::IntegralDisplay, para.Integral);
    // Table row r + 1 shows teach row r; columns 1..4 show Cell[0..3].
    for (std::size_t r = 0; r < kShownTeachRows; ++r) {
        for (int k = 1; k <= 4; ++k) {
            ui_.SetTableCellVal(Ctrl::TeachTableCtrl, k, static_cast<int>(r) + 1,
                                working_.teach()[r].Cell[static_cast<std::size_t>(k - 1)]);
        }
    }
    // Only the cells whose mark changes are painted: the assistant paints whole rows of its own.
    std::bitset<kShownTeachRows> overlapping;
    for (const TightPair& p : OverlappingSpheres(working_.config())) {
        for (const std::size_t r : {p.row, p.other}) {
            if (r < kShownTeachRows) overlapping.set(r);
        }
    }
    constexpr int kToleranceColumn = 4;
    for (std::size_t r = 0; r < kShownTeachRows; ++r) {
        if (overlapping[r] == overlapMarked_[r]) continue;
        ui_.SetTableCellColor(Ctrl::TeachTableCtrl, kToleranceColumn, static_cast<int>(r) + 1,
                              overlapping[r] ? kCellOverlap : kTeachTableGrey);
    }
    overlapMarked_ = overlapping;
}

}  // namespace qelto
