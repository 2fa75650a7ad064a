// Parameter files through Send and Get with the FILE target: the dialog, the questions, the
// reports and the exact file text.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "app/file_commands.hpp"
#include "app/settings.hpp"
#include "app/working_copy.hpp"
#include "doubles/unit_rig.hpp"
#include "files/overlay_file.hpp"
#include "files/parameter_file.hpp"
#include "protocol/records.hpp"
#include "temp_dir.hpp"

namespace qelto {
namespace {

namespace fs = std::filesystem;

void ReplaceLine(std::string& text, const std::string& from, const std::string& to) {
    const auto pos = text.find(from);
    ASSERT_NE(pos, std::string::npos) << from;
    text.replace(pos, from.size(), to);
}

const std::string kParaHead =
    "Following parameter could not be read \nand where set to default value:\n\n";
const std::string kTeachHead =
    "Following teach vectors could not be read \nand where set to default value:\n\n";

class ParameterFile : public ::testing::Test {
  protected:
    void Send(const std::string& path, int result = kFileNew) {
        rig.ui.answers.push_back(PopupAnswer::File(result, path));
        rig.files.SendParaToFile();
    }
    void Get(const std::string& path) {
        rig.ui.answers.push_back(PopupAnswer::File(kFileExisting, path));
        rig.files.ReadParaFromFile();
    }
    // Popups other than the file dialog, as "title|text".
    std::vector<std::string> Boxes() const {
        std::vector<std::string> out;
        for (const auto& p : rig.ui.popups) {
            if (p.kind != PopupKind::FileSelect) out.push_back(p.title + "|" + p.message);
        }
        return out;
    }
    // A complete file with the defaults, for editing.
    std::string DefaultFile() {
        SetWorking(rig.working,
                   [&](Configuration& c) { LoadDefaultParaValues(c.para, c.teach, 1); });
        Send(file);
        rig.ui.popups.clear();
        return ReadBytes(file);
    }
    // Changes of the working copy, which the page and the circles redraw, since the setup's.
    int Refreshes() { return rig.changes - setupRefreshes_; }
    void SetUpDone() { setupRefreshes_ = rig.changes; }
    int setupRefreshes_ = 0;

