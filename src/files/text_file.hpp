// Saving a whole text file so that a save that fails leaves the file as it was.
#pragma once

#include <string>
#include <string_view>

namespace qelto {

// Writes text to path through a temporary file beside it that takes the old file's place
// only once it is whole and on the disk (keeping its mode, owner and group where it may);
// through a symbolic link, the file it points to is replaced. Empty on success, otherwise
// why not, in the system's words ("No space left on device"); the old file is then untouched.
std::string SaveTextFile(const std::string& path, std::string_view text);

}  // namespace qelto
