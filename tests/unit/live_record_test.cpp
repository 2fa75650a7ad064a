// The recording file under a write error: it stops, says why once, and keeps whole rows.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>
#include <thread>

#include "app/control_table.hpp"
#include "app/live_record.hpp"
#include "doubles/scripted_sensor.hpp"
#include "temp_dir.hpp"

#if defined(__unix__)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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
    ASSERT_EQ(rig.ctx.recording.Toggle(), Outcome::Done);
    {
        FileSizeLimit limit(4096);
        rig.ctx.view.live.w[LiveData::kRed] = 1234;
        for (int i = 0; i < 2000 && rig.ctx.recording.recorder().active(); ++i) {
            rig.ui.now_ += 0.01;  // a flush every hundred rows
            rig.ctx.recording.RecordSample(rig.ui.now_);
        }
    }
    EXPECT_FALSE(rig.ctx.recording.recorder().active());
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
    rig.ctx.recording.AcquisitionEnded();
    EXPECT_EQ(rig.ui.popups.size(), 2u);
}
#endif

#if defined(__unix__)
// A recording process killed at any moment leaves the header and whole rows only. (Windows has
// no fork: the test needs a recorder in a process of its own that it can kill.)
TEST(LiveRecorder, AKilledRecorderLeavesOnlyWholeRows) {
    TempDir dir("qelto-record-kill");
    std::mt19937 random(std::random_device{}());
    const std::regex row(R"(\d+\.\d{6}(,-?\d+){7})");
    for (int run = 0; run < 10; ++run) {
        const std::string path = dir.File("killed-" + std::to_string(run) + ".csv");
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Rows of changing length, a millisecond of sensor time apart, so that a second's
            // batch spans several pages of the file; paced so the file stays small.
            LiveRecorder recorder;
            if (!recorder.Start(path, 0.0)) _exit(1);
            for (long i = 1;; ++i) {
                const double t = static_cast<double>(i) * 0.001;
                recorder.Append({i % 1000, i % 77, i, -i % 5, 1365, 1392, i % 256}, t, t);
                if (i % 200 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
        // Killed once rows have started to arrive, at a random moment after that.
        for (int i = 0; i < 5000; ++i) {
            std::error_code ec;
            const auto size = std::filesystem::file_size(path, ec);
            if (!ec && size > kLiveCsvHeader.size()) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution<int>(0, 30000)(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the recorder ended by itself";

        const std::string text = ReadBytes(path);
        ASSERT_EQ(text.rfind(kLiveCsvHeader, 0), 0u);
        ASSERT_GT(text.size(), kLiveCsvHeader.size()) << "killed before any row reached the file";
        ASSERT_EQ(text.back(), '\n') << "a torn last row: " << text.substr(text.rfind('\n') + 1);
        std::istringstream in(text.substr(kLiveCsvHeader.size()));
        for (std::string line; std::getline(in, line);) {
            ASSERT_TRUE(std::regex_match(line, row)) << "run " << run << ": " << line;
        }
    }
}
#endif

// Record pressed during acquisition: the file dialog runs inside the loop's wait for a reply,
// and the operator takes ten seconds over it. The sample asked for before the file was open
// is not recorded, and time counts from the first row.
TEST(LiveRecorder, RecordingStartsWithTheFirstSampleAskedForAfterTheFileIsOpen) {
    TempDir dir("qelto-record");
    const std::string path = dir.File("late.csv");
    UnitRig rig;
    ScriptedSensor sensor;
    sensor.Attach(rig);
    rig.ctx.state.communicationOk = true;
    rig.onEvents = [&] {
        rig.ui.now_ += 0.001;
        if (sensor.samples == 3 && !rig.ctx.recording.recorder().active()) {
            rig.ui.now_ += 10.0;  // in the dialog
            rig.ui.answers.push_back(PopupAnswer::File(kFileNew, path));
            DispatchControlEvent(rig.ctx, Ctrl::RecordButton, Event::Commit);
        }
        if (sensor.samples == 8) DispatchControlEvent(rig.ctx, Ctrl::StopButton, Event::Commit);
    };
    DispatchControlEvent(rig.ctx, Ctrl::GoButton, Event::Commit);

    std::istringstream in(ReadBytes(path));
    std::string line;
    std::getline(in, line);
    std::vector<std::string> rows;
    while (std::getline(in, line))
        rows.push_back(line);
    ASSERT_EQ(rows.size(), 5u);  // samples 4 to 8: the simulated red is the sample's number
    EXPECT_EQ(rows[0].rfind("0.000000,4,", 0), 0u) << rows[0];
    EXPECT_EQ(rows[4].find(",8,"), rows[4].find(',')) << rows[4];
}

TEST(LiveRecorder, AFileThatCannotBeCreatedIsSaidAndNothingRecords) {
    UnitRig rig;
    rig.ui.answers.push_back(PopupAnswer::File(kFileNew, "/nonexistent-dir/x.csv"));
    rig.ui.onUnexpectedPopup = nullptr;
    EXPECT_EQ(rig.ctx.recording.Toggle(), Outcome::Failed);
    EXPECT_FALSE(rig.ctx.recording.recorder().active());
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
