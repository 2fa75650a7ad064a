// Temporary files for the file tests.
//
// A fresh directory of its own under the system's temporary directory, removed afterwards
// (after giving back any permissions a test took away).
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace qelto {

class TempDir {
  public:
    explicit TempDir(const std::string& prefix = "qelto-test") {
        std::random_device rd;
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = std::filesystem::temp_directory_path() /
                (prefix + "-" + std::to_string(rd()) + "-" + std::to_string(stamp));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        namespace fs = std::filesystem;
        std::error_code ec;
        for (auto& e : fs::recursive_directory_iterator(path_, ec)) {
            fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
        fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string File(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }

  private:
    std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace qelto
