// A live recording's CSV file, written so that nothing but whole rows ever reaches it: the file
// the window's Record and qelto-cli's record write. The line is the one `qelto-cli live
// --format csv` prints (files/live_csv).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "files/live_csv.hpp"
#include "protocol/records.hpp"

namespace qelto {

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
    // The file's size in bytes, with what is still on its way there.
    std::uint64_t bytes() const { return committed_ + batch_.size(); }
    // Rows in the file (while recording, also those still on their way there).
    std::uint64_t rows() const { return rows_ + pending_; }
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

}  // namespace qelto
