// The recording file: asked for before it replaces a file, held against a second recording,
// stopped with a word when its file is removed or fails to take a write, whole rows always;
// the CSV line with its clock time; where the dialogs start.
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
#include "app/file_commands.hpp"
#include "app/live_record.hpp"
#include "app/working_copy.hpp"
#include "doubles/scripted_sensor.hpp"
#include "files/text_file.hpp"
#include "temp_dir.hpp"

#if defined(__unix__)
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

namespace qelto {
namespace {

// The recording with what it needs: the live values it writes and the settings its dialog
// starts from.
struct RecordingRig : SessionRig {
    Settings settings;
    LiveView view;
    Recording recording{ui, ui, sensor, view, settings};
};

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
    RecordingRig rig;
    rig.ui.answers.push_back(PopupAnswer::File(kFileNew, path));
    rig.ui.onUnexpectedPopup = nullptr;
    ASSERT_EQ(rig.recording.Toggle(), Outcome::Done);
    {
        // A flush of two hundred rows goes out a page at a time: the first page fits, the
        // second does not.
        FileSizeLimit limit(6000);
        rig.view.live.w[LiveData::kRed] = 1234;
        for (int i = 0; i < 2000 && rig.recording.recorder().active(); ++i) {
            rig.ui.now_ += 0.005;
            rig.recording.RecordSample(rig.ui.now_);
        }
    }
    EXPECT_FALSE(rig.recording.recorder().active());
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
        ASSERT_EQ(std::count(line.begin(), line.end(), ','), 8) << "a cut row: " << line;
        ++rows;
    }
    EXPECT_GT(rows, 0);
    EXPECT_LE(std::filesystem::file_size(path), 6000u);
    // The message counts the rows the file holds.
    EXPECT_NE(rig.ui.popups[1].message.find("\n" + std::to_string(rows) + " rows were written"),
              std::string::npos)
        << rig.ui.popups[1].message;

    // Nothing more is said when acquisition ends afterwards.
    rig.recording.AcquisitionEnded();
    EXPECT_EQ(rig.ui.popups.size(), 2u);
}

// A recording resumed after a reconnection whose writes then fail: the rows from before the
// resume stay in the file, and the count of rows kept includes them.
TEST(LiveRecorder, AWriteErrorAfterAResumeKeepsTheRowsFromBefore) {
    TempDir dir("qelto-record-resume");
    const std::string path = dir.File("resumed.csv");
    LiveRecorder recorder;
    ASSERT_TRUE(recorder.Start(path, 0.0));
    for (int i = 1; i <= 300; ++i)  // more than the page that goes through after the resume
        recorder.Append(LiveSample{}, i * 0.01, i * 0.01);
    recorder.Stop();
    const std::string before = ReadBytes(path);
    ASSERT_TRUE(recorder.Resume(10.0));
    {
        FileSizeLimit limit(before.size() + 6000);  // of the first flush, one page fits
        for (double t = 10.0; t < 20.0 && recorder.active(); t += 0.005)
            recorder.Append(LiveSample{}, t, t);
    }
    ASSERT_FALSE(recorder.active());
    EXPECT_NE(recorder.error().find("File too large"), std::string::npos) << recorder.error();
    const std::string after = ReadBytes(path);
    ASSERT_GT(after.size(), before.size()) << "rows from before the resume were cut";
    EXPECT_EQ(after.compare(0, before.size(), before), 0) << "rows from before the resume changed";
    EXPECT_EQ(recorder.rows() + 1,
              static_cast<std::uint64_t>(std::count(after.begin(), after.end(), '\n')));
}
#endif

