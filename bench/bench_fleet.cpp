// `qelto-cli fleet rollout` to eight simulated sensors whose replies are paced at 115200 baud,
// as a serial line would deliver them: eight at once (-j 8) against one after the other
// (-j 1), in wall time of the whole command. The sensors wait on their links, not on the
// processor, so eight threads should take little more than the slowest sensor.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bench_pairs.hpp"
#include "bench_process.hpp"
#include "bench_util.hpp"

namespace {

#if defined(QELTO_SIM_PATH) && defined(QELTO_CLI_PATH)

constexpr int kSensors = 8;

// The whole command's wall time, or nothing when it failed.
std::optional<double> Rollout(const std::string& inventory, const std::string& golden,
                              const char* jobs) {
    const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = qelto::bench::Spawn(
        {QELTO_CLI_PATH, "fleet", "rollout", inventory, golden, "-j", jobs}, nowhere);
    ::close(nowhere);
    // ReapCpu: nothing unless every sensor took it (exit 0).
    if (pid < 0 || !qelto::bench::ReapCpu(pid)) return std::nullopt;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

#endif

}  // namespace

int main() {
#if defined(QELTO_SIM_PATH) && defined(QELTO_CLI_PATH)
    char folder[] = "/tmp/qelto-bench-fleet-XXXXXX";
    if (::mkdtemp(folder) == nullptr) return 1;
    const std::string inventory = std::string(folder) + "/line.txt";
    const std::string golden = std::string(folder) + "/golden.ini";
    std::vector<std::unique_ptr<qelto::bench::SimulatorProcess>> sims;
    {
        std::ofstream line(inventory);
        for (int i = 0; i < kSensors; ++i) {
            sims.push_back(std::make_unique<qelto::bench::SimulatorProcess>(
                std::vector<std::string>{QELTO_SIM_PATH, "--tcp", "0", "--tcp-baud", "115200",
                                         "--no-noise", "--serial", std::to_string(100 + i)}));
            if (sims.back()->tcpPort() == 0) {
                std::fprintf(stderr, "bench_fleet: the simulator did not start\n");
                return 1;
            }
            line << "tcp 127.0.0.1:" << sims.back()->tcpPort() << " bay-" << i << "\n";
        }
        std::ofstream(golden) << "[PARAMETER]\nGAIN = 7\n";
    }
    // The first connections to each simulator, and the program's first start.
    Rollout(inventory, golden, "8");

    const auto pair = qelto::bench::Interleave(
        "fleet_j8_vs_j1", [&] { return Rollout(inventory, golden, "8"); },
        [&] { return Rollout(inventory, golden, "1"); });
    std::remove(inventory.c_str());
    std::remove(golden.c_str());
    ::rmdir(folder);
    if (!pair) return 1;
    qelto::bench::Report("fleet_rollout_8_sensors_j1", qelto::bench::Median(pair->b), "s", ">", 0);
    qelto::bench::Report("fleet_rollout_8_sensors_j8", qelto::bench::Median(pair->a), "s", ">", 0);
    qelto::bench::Report("fleet_j8_vs_j1", pair->Ratio(), "ratio", "<=", 0.3);
    return 0;
#else
    std::fprintf(stderr, "bench_fleet: needs qelto-sim and qelto-cli\n");
    return 1;
#endif
}
