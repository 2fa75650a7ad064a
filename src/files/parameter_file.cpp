#include "files/parameter_file.hpp"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "files/file_header.hpp"
#include "files/paths.hpp"

namespace qelto {
namespace {

struct Texts {
    static constexpr std::string_view kNoSuchFile = "no such file";
    static constexpr std::string_view kNotRegular = "not a regular file";
    static constexpr std::string_view kBytesTooLarge =
        " bytes, too large for a parameter file (at most 16 MiB are read)";
    static constexpr std::string_view kCannotRead = "cannot be read";
};

std::uint16_t Low16(std::int32_t v) {
    return static_cast<std::uint16_t>(v);
}

}  // namespace

std::string ReadProblem::Text() const {
    return systemError.empty() ? reason : reason + " (" + systemError + ")";
}

ReadProblem CheckParameterFileReadable(const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path p = PathFromUtf8(path);
    std::error_code ec;
    const fs::file_status st = fs::status(p, ec);
    if (st.type() == fs::file_type::not_found) return {std::string(Texts::kNoSuchFile), {}};
    // A directory on the way that may not be searched, and the like.
    if (ec) return {std::string(Texts::kCannotRead), ec.message()};
    if (!fs::is_regular_file(st)) return {std::string(Texts::kNotRegular), {}};
    // The store would not read it either; saying why beats a file of nothing but defaults.
    if (const std::uintmax_t size = fs::file_size(p, ec); !ec && size > kIniMaxFileSize) {
        return {std::to_string(size) + std::string(Texts::kBytesTooLarge), {}};
    }
    errno = 0;
    std::FILE* f = OpenFile(p, "rb");
    if (f == nullptr) {
        return {std::string(Texts::kCannotRead), errno != 0 ? std::strerror(errno) : ""};
    }
    std::fclose(f);
    return {};
}

ReadProblem ReadParameterDocument(IniDocument* doc, const std::string& path,
                                  std::vector<std::uint32_t>* itemLines) {
    ReadProblem problem = CheckParameterFileReadable(path);
    if (!problem.reason.empty()) return problem;
    if (const int read = Ini_ReadFromFile(doc, path, itemLines); read < 0) {
        return {std::string(Texts::kCannotRead), std::string(Ini_ErrorText(read))};
    }
    return {};
}

std::string TeachVectorSection(int row) {
    return std::string(kTeachVectorPrefix) + std::to_string(row);
}

void PutParameterFileHeader(IniDocument* doc) {
    PutFileHeader(doc, kParameterFileType);
}

bool IsParameterFile(IniDocument* doc) {
    return HeaderItemIs(doc, kItemFileType, kParameterFileType);
}

bool IsOfThisVersion(IniDocument* doc) {
    return HeaderItemIs(doc, kItemVersion, kProgramTitle);
}

void AppendParaToIniHandle(const ParameterSet& para, IniDocument* doc) {
    for (const auto& f : kParamFields) {
        Ini_PutInt(doc, kSectionParameter, f.key, para.*f.member);
    }
}

void AppendTechVecToIniHandle(const TeachTable& teach, IniDocument* doc) {
    for (std::size_t row = 0; row < kTeachRows; ++row) {
        const std::string section = TeachVectorSection(static_cast<int>(row));
        for (std::size_t w = 0; w < kTeachWordCount; ++w) {
            Ini_PutInt(doc, section, kTeachWords[w].key, TeachWordGet(teach[row], w));
        }
    }
}

std::string AcquireParaFromIniHandle(ParameterSet& para, IniDocument* doc) {
    std::string report;
    for (const auto& f : kParamFields) {
        std::int32_t value = 0;
        if (Ini_GetInt(doc, kSectionParameter, f.key, value) == 1) {
            para.*f.member = Low16(value);
        } else {
            para.*f.member = f.readDefault;
            if (report.empty()) report = kParaReportHead;
            report += f.reportLine;
        }
    }
    return report;
}

std::string AcquireTechVecFromIniHandle(TeachTable& teach, IniDocument* doc) {
    std::string report;
    for (std::size_t row = 0; row < kTeachRows; ++row) {
        const std::string section = TeachVectorSection(static_cast<int>(row));
        bool rowDefaulted = false;
        for (std::size_t w = 0; w < kTeachWordCount; ++w) {
            std::int32_t value = 0;
            std::uint16_t& word = TeachWordRef(teach[row], w);
            if (Ini_GetInt(doc, section, kTeachWords[w].key, value) == 1) {
                word = Low16(value);
            } else {
                word = kTeachWords[w].readDefault;
                rowDefaulted = true;
            }
        }
        if (rowDefaulted) {
            if (report.empty()) report = kTeachReportHead;
            report += section;
            report += '\n';
        }
    }
    return report;
}

ParameterFileLoad ReadParameterFile(const std::string& path, Configuration& into,
                                    const std::function<bool(std::string_view)>& proceed) {
    IniHandle doc = Ini_New(0);
    ParameterFileLoad load;
    load.problem = ReadParameterDocument(doc.get(), path);
    if (!load.problem.reason.empty()) {
        Ini_Dispose(doc);
        return load;
    }
    load.loaded = (IsParameterFile(doc.get()) || proceed(kQuestionNotParameterFile)) &&
                  (IsOfThisVersion(doc.get()) || proceed(kQuestionOtherVersion));
    if (load.loaded) {
        load.paraReport = AcquireParaFromIniHandle(into.para, doc.get());
        load.teachReport = AcquireTechVecFromIniHandle(into.teach, doc.get());
    }
    Ini_Dispose(doc);
    return load;
}

std::string WriteFailedText(int code, int systemError) {
    return std::string(kWriteFailed) + " (" + Ini_WriteErrorText(code, systemError) + ")";
}

int WriteParameterFile(const std::string& path, const Configuration& config, int* systemError) {
    IniHandle doc = Ini_New(0);
    PutParameterFileHeader(doc.get());
    AppendParaToIniHandle(config.para, doc.get());
    AppendTechVecToIniHandle(config.teach, doc.get());
    const int written = Ini_WriteToFile(doc.get(), path, systemError);
    Ini_Dispose(doc);
    return written;
}

}  // namespace qelto
