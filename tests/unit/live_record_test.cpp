// The recording file under a write error: it stops, says why once, and keeps whole rows.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/live_record.hpp"
#include "scripted_sensor.hpp"
#include "temp_dir.hpp"

#if defined(__unix__)
#include <sys/resource.h>

#include <csignal>
#endif

namespace qelto {
namespace {

// Windows has no file size limit for a process, the one way here to make a disk fill up, so
// the write error is only provoked where there is one.
#if defined(__unix__)
// The disk "fills up" at a few kilobytes: writes past the limit fail as on a full disk.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit l = old_;
        l.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &l);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old_); }

  private:
    rlimit old_{};
};

TEST(LiveRecorder, AWriteErrorStopsRecordingKeepsWholeRowsAndSaysSoOnce) {
    TempDir dir("qelto-record");
    const std::string path = (dir.path() / "full.csv").string();
    UnitRig rig;
    rig.ui.answers.push_back(PopupAnswer::File(kFileNew, path));
    rig.ui.onUnexpectedPopup = nullptr;
    ASSERT_EQ(CBF_ButtonRecord(rig.ctx), Outcome::Done);
    {
        FileSizeLimit limit(4096);
        rig.ctx.live.w[LiveData::kRed] = 1234;
        for (int i = 0; i < 2000 && rig.ctx.recorder.active(); ++i) {
            rig.ui.now_ += 0.01;  // a flush every hundred rows
            RecordSample(rig.ctx);
        }
    }
    EXPECT_FALSE(rig.ctx.recorder.active());
    EXPECT_EQ(rig.ui.ctrl(Ctrl::RecordButton).value, 0);
    ASSERT_EQ(rig.ui.popups.size(), 2u);  // the file dialog, then the one message
    EXPECT_NE(rig.ui.popups[1].message.find("Recording stopped: " + path + ": File too large"),
              std::string::npos)
        << rig.ui.popups[1].message;

    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line + "\n", kLiveCsvHeader);
    int rows = 0;
    while (std::getline(in, line)) {
        ASSERT_EQ(std::count(line.begin(), line.end(), ','), 7) << "a cut row: " << line;
        ++rows;
    }
    EXPECT_GT(rows, 0);
    EXPECT_LE(std::filesystem::file_size(path), 4096u);

    // Nothing more is said when acquisition ends afterwards.
    AcquisitionEnded(rig.ctx);
    EXPECT_EQ(rig.ui.popups.size(), 2u);
}
#endif

TEST(LiveRecorder, AFileThatCannotBeCreatedIsSaidAndNothingRecords) {
    UnitRig rig;
    rig.ui.answers.push_back(PopupAnswer::File(kFileNew, "/nonexistent-dir/x.csv"));
    rig.ui.onUnexpectedPopup = nullptr;
    EXPECT_EQ(CBF_ButtonRecord(rig.ctx), Outcome::Failed);
    EXPECT_FALSE(rig.ctx.recorder.active());
    ASSERT_EQ(rig.ui.popups.size(), 2u);
    EXPECT_EQ(
        rig.ui.popups[1].message.rfind("Recording could not start: /nonexistent-dir/x.csv", 0), 0u);
}

TEST(FormatLiveCsvLine, WritesWhatPrintfWouldAndNothingPastTheBuffer) {
    // Half-way cases round as printf rounds them (0.0078125 is exact in binary); carries, long
    // recordings and negative readings come out whole.
    const double times[] = {0.0,        0.0000005, 0.0078125, 0.123456789,
                            59.9999996, 86400.25,  1e9 + 0.5};
    const LiveSample samples[] = {{0, 0, 0, 0, 0, 0, 0},
                                  {65535, 1, 22, 1365, 10000, 333, 255},
                                  {-1, -32768, 7, -5, 2147483647L, -2147483648L, 12}};
    for (const double t : times) {
        for (const LiveSample& s : samples) {
            char expected[128];
            const int n =
                std::snprintf(expected, sizeof expected, "%.6f,%ld,%ld,%ld,%ld,%ld,%ld,%ld\n", t,
                              s.red, s.green, s.blue, s.x, s.y, s.intensity, s.colorNo);
            std::array<char, 128> line{};
            EXPECT_EQ(std::string_view(line.data(), FormatLiveCsvLine(line, t, s)),
                      std::string_view(expected, static_cast<std::size_t>(n)));
        }
    }
    std::array<char, 12> small{};
    EXPECT_LE(FormatLiveCsvLine(small, 1.5, samples[1]), small.size());
}

}  // namespace
}  // namespace qelto
