// Writing and reading a full parameter file (26 parameters, 64 teach rows) through the Send
// and Get commands' file operations, per file; the write includes waiting until the file is on
// the disk. Then the reader on the largest file it accepts, of the costliest kind: nothing but
// tiny items, which gives the most records per byte.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "app/context.hpp"
#include "app/file_commands.hpp"
#include "bench_pairs.hpp"
#include "bench_util.hpp"
#include "doubles/memory_ui.hpp"
#include "files/inifile.hpp"
#include "files/parameter_file.hpp"
#include "link/no_devices.hpp"

#if defined(__unix__)
#include <sys/resource.h>
#endif

namespace {

using namespace qelto;

// Median milliseconds of one call of op over many runs (after a warm-up).
double MedianMs(const std::function<void()>& op, int runs) {
    for (int i = 0; i < 20; ++i)
        op();
    std::vector<double> ms;
    ms.reserve(static_cast<std::size_t>(runs));
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        op();
        const auto t1 = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    return bench::Median(ms);
}

struct Figures {
    double writeMs = 0;
    double readMs = 0;
};

// Median write and read times of a full parameter file in a fresh directory under base.
Figures Measure(const std::filesystem::path& base) {
    namespace fs = std::filesystem;
    const fs::path dir = base / ("qelto-bench-files-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    const std::string file = (dir / "Parameter.ini").string();

    MemoryUi ui;
    NoSerialPort serial;
    NoTcpClient tcp;
    NoPortEnumerator ports;
    SensorSession sensor(ui, serial, tcp);
    Context ctx(ui, ui, sensor, ports);
    std::uint16_t v = 1;
    Configuration filled;
    for (const auto& f : kParamFields)
        filled.para.*f.member = v += 2311;
    for (auto& row : filled.teach) {
        for (std::size_t w = 0; w < kTeachWordCount; ++w) {
            TeachWordRef(row, w) = v += 977;
        }
    }
    ctx.working.Replace(filled);

    const int runs = 300;
    Figures figures;
    figures.writeMs = MedianMs(
        [&] {
            ui.answers.push_back(PopupAnswer::File(kFileNew, file));
            ctx.files.SendParaToFile();
            ui.popups.clear();
        },
        runs);
    figures.readMs = MedianMs(
        [&] {
            ui.answers.push_back(PopupAnswer::File(kFileExisting, file));
            ctx.files.ReadParaFromFile();
            ui.popups.clear();
        },
        runs);

    std::error_code ec;
    fs::remove_all(dir, ec);
    return figures;
}

#if defined(__unix__)
long PeakKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}
#endif

// A file of size bytes of "a=b" lines in one section.
std::string MakeJunk(const std::filesystem::path& dir, std::size_t size) {
    const std::string path = (dir / ("junk-" + std::to_string(size) + ".ini")).string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    const std::string_view header = "[PARAMETER]\n";
    std::fwrite(header.data(), 1, header.size(), f);
    for (std::size_t n = header.size(); n + 4 <= size; n += 4)
        std::fwrite("a=b\n", 1, 4, f);  // through stdio's buffer: the process stays small
    std::fclose(f);
    return path;
}

struct ReadTimes {
    double read = 0;   // seconds to read the file
    double total = 0;  // and to look up a parameter file's worth of items in it
};

ReadTimes TimeRead(const std::string& path) {
    using Clock = std::chrono::steady_clock;
    const auto t0 = Clock::now();
    IniHandle doc = Ini_New(0);
    Ini_ReadFromFile(doc.get(), path);
    const auto t1 = Clock::now();
    std::int32_t v = 0;
    for (int i = 0; i < 26; ++i)
        Ini_GetInt(doc.get(), "PARAMETER", "KEY " + std::to_string(i), v);
    for (int row = 0; row < 64; ++row) {
        for (int i = 0; i < 8; ++i)
            Ini_GetInt(doc.get(), "TEACH VECTOR " + std::to_string(row), "CELL", v);
    }
    Ini_Dispose(doc);
    const auto t2 = Clock::now();
    return {std::chrono::duration<double>(t1 - t0).count(),
            std::chrono::duration<double>(t2 - t0).count()};
}

}  // namespace

int main() {
    namespace fs = std::filesystem;
    const fs::path junkDir =
        fs::temp_directory_path() / ("qelto-bench-junk-" + std::to_string(std::random_device{}()));
    fs::create_directories(junkDir);
    const std::size_t large = static_cast<std::size_t>(kIniMaxFileSize);
    const std::size_t small = large / 16;
    const std::string largeFile = MakeJunk(junkDir, large);
    const std::string smallFile = MakeJunk(junkDir, small);
    // First, while the process is small: the peak it reaches is the reader's.
#if defined(__unix__)
    const long before = PeakKb();
#endif
    TimeRead(largeFile);
#if defined(__unix__)
    bench::Report("ini_read_16mib_tiny_items_peak_memory",
                  static_cast<double>(PeakKb() - before) * 1024 / static_cast<double>(large),
                  "x file size", "<=", 6);
#endif
    // The large and the small file take turns; each large read also times its lookups.
    std::vector<double> largeTotals;
    const auto reads = bench::Interleave(
        "ini_read_time_per_byte_16mib_vs_1mib",
        [&] {
            const ReadTimes t = TimeRead(largeFile);
            largeTotals.push_back(t.total);
            return t.read;
        },
        [&] { return TimeRead(smallFile).read; });
    fs::remove_all(junkDir);
    if (!reads) return 1;
    bench::Report("ini_read_16mib_tiny_items", bench::Median(reads->a) * 1000, "ms", "<", 1000);
    // Lookups walk the one huge section: their cost grows with it, and more than linearly
    // once it no longer fits the caches.
    bench::Report("ini_read_16mib_tiny_items_and_lookups", bench::Median(largeTotals) * 1000, "ms",
                  "<", 2000);
    bench::Report("ini_read_time_per_byte_16mib_vs_1mib", reads->Ratio() / 16, "ratio", "<", 2);

    const Figures disk = Measure(fs::temp_directory_path());
    // Most of it is the disk's: the file and then its directory are synced before it counts.
    bench::Report("parameter_file_write", disk.writeMs, "ms", "<", 50.0);
    bench::Report("parameter_file_read", disk.readMs, "ms", "<", 1.0);
    // The same in memory: the program's own cost without the file system's work for the
    // replacement (ext4 writes out a file renamed over another before the rename counts).
    std::error_code ec;
    if (fs::is_directory("/dev/shm", ec)) {
        const Figures mem = Measure("/dev/shm");
        bench::Report("parameter_file_write_in_memory_fs", mem.writeMs, "ms", "<", 1.0);
        bench::Report("parameter_file_read_in_memory_fs", mem.readMs, "ms", "<", 1.0);
    }
    return 0;
}
