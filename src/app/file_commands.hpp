// Send and Get with the FILE target: choosing a parameter file, asking about foreign files,
// reporting what could not be read, and refreshing the panels.
#pragma once

#include <string>
#include <string_view>

#include "app/operation_state.hpp"
#include "app/operator_interface.hpp"
#include "protocol/records.hpp"

namespace qelto {

struct Context;

// The folder a file dialog starts in: `last`, where the operator last saved or loaded that
// kind of file, when there is one and the program may write there; otherwise the documents
// folder. Never the program's own folder for want of another.
std::string StartFolder(const Context& ctx, const std::string& last);

// Asks for a file and writes the working copy to it (an existing file is overwritten).
Outcome SendParaToFile(Context& ctx);
// Asks for an existing file and reads it into the working copy, then refreshes the panels
// and graphs. Declined: nothing chosen, or the operator refused a foreign file. Failed: the
// file could not be read (said, with the reason); nothing changed.
Outcome ReadParaFromFile(Context& ctx);

// The two halves of reading, for a comparison that reads into a scratch copy: the file
// dialog for an existing file (false: none chosen, said), and reading ParameterFilePath with
// the questions about foreign files and the reports of defaulted items (Failed: the file
// could not be read, said with the reason).
bool ChooseExistingParameterFile(Context& ctx);
Outcome LoadParameterFile(Context& ctx, Configuration& config);

}  // namespace qelto
