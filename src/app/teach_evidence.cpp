#include "app/teach_evidence.hpp"

#include <algorithm>
#include <cmath>

#include "app/file_commands.hpp"
#include "app/graphs.hpp"
#include "app/live.hpp"
#include "app/live_record.hpp"
#include "app/parameter_editor.hpp"
#include "app/working_copy.hpp"
#include "files/live_csv.hpp"
#include "files/paths.hpp"
#include "protocol/configuration_diff.hpp"
#include "protocol/number_text.hpp"
#include "sensor/identity.hpp"
#include "sensor/sensor_session.hpp"
#include "sensor/set_values.hpp"

namespace qelto {
namespace {

struct Texts {
    static constexpr std::string_view kTeachTitle = "TEACH FROM SENSOR";
    static constexpr std::string_view kSelectRow =
        "Teach from sensor: select the teach row to teach in the editor first.";
    static constexpr std::string_view kNotSent =
        "\nSend writes it to the sensor; Undo takes it back.";
    static constexpr std::string_view kCheckTitle = "CHECK TOLERANCES";
    static constexpr std::string_view kCheckQuestion =
        "Check the taught colours shown against the samples of \n- a recording (Record, or "
        "qelto-cli live --format csv), or \n- the live data of the last seconds: type how "
        "many (empty: all the live data kept).";
    static constexpr std::string_view kRecording = "RECORDING";
    static constexpr std::string_view kLiveData = "LIVE DATA";
    static constexpr std::string_view kCancel = "CANCEL";
    static constexpr std::string_view kNoLiveData =
        "No live data is kept: run GO with the colours in front of the sensor, STOP, and "
        "check again; or check a recording.";
    static constexpr std::string_view kBadSeconds =
        "The seconds of live data to check are a whole number from 1 to 600.";
    static constexpr std::string_view kNothingTaught =
        "The teach rows shown hold no taught colour (rows 0 .. MAX VEC NO - 1 without the "
        "default values): there is nothing to check.";
    static constexpr std::string_view kApply = "Apply proposals";
    static constexpr std::string_view kProposalsNote =
        "Proposed: 1.5 x the radius that holds 99.7 % of a row's samples, the spheres kept "
        "apart.\nApply proposals changes the tolerances shown, one step that Undo takes back;\n"
        "only Send writes them to the sensor.";
    static constexpr std::string_view kNothingToApply =
        "The proposals are the tolerances shown already.";
    static constexpr std::string_view kOverlapHead =
        "Spheres that overlap (where both hold a sample, the sensor reports the lower row):\n";
};

constexpr int kAnswerRecording = 1;
constexpr int kAnswerLiveData = 2;
constexpr int kMostSeconds = 600;

// Verdict marks: light, with dark text, in either theme.
constexpr std::uint32_t kMarkTooFew = 0xD8D8D8;

std::uint32_t VerdictMark(Verdict v) {
    switch (v) {
        case Verdict::Ok:
            return kCellPlain;
        case Verdict::TooSmall:
        case Verdict::TooLarge:
            return kCellChanged;
        case Verdict::CannotSeparate:
            return kCellRefused;
        case Verdict::TooFewSamples:
            return kMarkTooFew;
    }
    return kCellPlain;
}

std::string Figure(const std::optional<int>& v) {
    return v ? std::to_string(*v) : std::string("-");
}

std::string Apart(double distance) {
    return FormatFixed(distance, 1) + " apart";
}

std::string Percent(double share) {
    return FormatFixed(share * 100, 2) + " %";
}

// Whole seconds 1..600, or 0 for an empty answer (everything kept); -1 for anything else.
int SecondsOf(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return 0;
    const std::string digits = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (digits.size() > 3 || digits.find_first_not_of("0123456789") != std::string::npos) {
        return -1;
    }
    const int n = std::stoi(digits);
    return n >= 1 && n <= kMostSeconds ? n : -1;
}

ValueAssignments Changes(const Configuration& from, const Configuration& to) {
    ValueAssignments values;
    for (const Difference& d : CompareConfigurations(from, to, kSensorTeachRows))
        values.emplace_back(d.item, d.newValue);
    return values;
}

}  // namespace

TablePopupRequest ToleranceTable(const RecordingCheck& check, const std::string& source) {
    TablePopupRequest t;
    t.title = Texts::kCheckTitle;
    t.heading = source + ": " + std::to_string(check.samples) +
                " samples; agreement with the colour numbers " + Percent(check.agreement) +
                "\ninside no sphere " + std::to_string(check.insideNone) + "; inside several " +
                std::to_string(check.insideSeveral);
    t.columns = {"Row",    "Samples", "X",        "Y",       "INT",    "Tolerance",
                 "Needed", "Inside",  "Proposed", "Nearest", "Verdict"};
    for (const RowEvidence& e : check.rows) {
        TablePopupRequest::Row row;
        row.cells = {std::to_string(e.row),
                     std::to_string(e.samples),
                     std::to_string(e.centre.x),
                     std::to_string(e.centre.y),
                     std::to_string(e.centre.intensity),
                     std::to_string(e.tolerance),
                     Figure(e.needed),
                     std::to_string(e.inside),
                     Figure(e.proposed),
                     e.nearest ? std::to_string(e.nearest->row) + " (" +
                                     FormatFixed(e.nearest->distance, 1) + ")"
                               : std::string("-"),
                     VerdictText(e.verdict)};
        row.mark = VerdictMark(e.verdict);
        t.rows.push_back(std::move(row));
    }
    for (const TightPair& p : check.cannotSeparate) {
        t.notes += "Rows " + std::to_string(p.row) + " and " + std::to_string(p.other) +
                   " cannot be separated at this spread: " + Apart(p.distance) +
                   ",\nless than their samples need.\n";
    }
    t.notes += Texts::kProposalsNote;
    t.acceptButton = Texts::kApply;
    return t;
}

std::string OverlapNote(const Configuration& config) {
    const std::vector<TightPair> pairs = OverlappingSpheres(config);
    if (pairs.empty()) return {};
    std::string text(Texts::kOverlapHead);
    for (const TightPair& p : pairs) {
        text += "rows " + std::to_string(p.row) + " and " + std::to_string(p.other) + ": " +
                Apart(p.distance) + ", tolerances " + std::to_string(config.teach[p.row].Cell[3]) +
                " and " + std::to_string(config.teach[p.other].Cell[3]) + "\n";
    }
    return text;
}

std::string OverlapLine(const Configuration& config) {
    const std::vector<TightPair> pairs = OverlappingSpheres(config);
    if (pairs.empty()) return {};
    std::string line = "Spheres that overlap: rows";
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        line += (i == 0 ? " " : ", ") + std::to_string(pairs[i].row) + " and " +
                std::to_string(pairs[i].other) + " (" + Apart(pairs[i].distance) + ")";
    }
    return line + ". Check tolerances shares the room.";
}

