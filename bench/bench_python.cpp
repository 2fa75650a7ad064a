// The Python module's live loop, `for sample in s.live(count=N)` in a script of its own,
// against `qelto-cli live -n N`, both against one qelto-sim over loopback TCP in the same run:
// samples per second of the whole program (start-up and connection included) and processor
// time per sample (user + system from wait4(), every thread). The two take turns, in
// alternating order; the rate ratio is the median of the rounds' ratios, the processor time of
// each side its least (another program can only add to it).
//
// Then the cost of a sample in batches (LiveStream.batch, NumPy arrays) against qelto-cli live:
// processor time per sample without the start-up of either program (the interpreter and NumPy
// cost far more to start than qelto-cli), taken as the difference between a long and a short
// run. And dropping a live stream that holds the last reference to its sensor, while a sample
// is in flight on a slow link: how long the drop takes, and the longest pause of another
// Python thread meanwhile (the GIL must not be held while the drop waits).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "bench_process.hpp"
#include "bench_util.hpp"

namespace {

using namespace qelto::bench;
using Clock = std::chrono::steady_clock;

constexpr int kSamples = 30000;
constexpr int kRounds = 5;
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

unsigned PortOf(const SimulatorProcess& sim) {
    unsigned port = 0;
    const auto at = sim.greeting().find("listening tcp ");
    if (at == std::string::npos ||
        std::sscanf(sim.greeting().c_str() + at, "listening tcp %*s %u", &port) != 1) {
        return 0;
    }
    return port;
}

bool NumPyInstalled() {
    return Measure({QELTO_PYTHON3, "-c", "import numpy"}).has_value();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

#endif

}  // namespace

int main() {
#if defined(QELTO_SIM_PATH) && defined(QELTO_CLI_PATH) && defined(QELTO_PYTHON3) && \
    defined(QELTO_PYTHON_DIR)
    ::setenv("PYTHONPATH", QELTO_PYTHON_DIR, 1);
    SimulatorProcess sim({QELTO_SIM_PATH, "--tcp", "0"});
    const unsigned port = PortOf(sim);
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

    std::vector<double> pyRate, cliRate, ratio, pyCpu, cliCpu;
    for (int r = 0; r < kRounds; ++r) {
        std::optional<Run> a, b;
        if (r % 2 == 0) {
            a = Measure(python);
            b = Measure(cli);
        } else {
            b = Measure(cli);
            a = Measure(python);
        }
        if (!a || !b) return 1;
        pyRate.push_back(kSamples / a->seconds);
        cliRate.push_back(kSamples / b->seconds);
        ratio.push_back(pyRate.back() / cliRate.back());
        pyCpu.push_back(a->cpu / kSamples * 1e6);
        cliCpu.push_back(b->cpu / kSamples * 1e6);
    }
    Report("python_live_samples", Median(pyRate), "per_s", ">", 0);
    Report("python_cli_live_samples", Median(cliRate), "per_s", ">", 0);
    Report("python_live_vs_cli", Median(ratio), "ratio", ">=", 0.9);
    Report("python_cpu_per_sample", Least(pyCpu), "us", ">", 0);
    Report("python_cpu_per_sample_vs_cli", Least(pyCpu) / Least(cliCpu), "ratio", "<=", 1.5);

    if (!NumPyInstalled()) {
        std::printf("bench_python: batches not measured (needs NumPy, python3-numpy)\n");
    } else {
        const std::vector<std::string> batch{QELTO_PYTHON3, "-c", kBatchScript, address, n};
        std::vector<double> batchCpu, cliMarginal;
        for (int r = 0; r < kRounds; ++r) {
            const auto a = CpuPerSample(batch, 4);
            const auto b = CpuPerSample(cli, 5);
            if (!a || !b) return 1;
            batchCpu.push_back(*a);
            cliMarginal.push_back(*b);
        }
        Report("python_batch_cpu_per_sample", Least(batchCpu), "us", ">", 0);
        Report("python_cli_cpu_per_sample_after_start", Least(cliMarginal), "us", ">", 0);
        Report("python_batch_cpu_per_sample_vs_cli", Least(batchCpu) / Least(cliMarginal), "ratio",
               "<=", 0.5);
    }

    SimulatorProcess slow({QELTO_SIM_PATH, "--tcp", "0", "--fault",
                           "delay=" + std::to_string(kSlowReplyMs) + ",cmd=8,times=1000000"});
    const unsigned slowPort = PortOf(slow);
    std::string printed;
    double dropMs = 0;
    double pauseMs = 0;
    if (slowPort == 0 ||
        !Measure({QELTO_PYTHON3, "-c", kDropScript, "127.0.0.1:" + std::to_string(slowPort)},
                 &printed) ||
        !(std::istringstream(printed) >> dropMs >> pauseMs)) {
        std::fprintf(stderr, "bench_python: the drop was not measured\n");
        return 1;
    }
    Report("python_drop_stream_in_flight", dropMs, "ms", "<=", kSlowReplyMs);
    Report("python_drop_stream_longest_pause_of_another_thread", pauseMs, "ms", "<=", 50);
    return 0;
#else
    // Not an error: a build without pybind11 has no module to measure.
    std::printf("bench_python: not measured (needs the Python module, qelto-sim and qelto-cli)\n");
    return 0;
#endif
}