#if defined(__unix__)
// A text saved (the link monitor's) onto a disk that fills up: the system's words for it, and
// the file saved before stays as it was.
TEST(SaveTextFile, AFailedSaveSaysTheSystemsWordsAndKeepsTheOldFile) {
    TempDir dir("qelto-save");
    const std::string path = dir.File("link.txt");
    WriteBytes(path, "saved yesterday\n");
    {
        FileSizeLimit limit(4096);
        EXPECT_EQ(SaveTextFile(path, std::string(10000, 'x')), "File too large");
    }
    EXPECT_EQ(ReadBytes(path), "saved yesterday\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
        << "the temporary file is gone";
    EXPECT_EQ(SaveTextFile(path, "saved today\n"), "");
    EXPECT_EQ(ReadBytes(path), "saved today\n");
    EXPECT_EQ(SaveTextFile(dir.str(), "x"), "not a regular file");
}
#endif

#if defined(__unix__)
// A recording process killed at any moment leaves the header and whole rows only. (Windows has
// no fork: the test needs a recorder in a process of its own that it can kill.)
TEST(LiveRecorder, AKilledRecorderLeavesOnlyWholeRows) {
    TempDir dir("qelto-record-kill");
    std::mt19937 random(std::random_device{}());
    const std::regex row(
        R"(\d+\.\d{6}(,-?\d+){7},\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d)");
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
        // Killed once rows have started to arrive, at a random moment after that. On a busy
        // machine the first batch can take a while: wait for it, up to half a minute.
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < giveUp) {
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
    RecordingRig rig;
    rig.ui.answers.push_back(PopupAnswer::File(kFileNew, "/nonexistent-dir/x.csv"));
    rig.ui.onUnexpectedPopup = nullptr;
    EXPECT_EQ(rig.recording.Toggle(), Outcome::Failed);
    EXPECT_FALSE(rig.recording.recorder().active());
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
    // 2024-02-29 23:59:59.999 UTC, two hours ahead of UTC (Kyiv in winter), and below three and
    // a half behind (Newfoundland): the date follows the offset.
    const WallClock clock{1709251199999, 120};
    const std::string_view clockText = "2024-03-01T01:59:59.999+02:00";
    for (const double t : times) {
        for (const LiveSample& s : samples) {
            char expected[128];
            const int n =
                std::snprintf(expected, sizeof expected, "%.6f,%ld,%ld,%ld,%ld,%ld,%ld,%ld,%.*s\n",
                              t, s.red, s.green, s.blue, s.x, s.y, s.intensity, s.colorNo,
                              static_cast<int>(clockText.size()), clockText.data());
            std::array<char, 128> line{};
            EXPECT_EQ(std::string_view(line.data(), FormatLiveCsvLine(line, t, s, clock)),
                      std::string_view(expected, static_cast<std::size_t>(n)));
        }
    }
    std::array<char, 12> small{};
    EXPECT_LE(FormatLiveCsvLine(small, 1.5, samples[1], clock), small.size());

    // The clock time: the local date and time to the millisecond, and the offset from UTC.
    const auto text = [](WallClock c) {
        std::array<char, 48> out{};
        return std::string(out.data(), FormatWallClock(out, c));
    };
    EXPECT_EQ(text({1709251199999, -210}), "2024-02-29T20:29:59.999-03:30");
    EXPECT_EQ(text({0, 0}), "1970-01-01T00:00:00.000+00:00");
    EXPECT_EQ(text({-1, 60}), "1970-01-01T00:59:59.999+01:00");
    const std::string now = text(WallClockNow());
    EXPECT_TRUE(
        std::regex_match(now, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d)")))
        << now;
}

// Rows of a recording file: the header's columns, then whole rows only.
std::vector<std::string> RowsOf(const std::string& path) {
    std::istringstream in(ReadBytes(path));
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line + "\n", kLiveCsvHeader);
    std::vector<std::string> rows;
    while (std::getline(in, line)) {
        EXPECT_EQ(std::count(line.begin(), line.end(), ','), 8) << "a cut row: " << line;
        rows.push_back(line);
    }
    return rows;
}

// `count` samples 10 ms apart on the rig's clock, or fewer when the recording stops.
void RecordSamples(RecordingRig& rig, int count) {
    for (int i = 0; i < count && rig.recording.recorder().active(); ++i) {
        rig.ui.now_ += 0.01;
        rig.view.live.w[LiveData::kRed] = static_cast<std::int16_t>(i);
        rig.recording.RecordSample(rig.ui.now_);
    }
}

// A recording armed before GO says that it waits; then it keeps the samples its sampling
// picks (one in three, then one per 50 ms), each row with its sample's own time; the status
// bar has its rows and size, and the rate goes to a dash after a second without a sample.
TEST(LiveRecorder, ARecordingSaysItWaitsAndKeepsTheSamplesItsSamplingPicks) {
    for (const RecordEvery every : {RecordEvery::NthSample, RecordEvery::Interval}) {
        TempDir dir("qelto-record");
        const std::string path = dir.File("picked.csv");
        RecordingRig rig;
        rig.settings.recordSampling = {every, 3, 0.05};
        rig.ui.answers.push_back(PopupAnswer::File(kFileNew, path));
        rig.ui.onUnexpectedPopup = nullptr;
        ASSERT_EQ(rig.recording.Toggle(), Outcome::Done);
        const std::string waiting = rig.ui.ctrl(Ctrl::StatusBar).text;
        EXPECT_EQ(waiting.rfind(every == RecordEvery::NthSample
                                    ? "recording picked.csv (one in 3): waiting for GO"
                                    : "recording picked.csv (one per 0.05 s): waiting for GO",
                                0),
                  0u)
            << waiting;
        rig.recording.AcquisitionStarted();
        RecordSamples(rig, 30);  // 10 ms apart
        rig.recording.ShowStatusBar(true);
        const std::string bar = rig.ui.ctrl(Ctrl::StatusBar).text;
        rig.recording.Stop();
        const std::vector<std::string> rows = RowsOf(path);
        ASSERT_EQ(rows.size(), every == RecordEvery::NthSample ? 10u : 6u) << bar;
        // The samples 0, 3, 6 ... or 0, 5, 10 ...: their own red and their own time.
        const int step = every == RecordEvery::NthSample ? 3 : 5;
        char start[32];
        std::snprintf(start, sizeof start, "%.6f,%d,", step * 0.01, step);
        EXPECT_EQ(rows[1].rfind(start, 0), 0u) << rows[1];
        EXPECT_NE(bar.find(": " + std::to_string(rows.size()) + " rows, "), std::string::npos)
            << bar;
        EXPECT_EQ(rig.ui.statusMessages.back(),
                  "recorded picked.csv: " + std::to_string(rows.size()) + " rows, " +
                      SizeText(std::filesystem::file_size(path)));
    }
    // The rate: a number while samples come, a dash a second after the last one.
    RecordingRig rig;
    rig.recording.AcquisitionStarted();
    for (int i = 0; i < 150; ++i) {
        rig.ui.now_ += 0.01;
        rig.recording.RecordSample(rig.ui.now_);
    }
    EXPECT_EQ(rig.ui.ctrl(Ctrl::StatusBar).text.rfind("100.0 samples/s", 0), 0u)
        << rig.ui.ctrl(Ctrl::StatusBar).text;
    rig.ui.now_ += 1.2;
    rig.recording.ShowStatusBar(false);
    EXPECT_EQ(rig.ui.ctrl(Ctrl::StatusBar).text.rfind("\u2014 samples/s   150 samples", 0), 0u)
        << rig.ui.ctrl(Ctrl::StatusBar).text;
}

// Record pointed at a file that is there: the question first, and Enter keeps the file; Yes
// replaces it. What is not a regular file is refused without a question.
TEST(LiveRecorder, AnExistingFileIsReplacedOnlyAfterYesAndNothingButARegularFile) {
    TempDir dir("qelto-record");
    const std::string path = dir.File("production.csv");
    WriteBytes(path, "1000 lines of last week's production\n");
    RecordingRig rig;
    rig.ui.answers.push_back(PopupAnswer::File(kFileExisting, path));
    rig.ui.answers.push_back(PopupAnswer::Enter());
    EXPECT_EQ(rig.recording.Toggle(), Outcome::Declined);
    ASSERT_EQ(rig.ui.popups.size(), 2u);
    EXPECT_EQ(rig.ui.popups[1].kind, PopupKind::Confirm);
    EXPECT_EQ(rig.ui.popups[1].enter, Default::No);
    EXPECT_EQ(rig.ui.popups[1].message, "production.csv already exists in the folder\n" +
                                            dir.str() + "\nDo you want to replace it?");
    EXPECT_EQ(ReadBytes(path), "1000 lines of last week's production\n");
    EXPECT_FALSE(rig.recording.recorder().active());
    EXPECT_EQ(rig.ui.ctrl(Ctrl::RecordButton).value, 0);

    rig.ui.answers.push_back(PopupAnswer::File(kFileExisting, path));
    rig.ui.answers.push_back(PopupAnswer::Yes());
    ASSERT_EQ(rig.recording.Toggle(), Outcome::Done);
    EXPECT_EQ(ReadBytes(path), kLiveCsvHeader);
    rig.recording.Stop();

    rig.ui.onUnexpectedPopup = nullptr;
    std::vector<std::string> refused{dir.str()};
#if defined(__unix__)
    const std::string fifo = dir.File("pipe.csv");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    refused.push_back(fifo);  // opened for writing, it would wait for a reader
#endif
    for (const std::string& other : refused) {
        rig.ui.popups.clear();
        rig.ui.answers.push_back(PopupAnswer::File(kFileExisting, other));
        EXPECT_EQ(rig.recording.Toggle(), Outcome::Failed) << other;
        ASSERT_EQ(rig.ui.popups.size(), 2u) << other;
        EXPECT_EQ(rig.ui.popups[1].message,
                  "Recording could not start: " + other + ": not a regular file");
    }
}

// Two windows (or two programs) pointed at one file: the second is refused before it asks
// anything, and the first file holds the first recording's rows, whole.
TEST(LiveRecorder, ASecondRecorderOnTheSameFileIsRefusedAndTheFirstFileStaysWhole) {
    TempDir dir("qelto-record");
    const std::string path = dir.File("line3.csv");
    RecordingRig first;
    first.ui.answers.push_back(PopupAnswer::File(kFileNew, path));
    ASSERT_EQ(first.recording.Toggle(), Outcome::Done);
    RecordSamples(first, 150);

    RecordingRig second;
    second.ui.onUnexpectedPopup = nullptr;
    second.ui.answers.push_back(PopupAnswer::File(kFileExisting, path));
    EXPECT_EQ(second.recording.Toggle(), Outcome::Failed);  // a question would decline
    ASSERT_EQ(second.ui.popups.size(), 2u);
    EXPECT_EQ(second.ui.popups[1].message,
              "Recording could not start: " + path + ": in use by another recording");
    EXPECT_FALSE(second.recording.recorder().active());
#if defined(__unix__)
    // So is a recorder in another process. (Windows has no fork.)
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        LiveRecorder other;
        _exit(!other.Start(path, 0.0) && other.error() == path + ": in use by another recording"
                  ? 0
                  : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the other process took it";
#endif

    RecordSamples(first, 150);
    first.recording.Stop();
    const std::vector<std::string> rows = RowsOf(path);
    ASSERT_EQ(rows.size(), 300u);
    EXPECT_EQ(rows.size(), first.recording.recorder().rows());
    // Once the first has let it go, the file can be recorded into again.
    second.ui.answers.push_back(PopupAnswer::File(kFileExisting, path));
    second.ui.answers.push_back(PopupAnswer::Yes());
    EXPECT_EQ(second.recording.Toggle(), Outcome::Done);
}

// The recording's folder is deleted while it runs, then (another time) its file is replaced:
// within a second the recording stops and says where and how many rows went into its file.
// (Windows removes and renames no file that is open, so there neither can happen.)
#if defined(__unix__)
TEST(LiveRecorder, AFileRemovedOrReplacedStopsTheRecordingWithAWord) {
    TempDir dir("qelto-record");
    const std::filesystem::path folder = dir.path() / "today";
    const std::string path = (folder / "run.csv").string();
    for (const bool replace : {false, true}) {
        std::filesystem::create_directories(folder);
        RecordingRig rig;
        rig.ui.onUnexpectedPopup = nullptr;
        rig.ui.answers.push_back(PopupAnswer::File(kFileNew, path));
        ASSERT_EQ(rig.recording.Toggle(), Outcome::Done);
        RecordSamples(rig, 250);  // two and a half seconds: two writes
        const std::uint64_t written = RowsOf(path).size();
        ASSERT_GT(written, 0u);
        if (replace) {
            WriteBytes(dir.File("other.csv"), "someone else's\n");
            std::filesystem::rename(dir.File("other.csv"), path);
        } else {
            std::filesystem::remove_all(folder);
        }
        RecordSamples(rig, 101);  // a second's samples
        EXPECT_FALSE(rig.recording.recorder().active()) << replace;
        EXPECT_EQ(rig.ui.ctrl(Ctrl::RecordButton).value, 0);
        ASSERT_EQ(rig.ui.popups.size(), 2u);
        EXPECT_EQ(rig.ui.popups[1].message,
                  "Recording stopped: " + path + ": removed or replaced by another file\n" +
                      std::to_string(written) +
                      " rows went into the file that was written until then.");
        if (replace) {
            EXPECT_EQ(ReadBytes(path), "someone else's\n");
        }
        rig.recording.AcquisitionEnded();
        EXPECT_EQ(rig.ui.popups.size(), 2u) << "said once";
        std::filesystem::remove_all(folder);
    }
}
#endif

// Record's dialog offers CSV files only, in the documents folder until the operator has
// recorded somewhere, then there; the parameter file's dialog starts where the last parameter
// file was, and in the documents folder while there was none or it cannot be written.
TEST(LiveRecorder, DialogsStartWhereThatKindOfFileLastWentElseInTheDocumentsFolder) {
    TempDir dir("qelto-record");
    const std::filesystem::path documents = dir.path() / "Documents";
    const std::filesystem::path program = dir.path() / "program";
    const std::filesystem::path runs = dir.path() / "runs";
    for (const auto& d : {documents, program, runs})
        std::filesystem::create_directories(d);
    const auto folder = [](const std::filesystem::path& p) { return (p / "").string(); };
    RecordingRig rig;
    rig.settings.DocumentsDirectory = documents.string();
    rig.settings.ProgramDirectory = program.string();
    rig.settings.ParameterFilePath = (program / "Parameter.ini").string();
    WorkingCopy working{rig.sensor};
    ParameterFiles files{rig.ui, rig.settings, working};
    rig.ui.answers.push_back(PopupAnswer::File(kFileNew, (runs / "a.csv").string()));
    ASSERT_EQ(rig.recording.Toggle(), Outcome::Done);
    rig.recording.Stop();
    rig.ui.answers.push_back(PopupAnswer::File(kFileNoneSelected, {}));
    rig.recording.Toggle();
    rig.ui.answers.push_back(PopupAnswer::File(kFileNoneSelected, {}));
    files.ReadParaFromFile();
    rig.settings.ParameterFilePath = (runs / "p.ini").string();
    rig.ui.answers.push_back(PopupAnswer::File(kFileNoneSelected, {}));
    files.ReadParaFromFile();
#if defined(__unix__)
    if (geteuid() != 0) {  // root writes anywhere
        std::filesystem::permissions(
            runs, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        rig.ui.answers.push_back(PopupAnswer::File(kFileNoneSelected, {}));
        files.ReadParaFromFile();
    }
#endif
    std::vector<FileDialogRequest> dialogs;
    for (const PopupRecord& p : rig.ui.popups) {
        if (p.kind == PopupKind::FileSelect) dialogs.push_back(p.file);
    }
    ASSERT_GE(dialogs.size(), 4u);
    EXPECT_EQ(dialogs[0].startDirectory, documents.string());
    EXPECT_EQ(dialogs[0].filter, "CSV files (*.csv)");
    EXPECT_FALSE(dialogs[0].allFiles);
    EXPECT_EQ(dialogs[1].startDirectory, folder(runs));
    EXPECT_EQ(dialogs[2].startDirectory, documents.string()) << "not beside the program";
    EXPECT_EQ(dialogs[3].startDirectory, folder(runs));
    if (dialogs.size() > 4) {
        EXPECT_EQ(dialogs[4].startDirectory, documents.string());
    }
}

}  // namespace
}  // namespace qelto
