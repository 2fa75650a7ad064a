#include "files/paths.hpp"

#include <string>
#include <system_error>

#include "files/os_file.hpp"

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
    std::size_t root = 1;
#ifdef _WIN32
    // "C:" alone names the drive's current folder, not its root: C:\ keeps its separator.
    if (directory.size() >= 2 && directory[1] == ':') root = 3;
#endif
    while (directory.size() > root && IsSeparator(directory.back()))
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
        int err = 0;
        std::FILE* f = CreateNewFile(probe, err);
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

bool IsSystemProgramDirectory(std::string_view directory) {
#ifdef _WIN32
    (void)directory;
    return false;
#else
    for (std::string_view root : {"/usr/", "/bin", "/sbin"}) {
        if (directory.substr(0, root.size()) != root) continue;
        // "/bin" itself or below it; "/binaries" is not.
        if (root.back() == '/' || directory.size() == root.size() ||
            directory[root.size()] == '/') {
            return true;
        }
    }
    return directory == "/usr";
#endif
}

}  // namespace qelto
