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
#include "files/live_recorder.hpp"
#include "link/event_loop.hpp"
#include "protocol/records.hpp"

namespace qelto {

class SensorSession;
struct LiveView;

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
