// Send and Get with the FILE target: choosing a parameter file, asking about foreign files,
// reporting what could not be read. What is read goes into the working copy, whose views
// follow.
#pragma once

#include <string>
#include <string_view>

#include "app/operation_state.hpp"
#include "app/operator_interface.hpp"
#include "protocol/records.hpp"

namespace qelto {

struct Settings;
class WorkingCopy;

// The folder a file dialog starts in: `last`, where the operator last saved or loaded that
// kind of file, when there is one and the program may write there; otherwise the documents
// folder. Never the program's own folder for want of another.
std::string StartFolder(const Settings& settings, const std::string& last);

// Asks whether the existing file at `path` may be replaced ("NAME already exists in the folder
// FOLDER ..."). Enter answers No, which keeps the file.
bool ConfirmReplace(OperatorInterface& ui, const std::string& path);

class ParameterFiles {
  public:
    ParameterFiles(OperatorInterface& ui, Settings& settings, WorkingCopy& working)
        : ui_(ui), settings_(settings), working_(working) {}

    // Asks for a file and writes the working copy to it; an existing file only after the
    // operator said Yes to replacing it (Declined otherwise, the file untouched).
    Outcome SendParaToFile();
    // Asks for an existing file and reads it into the working copy. Declined: nothing chosen,
    // or the operator refused a foreign file. Failed: the file could not be read (said, with
    // the reason); nothing changed.
    Outcome ReadParaFromFile();
    // Reads the file at `path` (a recent one) into the working copy, without the dialog.
    // Failed: it could not be read (said, and it leaves the recent files).
    Outcome ReadParaFromPath(const std::string& path);
    // The two halves of reading, for a comparison that reads into a scratch copy: the file
    // dialog for an existing file (false: none chosen, said), and reading ParameterFilePath
    // with the questions about foreign files and the reports of defaulted items (Failed: the
    // file could not be read, said with the reason).
    bool ChooseExistingParameterFile();
    Outcome LoadParameterFile(Configuration& config);

  private:
    int SelectParameterFile();
    // ParameterFilePath went to or came from a file: it heads the recent files.
    void RememberRecent();
    Outcome LoadIntoWorkingCopy();

    OperatorInterface& ui_;
    Settings& settings_;
    WorkingCopy& working_;
};

}  // namespace qelto
