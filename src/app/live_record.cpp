#include "app/live_record.hpp"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "app/file_commands.hpp"
#include "app/graphs.hpp"
#include "app/local_time.hpp"
#include "app/settings.hpp"
#include "files/os_file.hpp"
#include "files/paths.hpp"
#include "sensor/sensor_session.hpp"

namespace qelto {
namespace {

struct Texts {
    static constexpr std::string_view kDialogTitle = "Record live data";
    static constexpr std::string_view kDialogFilter = "CSV files (*.csv)";
    static constexpr std::string_view kDialogSuffix = "csv";
    static constexpr std::string_view kTitleAttention = "ATTENTION!";
    static constexpr std::string_view kNotStarted = "Recording could not start: ";
    static constexpr std::string_view kStopped = "Recording stopped: ";
    static constexpr std::string_view kRowsKept = " rows were written and are kept.";
    static constexpr std::string_view kRowsInLostFile =
        " rows went into the file that was written until then.";
};

constexpr double kStatusInterval = 0.25;  // seconds between status bar updates
constexpr double kRateWindow = 1.0;       // seconds the rate is taken over

std::string FileNameOf(const std::string& path) {
    const SplitPathResult parts = SplitPath(path);
    return parts.fileName;
}

std::string FolderOf(const std::string& path) {
    const SplitPathResult parts = SplitPath(path);
    return parts.drive + parts.directory;
}

}  // namespace

std::string DefaultRecordingName() {
    return LocalTimeText("qelto-live-%Y%m%d-%H%M%S.csv");
}

Recording::Recording(OperatorInterface& ui, EventLoop& loop, const SensorSession& sensor,
                     const LiveView& view, const Settings& settings)
    : ui_(ui), loop_(loop), sensor_(sensor), view_(view), settings_(settings) {}

FileDialogRequest Recording::Dialog() const {
    FileDialogRequest dialog;
    dialog.startDirectory = StartFolder(settings_, lastFolder_);
    dialog.defaultFileName = DefaultRecordingName();
    dialog.filter = Texts::kDialogFilter;
    dialog.allFiles = false;
    dialog.defaultSuffix = Texts::kDialogSuffix;
    dialog.title = Texts::kDialogTitle;
    return dialog;
}

Outcome Recording::Toggle() {
    if (recorder_.active()) {
        Stop();
        return Outcome::Done;
    }
    std::string path;
    const int chosen = ui_.FileSelectPopup(Dialog(), path);
    if (chosen != kFileExisting && chosen != kFileNew) {
        ui_.SetCtrlVal(Ctrl::RecordButton, 0);
        return Outcome::Declined;
    }
    const auto refused = [&] {
        ui_.SetCtrlVal(Ctrl::RecordButton, 0);
        const std::string message = std::string(Texts::kNotStarted) + recorder_.error();
        recorder_.ClearError();  // said once
        ui_.MessagePopup(Texts::kTitleAttention, message);
        return Outcome::Failed;
    };
    if (!recorder_.Open(path)) return refused();
    // The file stays locked while the operator decides, so no other recording takes it
    // meanwhile. Enter keeps it.
    if (recorder_.replacing() && !ConfirmReplace(ui_, path)) {
        recorder_.Stop();
        ui_.SetCtrlVal(Ctrl::RecordButton, 0);
        return Outcome::Declined;
    }
    if (!recorder_.Begin(loop_.Timer())) return refused();
    lastFolder_ = FolderOf(path);
    endedName_.clear();
    ui_.SetCtrlVal(Ctrl::RecordButton, 1);
    ui_.SetTooltip(Ctrl::StatusBar, path);
    ShowStatusBar(true);
    return Outcome::Done;
}

bool Recording::Resume() {
    if (!recorder_.Resume(loop_.Timer())) {
        const std::string message = std::string(Texts::kNotStarted) + recorder_.error();
        recorder_.ClearError();  // said once
        ui_.MessagePopup(Texts::kTitleAttention, message);
        return false;
    }
    endedName_.clear();
    ui_.SetCtrlVal(Ctrl::RecordButton, 1);
    ShowStatusBar(true);
    return true;
}

void Recording::Stop() {
    const bool wasActive = recorder_.active();
    recorder_.Stop();
    ui_.SetCtrlVal(Ctrl::RecordButton, 0);
    if (wasActive || !recorder_.error().empty()) {
        endedName_ = FileNameOf(recorder_.path());
        endedRows_ = recorder_.rows();
    }
    if (!recorder_.error().empty()) {
        const std::string message =
            std::string(Texts::kStopped) + recorder_.error() + "\n" +
            std::to_string(recorder_.rows()) +
            std::string(recorder_.lost() ? Texts::kRowsInLostFile : Texts::kRowsKept);
        recorder_.ClearError();  // said once
        ui_.MessagePopup(Texts::kTitleAttention, message);
    }
    ShowStatusBar(true);
}

void Recording::AcquisitionStarted() {
    const double now = loop_.Timer();
    stats_ = LiveStats{};
    stats_.start = now;
    stats_.windowStart = now;
    stats_.running = true;
    ShowStatusBar(true);
}

void Recording::RecordSample(double requestedAt) {
    const double now = loop_.Timer();
    LiveStats& st = stats_;
    ++st.samples;
    ++st.windowSamples;
    if (now - st.windowStart >= kRateWindow) {
        st.rate = static_cast<double>(st.windowSamples) / (now - st.windowStart);
        st.windowStart = now;
        st.windowSamples = 0;
    }
    if (recorder_.active() && !recorder_.Append(SampleOf(view_.live), requestedAt, now)) Stop();
    ShowStatusBar(false);
}

void Recording::AcquisitionEnded() {
    LiveStats& st = stats_;
    const double took = loop_.Timer() - st.start;
    if (took > 0) st.rate = static_cast<double>(st.samples) / took;
    // No samples come any more: the line keeps their count, not a rate.
    st.running = false;
    if (recorder_.active()) Stop();
    ShowStatusBar(true);
}

void Recording::ShowStatusBar(bool force) {
    LiveStats& st = stats_;
    const double now = loop_.Timer();
    if (!force && st.lastShown >= 0 && now - st.lastShown < kStatusInterval) return;
    st.lastShown = now;
    char text[512];
    int n = 0;
    const auto add = [&](const char* fmt, auto... args) {
        if (n >= 0 && static_cast<std::size_t>(n) < sizeof text) {
            const int k =
                std::snprintf(text + n, sizeof text - static_cast<std::size_t>(n), fmt, args...);
            if (k > 0) n += k;
        }
    };
    if (st.running) add("%.1f samples/s   ", st.rate);
    add("%llu samples", static_cast<unsigned long long>(st.samples));
    if (recorder_.active()) {
        add("   recording %s: %llu rows", FileNameOf(recorder_.path()).c_str(),
            static_cast<unsigned long long>(recorder_.rows()));
    } else if (!endedName_.empty()) {
        add("   recorded %s: %llu rows", endedName_.c_str(),
            static_cast<unsigned long long>(endedRows_));
    }
    if (sensor_.scanFrequency() > 0) add("   scan frequency %.2f Hz", sensor_.scanFrequency());
    ui_.SetCtrlText(
        Ctrl::StatusBar,
        std::string_view(text, static_cast<std::size_t>(std::min<int>(n, sizeof text - 1))));
}

}  // namespace qelto
