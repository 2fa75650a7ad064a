// Parameter files: the whole working copy (parameter set and all 64 teach rows) as an INI
// document. The file format lives here; choosing the file and asking the operator is the
// program's (app/file_commands).
#pragma once

#include <string>
#include <string_view>

#include "files/inifile.hpp"
#include "protocol/records.hpp"

namespace qelto {

inline constexpr const char* kParameterFileName = "Parameter.ini";
inline constexpr std::string_view kParameterFileType = "Parameter File";
inline constexpr std::string_view kSectionParameter = "PARAMETER";
inline constexpr std::string_view kTeachVectorPrefix = "TEACH VECTOR ";
// Heads of the reports of items that could not be read and took their default.
inline constexpr std::string_view kParaReportHead =
    "Following parameter could not be read \nand where set to default value:\n\n";
inline constexpr std::string_view kTeachReportHead =
    "Following teach vectors could not be read \nand where set to default value:\n\n";

// Why a file cannot be read as a parameter file: missing, not a regular file, over
// kIniMaxFileSize, or refused by the system. Only a regular file is ever opened for the check
// (opening a FIFO for reading waits for a writer).
struct ReadProblem {
    std::string reason;       // empty: the file can be read
    std::string systemError;  // the system's own words for a refusal, where it gave some
    // The reason with the system's words beside it.
    std::string Text() const;
};
ReadProblem CheckParameterFileReadable(const std::string& path);
// The check, then the file's items into doc. A read that fails after the check (the file
// changed, or failed part-way) is a problem too, with the store's words for it.
ReadProblem ReadParameterFile(IniDocument* doc, const std::string& path);

// "TEACH VECTOR <row>".
std::string TeachVectorSection(int row);

void PutParameterFileHeader(IniDocument* doc);
// The GENERAL INFO items: a parameter file, written by this program version.
bool IsParameterFile(IniDocument* doc);
bool IsOfThisVersion(IniDocument* doc);

void AppendParaToIniHandle(const ParameterSet& para, IniDocument* doc);
void AppendTechVecToIniHandle(const TeachTable& teach, IniDocument* doc);
// Read the items; an item that is missing or not a number takes its read default. Return
// the report of those items (its head and one line each), empty when every item was read.
std::string AcquireParaFromIniHandle(ParameterSet& para, IniDocument* doc);
std::string AcquireTechVecFromIniHandle(TeachTable& teach, IniDocument* doc);

}  // namespace qelto
