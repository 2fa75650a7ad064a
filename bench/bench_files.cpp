// Writing and reading a full parameter file (26 parameters, 64 teach rows) through the Send
// and Get commands' file operations, per file.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "app/context.hpp"
#include "app/file_commands.hpp"
#include "app/memory_ui.hpp"
#include "bench_util.hpp"
#include "files/parameter_file.hpp"

namespace {

using namespace qelto;

class NoSerial : public SerialPort {
  public:
    int OpenComConfig(int, int) override { return -1; }
    void CloseCom(int) override {}
    void SetComTime(int, double) override {}
    void SetCTSMode(int, int) override {}
    void FlushInQ(int) override {}
    void FlushOutQ(int) override {}
    int ComWrt(int, const std::uint8_t*, int) override { return 0; }
    int ComRd(int, std::uint8_t*, int) override { return 0; }
    int GetInQLen(int) override { return 0; }
    int GetComStat(int) override { return 0; }
    void SetDataArrivedHandler(std::function<void()>) override {}
};

class NoTcp : public TcpClient {
  public:
    int ConnectToTCPServerEx(std::uint32_t&, int, const std::string&, Callback, int) override {
        return -1;
    }
    int DisconnectFromTCPServer(std::uint32_t) override { return 0; }
    int ClientTCPWrite(std::uint32_t, const std::uint8_t*, int, int) override { return -1; }
    int ClientTCPRead(std::uint32_t, std::uint8_t*, int, int) override { return -1; }
};

class NoPorts : public PortEnumerator {
  public:
    std::vector<SerialPortInfo> LocateCom() override { return {}; }
};

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
    std::nth_element(ms.begin(), ms.begin() + runs / 2, ms.end());
    return ms[static_cast<std::size_t>(runs / 2)];
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
    NoSerial serial;
    NoTcp tcp;
    NoPorts ports;
    Context ctx(ui, serial, tcp, ports);
    std::uint16_t v = 1;
    for (const auto& f : kParamFields) {
        ctx.para.*f.member = v += 2311;
    }
    for (auto& row : ctx.teach) {
        for (std::size_t w = 0; w < kTeachWordCount; ++w) {
            TeachWordRef(row, w) = v += 977;
        }
    }

    const int runs = 300;
    Figures figures;
    figures.writeMs = MedianMs(
        [&] {
            ui.answers.push_back(PopupAnswer::File(kFileNew, file));
            SendParaToFile(ctx);
            ui.popups.clear();
        },
        runs);
    figures.readMs = MedianMs(
        [&] {
            ui.answers.push_back(PopupAnswer::File(kFileExisting, file));
            ReadParaFromFile(ctx);
            ui.popups.clear();
        },
        runs);

    std::error_code ec;
    fs::remove_all(dir, ec);
    return figures;
}

}  // namespace

int main() {
    namespace fs = std::filesystem;
    const Figures disk = Measure(fs::temp_directory_path());
    bench::Report("parameter_file_write", disk.writeMs, "ms", "<", 1.0);
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
