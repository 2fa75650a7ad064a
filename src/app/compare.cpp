#include "app/compare.hpp"

#include <algorithm>

#include "app/file_commands.hpp"
#include "app/working_copy.hpp"
#include "sensor/sensor_session.hpp"

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
    static constexpr std::string_view kOffline =
        "No sensor is connected: \ncompare with a parameter file, or connect first.";
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

}  // namespace

std::string DifferenceList(const std::vector<Difference>& diffs) {
    std::string text;
    for (std::size_t i = 0; i < diffs.size() && i < kMaxListedLines; ++i)
        text += DiffLine(diffs[i]) + "\n";
    if (diffs.size() > kMaxListedLines) {
        text += "... and " + std::to_string(diffs.size() - kMaxListedLines) + " more\n";
    }
    return text;
}

Outcome Compare::Run() {
    GenericPopupRequest ask;
    ask.title = Texts::kTitle;
    ask.message = Texts::kQuestion;
    ask.buttons = {std::string(Texts::kSensor), std::string(Texts::kFile),
                   std::string(Texts::kCancel)};
    ask.enterButton = kAnswerSensor;
    ask.escapeButton = 3;
    const int answer = ui_.GenericMessagePopup(ask).button;
    if (answer != kAnswerSensor && answer != kAnswerFile) return Outcome::Declined;

    Configuration other;
    std::size_t rows = kTeachRows;
    if (answer == kAnswerSensor) {
        // Nothing to read from: say so, and leave the controls as they are.
        if (!sensor_.connected()) {
            ui_.MessagePopup(Texts::kTitle, Texts::kOffline);
            return Outcome::Declined;
        }
        const auto read = sensor_.ReadConfiguration(false);
        if (!read) {
            feedback_.ReportFailure(read.error());
            return loop_.QuitRequested() ? Outcome::Quit : Outcome::Failed;
        }
        other = read->config;
        rows = kSensorTeachRows;
    } else {
        if (!files_.ChooseExistingParameterFile()) return Outcome::Declined;
        const Outcome loaded = files_.LoadParameterFile(other);
        if (loaded != Outcome::Done) return loaded;
    }

    // What a Send would write: the working copy with the AVERAGE the operator set.
    Configuration shown = working_.config();
    shown.para.Average = CtrlValueU16(ui_, Ctrl::AverageControl);
    const std::vector<Difference> diffs = CompareConfigurations(other, shown, rows);
    if (diffs.empty()) {
        ui_.MessagePopup(Texts::kTitle, Texts::kSame);
        return Outcome::Done;
    }
    ui_.MessagePopup(Texts::kTitle,
                     std::string(answer == kAnswerSensor ? Texts::kHeadSensor : Texts::kHeadFile) +
                         DifferenceList(diffs));
    return Outcome::Done;
}

}  // namespace qelto
