// Recording live samples into a CSV file, and the figures the status bar shows while data
// transfer runs. The CSV line is the one `qelto-cli live --format csv` prints (files/live_csv).
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#include "app/operation_state.hpp"
#include "app/operator_interface.hpp"
#include "app/settings.hpp"
#include "files/live_csv.hpp"
#include "link/event_loop.hpp"
#include "protocol/records.hpp"

namespace qelto {

class SensorSession;
struct LiveView;

LiveSample SampleOf(const LiveData& d);

// A CSV file that grows by one line per sample. Rows wait in memory and go to the system as
// whole rows in one write at least once a second, so that a crash at any moment leaves whole
// rows and loses at most the last second. The file is held locked while it is open, so that a
// second recording (in this program or another) cannot write into it. A write error closes
// the file and keeps its reason; the rows written before stay as they are. So does a file
// that is no longer at its path (removed, or replaced by another): that is noticed before each
// write, and nothing more is written.
class LiveRecorder {
  public:
    LiveRecorder() = default;
    LiveRecorder(const LiveRecorder&) = delete;
    LiveRecorder& operator=(const LiveRecorder&) = delete;
    ~LiveRecorder() { Stop(); }

    // The first step: opens the file and holds it locked, leaving it as it is. Refuses a file
    // that another recording holds and anything that is not a regular file. false with the
    // reason in error().
    bool Open(const std::string& path);
    // Whether the file opened was there before: Begin replaces it.
    bool replacing() const { return existed_; }
    // The second step: empties the file and writes the header; samples asked for from `now`
    // on are recorded. false with the reason in error() (the file is closed then).
    bool Begin(double now);
    // After Stop: the same file again, from where it ended, locked anew; the rows' time goes on
    // from the same start, so that a pause shows as a jump of t. false with the reason.
    bool Resume(double now);
    // Both steps: creates (or replaces) the file and writes the header.
    bool Start(const std::string& path, double now) { return Open(path) && Begin(now); }
    // Adds the sample taken now, asked for at requestedAt; a sample asked for before the file
    // was opened is left out (the acquisition may have waited under the file dialog). The
    // first row's time is 0. false once writing failed (the file is closed then).
    bool Append(const LiveSample& s, double requestedAt, double now);
    // Writes what waits and closes the file (also one opened but not begun).
    void Stop();

    bool active() const { return file_ != nullptr && begun_; }
    // Whether a sample asked for at `requestedAt` belongs in the file (see Append).
    bool Wants(double requestedAt) const { return active() && requestedAt >= opened_; }
    // Rows in the file (while recording, also those still on their way there).
    std::uint64_t rows() const { return rows_ + pending_; }
    // The file's size in bytes, with what is still on its way there.
    std::uint64_t bytes() const { return committed_ + batch_.size(); }
    const std::string& path() const { return path_; }
    const std::string& error() const { return error_; }
    // The file was removed or replaced while recording: rows() went into the file written
    // until then.
    bool lost() const { return lost_; }
    void ClearError() {
        error_.clear();
        lost_ = false;
    }

  private:
    bool Write();
    bool Fail(int err);
    bool Lose();
    void Close();

    std::FILE* file_ = nullptr;
    bool begun_ = false;
    bool existed_ = false;
    bool lost_ = false;
    std::string path_;
    std::string error_;
    std::string batch_;            // whole rows not yet handed to the system
    std::uint64_t rows_ = 0;       // rows that reached the file
    std::uint64_t pending_ = 0;    // rows in batch_
    std::uint64_t committed_ = 0;  // bytes known to be in the file
    double opened_ = 0.0;
    double firstRow_ = 0.0;
    double lastWrite_ = 0.0;
    WallClockSource clock_;
};

// Picks the samples a recording keeps (RecordSampling) from those offered, in order.
class SampleFilter {
  public:
    void Reset() {
        offered_ = 0;
        lastTaken_ = -1.0;
    }
    bool Take(const RecordSampling& sampling, double now);

  private:
    std::uint64_t offered_ = 0;
    double lastTaken_ = -1.0;  // below 0: none yet
};

// "one in 10", "one per 0.5 s"; empty for every sample.
std::string SamplingText(const RecordSampling& sampling);
// A file size for a person: "812 B", "56.7 kB", "15.2 MB".
std::string SizeText(std::uint64_t bytes);

// Samples of the running (or last) acquisition, for the rate in the status bar.
struct LiveStats {
    std::uint64_t samples = 0;
    double start = 0.0;
    double windowStart = 0.0;  // the rate is taken over the last second or so
    std::uint64_t windowSamples = 0;
    double rate = 0.0;  // over the last second or so; the whole run's once it ended
    double lastShown = -1.0;
    double lastSample = 0.0;  // when the last sample came (or the acquisition started)
    bool running = false;     // samples are being taken
};

// The default file name of a recording: "qelto-live-YYYYMMDD-HHMMSS.csv", local time.
std::string DefaultRecordingName();

// Record: live samples into a CSV file, and the figures the status bar shows while data
// transfer runs (the rate, the samples, the recording, the scan frequency).
class Recording {
  public:
    Recording(OperatorInterface& ui, EventLoop& loop, const SensorSession& sensor,
              const LiveView& view, const Settings& settings);
    Recording(const Recording&) = delete;
    Recording& operator=(const Recording&) = delete;

    // Record's file dialog: CSV files only, in the folder last recorded to (this run),
    // otherwise in the documents folder.
    FileDialogRequest Dialog() const;
    // The Record toggle: on asks once for a file (and before replacing one that exists) and
    // records every sample from then on; off (or the end of the acquisition) closes the file.
    Outcome Toggle();
    // The recording that ended with the acquisition goes on in its file (after a reconnection);
    // false, said, when it cannot.
    bool Resume();
    void Stop();
    // Called by the acquisition loop for every sample (with the time its request went out),
    // and when it starts and ends. The recording keeps the samples its sampling picks.
    void RecordSample(double requestedAt);
    void AcquisitionStarted();
    void AcquisitionEnded();
    // The status bar: rate, samples, the recording, the scan frequency. `force` redraws it
    // now; otherwise at most twice a second.
    void ShowStatusBar(bool force);
    // Opens the folder of the recording (running or last) in the desktop's file manager.
    Outcome OpenFolder();

    LiveRecorder& recorder() { return recorder_; }
    const LiveStats& stats() const { return stats_; }

  private:
    OperatorInterface& ui_;
    EventLoop& loop_;
    const SensorSession& sensor_;
    const LiveView& view_;
    const Settings& settings_;
    void Started();

    LiveRecorder recorder_;
    SampleFilter filter_;
    LiveStats stats_;
    std::string lastFolder_;  // where the operator last recorded to, this run
};

}  // namespace qelto
