// What the fuzz targets share: a broken rule as a finding, and a scratch directory of the
// process's own for the files a target writes.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace qelto::fuzz {

// Set by each target: the name a finding is reported under.
extern const char* const kTargetName;

inline void Require(bool ok, const char* rule) {
    if (ok) return;
    std::fprintf(stderr, "%s: broken rule: %s\n", kTargetName, rule);
    std::abort();
}

// A directory of this process's own, in memory where the system has one; removed when the
// fuzzer ends normally.
inline const std::filesystem::path& WorkDir() {
    namespace fs = std::filesystem;
    struct ScratchDir {
        fs::path path;
        ScratchDir() {
            const fs::path base =
                fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
            path = base / (std::string(kTargetName) + "-" + std::to_string(getpid()));
            fs::create_directories(path);
        }
        ~ScratchDir() {
            std::error_code ec;
            fs::remove_all(path, ec);
        }
    };
    static const ScratchDir dir;
    return dir.path;
}

inline void WriteFile(const std::filesystem::path& path, const std::uint8_t* data,
                      std::size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    Require(f != nullptr, "the input file can be created");
    if (size > 0) std::fwrite(data, 1, size, f);
    std::fclose(f);
}

}  // namespace qelto::fuzz
