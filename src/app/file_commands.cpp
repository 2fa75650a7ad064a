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
    static constexpr std::string_view kTitleReport = "Attention!";
    static constexpr std::string_view kNoFileSelected = "No file was selected!";
    static constexpr std::string_view kNotParameterFile =
        "Selected file is not a parameter file! \nDo you want to proceed anyway?";
    static constexpr std::string_view kVersionMismatch =
        "Selected file and qelto version do not match! \nDo you want to proceed anyway?";
    static constexpr std::string_view kNoParameterRead = "No parameter where read!";
    // A save that did not happen must not pass for one that did.
    static constexpr std::string_view kWriteFailed = "The parameter file could not be written!";
    // Nor may a file that could not be read pass for one without items: that would offer to
    // load every default.
    static constexpr std::string_view kReadFailed = "The parameter file could not be read!\n";
};

// Shows the file dialog in the directory of the last parameter file; the chosen path becomes
// the new ParameterFilePath.
int SelectParameterFile(Context& ctx) {
    return ctx.ui.FileSelectPopup(
        DialogBesideParameterFile(ctx, kParameterFileName, Texts::kDialogFilter,
                                  Texts::kDialogTitle),
        ctx.files.ParameterFilePath);
}

void Report(Context& ctx, const std::string& report) {
    if (!report.empty()) ctx.ui.MessagePopup(Texts::kTitleReport, report);
}

}  // namespace

FileDialogRequest DialogBesideParameterFile(const Context& ctx, std::string_view defaultName,
                                            std::string_view filter, std::string_view title) {
    const SplitPathResult parts = SplitPath(ctx.files.ParameterFilePath);
    FileDialogRequest dialog;
    dialog.startDirectory = parts.drive + parts.directory;
    dialog.defaultFileName = defaultName;
    dialog.filter = filter;
    dialog.title = title;
    return dialog;
}

Outcome SendParaToFile(Context& ctx) {
    const int chosen = SelectParameterFile(ctx);
    if (chosen != kFileExisting && chosen != kFileNew) {
        ctx.ui.MessagePopup(Texts::kTitleAttention, Texts::kNoFileSelected);
        return Outcome::Declined;
    }
    IniHandle doc = Ini_New(0);
    PutParameterFileHeader(doc.get());
    AppendParaToIniHandle(ctx.para, doc.get());
    AppendTechVecToIniHandle(ctx.teach, doc.get());
    const int written = Ini_WriteToFile(doc.get(), ctx.files.ParameterFilePath);
    Ini_Dispose(doc);
    if (written < 0) {
        ctx.ui.MessagePopup(Texts::kTitleAttention, Texts::kWriteFailed);
        return Outcome::Failed;
    }
    return Outcome::Done;
}

bool ChooseExistingParameterFile(Context& ctx) {
    if (SelectParameterFile(ctx) == kFileExisting) return true;
    ctx.ui.MessagePopup(Texts::kTitleAttention, Texts::kNoFileSelected);
    return false;
}

Outcome LoadParameterFile(Context& ctx, ParameterSet& para, TeachTable& teach) {
    const std::string& path = ctx.files.ParameterFilePath;
    IniHandle doc = Ini_New(0);
    if (const ReadProblem problem = ReadParameterFile(doc.get(), path); !problem.reason.empty()) {
        Ini_Dispose(doc);
        ctx.ui.MessagePopup(Texts::kTitleAttention,
                            std::string(Texts::kReadFailed) + path + ": " + problem.Text());
        return Outcome::Failed;
    }
    const bool proceed =
        (IsParameterFile(doc.get()) ||
         ctx.ui.ConfirmPopup(Texts::kTitleAttention, Texts::kNotParameterFile) == 1) &&
        (IsOfThisVersion(doc.get()) ||
         ctx.ui.ConfirmPopup(Texts::kTitleAttention, Texts::kVersionMismatch) == 1);
    if (proceed) {
        Report(ctx, AcquireParaFromIniHandle(para, doc.get()));
        Report(ctx, AcquireTechVecFromIniHandle(teach, doc.get()));
    } else {
        ctx.ui.MessagePopup(Texts::kTitleAttention, Texts::kNoParameterRead);
    }
    Ini_Dispose(doc);
    return proceed ? Outcome::Done : Outcome::Declined;
}

Outcome ReadParaFromFile(Context& ctx) {
    if (!ChooseExistingParameterFile(ctx)) return Outcome::Declined;
    const Outcome loaded = LoadParameterFile(ctx, ctx.para, ctx.teach);
    if (loaded == Outcome::Failed) return loaded;  // nothing was read: the panels stay as they are
    SetPanelValues(ctx);
    InitGraphs(ctx);
    ShowGraph3D(ctx);
    return loaded;
}

}  // namespace qelto
