#include "files/text_file.hpp"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "files/os_file.hpp"
#include "files/paths.hpp"

namespace qelto {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kNotRegularFile = "not a regular file";
constexpr int kTempNames = 100;

std::string Words(int err) {
    return std::generic_category().message(err != 0 ? err : EIO);
}

}  // namespace

std::string SaveTextFile(const std::string& path, std::string_view text) {
    fs::path target = PathFromUtf8(path);
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(target, ec))) {
        fs::path resolved = fs::weakly_canonical(target, ec);
        if (ec) return ec.message();
        target = std::move(resolved);
    }
    const fs::file_status st = fs::status(target, ec);
    const bool existed = st.type() != fs::file_type::not_found && st.type() != fs::file_type::none;
    if (existed && !fs::is_regular_file(st)) return std::string(kNotRegularFile);

    const fs::path dir = target.parent_path();
    std::string stem = ".";
    stem += PathToUtf8(target.filename());
    stem += ".saving";
    fs::path temp;
    std::FILE* f = nullptr;
    int err = 0;
    for (int n = 0; n < kTempNames && f == nullptr; ++n) {
        temp = dir / PathFromUtf8(stem + std::to_string(n));
        f = CreateNewFile(temp, err);
        if (f == nullptr && err != EEXIST) break;
    }
    if (f == nullptr) return Words(err);
    err = WriteThrough(f, text);
    if (err == 0 && existed) err = CopyOwnerAndMode(f, target);
    if (err == 0) err = SyncFile(f);
    errno = 0;
    if (std::fclose(f) != 0 && err == 0) err = errno != 0 ? errno : EIO;
    std::string why = err != 0 ? Words(err) : std::string();
    if (why.empty()) {
        fs::rename(temp, target, ec);
        if (ec) why = ec.message();
    }
    if (!why.empty()) {
        fs::remove(temp, ec);
        return why;
    }
    SyncDirectory(dir);
    return {};
}

}  // namespace qelto
