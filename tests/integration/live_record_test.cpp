// Recording live data from the acquisition loop against the simulated sensor: the file holds
// one row per sample taken, in the CSV of qelto-cli, and closes however acquisition ends.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/control_table.hpp"
#include "app/live_record.hpp"
#include "sensor_sim_rig.hpp"

namespace qelto {
namespace {

std::vector<std::string> Lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);)
        lines.push_back(l);
    return lines;
}

TEST(LiveRecord, RowsForEverySampleUntilStopThenUntilAFault) {
    QTemporaryDir dir;
    SensorSimRig s;
    s.Connected();
    const std::string path = dir.filePath("run.csv").toStdString();
    s.ui.answers.push_back(PopupAnswer::File(kFileNew, path));
    ASSERT_EQ(DispatchControlEvent(s.ctx, Ctrl::RecordButton, Event::Commit), Outcome::Done);
    EXPECT_EQ(s.ui.popups.back().file.defaultFileName.rfind("qelto-live-", 0), 0u);
    EXPECT_EQ(s.ui.ctrl(Ctrl::RecordButton).value, 1);

    s.ui.onEvents = [&] {
        if (s.Count(kCmdLiveData) == 25)
            DispatchControlEvent(s.ctx, Ctrl::StopButton, Event::Commit);
    };
    DispatchControlEvent(s.ctx, Ctrl::GoButton, Event::Commit);
    EXPECT_FALSE(s.ctx.recording.recorder().active());  // the end of acquisition closed the file
    EXPECT_EQ(s.ui.ctrl(Ctrl::RecordButton).value, 0);
    std::vector<std::string> lines = Lines(path);
    ASSERT_EQ(lines.size(), 26u);
    EXPECT_EQ(lines[0] + "\n", kLiveCsvHeader);
    // The last row is the last sample, as the displays showed it.
    const LiveSample last = SampleOf(s.ctx.view.live);
    std::ostringstream tail;
    tail << "," << last.red << "," << last.green << "," << last.blue << "," << last.x << ","
         << last.y << "," << last.intensity << "," << last.colorNo;
    EXPECT_NE(lines.back().find(tail.str()), std::string::npos) << lines.back();
    EXPECT_NE(s.ui.ctrl(Ctrl::StatusBar).text.find("25 samples"), std::string::npos)
        << s.ui.ctrl(Ctrl::StatusBar).text;
    // The file, its rows and its size are said in passing when the recording has ended.
    ASSERT_FALSE(s.ui.statusMessages.empty());
    EXPECT_EQ(s.ui.statusMessages.back(),
              "recorded run.csv: 25 rows, " + SizeText(std::filesystem::file_size(path)))
        << s.ui.statusMessages.back();
    EXPECT_EQ(s.ui.ctrl(Ctrl::StatusBar).tooltip, path);

    // A second recording, ended by a failure of the link: the rows before it are all there.
    const std::string second = dir.filePath("fault.csv").toStdString();
    s.ui.answers.push_back(PopupAnswer::File(kFileNew, second));
    DispatchControlEvent(s.ctx, Ctrl::RecordButton, Event::Commit);
    s.server.AddFault({.kind = sim::FaultKind::ErrorReply,
                       .value = 2,
                       .when = sim::FaultWhen::Every,
                       .every = 8,
                       .command = kCmdLiveData});
    s.wire.clear();
    s.ui.onEvents = nullptr;
    DispatchControlEvent(s.ctx, Ctrl::GoButton, Event::Commit);
    EXPECT_EQ(s.Count(kCmdLiveData), 8);
    EXPECT_FALSE(s.ctx.recording.recorder().active());
    EXPECT_EQ(Lines(second).size(), 1u + 7u);
}

}  // namespace
}  // namespace qelto
