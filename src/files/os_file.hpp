// The few file operations the C++ library has no words for: locks, syncing to the disk, owner
// and group. This is the one place of the core that reaches the operating system directly
// (POSIX, or Windows' C runtime).
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string_view>

namespace qelto {

// Creates path for writing, failing when anything by that name exists (EEXIST), also a
// symbolic link. Null with the errno value in err on failure.
std::FILE* CreateNewFile(const std::filesystem::path& path, int& err);

// CreateNewFile that holds the file locked for as long as it is open, so that another writer
// can tell a live temporary file from one whose writer died.
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

// Hands bytes straight to the operating system, past the stream's buffer: one write call for
// all of them unless the system takes only part (then the rest follows). A process killed
// between two calls leaves the file cut where a call ended, never inside what one call
// carried. Meant for a stream that is never written through stdio. 0 or an errno value.
int WriteThrough(std::FILE* file, std::string_view bytes);

// Why OpenExclusive did not give a file.
enum class OpenRefusal { None, NotRegularFile, InUse, System };

struct ExclusiveFile {
    std::FILE* file = nullptr;
    bool existed = false;  // the name stood for a file before
    OpenRefusal refusal = OpenRefusal::None;
    int err = 0;  // the errno value of a System refusal
};

// Opens path for writing without changing it (EmptyFile clears it) and holds it with an
// exclusive lock for as long as it is open: a second opener through this function, in this
// process or another, is refused with InUse, so two writers never interleave in one file.
// Anything but a regular file is refused; a FIFO or a device is never waited on. The lock is
// advisory on POSIX (flock); a file system without locks gives the file unlocked.
ExclusiveFile OpenExclusive(const std::filesystem::path& path);

// Cuts the open file to `size` bytes, through the file itself (its name may meanwhile stand
// for another file). 0 or an errno value.
int TruncateFile(std::FILE* file, std::uint64_t size);

// Whether path still names the open file: false once it was removed, renamed away or replaced
// by another file (device and inode differ).
bool IsStillAt(std::FILE* file, const std::filesystem::path& path);

// Waits until the directory's entries (a rename into it) are on the disk. Best effort: some
// file systems cannot sync a directory, and the rename has happened either way.
void SyncDirectory(const std::filesystem::path& directory);

}  // namespace qelto
