#include "files/parameter_file.hpp"

#include <array>
#include <cstdint>
#include <string_view>

#include "files/file_header.hpp"
#include "files/paths.hpp"
#include "sensor/records.hpp"
#include "sensor/transfer.hpp"
#include "ui/context.hpp"
#include "ui/graphs.hpp"

namespace qelto {

namespace {

// The module's own texts.
struct Texts {
    static constexpr std::string_view kFileType = "Parameter File";
    static constexpr std::string_view kSectionParameter = "PARAMETER";
    static constexpr std::string_view kTeachVectorPrefix = "TEACH VECTOR ";

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
    static constexpr std::string_view kParaReportHead =
        "Following parameter could not be read \nand where set to default value:\n\n";
    static constexpr std::string_view kTeachReportHead =
        "Following teach vectors could not be read \nand where set to default value:\n\n";
    // A save that did not happen must not pass for one that did.
    static constexpr std::string_view kWriteFailed = "The parameter file could not be written!";
};

std::uint16_t Low16(std::int32_t v) {
    return static_cast<std::uint16_t>(v);
}

// Shows the file dialog in the directory of the last parameter file; the chosen path becomes
// the new ParameterFilePath.
int SelectParameterFile(Context& ctx) {
    const SplitPathResult parts = SplitPath(ctx.files.ParameterFilePath);
    FileSelectSpec dialog;
    dialog.startDirectory = parts.drive + parts.directory;
    dialog.defaultFileName = kParameterFileName;
    dialog.filter = Texts::kDialogFilter;
    dialog.title = Texts::kDialogTitle;
    return ctx.ui.FileSelectPopup(dialog, ctx.files.ParameterFilePath);
}

}  // namespace

std::string TeachVectorSection(int row) {
    return std::string(Texts::kTeachVectorPrefix) + std::to_string(row);
}

void AppendParaToIniHandle(Context& ctx, IniDocument* doc) {
    for (const auto& f : kParamFields) {
        Ini_PutInt(doc, Texts::kSectionParameter, f.key, ctx.para.*f.member);
    }
}

void AppendTechVecToIniHandle(Context& ctx, IniDocument* doc) {
    for (std::size_t row = 0; row < kTeachRows; ++row) {
        const std::string section = TeachVectorSection(static_cast<int>(row));
        for (std::size_t w = 0; w < kTeachWordCount; ++w) {
            Ini_PutInt(doc, section, kTeachWords[w].key, TeachWordGet(ctx.teach[row], w));
        }
    }
}

void AcquireParaFromIniHandle(Context& ctx, IniDocument* doc) {
    std::string report(Texts::kParaReportHead);
    bool defaulted = false;
    for (const auto& f : kParamFields) {
        std::int32_t value = 0;
        if (Ini_GetInt(doc, Texts::kSectionParameter, f.key, value) == 1) {
            ctx.para.*f.member = Low16(value);
        } else {
            ctx.para.*f.member = f.readDefault;
            report += f.reportLine;
            defaulted = true;
        }
    }
    if (defaulted) ctx.ui.MessagePopup(Texts::kTitleReport, report);
}

void AcquireTechVecFromIniHandle(Context& ctx, IniDocument* doc) {
    std::string report(Texts::kTeachReportHead);
    bool defaulted = false;
    for (std::size_t row = 0; row < kTeachRows; ++row) {
        const std::string section = TeachVectorSection(static_cast<int>(row));
        bool rowDefaulted = false;
        for (std::size_t w = 0; w < kTeachWordCount; ++w) {
            std::int32_t value = 0;
            std::uint16_t& word = TeachWordRef(ctx.teach[row], w);
            if (Ini_GetInt(doc, section, kTeachWords[w].key, value) == 1) {
                word = Low16(value);
            } else {
                word = kTeachWords[w].readDefault;
                rowDefaulted = true;
            }
        }
        if (rowDefaulted) {
            report += section;
            report += '\n';
            defaulted = true;
        }
    }
    if (defaulted) ctx.ui.MessagePopup(Texts::kTitleReport, report);
}

Outcome SendParaToFile(Context& ctx) {
    const int chosen = SelectParameterFile(ctx);
    if (chosen != kFileExisting && chosen != kFileNew) {
        ctx.ui.MessagePopup(Texts::kTitleAttention, Texts::kNoFileSelected);
        return Outcome::Declined;
    }
    IniHandle doc = Ini_New(0);
    PutFileHeader(doc.get(), Texts::kFileType);
    AppendParaToIniHandle(ctx, doc.get());
    AppendTechVecToIniHandle(ctx, doc.get());
    const int written = Ini_WriteToFile(doc.get(), ctx.files.ParameterFilePath);
    Ini_Dispose(doc);
    if (written < 0) {
        ctx.ui.MessagePopup(Texts::kTitleAttention, Texts::kWriteFailed);
        return Outcome::Failed;
    }
    return Outcome::Done;
}

Outcome ReadParaFromFile(Context& ctx) {
    if (SelectParameterFile(ctx) != kFileExisting) {
        ctx.ui.MessagePopup(Texts::kTitleAttention, Texts::kNoFileSelected);
        return Outcome::Declined;
    }
    IniHandle doc = Ini_New(0);
    Ini_ReadFromFile(doc.get(), ctx.files.ParameterFilePath);  // unreadable: no items
    const bool proceed =
        (HeaderItemIs(doc.get(), kItemFileType, Texts::kFileType) ||
         ctx.ui.ConfirmPopup(Texts::kTitleAttention, Texts::kNotParameterFile) == 1) &&
        (HeaderItemIs(doc.get(), kItemVersion, kProgramTitle) ||
         ctx.ui.ConfirmPopup(Texts::kTitleAttention, Texts::kVersionMismatch) == 1);
    if (proceed) {
        AcquireParaFromIniHandle(ctx, doc.get());
        AcquireTechVecFromIniHandle(ctx, doc.get());
    } else {
        ctx.ui.MessagePopup(Texts::kTitleAttention, Texts::kNoParameterRead);
    }
    Ini_Dispose(doc);
    SetPanelValues(ctx);
    InitGraphs(ctx);
    ShowGraph3D(ctx);
    return proceed ? Outcome::Done : Outcome::Declined;
}

}  // namespace qelto
