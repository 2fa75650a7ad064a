// Processor time per live sample: `qelto-cli live -n N` against qelto-sim over loopback TCP,
// next to the least a client can do, a blocking socket loop (write the request, read the
// header, read the data) against the same simulator. Both run as child processes and are
// charged their user and system time from wait4(), start-up included. Another program on
// the machine can only add to a run's time, never take from it, so each side counts with the
// least of its runs; the two take turns, and their ratio is the median of the ratios of runs
// made next to each other.
// When strace is installed, the system calls per sample of both are counted too: the
// difference between a long and a short run, so start-up drops out.
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "bench_pairs.hpp"
#include "bench_process.hpp"
#include "bench_util.hpp"
#include "protocol/frame.hpp"
#include "protocol/records.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using namespace qelto::bench;

constexpr int kSamples = 30000;

#if defined(QELTO_SIM_PATH) && defined(QELTO_CLI_PATH)

// The simulator as a program of its own; it serves one client at a time, so the
// measurements take turns.
class Simulator {
  public:
    Simulator() {
        unsigned port = 0;
        const std::string& said = process_.greeting();
        if (const auto at = said.find("listening tcp ");
            at != std::string::npos &&
            std::sscanf(said.c_str() + at, "listening tcp %*s %u", &port) == 1) {
            port_ = static_cast<int>(port);
        }
    }
    int port() const { return port_; }

  private:
    qelto::bench::SimulatorProcess process_{{QELTO_SIM_PATH, "--tcp", "0"}};
    int port_ = 0;
};

bool ReadFully(int fd, std::uint8_t* p, std::size_t n, long& calls) {
    while (n > 0) {
        const ssize_t got = ::read(fd, p, n);
        ++calls;
        if (got <= 0) return false;
        p += got;
        n -= static_cast<std::size_t>(got);
    }
    return true;
}

// The blocking loop, in a child process of its own; returns its exit status (0: all samples
// were read). Stores the number of reads and writes it made in `calls`.
int BlockingLoop(int port, int count, long& calls) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return 1;
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) return 1;
    std::uint8_t request[qelto::kHeaderSize];
    qelto::BuildFrame(qelto::kCmdLiveData, 0, {}, request);
    std::uint8_t reply[qelto::kFrameBufferSize];
    for (int i = 0; i < count; ++i) {
        ++calls;
        if (::write(fd, request, sizeof request) != static_cast<ssize_t>(sizeof request)) return 1;
        if (!ReadFully(fd, reply, qelto::kHeaderSize, calls)) return 1;
        const std::size_t length = qelto::GetU16(reply + 4);
        if (reply[0] != qelto::kStartByte || length > qelto::kMaxDataLength) return 1;
        if (!ReadFully(fd, reply + qelto::kHeaderSize, length, calls)) return 1;
    }
    ::close(fd);
    return 0;
}

std::optional<double> LoopCpu(int port, int count) {
    std::fflush(stdout);
    const pid_t pid = ::fork();
    if (pid < 0) return std::nullopt;
    if (pid == 0) {
        long calls = 0;
        ::_exit(BlockingLoop(port, count, calls));
    }
    return ReapCpu(pid);
}

// The whole command, as a script would run it; nothing when it failed or printed amiss.
std::optional<double> CliCpu(const std::string& cliPath, int port, int count) {
    char path[] = "/tmp/bench_live_cpu_XXXXXX";
    const int out = ::mkstemp(path);
    if (out < 0) return std::nullopt;
    const pid_t pid = Spawn({cliPath, "--tcp", "127.0.0.1:" + std::to_string(port), "live", "-n",
                             std::to_string(count)},
                            out);
    ::close(out);
    const auto cpu = pid > 0 ? ReapCpu(pid) : std::nullopt;
    std::ifstream in(path);
    long lines = 0;
    std::string line, last;
    while (std::getline(in, line)) {
        ++lines;
        last = line;
    }
    ::unlink(path);
    // The header line and `count` samples of nine fields (the clock time last).
    if (!cpu || lines != count + 1 || std::count(last.begin(), last.end(), ',') != 8) {
        std::fprintf(stderr, "bench_live_cpu: qelto-cli failed (%ld lines)\n", lines);
        return std::nullopt;
    }
    return cpu;
}

