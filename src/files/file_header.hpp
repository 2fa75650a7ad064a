// The GENERAL INFO section that opens every file the program writes: what kind of file it is
// and which program version wrote it.
#pragma once

#include <string_view>

#include "files/inifile.hpp"

namespace qelto {

// The program's title: the window title, and the version every file it writes carries.
inline constexpr const char* kProgramTitle = "KORVANEX TAVRENO Qelto V1.1";

inline constexpr std::string_view kSectionGeneralInfo = "GENERAL INFO";
inline constexpr std::string_view kItemFileType = "FILE TYPE:";
inline constexpr std::string_view kItemVersion = "QELTO VERSION:";

// Puts the file type and the program's title into GENERAL INFO.
void PutFileHeader(IniDocument* doc, std::string_view fileType);
// True when the GENERAL INFO item is exactly `expected` (case-sensitive; a missing item reads
// as the empty text).
bool HeaderItemIs(IniDocument* doc, std::string_view item, std::string_view expected);

}  // namespace qelto