TeachEvidence::TeachEvidence(OperatorInterface& ui, EventLoop& loop, const SensorSession& sensor,
                             WorkingCopy& working, Live& live, LiveView& view, Graphs& graphs,
                             const Settings& settings, const Recording& recording)
    : ui_(ui),
      loop_(loop),
      sensor_(sensor),
      working_(working),
      live_(live),
      view_(view),
      graphs_(graphs),
      settings_(settings),
      recording_(recording) {}

void TeachEvidence::ShowCloud(const std::vector<EvidenceSample>& samples) {
    view_.cloud.Take(samples);
    view_.cloud.shown = true;
    ui_.SetCtrlVal(Ctrl::EvidenceCloudButton, 1);
    graphs_.InitGraphs();
    graphs_.Rescale();
}

Outcome TeachEvidence::ToggleCloud() {
    view_.cloud.shown = !view_.cloud.shown;
    ui_.SetCtrlVal(Ctrl::EvidenceCloudButton, view_.cloud.shown ? 1 : 0);
    graphs_.InitGraphs();
    graphs_.Rescale();
    return Outcome::Done;
}

Outcome TeachEvidence::TeachFromSensor() {
    const int tableRow = ui_.GetActiveTableCell(Ctrl::TeachEditor).second;
    if (tableRow < 1 || tableRow > kEditorTeachRows) {
        ui_.ShowStatusMessage(Texts::kSelectRow);
        return Outcome::Declined;
    }
    const auto row = static_cast<std::size_t>(tableRow - 1);
    const int limit = ColourLimit(sensor_.identity().SensorModel);
    if (row >= static_cast<std::size_t>(limit)) {
        ui_.ShowStatusMessage("Row " + std::to_string(row) + " is beyond the " +
                              std::to_string(limit) + " colours this sensor tells (rows 0.." +
                              std::to_string(limit - 1) + ").");
        return Outcome::Declined;
    }
    const int count =
        static_cast<int>(std::clamp<double>(std::round(ui_.GetCtrlVal(Ctrl::TeachSamplesControl)),
                                            kTeachSamplesLeast, kTeachSamplesMost));

    std::vector<EvidenceSample> samples;
    samples.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        ui_.SetProgress(i, count);
        // A failure has been reported where it was found; nothing has changed.
        if (!live_.ReadLiveData()) {
            ui_.SetProgress(-1, count);
            return loop_.QuitRequested() ? Outcome::Quit : Outcome::Failed;
        }
        live_.SetPanelData();
        samples.push_back(EvidenceOf(view_.live));
    }
    ui_.SetProgress(-1, count);

    const TaughtColour t = TeachColour(working_.config(), row, samples, std::nullopt);
    view_.cloud.Take(samples);
    view_.cloud.shown = true;
    ui_.SetCtrlVal(Ctrl::EvidenceCloudButton, 1);
    // One step: the row and MAX VEC NO together, as Undo takes them back.
    if (!working_.Edit(Changes(working_.config(), t.config))) graphs_.InitGraphs();
    graphs_.Rescale();

    std::string text = "Row " + std::to_string(row) + " measured from " +
                       std::to_string(t.samples) + " samples (not sent yet):\n\ncentre X " +
                       std::to_string(t.centre.x) + ", Y " + std::to_string(t.centre.y) + ", INT " +
                       std::to_string(t.centre.intensity) + "\nspread: a radius of " +
                       std::to_string(t.needed) + " holds 99.7 % of the samples\ntolerance " +
                       std::to_string(t.tolerance);
    if (t.tolerance < t.needed) {
        text +=
            ", less than the spread needs: the spheres of the rows beside it leave no more "
            "room (Check tolerances shares it between them)";
    }
    text += "\n";
    for (const Overlap& o : t.overlaps) {
        text +=
            "its sphere overlaps row " + std::to_string(o.row) + "'s (" + Apart(o.distance) + ")\n";
    }
    text += Texts::kNotSent;
    ui_.MessagePopup(Texts::kTeachTitle, text);
    return Outcome::Done;
}

