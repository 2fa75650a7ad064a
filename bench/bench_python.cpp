// The Python module's live loop, `for sample in s.live(count=N)` in a script of its own,
// against `qelto-cli live -n N`, both against one qelto-sim over loopback TCP in the same run:
// samples per second of the whole program (start-up and connection included) and processor
// time per sample (user + system from wait4(), every thread). The two take turns; each ratio
// is the median of the ratios of runs made next to each other, the processor time of a side
// its least (another program can only add to it).
//
// Then the cost of a sample in batches (LiveStream.batch, NumPy arrays) against qelto-cli live:
// processor time per sample without the start-up of either program (the interpreter and NumPy
// cost far more to start than qelto-cli), taken as the difference between a long and a short
// run. And dropping a live stream that holds the last reference to its sensor, while a sample
// is in flight on a slow link: how long the drop takes, and the longest pause of another
// Python thread meanwhile (the GIL must not be held while the drop waits).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "bench_pairs.hpp"
#include "bench_process.hpp"
#include "bench_util.hpp"

namespace {

using namespace qelto::bench;
using Clock = std::chrono::steady_clock;

constexpr int kSamples = 30000;
// The short run whose cost is taken off a long one: start-up, connection, imports.
constexpr int kFewSamples = 2000;
// How long the sensor takes to answer each live request in the drop scenario.
constexpr int kSlowReplyMs = 300;

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

// The same in arrays of 4096 samples, every field used.
constexpr const char* kBatchScript = R"(
import sys, qelto
address, count = sys.argv[1], int(sys.argv[2])
n = 0
with qelto.connect(tcp=address) as s:
    stream = s.live(count=count)
    while True:
        batch = stream.batch(4096)
        if len(batch) == 0:
            break
        last = (batch["red"], batch["green"], batch["blue"], batch["x"], batch["y"],
                batch["int"], batch["color_no"], batch["t"], batch["wall_clock"])
        n += len(batch)
sys.exit(0 if n == count else 1)
)";

// A stream dropped while its sample is in flight, the last reference to its sensor gone
// before; another thread ticks meanwhile. Prints the drop's milliseconds and the ticker's
// longest pause.
constexpr const char* kDropScript = R"(
import sys, threading, time, qelto
stream = qelto.connect(tcp=sys.argv[1]).live()
next(stream)
ticks, stop = [], []
def tick():
    while not stop:
        ticks.append(time.monotonic())
        time.sleep(0.001)
ticker = threading.Thread(target=tick)
ticker.start()
time.sleep(0.1)
start = time.monotonic()
del stream
took = time.monotonic() - start
time.sleep(0.05)
stop.append(True)
ticker.join()
pause = max(b - a for a, b in zip(ticks, ticks[1:]))
print(f"{took * 1000:.1f} {pause * 1000:.1f}")
)";

struct Run {
    double seconds = 0;
    double cpu = 0;
};

// A program to its end, what it printed into `printed` when asked; nothing when it failed.
std::optional<Run> Measure(const std::vector<std::string>& args, std::string* printed = nullptr) {
    int fds[2] = {-1, -1};
    if (printed != nullptr && ::pipe(fds) != 0) return std::nullopt;
    const int out = printed != nullptr ? fds[1] : ::open("/dev/null", O_WRONLY);
    const auto start = Clock::now();
    const pid_t pid = Spawn(args, out);
    ::close(out);
    if (printed != nullptr) {
        char buf[256];
        ssize_t n = 0;
        while ((n = ::read(fds[0], buf, sizeof buf)) > 0)
            printed->append(buf, static_cast<std::size_t>(n));
        ::close(fds[0]);
    }
    const auto cpu = pid > 0 ? ReapCpu(pid) : std::nullopt;
    if (!cpu) {
        std::fprintf(stderr, "bench_python: %s failed\n", args[0].c_str());
        return std::nullopt;
    }
    return Run{std::chrono::duration<double>(Clock::now() - start).count(), *cpu};
}

// Processor microseconds per sample beyond start-up: a long run less a short one.
std::optional<double> CpuPerSample(std::vector<std::string> args, std::size_t countArg) {
    args[countArg] = std::to_string(kFewSamples);
    const auto few = Measure(args);
    args[countArg] = std::to_string(kSamples);
    const auto many = Measure(args);
    if (!few || !many) return std::nullopt;
    return (many->cpu - few->cpu) / (kSamples - kFewSamples) * 1e6;
}

bool NumPyInstalled() {
    return Measure({QELTO_PYTHON3, "-c", "import numpy"}).has_value();
}

#endif

}  // namespace

int main() {
#if defined(QELTO_SIM_PATH) && defined(QELTO_CLI_PATH) && defined(QELTO_PYTHON3) && \
    defined(QELTO_PYTHON_DIR)
    ::setenv("PYTHONPATH", QELTO_PYTHON_DIR, 1);
    SimulatorProcess sim({QELTO_SIM_PATH, "--tcp", "0"});
    const unsigned port = sim.tcpPort();
    if (port == 0) {
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

    if (!NumPyInstalled()) {
        std::printf("bench_python: batches not measured (needs NumPy, python3-numpy)\n");
    } else {
        const std::vector<std::string> batch{QELTO_PYTHON3, "-c", kBatchScript, address, n};
        Measure({QELTO_PYTHON3, "-c", kBatchScript, address, "1000"});  // NumPy's files
        const auto batchCpu = Interleave(
            "python_batch_cpu_per_sample_vs_cli", [&] { return CpuPerSample(batch, 4); },
            [&] { return CpuPerSample(cli, 5); });
        if (!batchCpu) return 1;
        Report("python_batch_cpu_per_sample", Least(batchCpu->a), "us", ">", 0);
        Report("python_cli_cpu_per_sample_after_start", Least(batchCpu->b), "us", ">", 0);
        Report("python_batch_cpu_per_sample_vs_cli", batchCpu->Ratio(), "ratio", "<=", 0.5);
    }

    // The drop's time is the run's figure; the other thread's longest pause goes beside it.
    SimulatorProcess slow({QELTO_SIM_PATH, "--tcp", "0", "--fault",
                           "delay=" + std::to_string(kSlowReplyMs) + ",cmd=8,times=1000000"});
    const std::string slowAddress = "127.0.0.1:" + std::to_string(slow.tcpPort());
    std::vector<double> pauses;
    const auto drops = Repeat("python_drop_stream_in_flight", [&]() -> std::optional<double> {
        std::string printed;
        double dropMs = 0;
        double pauseMs = 0;
        if (!Measure({QELTO_PYTHON3, "-c", kDropScript, slowAddress}, &printed) ||
            !(std::istringstream(printed) >> dropMs >> pauseMs)) {
            return std::nullopt;
        }
        pauses.push_back(pauseMs);
        return dropMs;
    });
    if (!drops) return 1;
    Report("python_drop_stream_in_flight", Median(*drops), "ms", "<=", kSlowReplyMs);
    Report("python_drop_stream_longest_pause_of_another_thread", Median(pauses), "ms", "<=", 50);
    return 0;
#else
    // Not an error: a build without pybind11 has no module to measure.
    std::printf("bench_python: not measured (needs the Python module, qelto-sim and qelto-cli)\n");
    return 0;
#endif
}
