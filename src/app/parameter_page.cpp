#include "app/parameter_page.hpp"

#include "app/teach_evidence.hpp"
#include "app/working_copy.hpp"

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
    // The teach rows' cells keep the colours the assistant paints; the overlaps are said
    // beneath them.
    std::string line = OverlapLine(working_.config());
    if (line == overlapLine_) return;
    overlapLine_ = std::move(line);
    ui_.SetCtrlText(Ctrl::OverlapNote, overlapLine_);
    ui_.SetVisible(Ctrl::OverlapNote, !overlapLine_.empty());
}

}  // namespace qelto
