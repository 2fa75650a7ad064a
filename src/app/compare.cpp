#include "app/compare.hpp"

#include <algorithm>

#include "app/connection.hpp"
#include "app/context.hpp"
#include "app/file_commands.hpp"
#include "app/transfer.hpp"

namespace qelto {
namespace {

struct Texts {
    static constexpr std::string_view kTitle = "COMPARE";
    static constexpr std::string_view kQuestion =
        "Compare the parameters and teach table shown \nwith the sensor or with a parameter "
        "file?";
    static constexpr std::string_view kSensor = "SENSOR";
    static constexpr std::string_view kFile = "FILE";
    static constexpr std::string_view kCancel = "CANCEL";
    static constexpr std::string_view kBusy =
        "The data transfer is using the sensor: \ncompare with the sensor after STOP.";
    static constexpr std::string_view kSame = "No differences: a Send would change nothing.";
    static constexpr std::string_view kHeadSensor =
        "A Send would change in the sensor (sensor -> shown):\n\n";
    static constexpr std::string_view kHeadFile =
        "Differences between the file and what is shown (file -> shown):\n\n";
};

constexpr int kAnswerSensor = 1;
constexpr int kAnswerFile = 2;
// A message box stays readable; the rest is counted.
constexpr std::size_t kMaxListedLines = 40;

std::string RowText(const TeachVector& v) {
    std::string s;
    for (std::size_t w = 0; w < kTeachWordCount; ++w) {
        if (w > 0) s += ',';
        s += std::to_string(TeachWordGet(v, w));
    }
    return s;
}

}  // namespace

std::vector<Difference> CompareConfigurations(const Configuration& older,
                                              const Configuration& newer, std::size_t teachRows) {
    std::vector<Difference> out;
    for (const ParamField& f : kParamFields) {
        const std::uint16_t a = older.para.*f.member;
        const std::uint16_t b = newer.para.*f.member;
        if (a != b)
            out.push_back(
                {std::string("parameter ") + f.name, std::to_string(a), std::to_string(b)});
    }
    for (std::size_t r = 0; r < std::min(teachRows, kTeachRows); ++r) {
        const std::string a = RowText(older.teach[r]);
        const std::string b = RowText(newer.teach[r]);
        if (a != b) out.push_back({"teach " + std::to_string(r), a, b});
    }
    return out;
}

std::string DiffLine(const Difference& d) {
    return d.item + " old=" + d.oldValue + " new=" + d.newValue;
}

Outcome CBF_ButtonCompare(Context& ctx) {
    GenericPopupRequest ask;
    ask.title = Texts::kTitle;
    ask.message = Texts::kQuestion;
    ask.buttons = {std::string(Texts::kSensor), std::string(Texts::kFile),
                   std::string(Texts::kCancel)};
    ask.enterButton = kAnswerSensor;
    ask.escapeButton = 3;
    const int answer = ctx.ui.GenericMessagePopup(ask).button;
    if (answer != kAnswerSensor && answer != kAnswerFile) return Outcome::Declined;

    Configuration other;
    std::size_t rows = kTeachRows;
    if (answer == kAnswerSensor) {
        // The link is the acquisition loop's while it runs; it is locked like any transfer.
        if (ctx.state.DataTransferActive != 0) {
            ctx.ui.MessagePopup(Texts::kTitle, Texts::kBusy);
            return Outcome::Declined;
        }
        SetButtonsDimmed(ctx, 0, 1);
        const bool read = ReadSensorBlocks(ctx, other.para, other.teach);
        SetButtonsDimmed(ctx, 0, 0);
        if (!read) return LinkOutcome(ctx);
        rows = kSensorTeachRows;
    } else {
        if (!ChooseExistingParameterFile(ctx)) return Outcome::Declined;
        const Outcome loaded = LoadParameterFile(ctx, other.para, other.teach);
        if (loaded != Outcome::Done) return loaded;
    }

    // What a Send would write: the working copy with the AVERAGE the operator set.
    Configuration shown{ctx.para, ctx.teach};
    shown.para.Average = CtrlValueU16(ctx, Ctrl::AverageControl);
    const std::vector<Difference> diffs = CompareConfigurations(other, shown, rows);
    if (diffs.empty()) {
        ctx.ui.MessagePopup(Texts::kTitle, Texts::kSame);
        return Outcome::Done;
    }
    std::string text(answer == kAnswerSensor ? Texts::kHeadSensor : Texts::kHeadFile);
    for (std::size_t i = 0; i < diffs.size() && i < kMaxListedLines; ++i) {
        text += diffs[i].item + ":  " + diffs[i].oldValue + "  ->  " + diffs[i].newValue + "\n";
    }
    if (diffs.size() > kMaxListedLines) {
        text += "... and " + std::to_string(diffs.size() - kMaxListedLines) + " more\n";
    }
    ctx.ui.MessagePopup(Texts::kTitle, text);
    return Outcome::Done;
}

}  // namespace qelto
