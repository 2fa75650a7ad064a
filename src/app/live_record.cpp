#include "app/live_record.hpp"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "app/context.hpp"
#include "app/file_commands.hpp"
#include "app/link_state.hpp"
#include "app/local_time.hpp"
#include "files/os_file.hpp"
#include "files/paths.hpp"

namespace qelto {
namespace {

struct Texts {
    static constexpr std::string_view kDialogTitle = "Record live data";
    static constexpr std::string_view kDialogFilter = "*.csv";
    static constexpr std::string_view kTitleAttention = "ATTENTION!";
    static constexpr std::string_view kNotStarted = "Recording could not start: ";
    static constexpr std::string_view kStopped = "Recording stopped: ";
    static constexpr std::string_view kRowsKept = " rows were written and are kept.";
};

constexpr double kFlushInterval = 1.0;    // seconds
constexpr double kStatusInterval = 0.25;  // seconds between status bar updates
constexpr double kRateWindow = 1.0;       // seconds the rate is taken over

std::string FileNameOf(const std::string& path) {
    const SplitPathResult parts = SplitPath(path);
    return parts.fileName;
}

}  // namespace

LiveSample SampleOf(const LiveData& d) {
    return {d.Red(), d.Green(), d.Blue(), d.X(), d.Y(), d.Int(), d.ColorNo()};
}

bool LiveRecorder::Start(const std::string& path, double now) {
    Stop();
    error_.clear();
    rows_ = pending_ = committed_ = 0;
    batch_.clear();
    path_ = path;
    errno = 0;
    file_ = OpenFile(PathFromUtf8(path), "wb");
    if (file_ == nullptr) {
        error_ = path + ": " + std::strerror(errno != 0 ? errno : EIO);
        return false;
    }
    opened_ = now;
    lastWrite_ = now;
    batch_.assign(kLiveCsvHeader);
    return Write();
}

bool LiveRecorder::Append(const LiveSample& s, double requestedAt, double now) {
    if (file_ == nullptr) return false;
    if (requestedAt < opened_) return true;
    if (rows() == 0) firstRow_ = now;
    std::array<char, 128> line{};
    const std::size_t n = FormatLiveCsvLine(line, now - firstRow_, s);
    batch_.append(line.data(), n);
    ++pending_;
    if (now - lastWrite_ < kFlushInterval) return true;
    lastWrite_ = now;
    return Write();
}

bool LiveRecorder::Write() {
    if (batch_.empty()) return true;
    if (const int err = WriteThrough(file_, batch_); err != 0) return Fail(err);
    committed_ += batch_.size();
    batch_.clear();
    rows_ += pending_;
    pending_ = 0;
    return true;
}

void LiveRecorder::Stop() {
    if (file_ == nullptr || !Write()) return;
    std::fclose(file_);
    file_ = nullptr;
}

bool LiveRecorder::Fail(int err) {
    error_ = path_ + ": " + std::strerror(err);
    std::fclose(file_);
    file_ = nullptr;
    // Part of the last batch may have reached the file: cut back to the last whole row.
    std::error_code ec;
    std::filesystem::resize_file(PathFromUtf8(path_), committed_, ec);
    batch_.clear();
    pending_ = 0;
    return false;
}

std::string DefaultRecordingName() {
    return LocalTimeText("qelto-live-%Y%m%d-%H%M%S.csv");
}

Outcome CBF_ButtonRecord(Context& ctx) {
    if (ctx.recording->recorder.active()) {
        StopRecording(ctx);
        return Outcome::Done;
    }
    std::string path;
    const int chosen =
        ctx.ui.FileSelectPopup(DialogBesideParameterFile(ctx, DefaultRecordingName(),
                                                         Texts::kDialogFilter, Texts::kDialogTitle),
                               path);
    if (chosen != kFileExisting && chosen != kFileNew) {
        ctx.ui.SetCtrlVal(Ctrl::RecordButton, 0);
        return Outcome::Declined;
    }
    if (!ctx.recording->recorder.Start(path, ctx.loop.Timer())) {
        ctx.ui.SetCtrlVal(Ctrl::RecordButton, 0);
        ctx.ui.MessagePopup(Texts::kTitleAttention,
                            std::string(Texts::kNotStarted) + ctx.recording->recorder.error());
        return Outcome::Failed;
    }
    ctx.ui.SetCtrlVal(Ctrl::RecordButton, 1);
    ShowStatusBar(ctx, true);
    return Outcome::Done;
}

void StopRecording(Context& ctx) {
    const bool wasActive = ctx.recording->recorder.active();
    ctx.recording->recorder.Stop();
    ctx.ui.SetCtrlVal(Ctrl::RecordButton, 0);
    if (!ctx.recording->recorder.error().empty()) {
        const std::string message = std::string(Texts::kStopped) + ctx.recording->recorder.error() +
                                    "\n" + std::to_string(ctx.recording->recorder.rows()) +
                                    std::string(Texts::kRowsKept);
        ctx.recording->recorder.ClearError();  // said once
        ctx.ui.MessagePopup(Texts::kTitleAttention, message);
    }
    if (wasActive) ShowStatusBar(ctx, true);
}

void AcquisitionStarted(Context& ctx) {
    const double now = ctx.loop.Timer();
    ctx.recording->stats = LiveStats{};
    ctx.recording->stats.start = now;
    ctx.recording->stats.windowStart = now;
    ShowStatusBar(ctx, true);
}

void RecordSample(Context& ctx, double requestedAt) {
    const double now = ctx.loop.Timer();
    LiveStats& st = ctx.recording->stats;
    ++st.samples;
    ++st.windowSamples;
    if (now - st.windowStart >= kRateWindow) {
        st.rate = static_cast<double>(st.windowSamples) / (now - st.windowStart);
        st.windowStart = now;
        st.windowSamples = 0;
    }
    if (ctx.recording->recorder.active() &&
        !ctx.recording->recorder.Append(SampleOf(ctx.view.live), requestedAt, now)) {
        StopRecording(ctx);
    }
    ShowStatusBar(ctx, false);
}

void AcquisitionEnded(Context& ctx) {
    LiveValuesKept(ctx);
    LiveStats& st = ctx.recording->stats;
    const double took = ctx.loop.Timer() - st.start;
    if (took > 0) st.rate = static_cast<double>(st.samples) / took;
    if (ctx.recording->recorder.active()) StopRecording(ctx);
    ShowStatusBar(ctx, true);
}

void ShowStatusBar(Context& ctx, bool force) {
    LiveStats& st = ctx.recording->stats;
    const double now = ctx.loop.Timer();
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
    add("%.1f samples/s   %llu samples", st.rate, static_cast<unsigned long long>(st.samples));
    if (ctx.recording->recorder.active()) {
        add("   recording %s: %llu rows", FileNameOf(ctx.recording->recorder.path()).c_str(),
            static_cast<unsigned long long>(ctx.recording->recorder.rows()));
    }
    if (ctx.sensor.scanFrequency() > 0)
        add("   scan frequency %.2f Hz", ctx.sensor.scanFrequency());
    ctx.ui.SetCtrlText(
        Ctrl::StatusBar,
        std::string_view(text, static_cast<std::size_t>(std::min<int>(n, sizeof text - 1))));
}

}  // namespace qelto
