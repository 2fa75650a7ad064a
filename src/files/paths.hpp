// Paths as the program's files see them: UTF-8 text with the platform's separator.
#pragma once

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

// A directory text without trailing separators. A root keeps its one: / and, on Windows, C:\ (a
// drive's root; "C:" alone is its current folder).
std::string WithoutTrailingSeparator(std::string_view directory);

// Whether a file may be created in the directory: it exists, carries a write permission and
// a probe file can be made there (and is removed again).
bool DirectoryIsWritable(const std::string& directory);

// Whether a program directory belongs to the system's installation (/usr/..., /bin, /sbin)
// rather than to a portable copy or a build tree. Always false on Windows.
bool IsSystemProgramDirectory(std::string_view directory);

}  // namespace qelto