Outcome TeachEvidence::CheckTolerances() {
    GenericPopupRequest ask;
    ask.title = Texts::kCheckTitle;
    ask.message = Texts::kCheckQuestion;
    ask.buttons = {std::string(Texts::kRecording), std::string(Texts::kLiveData),
                   std::string(Texts::kCancel)};
    ask.enterButton = view_.recent.size() > 0 ? kAnswerLiveData : kAnswerRecording;
    ask.escapeButton = 3;
    ask.withInput = true;
    ask.maxInputLength = 3;
    const GenericPopupResult answer = ui_.GenericMessagePopup(ask);

    if (answer.button == kAnswerLiveData) {
        const int seconds = SecondsOf(answer.input);
        if (seconds < 0) {
            ui_.MessagePopup(Texts::kCheckTitle, Texts::kBadSeconds);
            return Outcome::Declined;
        }
        const std::vector<EvidenceSample> samples = view_.recent.Last(seconds, loop_.Timer());
        if (samples.empty()) {
            ui_.MessagePopup(Texts::kCheckTitle, Texts::kNoLiveData);
            return Outcome::Declined;
        }
        const std::string source =
            seconds > 0 ? "The live data of the last " + std::to_string(seconds) + " s"
                        : std::string("The live data kept");
        return Check(samples, source);
    }
    if (answer.button != kAnswerRecording) return Outcome::Declined;

    FileDialogRequest dialog;
    // Where the last recording checked lay, else where the last one was made.
    dialog.startDirectory =
        StartFolder(settings_, lastRecording_.empty() ? recording_.lastFolder() : lastRecording_);
    dialog.filter = "CSV files (*.csv)";
    dialog.title = "Check tolerances against a recording";
    dialog.defaultSuffix = "csv";
    std::string path;
    if (ui_.FileSelectPopup(dialog, path) != kFileExisting) return Outcome::Declined;
    lastRecording_ = SplitPath(path).directory;
    std::vector<EvidenceSample> samples;
    ui_.SetWaitCursor(true);
    const auto problem =
        ReadLiveCsv(path, [&](double, const LiveSample& s) { samples.push_back(EvidenceOf(s)); });
    ui_.SetWaitCursor(false);
    if (problem) {
        ui_.MessagePopup(Texts::kCheckTitle,
                         path + ":\n" + problem->Text() + "\n\nNothing was checked.");
        return Outcome::Failed;
    }
    return Check(samples, SplitPath(path).fileName);
}

Outcome TeachEvidence::Check(const std::vector<EvidenceSample>& samples,
                             const std::string& source) {
    const Configuration shown = working_.config();
    const RecordingCheck check = CheckRecording(shown, samples);
    if (check.rows.empty()) {
        ui_.MessagePopup(Texts::kCheckTitle, Texts::kNothingTaught);
        return Outcome::Declined;
    }
    ShowCloud(samples);
    if (ui_.TablePopup(ToleranceTable(check, source)) != 1) return Outcome::Done;
    const ValueAssignments changes = Changes(shown, WithProposals(shown, check));
    if (!working_.Edit(changes)) {
        ui_.ShowStatusMessage(Texts::kNothingToApply);
        return Outcome::Done;
    }
    ui_.ShowStatusMessage("Proposed tolerances applied to " + std::to_string(changes.size()) +
                          (changes.size() == 1 ? " row" : " rows") +
                          " (not sent): Send writes them, Undo takes them back.");
    return Outcome::Done;
}

}  // namespace qelto
