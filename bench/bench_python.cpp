// The Python module's live loop, `for sample in s.live(count=N)` in a script of its own,
// against `qelto-cli live -n N`, both against one qelto-sim over loopback TCP in the same run:
// samples per second of the whole program (start-up and connection included) and processor
// time per sample (user + system from wait4(), every thread). The two take turns; each ratio
// is the median of the ratios of runs made next to each other, the processor time of a side
// its least (another program can only add to it).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "bench_pairs.hpp"
#include "bench_process.hpp"
#include "bench_util.hpp"

namespace {

using namespace qelto::bench;
using Clock = std::chrono::steady_clock;

constexpr int kSamples = 30000;

#if defined(QELTO_SIM_PATH) && defined(QELTO_CLI_PATH) && defined(QELTO_PYTHON3) && \
    defined(QELTO_PYTHON_DIR)

// What a script author writes, every field of every sample taken.
constexpr const char* kScript = R"(
import sys, qelto
address, count = sys.argv[1], int(sys.argv[2])
n = 0
with qelto.connect(tcp=address) as s:
    for sample in s.live(count=count):
        last = (sample.red, sample.green, sample.blue, sample.x, sample.y, sample.int,
                sample.color_no)
        n += 1
sys.exit(0 if n == count else 1)
)";

struct Run {
    double seconds = 0;
    double cpu = 0;
};

// A program to its end; nothing when it failed.
std::optional<Run> Measure(const std::vector<std::string>& args) {
    const int devnull = ::open("/dev/null", O_WRONLY);
    const auto start = Clock::now();
    const pid_t pid = Spawn(args, devnull);
    ::close(devnull);
    const auto cpu = pid > 0 ? ReapCpu(pid) : std::nullopt;
    if (!cpu) {
        std::fprintf(stderr, "bench_python: %s failed\n", args[0].c_str());
        return std::nullopt;
    }
    return Run{std::chrono::duration<double>(Clock::now() - start).count(), *cpu};
}

#endif

}  // namespace

int main() {
#if defined(QELTO_SIM_PATH) && defined(QELTO_CLI_PATH) && defined(QELTO_PYTHON3) && \
    defined(QELTO_PYTHON_DIR)
    ::setenv("PYTHONPATH", QELTO_PYTHON_DIR, 1);
    SimulatorProcess sim({QELTO_SIM_PATH, "--tcp", "0"});
    unsigned port = 0;
    if (const auto at = sim.greeting().find("listening tcp ");
        at == std::string::npos ||
        std::sscanf(sim.greeting().c_str() + at, "listening tcp %*s %u", &port) != 1) {
        std::fprintf(stderr, "bench_python: the simulator did not start\n");
        return 1;
    }
    const std::string address = "127.0.0.1:" + std::to_string(port);
    const std::string n = std::to_string(kSamples);
    const std::vector<std::string> cli{QELTO_CLI_PATH, "--tcp", address, "live", "-n", n};
    const std::vector<std::string> python{QELTO_PYTHON3, "-c", kScript, address, n};
    // Warm-up: caches, the simulator's first client, the interpreter's files.
    Measure({QELTO_CLI_PATH, "--tcp", address, "live", "-n", "1000"});
    Measure({QELTO_PYTHON3, "-c", kScript, address, "1000"});

    // Each run gives its rate to the pair and its processor time per sample to `cpu`.
    Pair cpu;
    const auto measure = [&](const std::vector<std::string>& args,
                             std::vector<double>& cpuOf) -> std::optional<double> {
        const auto run = Measure(args);
        if (!run) return std::nullopt;
        cpuOf.push_back(run->cpu / kSamples * 1e6);
        return kSamples / run->seconds;
    };
    const auto rate = Interleave(
        "python_live_vs_cli", [&] { return measure(python, cpu.a); },
        [&] { return measure(cli, cpu.b); });
    if (!rate) return 1;
    Report("python_live_samples", Median(rate->a), "per_s", ">", 0);
    Report("python_cli_live_samples", Median(rate->b), "per_s", ">", 0);
    Report("python_live_vs_cli", rate->Ratio(), "ratio", ">=", 0.9);
    Report("python_cpu_per_sample", Least(cpu.a), "us", ">", 0);
    Report("python_cpu_per_sample_vs_cli", cpu.Ratio(), "ratio", "<=", 1.5);
    return 0;
#else
    // Not an error: a build without pybind11 has no module to measure.
    std::printf("bench_python: not measured (needs the Python module, qelto-sim and qelto-cli)\n");
    return 0;
#endif
}
