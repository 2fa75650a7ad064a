#include "files/parameter_file.hpp"

#include <cstdint>

#include "files/file_header.hpp"

namespace qelto {
namespace {

std::uint16_t Low16(std::int32_t v) {
    return static_cast<std::uint16_t>(v);
}

}  // namespace

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
    Ini_ReadFromFile(doc.get(), path);  // unreadable: no items
    ParameterFileLoad load;
    load.loaded = (IsParameterFile(doc.get()) || proceed(kQuestionNotParameterFile)) &&
                  (IsOfThisVersion(doc.get()) || proceed(kQuestionOtherVersion));
    if (load.loaded) {
        load.paraReport = AcquireParaFromIniHandle(into.para, doc.get());
        load.teachReport = AcquireTechVecFromIniHandle(into.teach, doc.get());
    }
    Ini_Dispose(doc);
    return load;
}

int WriteParameterFile(const std::string& path, const Configuration& config) {
    IniHandle doc = Ini_New(0);
    PutParameterFileHeader(doc.get());
    AppendParaToIniHandle(config.para, doc.get());
    AppendTechVecToIniHandle(config.teach, doc.get());
    const int written = Ini_WriteToFile(doc.get(), path);
    Ini_Dispose(doc);
    return written;
}

}  // namespace qelto
