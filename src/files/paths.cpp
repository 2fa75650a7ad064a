#include "files/paths.hpp"

#include <cerrno>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#endif

namespace qelto {

namespace fs = std::filesystem;

namespace {

bool IsSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

constexpr std::string_view kProbeName = ".qelto-write-probe-";
constexpr int kProbeAttempts = 16;

}  // namespace

fs::path PathFromUtf8(std::string_view text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

std::string PathToUtf8(const fs::path& path) {
    const std::u8string u = path.u8string();
    return std::string(u.begin(), u.end());
}

std::FILE* OpenFile(const fs::path& path, const char* mode) {
#ifdef _WIN32
    std::wstring wmode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(path.c_str(), wmode.c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

std::string JoinPath(std::string_view directory, std::string_view name) {
    std::string out(directory);
    out += kPathSeparator;
    out += name;
    return out;
}

SplitPathResult SplitPath(std::string_view path) {
    SplitPathResult r;
#ifdef _WIN32
    if (path.size() >= 2 && path[1] == ':') {
        r.drive = std::string(path.substr(0, 2));
        path.remove_prefix(2);
    }
#endif
    std::size_t cut = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (IsSeparator(path[i])) cut = i + 1;
    }
    r.directory = std::string(path.substr(0, cut));
    r.fileName = std::string(path.substr(cut));
    return r;
}

std::string WithoutTrailingSeparator(std::string_view directory) {
    while (directory.size() > 1 && IsSeparator(directory.back()))
        directory.remove_suffix(1);
    return std::string(directory);
}

bool DirectoryIsWritable(const std::string& directory) {
    if (directory.empty()) return false;
    std::error_code ec;
    const fs::path dir = PathFromUtf8(directory);
    const fs::file_status st = fs::status(dir, ec);
    if (ec || !fs::is_directory(st)) return false;
    // The permission bits count even for a user whom the system would let write anyway: an
    // install directory marked read-only is not the place for settings.
    const auto writeBits =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if ((st.permissions() & writeBits) == fs::perms::none) return false;
    for (int n = 0; n < kProbeAttempts; ++n) {
        const fs::path probe = dir / (std::string(kProbeName) + std::to_string(n));
        std::FILE* f = OpenFile(probe, "wbx");
        if (f == nullptr) {
            if (fs::exists(fs::symlink_status(probe, ec))) continue;  // left over; try another
            return false;
        }
        std::fclose(f);
        fs::remove(probe, ec);
        return true;
    }
    return false;
}

#ifdef _WIN32

// A file open in Windows' C runtime cannot be removed by anyone else: an open temporary file
// is its own lock.
std::FILE* CreateLockedFile(const fs::path& path, int& err) {
    errno = 0;
    std::FILE* f = OpenFile(path, "wbx");
    err = f == nullptr ? errno : 0;
    return f;
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

#else

std::FILE* CreateLockedFile(const fs::path& path, int& err) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        err = errno;
        return nullptr;
    }
    // A file system without locks still gets the file; the age rule alone then guards it.
    flock(fd, LOCK_EX | LOCK_NB);
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

void SyncDirectory(const fs::path& directory) {
    const int fd =
        open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

#endif

}  // namespace qelto
