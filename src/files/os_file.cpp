#include "files/os_file.hpp"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <system_error>

#include "files/paths.hpp"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
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

void SyncDirectory(const fs::path& directory) {
    const int fd =
        open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

#endif

}  // namespace qelto