    // The parameter files with the working copy they read into and write from.
    struct FilesRig : SessionRig {
        Settings settings;
        WorkingCopy working{sensor};
        ParameterFiles files{ui, settings, working};
        int changes = 0;
        FilesRig() {
            working.AddView(
                [this](const WorkingCopyChange& c) { changes += c.marksOnly() ? 0 : 1; });
        }
    } rig;
    TempDir dir;
    std::string file = dir.File("Parameter.ini");
};

void FillPattern(ParameterSet& para, TeachTable& teach, int pattern) {
    std::uint16_t n = 0;
    const auto next = [&]() -> std::uint16_t {
        ++n;
        switch (pattern) {
            case 0:
                return 0;
            case 1:
                return 65535;
            default:
                return static_cast<std::uint16_t>(n * 2 * 257 + 1);  // odd and all different
        }
    };
    for (const auto& f : kParamFields)
        para.*f.member = next();
    for (auto& row : teach) {
        for (auto& c : row.Cell)
            c = next();
        row.Group = next();
        row.Hold = next();
    }
}

// ---- the whole working copy

TEST_F(ParameterFile, SendThenGetRestoresEverythingWithoutQuestions) {
    for (int pattern = 0; pattern < 3; ++pattern) {
        SetWorking(rig.working, [&](Configuration& c) { FillPattern(c.para, c.teach, pattern); });
        const ParameterSet para = rig.working.config().para;
        const TeachTable teach = rig.working.config().teach;
        Send(file);
        SetWorking(rig.working,
                   [&](Configuration& c) { LoadDefaultParaValues(c.para, c.teach, 1); });
        Get(file);
        EXPECT_EQ(rig.working.config().para, para) << "pattern " << pattern;
        EXPECT_EQ(rig.working.config().teach, teach) << "pattern " << pattern;
    }
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(rig.ui.popups.size(), 6u);
    EXPECT_EQ(rig.settings.ParameterFilePath, file);
}

TEST_F(ParameterFile, FileBeginsWithTheHeaderParametersAndFirstRowExactly) {
    const std::string text = DefaultFile();
    const std::string expected =
        "[GENERAL INFO]\r\n"
        "FILE TYPE: = \"Parameter File\"\r\n"
        "QELTO VERSION: = \"KORVANEX TAVRENO Qelto V1.1\"\r\n"
        "\r\n"
        "[PARAMETER]\r\n"
        "POWER = 500\r\n"
        "POWER MODE = 0\r\n"
        "AVERAGE = 256\r\n"
        "EVALUATION MODE = 1\r\n"
        "HOLD FAIL = 10\r\n"
        "INTLIM = 0\r\n"
        "MAX VEC NO = 1\r\n"
        "DIGITAL OUTMODE = 2\r\n"
        "TRIGGER = 0\r\n"
        "EXTERN TEACH = 0\r\n"
        "CALCULATION MODE = 3\r\n"
        "DYNWIN LO = 3200\r\n"
        "DYNWIN HI = 3300\r\n"
        "COLOR GROUP = 0\r\n"
        "LED MODE = 1\r\n"
        "GAIN = 6\r\n"
        "INTEGRAL = 1\r\n"
        "POWER PARA POWER1 = 600\r\n"
        "POWER PARA GAIN1 = 6\r\n"
        "POWER PARA INTEGRAL1 = 1\r\n"
        "POWER PARA POWER2 = 600\r\n"
        "POWER PARA GAIN2 = 6\r\n"
        "POWER PARA INTEGRAL2 = 1\r\n"
        "CORRECTION VALUE X = 128\r\n"
        "CORRECTION VALUE Y = 128\r\n"
        "CORRECTION VALUE Z = 128\r\n"
        "\r\n"
        "[TEACH VECTOR 0]\r\n"
        "CELL 0 = 1\r\n"
        "CELL 1 = 1\r\n"
        "CELL 2 = 1\r\n"
        "CELL 3 = 1\r\n"
        "CELL 4 = 1\r\n"
        "CELL 5 = 1\r\n"
        "GROUP = 1\r\n"
        "HOLD = 10\r\n"
        "\r\n"
        "[TEACH VECTOR 1]\r\n";
    EXPECT_EQ(text.substr(0, expected.size()), expected);
    EXPECT_NE(text.find("\r\n[TEACH VECTOR 63]\r\nCELL 0 = 1\r\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 15), "\r\nHOLD = 10\r\n\r\n");
}

TEST_F(ParameterFile, EachKeyReadsIntoItsOwnField) {
    std::string text = DefaultFile();
    const char* keys[] = {"POWER",
                          "POWER MODE",
                          "AVERAGE",
                          "EVALUATION MODE",
                          "HOLD FAIL",
                          "INTLIM",
                          "MAX VEC NO",
                          "DIGITAL OUTMODE",
                          "TRIGGER",
                          "EXTERN TEACH",
                          "CALCULATION MODE",
                          "DYNWIN LO",
                          "DYNWIN HI",
                          "COLOR GROUP",
                          "LED MODE",
                          "GAIN",
                          "INTEGRAL",
                          "POWER PARA POWER1",
                          "POWER PARA GAIN1",
                          "POWER PARA INTEGRAL1",
                          "POWER PARA POWER2",
                          "POWER PARA GAIN2",
                          "POWER PARA INTEGRAL2",
                          "CORRECTION VALUE X",
                          "CORRECTION VALUE Y",
                          "CORRECTION VALUE Z"};
    const auto start = text.find("[PARAMETER]\r\n");
    const auto end = text.find("\r\n\r\n", start);
    std::string section = "[PARAMETER]\r\n";
    for (int k = 0; k < 26; ++k)
        section += std::string(keys[k]) + " = " + std::to_string(1000 + k) + "\r\n";
    text.replace(start, end + 2 - start, section);
    ReplaceLine(text, "[TEACH VECTOR 5]\r\nCELL 0 = 1\r\nCELL 1 = 1\r\nCELL 2 = 1\r\nCELL 3 = 1",
                "[TEACH VECTOR 5]\r\nCELL 0 = 50\r\nCELL 1 = 51\r\nCELL 2 = 52\r\nCELL 3 = 53");
    ReplaceLine(text, "CELL 4 = 1\r\nCELL 5 = 1\r\nGROUP = 1\r\nHOLD = 10\r\n\r\n[TEACH VECTOR 6]",
                "CELL 4 = 54\r\nCELL 5 = 55\r\nGROUP = 56\r\nHOLD = 57\r\n\r\n[TEACH VECTOR 6]");
    WriteBytes(file, text);
    Get(file);
    const auto& p = rig.working.config().para;
    EXPECT_EQ(p.Power, 1000);
    EXPECT_EQ(p.PowerMode, 1001);
    EXPECT_EQ(p.Average, 1002);
    EXPECT_EQ(p.MaxVecNo, 1006);
    EXPECT_EQ(p.ExternTeach, 1009);
    EXPECT_EQ(p.DynWinLo, 1011);
    EXPECT_EQ(p.Gain, 1015);
    EXPECT_EQ(p.Integral, 1016);
    EXPECT_EQ(p.Integral2, 1022);
    EXPECT_EQ(p.CorrectionZ, 1025);
    const TeachVector row5{{50, 51, 52, 53, 54, 55}, 56, 57};
    EXPECT_EQ(rig.working.config().teach[5], row5);
    EXPECT_TRUE(Boxes().empty());
}

// ---- the dialog

TEST_F(ParameterFile, DialogStartsInTheLastFilesDirectory) {
    rig.settings.ParameterFilePath = dir.File("old.ini");
    Send(file);
    ASSERT_FALSE(rig.ui.popups.empty());
    const FileDialogRequest& dialog = rig.ui.popups[0].file;
    EXPECT_EQ(dialog.startDirectory, (fs::path(file).parent_path() / "").string());
    EXPECT_EQ(dialog.defaultFileName, "Parameter.ini");
    EXPECT_EQ(dialog.filter, "*.ini");
    EXPECT_EQ(rig.ui.popups[0].title, "Parameter");
    EXPECT_EQ(rig.settings.ParameterFilePath, file);
    EXPECT_TRUE(fs::exists(file));
}

TEST_F(ParameterFile, NoFileChosenChangesNothing) {
    rig.settings.ParameterFilePath = "/kept/path.ini";
    Send(file, kFileNoneSelected);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(rig.settings.ParameterFilePath, "/kept/path.ini");

    WriteBytes(file, "junk");
    SetWorking(rig.working, [&](Configuration& c) { LoadDefaultParaValues(c.para, c.teach, 1); });
    SetUpDone();
    const ParameterSet before = rig.working.config().para;
    rig.ui.answers.push_back(PopupAnswer::File(kFileNew, dir.File("new-name.ini")));
    rig.files.ReadParaFromFile();  // a new name is no file to read
    rig.ui.answers.push_back(PopupAnswer::File(kFileNoneSelected, {}));
    rig.files.ReadParaFromFile();
    EXPECT_EQ(rig.working.config().para, before);
    EXPECT_EQ(Refreshes(), 0);
    EXPECT_EQ(Boxes(), std::vector<std::string>(3, "ATTENTION!|No file was selected!"));
}

// ---- questions about foreign files

TEST_F(ParameterFile, FileWithoutHeaderAsksBothQuestionsBeforeReading) {
    std::string text = DefaultFile();
    text.erase(0, text.find("[PARAMETER]"));
    WriteBytes(file, text);
    SetWorking(rig.working, [&](Configuration& c) { FillPattern(c.para, c.teach, 2); });
    SetUpDone();
    const ParameterSet before = rig.working.config().para;

    rig.ui.answers.push_back(PopupAnswer::File(kFileExisting, file));
    rig.ui.answers.push_back(PopupAnswer::No());
    rig.files.ReadParaFromFile();
    const std::vector<std::string> refused = {
        "ATTENTION!|Selected file is not a parameter file! \nDo you want to proceed anyway?",
        "ATTENTION!|No parameter where read!"};
    EXPECT_EQ(Boxes(), refused);
    EXPECT_EQ(rig.working.config().para, before);
    EXPECT_EQ(Refreshes(), 0);  // nothing was read: what is shown stays, being the working copy

    rig.ui.popups.clear();
    rig.ui.answers.push_back(PopupAnswer::File(kFileExisting, file));
    rig.ui.answers.push_back(PopupAnswer::Yes());
    rig.ui.answers.push_back(PopupAnswer::No());
    rig.files.ReadParaFromFile();
    EXPECT_EQ(Boxes().size(), 3u);
    EXPECT_EQ(Boxes()[1],
              "ATTENTION!|Selected file and qelto version do not match! \nDo you want to proceed "
              "anyway?");
    EXPECT_EQ(rig.working.config().para, before);

    rig.ui.popups.clear();
    rig.ui.answers.push_back(PopupAnswer::File(kFileExisting, file));
    rig.ui.answers.push_back(PopupAnswer::Yes());
    rig.ui.answers.push_back(PopupAnswer::Yes());
    rig.files.ReadParaFromFile();
    EXPECT_EQ(Boxes().size(), 2u);  // the two questions, no report
    EXPECT_EQ(rig.working.config().para.Power, 500);
}

TEST_F(ParameterFile, OtherVersionOrCaseOfTheTypeAsksOnlyThatQuestion) {
    std::string text = DefaultFile();
    ReplaceLine(text, "Qelto V1.1", "Qelto V1.0");
    WriteBytes(file, text);
    rig.ui.answers.push_back(PopupAnswer::File(kFileExisting, file));
    rig.ui.answers.push_back(PopupAnswer::Yes());
    rig.files.ReadParaFromFile();
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_NE(Boxes()[0].find("qelto version do not match"), std::string::npos);

    rig.ui.popups.clear();
    ReplaceLine(text, "\"Parameter File\"", "\"parameter file\"");
    WriteBytes(file, text);
    rig.ui.answers.push_back(PopupAnswer::File(kFileExisting, file));
    rig.ui.answers.push_back(PopupAnswer::No());
    rig.files.ReadParaFromFile();
    EXPECT_NE(Boxes()[0].find("not a parameter file"), std::string::npos);
}

// ---- reports of defaulted items

TEST_F(ParameterFile, MissingExternTeachIsReportedAsExteach) {
    std::string text = DefaultFile();
    ReplaceLine(text, "EXTERN TEACH = 0\r\n", "");
    WriteBytes(file, text);
    SetWorking(rig.working, [&](Configuration& c) { c.para.ExternTeach = 77; });
    Get(file);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Attention!|" + kParaHead + "EXTEACH\n"});
    EXPECT_EQ(rig.working.config().para.ExternTeach, 0);
}

TEST_F(ParameterFile, ValuesAreCutTo16BitsAndNonIntegersTakeTheReadDefault) {
    std::string text = DefaultFile();
    ReplaceLine(text, "AVERAGE = 256", "AVERAGE = 65536");
    ReplaceLine(text, "GAIN = 6\r\nINTEGRAL", "GAIN = 5.0\r\nINTEGRAL");
    ReplaceLine(text, "POWER PARA GAIN1 = 6", "POWER PARA GAIN1 = -1");
    ReplaceLine(text, "LED MODE = 1", "LED MODE = lots");
    WriteBytes(file, text);
    Get(file);
    EXPECT_EQ(rig.working.config().para.Average, 0);
    EXPECT_EQ(rig.working.config().para.Gain1, 65535);
    EXPECT_EQ(rig.working.config().para.Gain, 5);
    EXPECT_EQ(rig.working.config().para.LedMode, 0);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Attention!|" + kParaHead + "LED MODE\nGAIN\n"});
}

TEST_F(ParameterFile, TeachRowsWithBadItemsAreListedOnceAndStillReadTheRest) {
    std::string text = DefaultFile();
    ReplaceLine(text, "[TEACH VECTOR 12]\r\nCELL 0 = 1\r\nCELL 1 = 1",
                "[TEACH VECTOR 12]\r\nCELL 0 = x\r\nCELL 1 = 9");
    ReplaceLine(text,
                "[TEACH VECTOR 40]\r\nCELL 0 = 1\r\nCELL 1 = 1\r\nCELL 2 = 1\r\nCELL 3 = 1\r\n"
                "CELL 4 = 1\r\nCELL 5 = 1\r\nGROUP = 1",
                "[TEACH VECTOR 40]\r\nCELL 0 = 1\r\nCELL 1 = 1\r\nCELL 2 = 1\r\nCELL 3 = 1\r\n"
                "CELL 4 = 1\r\nCELL 5 = 1\r\nGROUP = ");
    WriteBytes(file, text);
    Get(file);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Attention!|" + kTeachHead +
                                                "TEACH VECTOR 12\nTEACH VECTOR 40\n"});
    EXPECT_EQ(rig.working.config().teach[12].Cell[0], 1);
    EXPECT_EQ(rig.working.config().teach[12].Cell[1], 9);
    EXPECT_EQ(rig.working.config().teach[12].Group, 1);
    EXPECT_EQ(rig.working.config().teach[40].Group,
              0);  // the read default differs from the loader's
    EXPECT_EQ(rig.working.config().teach[40].Hold, 10);
}

TEST_F(ParameterFile, FileWithoutTeachVectorsReportsAll64Rows) {
    std::string text = DefaultFile();
    text.erase(text.find("[TEACH VECTOR 0]"));
    WriteBytes(file, text);
    SetWorking(rig.working, [&](Configuration& c) { FillPattern(c.para, c.teach, 2); });
    Get(file);
    std::string rows;
    for (int r = 0; r < 64; ++r)
        rows += "TEACH VECTOR " + std::to_string(r) + "\n";
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Attention!|" + kTeachHead + rows});
    const TeachVector readDefault{{1, 1, 1, 1, 1, 1}, 0, 10};
    for (const auto& row : rig.working.config().teach)
        EXPECT_EQ(row, readDefault);
    EXPECT_EQ(rig.working.config().para.Power, 500);
}

// What cannot be read is said with the reason, without a question, and nothing changes: the
// working copy and the panels stay as the operator left them.
TEST_F(ParameterFile, AFileThatCannotBeReadIsSaidWithItsReasonAndChangesNothing) {
    const std::string folder = dir.File("folder.ini");
    fs::create_directory(folder);
    const std::string huge = dir.File("huge.ini");
    WriteBytes(huge, "");
    fs::resize_file(huge, kIniMaxFileSize + 1);  // sparse
    std::vector<std::pair<std::string, std::string>> cases = {
        {folder, "not a regular file"},
        {huge, "16777217 bytes, too large for a parameter file (at most 16 MiB are read)"},
    };
    // Windows has no FIFOs, no /dev/zero and no permission bits that refuse reading.
#ifndef _WIN32
    const std::string fifo = dir.File("fifo.ini");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    cases.emplace_back(fifo, "not a regular file");
    cases.emplace_back("/dev/zero", "not a regular file");
    if (geteuid() != 0) {  // the superuser reads whatever the permissions say
        const std::string locked = dir.File("locked.ini");
        WriteBytes(locked, DefaultFile());
        fs::permissions(locked, fs::perms::none);
        cases.emplace_back(locked, "cannot be read (Permission denied)");
    }
#endif
    SetWorking(rig.working, [&](Configuration& c) { FillPattern(c.para, c.teach, 2); });
    SetUpDone();
    const ParameterSet para = rig.working.config().para;
    const TeachTable teach = rig.working.config().teach;
    for (const auto& [path, reason] : cases) {
        rig.ui.popups.clear();
        Get(path);
        EXPECT_EQ(Boxes(), std::vector<std::string>{"ATTENTION!|The parameter file could not be "
                                                    "read!\n" +
                                                    path + ": " + reason});
    }
    EXPECT_EQ(rig.working.config().para, para);
    EXPECT_EQ(rig.working.config().teach, teach);
    EXPECT_EQ(Refreshes(), 0);
}

// ---- failed saves

// Saving over a file asks first; Enter keeps the file, Yes replaces it.
TEST_F(ParameterFile, SavingOverAFileAsksAndEnterKeepsIt) {
    WriteBytes(file, "old content");
    rig.ui.answers.push_back(PopupAnswer::File(kFileExisting, file));
    rig.ui.answers.push_back(PopupAnswer::Enter());
    EXPECT_EQ(rig.files.SendParaToFile(), Outcome::Declined);
    EXPECT_EQ(ReadBytes(file), "old content");
    const std::string question =
        "ATTENTION!|" + fs::path(file).filename().string() + " already exists in the folder\n" +
        fs::path(file).parent_path().string() + "\nDo you want to replace it?";
    EXPECT_EQ(Boxes(), std::vector<std::string>{question});

    rig.ui.popups.clear();
    rig.ui.answers.push_back(PopupAnswer::File(kFileExisting, file));
    rig.ui.answers.push_back(PopupAnswer::Yes());
    EXPECT_EQ(rig.files.SendParaToFile(), Outcome::Done);
    EXPECT_NE(ReadBytes(file).find("[PARAMETER]"), std::string::npos);
}

TEST_F(ParameterFile, FailedSaveIsReportedAndKeepsTheOldFile) {
    WriteBytes(file, "old content");
    fs::permissions(file, fs::perms::owner_read);
    rig.ui.answers.push_back(PopupAnswer::File(kFileExisting, file));
    rig.ui.answers.push_back(PopupAnswer::Yes());  // replace it
    rig.files.SendParaToFile();
    EXPECT_EQ(ReadBytes(file), "old content");
    EXPECT_EQ(Boxes().back(), "ATTENTION!|The parameter file could not be written!\n\n" + file +
                                  ": Permission denied");
}

TEST(OverlayFile, KeepsOnlyWhatDiffersAndNamesTheLineOfAMistake) {
    TempDir dir;
    const std::string path = dir.File("golden.ini");
    Configuration base;
    LoadDefaultParaValues(base.para, base.teach, 1);
    Configuration golden = base;
    golden.para.Gain = 9;
    SetItemValue(golden, ConfigItem::Teach(2, 0), 900);
    SetItemValue(golden, ConfigItem::Teach(40, 7), 3);  // beyond the rows compared
    ASSERT_EQ(WriteOverlayFile(path, golden, base, kSensorTeachRows), 0);
    EXPECT_EQ(ReadBytes(path),
              "[PARAMETER]\r\nGAIN = 9\r\n\r\n[TEACH VECTOR 2]\r\nCELL 0 = 900\r\n\r\n");

    Configuration read = base;
    EXPECT_EQ(ReadOverlayFile(path, read, kSensorTeachRows).reason, "");
    golden.teach[40] = base.teach[40];
    EXPECT_EQ(read, golden);

    // Written by hand: any letter case, comments, a header; each mistake names its line and
    // leaves the configuration as it was.
    const std::string head = "[general info]\nFILE TYPE: = \"x\"\n[parameter]\n; reviewed\n";
    for (const auto& [text, reason] : std::vector<std::pair<std::string, std::string>>{
             {head + "gain = 4\n", ""},
             {head + "GIAN = 4\n",
              "line 5: [parameter] GIAN: no such key (the keys of a "
              "parameter file, teach rows 0..31)"},
             {head + "[TEACH VECTOR 32]\nCELL 0 = 1\n",
              "line 6: [TEACH VECTOR 32] CELL 0: no such key (the keys of a parameter file, "
              "teach rows 0..31)"},
             {head + "GAIN = 65536\n",
              "line 5: [parameter] GAIN: \"65536\" is not a whole number from 0 to 65535"},
             {head + "GAIN = \"4\"\n",
              "line 5: [parameter] GAIN: \"4\" is not a whole number from 0 to 65535"},
             {head + "GAIN = 4\n\n[PARAMETER]\nGain = 5\n",
              "line 8: [PARAMETER] Gain: given before, on line 5"},
         }) {
        WriteBytes(path, text);
        Configuration over = base;
        EXPECT_EQ(ReadOverlayFile(path, over, kSensorTeachRows).reason, reason) << text;
        EXPECT_EQ(over.para.Gain, reason.empty() ? 4 : base.para.Gain) << text;
    }
}

}  // namespace
}  // namespace qelto
