// `qelto-cli live -n 15000 --format csv` against qelto-sim over loopback TCP, in samples per
// second of the whole run (start-up and connection included), next to the core's acquisition
// loop (GetData through the in-memory operator interface) against the same simulator.
#include <QCoreApplication>
#include <QProcess>
#include <QString>
#include <chrono>
#include <cstdio>
#include <string>

#include "app/connection.hpp"
#include "app/graphs.hpp"
#include "app/live.hpp"
#include "bench_pairs.hpp"
#include "bench_util.hpp"
#include "qt_rig.hpp"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSamples = 15000;

#if defined(QELTO_SIM_PATH) && defined(QELTO_CLI_PATH)

// The simulator as a program of its own; it serves one client at a time, so the two
// measurements take turns.
class Simulator {
  public:
    Simulator() {
        process_.start(QStringLiteral(QELTO_SIM_PATH), {"--tcp", "0", "--cycle", "0.2"});
        if (!process_.waitForStarted(5000)) return;
        while (port_ == 0 && process_.waitForReadyRead(5000)) {
            while (process_.canReadLine()) {
                const QStringList words = QString::fromUtf8(process_.readLine()).split(' ');
                if (words.size() >= 4 && words[0] == "listening" && words[1] == "tcp") {
                    port_ = words[3].toInt();
                }
            }
        }
    }
    ~Simulator() {
        process_.terminate();
        if (!process_.waitForFinished(3000)) process_.kill();
    }
    int port() const { return port_; }

  private:
    QProcess process_;
    int port_ = 0;
};

// The core's loop on a connection of its own, closed again before the tool takes its turn.
double CoreSamplesPerSecond(int port, int count) {
    qelto::QtRig rig;
    rig.ui.onUnexpectedPopup = nullptr;
    rig.ui.SetCtrlVal(qelto::Ctrl::ProtocolSelector, qelto::kTcpIp);
    rig.ui.SetCtrlText(qelto::Ctrl::ServerField, "127.0.0.1");
    rig.ui.SetCtrlText(qelto::Ctrl::PortField, std::to_string(port));
    rig.ui.answers.push_back(qelto::PopupAnswer::No());
    rig.ctx.connection.TryToConnect();
    if (!rig.ctx.supervisor.usable()) return 0;

    auto& strip = rig.ui.graph(qelto::Ctrl::RgbStripChart);
    // Each drawn sample appends the whole history to the strip chart: stop after `count`.
    const std::size_t before = strip.stripValuesAppended;
    const std::size_t target = before + static_cast<std::size_t>(count) * qelto::kRgbHistorySize;
    rig.ui.onEvents = [&] {
        if (strip.stripValuesAppended >= target)
            rig.ctx.state.acquisition = qelto::Acquisition::Stopped;
    };
    rig.ctx.graphs.InitGraphs();
    const auto start = Clock::now();
    rig.ctx.live.GetData();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    rig.ui.onEvents = nullptr;
    if (!rig.ctx.supervisor.usable()) return 0;
    const double samples =
        static_cast<double>(strip.stripValuesAppended - before) / qelto::kRgbHistorySize;
    rig.sensor.CloseTcp();
    return samples / seconds;
}

// The whole command, as a script would run it; 0 when it failed or printed anything amiss.
double CliSamplesPerSecond(int port, int count) {
    QProcess cli;
    const auto start = Clock::now();
    cli.start(QStringLiteral(QELTO_CLI_PATH), {"--tcp", QString("127.0.0.1:%1").arg(port), "live",
                                               "-n", QString::number(count), "--format", "csv"});
    if (!cli.waitForFinished(120000)) {
        cli.kill();
        cli.waitForFinished();
        return 0;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const QList<QByteArray> lines = cli.readAllStandardOutput().split('\n');
    // The header, `count` samples, and the empty piece after the last line break.
    if (cli.exitCode() != 0 || lines.size() != count + 2 || lines[count].count(',') != 8) {
        std::fprintf(stderr, "bench_cli: qelto-cli failed (exit %d):\n%s\n", cli.exitCode(),
                     cli.readAllStandardError().constData());
        return 0;
    }
    return count / seconds;
}

#endif

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
#if defined(QELTO_SIM_PATH) && defined(QELTO_CLI_PATH)
    Simulator sim;
    if (sim.port() == 0) {
        std::fprintf(stderr, "bench_cli: the simulator did not start\n");
        return 1;
    }
    CoreSamplesPerSecond(sim.port(), 1000);  // warm-up
    CliSamplesPerSecond(sim.port(), 1000);

    const auto pair = qelto::bench::Interleave(
        "cli_live_vs_core_acquisition", [&] { return CliSamplesPerSecond(sim.port(), kSamples); },
        [&] { return CoreSamplesPerSecond(sim.port(), kSamples); });
    if (!pair) return 1;
    qelto::bench::Report("core_acquisition_samples", qelto::bench::Median(pair->b), "per_s", ">",
                         0);
    qelto::bench::Report("cli_live_samples", qelto::bench::Median(pair->a), "per_s", ">", 0);
    qelto::bench::Report("cli_live_vs_core_acquisition", pair->Ratio(), "ratio", ">=", 0.8);
    return 0;
#else
    std::fprintf(stderr, "bench_cli: needs qelto-sim and qelto-cli\n");
    return 1;
#endif
}