// Calls made by `qelto-cli live -n count` as strace counts them (its summary's total).
std::optional<long> StracedCliCalls(const std::string& cliPath, int port, int count) {
    char path[] = "/tmp/bench_live_strace_XXXXXX";
    const int fd = ::mkstemp(path);
    if (fd < 0) return std::nullopt;
    ::close(fd);
    const int devnull = ::open("/dev/null", O_WRONLY);
    const pid_t pid =
        Spawn({"strace", "-f", "-c", "-o", path, cliPath, "--tcp",
               "127.0.0.1:" + std::to_string(port), "live", "-n", std::to_string(count)},
              devnull);
    ::close(devnull);
    const bool ran = pid > 0 && ReapCpu(pid).has_value();
    std::ifstream in(path);
    std::string line;
    std::optional<long> total;
    while (std::getline(in, line)) {
        // "100.00    0.533503           2    234976        24 total"
        long calls = 0;
        if (line.find(" total") != std::string::npos &&
            std::sscanf(line.c_str(), "%*f %*f %*d %ld", &calls) == 1) {
            total = calls;
        }
    }
    ::unlink(path);
    return ran ? total : std::nullopt;
}

#endif

}  // namespace

// An argument names another qelto-cli to measure (an older build, say) instead of this one's.
int main(int argc, char** argv) {
#if defined(QELTO_SIM_PATH) && defined(QELTO_CLI_PATH)
    const std::string cliPath = argc > 1 ? argv[1] : QELTO_CLI_PATH;
    Simulator sim;
    if (sim.port() == 0) {
        std::fprintf(stderr, "bench_live_cpu: the simulator did not start\n");
        return 1;
    }
    CliCpu(cliPath, sim.port(), 1000);  // warm-up: caches, the simulator's first client

    const auto cpu = Interleave(
        "cli_live_cpu_per_sample_vs_blocking_loop",
        [&] { return CliCpu(cliPath, sim.port(), kSamples); },
        [&] { return LoopCpu(sim.port(), kSamples); });
    if (!cpu) return 1;
    const double perSample = 1e6 / kSamples;
    qelto::bench::Report("cli_live_cpu_per_sample", Least(cpu->a) * perSample, "us", ">", 0);
    qelto::bench::Report("blocking_loop_cpu_per_sample", Least(cpu->b) * perSample, "us", ">", 0);
    qelto::bench::Report("cli_live_cpu_per_sample_vs_blocking_loop", cpu->Ratio(), "ratio",
                         "<=", 1.5);

    // System calls: the loop counts its own; the tool's come from strace when there is one.
    long loopCalls = 0;
    if (BlockingLoop(sim.port(), 1000, loopCalls) == 0) {
        qelto::bench::Report("blocking_loop_syscalls_per_sample", loopCalls / 1000.0, "calls", ">",
                             0);
    }
    const auto shortRun = StracedCliCalls(cliPath, sim.port(), 1000);
    const auto longRun = shortRun ? StracedCliCalls(cliPath, sim.port(), 6000) : std::nullopt;
    if (shortRun && longRun) {
        qelto::bench::Report("cli_live_syscalls_per_sample",
                             static_cast<double>(*longRun - *shortRun) / 5000.0, "calls", "<=", 4);
    } else {
        std::printf("bench_live_cpu: system calls per sample not counted (needs strace)\n");
    }
    return 0;
#else
    (void)argc;
    (void)argv;
    std::fprintf(stderr, "bench_live_cpu: needs qelto-sim and qelto-cli\n");
    return 1;
#endif
}
