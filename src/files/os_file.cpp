#include "files/os_file.hpp"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <system_error>

#include "files/paths.hpp"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#endif

namespace qelto {

namespace fs = std::filesystem;

#ifdef _WIN32

// The C runtime's fopen ignores the "x" of "wbx" and would open an existing file: only
// _O_EXCL makes the creation exclusive.
std::FILE* CreateNewFile(const fs::path& path, int& err) {
    const int fd = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                          _S_IREAD | _S_IWRITE);
    if (fd < 0) {
        err = errno;
        return nullptr;
    }
    std::FILE* f = _wfdopen(fd, L"wb");
    if (f == nullptr) {
        err = errno;
        _close(fd);
        _wremove(path.c_str());
        return nullptr;
    }
    err = 0;
    return f;
}

// A file open in Windows' C runtime cannot be removed by anyone else: an open temporary file
// is its own lock.
std::FILE* CreateLockedFile(const fs::path& path, int& err) {
    return CreateNewFile(path, err);
}

bool RemoveOrphanedFile(const fs::path& path, std::chrono::seconds minAge) {
    std::error_code ec;
    if (!fs::is_regular_file(fs::symlink_status(path, ec))) return false;
    const auto changed = fs::last_write_time(path, ec);
    if (ec || fs::file_time_type::clock::now() - changed < minAge) return false;
    return fs::remove(path, ec);
}

int CopyOwnerAndMode(std::FILE*, const fs::path&) {
    return 0;  // no owners or modes beyond the read-only flag, and read-only targets are refused
}

int SyncFile(std::FILE* file) {
    errno = 0;
    if (std::fflush(file) != 0 || _commit(_fileno(file)) != 0) return errno != 0 ? errno : EIO;
    return 0;
}

void SyncDirectory(const fs::path&) {}  // NTFS journals the rename itself

int WriteThrough(std::FILE* file, std::string_view bytes) {
    const int fd = _fileno(file);
    while (!bytes.empty()) {
        const auto chunk = static_cast<unsigned>(std::min<std::size_t>(bytes.size(), INT_MAX));
        errno = 0;
        const int n = _write(fd, bytes.data(), chunk);
        if (n <= 0) return errno != 0 ? errno : EIO;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

ExclusiveFile OpenExclusive(const fs::path& path) {
    ExclusiveFile r;
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    r.existed = st.type() != fs::file_type::not_found && st.type() != fs::file_type::none;
    if (r.existed && !fs::is_regular_file(st)) {
        r.refusal = OpenRefusal::NotRegularFile;
        return r;
    }
    int fd = -1;
    const errno_t opened =
        _wsopen_s(&fd, path.c_str(), _O_WRONLY | _O_CREAT | _O_BINARY | _O_NOINHERIT, _SH_DENYNO,
                  _S_IREAD | _S_IWRITE);
    if (opened != 0) {
        r.refusal = OpenRefusal::System;
        r.err = opened;
        return r;
    }
    // Windows' lock is mandatory: writes through any other handle are refused while it is held,
    // which suits a file that only its recorder writes.
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    OVERLAPPED whole{};
    if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                    MAXDWORD, &whole) &&
        GetLastError() == ERROR_LOCK_VIOLATION) {
        _close(fd);
        r.refusal = OpenRefusal::InUse;
        return r;
    }
    r.file = _wfdopen(fd, L"wb");  // "w" through a descriptor opens, it does not empty
    if (r.file == nullptr) {
        r.refusal = OpenRefusal::System;
        r.err = errno != 0 ? errno : EIO;
        _close(fd);
    }
    return r;
}

int TruncateFile(std::FILE* file, std::uint64_t size) {
    if (std::fflush(file) != 0) return errno != 0 ? errno : EIO;
    return _chsize_s(_fileno(file), static_cast<__int64>(size));
}

// The C runtime opens files without FILE_SHARE_DELETE: while the recording holds its file
// open, nobody can remove or rename it, nor the folder it is in.
bool IsStillAt(std::FILE*, const fs::path&) {
    return true;
}

#else

std::FILE* CreateNewFile(const fs::path& path, int& err) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        err = errno;
        return nullptr;
    }
    std::FILE* f = fdopen(fd, "wb");
    if (f == nullptr) {
        err = errno;
        close(fd);
        unlink(path.c_str());
        return nullptr;
    }
    err = 0;
    return f;
}

