// Paths as the program's files see them: UTF-8 text with the platform's separator.
#pragma once

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace qelto {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

std::filesystem::path PathFromUtf8(std::string_view text);
std::string PathToUtf8(const std::filesystem::path& path);

// std::fopen on a path that may hold any UTF-8 name.
std::FILE* OpenFile(const std::filesystem::path& path, const char* mode);

// directory, one separator, name ("%s%s%s").
std::string JoinPath(std::string_view directory, std::string_view name);

struct SplitPathResult {
    std::string drive;      // "C:" on Windows, always empty elsewhere
    std::string directory;  // up to and including the last separator
    std::string fileName;   // the rest
};
// Splits like the platform's own dialogs expect: a path without a separator is all file name,
// so a directory given without a trailing separator splits into its parent and its own name.
SplitPathResult SplitPath(std::string_view path);

// A directory text without trailing separators (the root keeps its one).
std::string WithoutTrailingSeparator(std::string_view directory);

// Whether a file may be created in the directory: it exists, carries a write permission and
// a probe file can be made there (and is removed again).
bool DirectoryIsWritable(const std::string& directory);

// ---- The few file operations the C++ library has no words for. These, and only these, reach
// the operating system directly (POSIX, or Windows' C runtime).

// Creates path for writing, failing when it exists, and holds it locked for as long as it is
// open, so that another writer can tell a live temporary file from one whose writer died.
// Null with the errno value in err on failure.
std::FILE* CreateLockedFile(const std::filesystem::path& path, int& err);

// Removes path when it is a regular file that no live writer holds (see CreateLockedFile) and
// that has not changed for minAge. True when it was removed.
bool RemoveOrphanedFile(const std::filesystem::path& path, std::chrono::seconds minAge);

// Gives the open file the mode of model and, where the process may set them, its owner and
// group (else at least its group), so a replacement keeps the access the old file granted.
// 0, or the errno value of a failure to set the mode.
int CopyOwnerAndMode(std::FILE* file, const std::filesystem::path& model);

// Flushes the file's buffers and waits until its content is on the disk. 0 or an errno value.
int SyncFile(std::FILE* file);

// Waits until the directory's entries (a rename into it) are on the disk. Best effort: some
// file systems cannot sync a directory, and the rename has happened either way.
void SyncDirectory(const std::filesystem::path& directory);

}  // namespace qelto
