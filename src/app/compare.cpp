#include "app/compare.hpp"

#include <algorithm>

#include "app/file_commands.hpp"
#include "app/working_copy.hpp"
#include "sensor/sensor_session.hpp"

namespace qelto {
namespace {

constexpr const char* kCompareTitle = "COMPARE";
constexpr const char* kCompareQuestion =
    Tr("Compare the parameters and teach table shown \nwith the sensor or with a parameter "
       "file?");
constexpr const char* kCompareSensor = "SENSOR";
constexpr const char* kCompareFile = "FILE";
constexpr const char* kCompareCancel = "CANCEL";
constexpr const char* kCompareOffline =
    Tr("No sensor is connected: \ncompare with a parameter file, or connect first.");
constexpr const char* kCompareSame = Tr("No differences: a Send would change nothing.");
constexpr const char* kCompareHeadSensor =
    Tr("A Send would change in the sensor (sensor -> shown):\n\n");
constexpr const char* kCompareHeadFile =
    Tr("Differences between the file and what is shown (file -> shown):\n\n");

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
    ask.title = kCompareTitle;
    ask.message = ui_.Translate(kCompareQuestion);
    ask.buttons = {std::string(kCompareSensor), std::string(kCompareFile),
                   std::string(kCompareCancel)};
    ask.enterButton = kAnswerSensor;
    ask.escapeButton = 3;
    const int answer = ui_.GenericMessagePopup(ask).button;
    if (answer != kAnswerSensor && answer != kAnswerFile) return Outcome::Declined;

    Configuration other;
    std::size_t rows = kTeachRows;
    if (answer == kAnswerSensor) {
        // Nothing to read from: say so, and leave the controls as they are.
        if (!sensor_.connected()) {
            ui_.MessagePopup(kCompareTitle, ui_.Translate(kCompareOffline));
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
        ui_.MessagePopup(kCompareTitle, ui_.Translate(kCompareSame));
        return Outcome::Done;
    }
    ui_.MessagePopup(kCompareTitle, ui_.Translate(answer == kAnswerSensor ? kCompareHeadSensor
                                                                          : kCompareHeadFile) +
                                        DifferenceList(diffs));
    return Outcome::Done;
}

}  // namespace qelto
