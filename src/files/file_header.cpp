#include "files/file_header.hpp"

#include <array>

namespace qelto {

void PutFileHeader(IniDocument* doc, std::string_view fileType) {
    Ini_PutString(doc, kSectionGeneralInfo, kItemFileType, fileType);
    Ini_PutString(doc, kSectionGeneralInfo, kItemVersion, kProgramTitle);
}

bool HeaderItemIs(IniDocument* doc, std::string_view item, std::string_view expected) {
    std::array<char, 1024> buffer{};
    Ini_GetStringIntoBuffer(doc, kSectionGeneralInfo, item, buffer);
    return std::string_view(buffer.data()) == expected;
}

}  // namespace qelto
