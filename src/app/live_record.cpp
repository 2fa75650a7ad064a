#include "app/live_record.hpp"

#include <algorithm>
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
    static constexpr std::string_view kWaitingForGo = ": waiting for GO";
};

// Seconds between status bar updates: its figures are read, not watched (the rate is taken
// over a second anyway), and each update costs a repaint of the whole line.
constexpr double kStatusInterval = 0.5;
constexpr double kRateWindow = 1.0;  // seconds the rate is taken over
// A rate older than this is no rate any more: no sample came for that long.
constexpr double kRateStale = 1.0;

std::string FileNameOf(const std::string& path) {
    const SplitPathResult parts = SplitPath(path);
    return parts.fileName;
}

std::string FolderOf(const std::string& path) {
    const SplitPathResult parts = SplitPath(path);
    return parts.drive + parts.directory;
}

}  // namespace

bool SampleFilter::Take(const RecordSampling& sampling, double now) {
    const std::uint64_t offered = offered_++;
    switch (sampling.every) {
        case RecordEvery::Sample:
            return true;
        case RecordEvery::NthSample:
            return offered % std::max<std::uint32_t>(1, sampling.n) == 0;
        case RecordEvery::Interval:
            // On a grid from the first sample taken, so that the rows keep the interval on
            // average even though samples do not arrive exactly on it.
            if (lastTaken_ >= 0 && now < lastTaken_ + sampling.interval) return false;
            lastTaken_ = lastTaken_ < 0 || now >= lastTaken_ + 2 * sampling.interval
                             ? now
                             : lastTaken_ + sampling.interval;
            return true;
    }
    return true;
}

std::string SamplingText(const RecordSampling& sampling) {
    char text[64];
    switch (sampling.every) {
        case RecordEvery::Sample:
            return {};
        case RecordEvery::NthSample:
            std::snprintf(text, sizeof text, "one in %u", static_cast<unsigned>(sampling.n));
            return text;
        case RecordEvery::Interval:
            std::snprintf(text, sizeof text, "one per %g s", sampling.interval);
            return text;
    }
    return {};
}

std::string SizeText(std::uint64_t bytes) {
    char text[32];
    const auto b = static_cast<double>(bytes);
    if (bytes < 1000) {
        std::snprintf(text, sizeof text, "%llu B", static_cast<unsigned long long>(bytes));
    } else if (bytes < 1000 * 1000) {
        std::snprintf(text, sizeof text, "%.1f kB", b / 1e3);
    } else if (bytes < 1000ULL * 1000 * 1000) {
        std::snprintf(text, sizeof text, "%.1f MB", b / 1e6);
    } else {
        std::snprintf(text, sizeof text, "%.2f GB", b / 1e9);
    }
    return text;
}

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
    Started();
    return Outcome::Done;
}

void Recording::Started() {
    filter_.Reset();
    ui_.SetCtrlVal(Ctrl::RecordButton, 1);
    ui_.SetTooltip(Ctrl::StatusBar, recorder_.path());
    ui_.SetVisible(Ctrl::OpenFolderButton, true);
    ShowStatusBar(true);
}

Outcome Recording::OpenFolder() {
    if (recorder_.path().empty()) return Outcome::Declined;
    ui_.OpenFolder(FolderOf(recorder_.path()));
    return Outcome::Done;
}

bool Recording::Resume() {
    if (!recorder_.Resume(loop_.Timer())) {
        const std::string message = std::string(Texts::kNotStarted) + recorder_.error();
        recorder_.ClearError();  // said once
        ui_.MessagePopup(Texts::kTitleAttention, message);
        return false;
    }
    Started();
    return true;
}

void Recording::Stop() {
    const bool wasActive = recorder_.active();
    recorder_.Stop();
    ui_.SetCtrlVal(Ctrl::RecordButton, 0);
    if (wasActive && recorder_.error().empty()) {
        // Said once, in passing: the file and its folder stay in reach (tooltip, Open folder).
        ui_.ShowStatusMessage("recorded " + FileNameOf(recorder_.path()) + ": " +
                              std::to_string(recorder_.rows()) + " rows, " +
                              SizeText(recorder_.bytes()));
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
    stats_.lastSample = now;
    stats_.running = true;
    ShowStatusBar(true);
}

void Recording::RecordSample(double requestedAt) {
    const double now = loop_.Timer();
    LiveStats& st = stats_;
    ++st.samples;
    st.lastSample = now;
    ++st.windowSamples;
    if (now - st.windowStart >= kRateWindow) {
        st.rate = static_cast<double>(st.windowSamples) / (now - st.windowStart);
        st.windowStart = now;
        st.windowSamples = 0;
    }
    if (recorder_.Wants(requestedAt) && filter_.Take(settings_.recordSampling, now) &&
        !recorder_.Append(SampleOf(view_.live), requestedAt, now)) {
        Stop();
    }
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
    // The recording first: where the line is cut for want of room, its file stays in view.
    if (recorder_.active()) {
        const std::string name = FileNameOf(recorder_.path());
        const std::string sampling = SamplingText(settings_.recordSampling);
        add("recording %s", name.c_str());
        if (!sampling.empty()) add(" (%s)", sampling.c_str());
        if (!st.running) {
            add("%s", std::string(Texts::kWaitingForGo).c_str());
        } else {
            add(": %llu rows, %s", static_cast<unsigned long long>(recorder_.rows()),
                SizeText(recorder_.bytes()).c_str());
        }
        add("%s", "   ");
    }
    if (st.running) {
        // A rate needs samples: after a second without one, there is none to show.
        if (now - st.lastSample > kRateStale) {
            add("%s", "\u2014 samples/s   ");
        } else {
            add("%.1f samples/s   ", st.rate);
        }
    }
    add("%llu samples", static_cast<unsigned long long>(st.samples));
    if (sensor_.scanFrequency() > 0) add("   scan frequency %.2f Hz", sensor_.scanFrequency());
    ui_.SetCtrlText(
        Ctrl::StatusBar,
        std::string_view(text, static_cast<std::size_t>(std::min<int>(n, sizeof text - 1))));
}

}  // namespace qelto