std::FILE* CreateLockedFile(const fs::path& path, int& err) {
    std::FILE* f = CreateNewFile(path, err);
    // A file system without locks still gets the file; the age rule alone then guards it.
    if (f != nullptr) flock(fileno(f), LOCK_EX | LOCK_NB);
    return f;
}

bool RemoveOrphanedFile(const fs::path& path, std::chrono::seconds minAge) {
    struct stat named {};
    if (lstat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode)) return false;
    if (std::time(nullptr) - named.st_mtime < minAge.count()) return false;
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    bool removed = false;
    // Holding the lock, nobody else can be writing it or reclaiming it; the name must still
    // be the file that was locked (another reclaimer may have replaced it meanwhile).
    struct stat held {};
    if (flock(fd, LOCK_EX | LOCK_NB) == 0 && fstat(fd, &held) == 0 &&
        lstat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
        held.st_ino == named.st_ino) {
        removed = unlink(path.c_str()) == 0;
    }
    close(fd);
    return removed;
}

int CopyOwnerAndMode(std::FILE* file, const fs::path& model) {
    const int fd = fileno(file);
    struct stat want {};
    struct stat have {};
    if (stat(model.c_str(), &want) != 0 || fstat(fd, &have) != 0) return errno;
    if (want.st_uid != have.st_uid || want.st_gid != have.st_gid) {
        // Only a privileged process may give a file away; anyone may hand it to one of their
        // own groups. Whatever cannot be kept is not a reason to refuse the write.
        if (fchown(fd, want.st_uid, want.st_gid) != 0) {
            [[maybe_unused]] const int ignored = fchown(fd, static_cast<uid_t>(-1), want.st_gid);
        }
    }
    // After the owner: a change of owner clears the set-user-ID and set-group-ID bits.
    if (fchmod(fd, want.st_mode & 07777) != 0) return errno;
    return 0;
}

int SyncFile(std::FILE* file) {
    errno = 0;
    if (std::fflush(file) != 0 || fsync(fileno(file)) != 0) return errno != 0 ? errno : EIO;
    return 0;
}

int WriteThrough(std::FILE* file, std::string_view bytes) {
    const int fd = fileno(file);
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

ExclusiveFile OpenExclusive(const fs::path& path) {
    ExclusiveFile r;
    struct stat named {};
    r.existed = stat(path.c_str(), &named) == 0;
    // Looked at before opening: opening a device may already do something (a tape rewinds).
    if (r.existed && !S_ISREG(named.st_mode)) {
        r.refusal = OpenRefusal::NotRegularFile;
        return r;
    }
    // Non-blocking, in case a FIFO took the name meanwhile: it is refused, not waited on.
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0666);
    if (fd < 0) {
        r.refusal = OpenRefusal::System;
        r.err = errno;
        return r;
    }
    struct stat held {};
    if (fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
        close(fd);
        r.refusal = OpenRefusal::NotRegularFile;
        return r;
    }
    // flock, not fcntl's record locks: those never conflict within one process, and a second
    // recording in the same window must be refused too.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        close(fd);
        r.refusal = OpenRefusal::InUse;
        return r;
    }
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    r.file = fdopen(fd, "wb");  // "w" through a descriptor opens, it does not empty
    if (r.file == nullptr) {
        r.refusal = OpenRefusal::System;
        r.err = errno;
        close(fd);
    }
    return r;
}

int TruncateFile(std::FILE* file, std::uint64_t size) {
    if (std::fflush(file) != 0) return errno != 0 ? errno : EIO;
    return ftruncate(fileno(file), static_cast<off_t>(size)) == 0 ? 0 : errno;
}

bool IsStillAt(std::FILE* file, const fs::path& path) {
    struct stat held {};
    struct stat named {};
    if (fstat(fileno(file), &held) != 0) return true;  // nothing to compare with: write on
    if (stat(path.c_str(), &named) != 0) return errno != ENOENT && errno != ENOTDIR;
    return held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

void SyncDirectory(const fs::path& directory) {
    const int fd =
        open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

#endif

}  // namespace qelto
