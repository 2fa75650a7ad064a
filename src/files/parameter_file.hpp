// Parameter files: the whole working copy (parameter set and all 64 teach rows) as an INI
// document, written by Send and read by Get when the transfer target is FILE.
#pragma once

#include <string>

#include "files/inifile.hpp"
#include "ui/operation_state.hpp"

namespace qelto {

struct Context;

inline constexpr const char* kParameterFileName = "Parameter.ini";

// Asks for a file and writes the working copy to it (an existing file is overwritten).
Outcome SendParaToFile(Context& ctx);
// Asks for an existing file and reads it into the working copy, then refreshes the panels
// and graphs.
Outcome ReadParaFromFile(Context& ctx);

void AppendParaToIniHandle(Context& ctx, IniDocument* doc);
void AcquireParaFromIniHandle(Context& ctx, IniDocument* doc);
void AppendTechVecToIniHandle(Context& ctx, IniDocument* doc);
void AcquireTechVecFromIniHandle(Context& ctx, IniDocument* doc);

// "TEACH VECTOR <row>".
std::string TeachVectorSection(int row);

}  // namespace qelto
