// Parameter files: the whole working copy (parameter set and all 64 teach rows) as an INI
// document. The file format lives here; choosing the file and asking the operator is the
// program's (app/file_commands).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

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

// The questions about a file that does not look like one of ours.
inline constexpr std::string_view kQuestionNotParameterFile =
    "Selected file is not a parameter file! \nDo you want to proceed anyway?";
inline constexpr std::string_view kQuestionOtherVersion =
    "Selected file and qelto version do not match! \nDo you want to proceed anyway?";

// What follows a refused question, the title of the reports, a file that was not written.
inline constexpr std::string_view kNoParameterRead = "No parameter where read!";
inline constexpr std::string_view kReportTitle = "Attention!";
inline constexpr std::string_view kWriteFailed = "The parameter file could not be written!";

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
// The check, then the file's items into doc (and their lines into itemLines, when given). A
// read that fails after the check (the file changed, or failed part-way) is a problem too,
// with the store's words for it.
ReadProblem ReadParameterDocument(IniDocument* doc, const std::string& path,
                                  std::vector<std::uint32_t>* itemLines = nullptr);

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

// Reading a parameter file as the program loads it: a file that says it is no parameter
// file, or one of another program version, is read only when `proceed` agrees to the
// question. `into` changes only when the file is read.
struct ParameterFileLoad {
    ReadProblem problem;      // the file could not be read: nothing was asked, nothing changed
    bool loaded = false;      // false: it could not be read, or a question was answered no
    std::string paraReport;   // the items that took their default (empty: none)
    std::string teachReport;  // likewise for the teach rows
};
ParameterFileLoad ReadParameterFile(const std::string& path, Configuration& into,
                                    const std::function<bool(std::string_view)>& proceed);
// Writes the whole configuration; the store's result (negative: not written, the previous
// file stays). `systemError` receives the errno of a failure (0 where no system call failed).
int WriteParameterFile(const std::string& path, const Configuration& config,
                       int* systemError = nullptr);
// "The parameter file could not be written! (No such file or directory)": the program's text
// with the system's words beside it.
std::string WriteFailedText(int code, int systemError);

}  // namespace qelto
