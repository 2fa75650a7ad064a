// Send and Get with the FILE target: choosing a parameter file, asking about foreign files,
// reporting what could not be read, and refreshing the panels.
#pragma once

#include <string_view>

#include "app/operation_state.hpp"
#include "app/operator_interface.hpp"
#include "protocol/records.hpp"

namespace qelto {

struct Context;

// A file dialog that opens in the directory of the last parameter file.
FileDialogRequest DialogBesideParameterFile(const Context& ctx, std::string_view defaultName,
                                            std::string_view filter, std::string_view title);

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
