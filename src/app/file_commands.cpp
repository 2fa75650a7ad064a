#include "app/file_commands.hpp"

#include <string_view>
#include <vector>

#include "app/settings.hpp"
#include "app/working_copy.hpp"
#include "files/inifile.hpp"
#include "files/parameter_file.hpp"
#include "files/paths.hpp"

namespace qelto {
namespace {

struct Texts {
    static constexpr std::string_view kDialogFilter = "*.ini";
    static constexpr std::string_view kDialogTitle = "Parameter";

    static constexpr std::string_view kTitleAttention = "ATTENTION!";
    static constexpr std::string_view kNoFileSelected = "No file was selected!";
    // A file that could not be read must not pass for one without items: that would offer to
    // load every default.
    static constexpr std::string_view kReadFailed = "The parameter file could not be read!\n";
    static constexpr std::string_view kReplaceIn = " already exists in the folder\n";
    static constexpr std::string_view kReplace = "\nDo you want to replace it?";
};

}  // namespace

std::string StartFolder(const Settings& settings, const std::string& last) {
    if (!last.empty() && DirectoryIsWritable(last)) return last;
    const std::string& documents = settings.DocumentsDirectory;
    return documents.empty() ? last : documents;
}

bool ConfirmReplace(OperatorInterface& ui, const std::string& path) {
    const SplitPathResult parts = SplitPath(path);
    const std::string question = parts.fileName + std::string(Texts::kReplaceIn) +
                                 WithoutTrailingSeparator(parts.drive + parts.directory) +
                                 std::string(Texts::kReplace);
    return ui.ConfirmPopup(Texts::kTitleAttention, question, Default::No) == 1;
}

// Shows the file dialog in the directory of the last parameter file the operator saved or
// loaded (the one of start-up, beside the program, is no choice of theirs); the chosen path
// becomes the new ParameterFilePath.
int ParameterFiles::SelectParameterFile() {
    const Settings& s = settings_;
    std::string last;
    if (s.ParameterFilePath != JoinPath(s.ProgramDirectory, kParameterFileName)) {
        const SplitPathResult parts = SplitPath(s.ParameterFilePath);
        last = parts.drive + parts.directory;
    }
    FileDialogRequest dialog;
    dialog.startDirectory = StartFolder(settings_, last);
    dialog.defaultFileName = kParameterFileName;
    dialog.filter = Texts::kDialogFilter;
    dialog.title = Texts::kDialogTitle;
    return ui_.FileSelectPopup(dialog, settings_.ParameterFilePath);
}

Outcome ParameterFiles::SendParaToFile() {
    const int chosen = SelectParameterFile();
    if (chosen != kFileExisting && chosen != kFileNew) {
        ui_.MessagePopup(Texts::kTitleAttention, Texts::kNoFileSelected);
        return Outcome::Declined;
    }
    // Saving over a file throws away what it held: only when the operator says so.
    if (chosen == kFileExisting && !ConfirmReplace(ui_, settings_.ParameterFilePath)) {
        return Outcome::Declined;
    }
    int systemError = 0;
    if (const int written =
            WriteParameterFile(settings_.ParameterFilePath, working_.config(), &systemError);
        written < 0) {
        // Which file, and what the system said of it, beside the program's text.
        ui_.MessagePopup(Texts::kTitleAttention, std::string(kWriteFailed) + "\n\n" +
                                                     settings_.ParameterFilePath + ": " +
                                                     Ini_WriteErrorText(written, systemError));
        return Outcome::Failed;
    }
    working_.MarkSent();  // saved: nothing shown is unsent any more
    RememberRecent();
    ui_.ShowStatusMessage("Saved " +
                          PathToUtf8(PathFromUtf8(settings_.ParameterFilePath).filename()));
    return Outcome::Done;
}

void ParameterFiles::RememberRecent() {
    std::vector<std::string>& recent = settings_.RecentParameterFiles;
    const std::string path = settings_.ParameterFilePath;
    std::erase(recent, path);
    recent.insert(recent.begin(), path);
    if (recent.size() > kMaxRecentFiles) recent.resize(kMaxRecentFiles);
}

bool ParameterFiles::ChooseExistingParameterFile() {
    if (SelectParameterFile() == kFileExisting) return true;
    ui_.MessagePopup(Texts::kTitleAttention, Texts::kNoFileSelected);
    return false;
}

Outcome ParameterFiles::LoadParameterFile(Configuration& config) {
    const std::string& path = settings_.ParameterFilePath;
    const ParameterFileLoad load = ReadParameterFile(path, config, [&](std::string_view question) {
        // Yes replaces the working copy with what a foreign file holds: Enter says no.
        return ui_.ConfirmPopup(Texts::kTitleAttention, question, Default::No) == 1;
    });
    if (!load.problem.reason.empty()) {
        ui_.MessagePopup(Texts::kTitleAttention,
                         std::string(Texts::kReadFailed) + path + ": " + load.problem.Text());
        return Outcome::Failed;
    }
    if (!load.loaded) {
        ui_.MessagePopup(Texts::kTitleAttention, kNoParameterRead);
        return Outcome::Declined;
    }
    for (const std::string* report : {&load.paraReport, &load.teachReport}) {
        if (!report->empty()) ui_.MessagePopup(kReportTitle, *report);
    }
    return Outcome::Done;
}

Outcome ParameterFiles::ReadParaFromFile() {
    if (!ChooseExistingParameterFile()) return Outcome::Declined;
    return LoadIntoWorkingCopy();
}

Outcome ParameterFiles::ReadParaFromPath(const std::string& path) {
    settings_.ParameterFilePath = path;
    const Outcome loaded = LoadIntoWorkingCopy();
    // A file that is gone or unreadable is no choice any more.
    if (loaded == Outcome::Failed) std::erase(settings_.RecentParameterFiles, path);
    return loaded;
}

Outcome ParameterFiles::LoadIntoWorkingCopy() {
    // Read into a copy: what a file that could not be read left behind is not shown.
    Configuration read = working_.config();
    const Outcome loaded = LoadParameterFile(read);
    if (loaded == Outcome::Done) {
        working_.Replace(read);
        RememberRecent();
        ui_.ShowStatusMessage("Loaded " +
                              PathToUtf8(PathFromUtf8(settings_.ParameterFilePath).filename()));
    }
    return loaded;
}

}  // namespace qelto
