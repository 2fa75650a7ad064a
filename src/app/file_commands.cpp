#include "app/file_commands.hpp"

#include <string_view>

#include "app/context.hpp"
#include "app/graphs.hpp"
#include "app/transfer.hpp"
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
};

// Shows the file dialog in the directory of the last parameter file the operator saved or
// loaded (the one of start-up, beside the program, is no choice of theirs); the chosen path
// becomes the new ParameterFilePath.
int SelectParameterFile(Context& ctx) {
    const Settings& s = ctx.settings;
    std::string last;
    if (s.ParameterFilePath != JoinPath(s.ProgramDirectory, kParameterFileName)) {
        const SplitPathResult parts = SplitPath(s.ParameterFilePath);
        last = parts.drive + parts.directory;
    }
    FileDialogRequest dialog;
    dialog.startDirectory = StartFolder(ctx, last);
    dialog.defaultFileName = kParameterFileName;
    dialog.filter = Texts::kDialogFilter;
    dialog.title = Texts::kDialogTitle;
    return ctx.ui.FileSelectPopup(dialog, ctx.settings.ParameterFilePath);
}

void Report(Context& ctx, const std::string& report) {
    if (!report.empty()) ctx.ui.MessagePopup(kReportTitle, report);
}

}  // namespace

std::string StartFolder(const Context& ctx, const std::string& last) {
    if (!last.empty() && DirectoryIsWritable(last)) return last;
    const std::string& documents = ctx.settings.DocumentsDirectory;
    return documents.empty() ? last : documents;
}

Outcome SendParaToFile(Context& ctx) {
    const int chosen = SelectParameterFile(ctx);
    if (chosen != kFileExisting && chosen != kFileNew) {
        ctx.ui.MessagePopup(Texts::kTitleAttention, Texts::kNoFileSelected);
        return Outcome::Declined;
    }
    if (WriteParameterFile(ctx.settings.ParameterFilePath, ctx.config) < 0) {
        ctx.ui.MessagePopup(Texts::kTitleAttention, kWriteFailed);
        return Outcome::Failed;
    }
    return Outcome::Done;
}

bool ChooseExistingParameterFile(Context& ctx) {
    if (SelectParameterFile(ctx) == kFileExisting) return true;
    ctx.ui.MessagePopup(Texts::kTitleAttention, Texts::kNoFileSelected);
    return false;
}

Outcome LoadParameterFile(Context& ctx, Configuration& config) {
    const std::string& path = ctx.settings.ParameterFilePath;
    const ParameterFileLoad load = ReadParameterFile(path, config, [&](std::string_view question) {
        // Yes replaces the working copy with what a foreign file holds: Enter says no.
        return ctx.ui.ConfirmPopup(Texts::kTitleAttention, question, Default::No) == 1;
    });
    if (!load.problem.reason.empty()) {
        ctx.ui.MessagePopup(Texts::kTitleAttention,
                            std::string(Texts::kReadFailed) + path + ": " + load.problem.Text());
        return Outcome::Failed;
    }
    if (!load.loaded) {
        ctx.ui.MessagePopup(Texts::kTitleAttention, kNoParameterRead);
        return Outcome::Declined;
    }
    Report(ctx, load.paraReport);
    Report(ctx, load.teachReport);
    return Outcome::Done;
}

Outcome ReadParaFromFile(Context& ctx) {
    if (!ChooseExistingParameterFile(ctx)) return Outcome::Declined;
    const Outcome loaded = LoadParameterFile(ctx, ctx.config);
    if (loaded == Outcome::Failed) return loaded;  // nothing was read: the panels stay as they are
    SetPanelValues(ctx);
    InitGraphs(ctx);
    ShowGraph3D(ctx);
    return loaded;
}

}  // namespace qelto
