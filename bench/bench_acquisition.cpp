// The acquisition loop (GetData with the live displays, the history and the graph rescaling
// through the in-memory operator interface) against the simulated sensor over loopback TCP, in
// samples per second, next to the plain command-8 transaction rate measured in the same run.
#include <QCoreApplication>
#include <QProcess>
#include <QString>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "app/connection.hpp"
#include "app/graphs.hpp"
#include "app/live.hpp"
#include "bench_pairs.hpp"
#include "bench_util.hpp"
#include "qt_rig.hpp"
#include "sim_server.hpp"

namespace {

using Clock = std::chrono::steady_clock;

// The simulator as its own process when the program is built, so that the sensor's work does
// not share our thread; otherwise the in-process server.
class Simulator {
  public:
    Simulator() {
#ifdef QELTO_SIM_PATH
        process_.setProgram(QStringLiteral(QELTO_SIM_PATH));
        process_.setArguments({"--tcp", "0", "--cycle", "0.2"});
        process_.start();
        if (process_.waitForStarted(5000)) {
            // "listening tcp 127.0.0.1 <port> ..."
            while (port_ == 0 && process_.waitForReadyRead(5000)) {
                while (process_.canReadLine()) {
                    const QStringList words = QString::fromUtf8(process_.readLine()).split(' ');
                    if (words.size() >= 4 && words[0] == "listening" && words[1] == "tcp") {
                        port_ = words[3].toInt();
                    }
                }
            }
        }
        if (port_ != 0) return;
        process_.kill();
        process_.waitForFinished();
#endif
        server_ = std::make_unique<qelto::sim::SimServer>(model_);
        server_->ListenTcp();
        server_->SetSceneCycle(0.2);
        port_ = server_->tcpPort();
        inProcess_ = true;
    }
    ~Simulator() {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(3000)) process_.kill();
        }
    }
    int port() const {
        return port_;
    }
    bool inProcess() const {
        return inProcess_;
    }

  private:
    QProcess process_;
    qelto::sim::SensorModel model_;
    std::unique_ptr<qelto::sim::SimServer> server_;
    int port_ = 0;
    bool inProcess_ = false;
};

double RawTransactionsPerSecond(qelto::QtRig& rig, int count) {
    const auto start = Clock::now();
    for (int i = 0; i < count; ++i) {
        if (qelto::Exchange(rig.sensor.link(), qelto::kCmdLiveData, 0) != 1) return 0;
    }
    return count / std::chrono::duration<double>(Clock::now() - start).count();
}

double AcquiredSamplesPerSecond(qelto::QtRig& rig, int count) {
    auto& strip = rig.ui.graph(qelto::Ctrl::RgbStripChart);
    const std::size_t target = strip.stripValuesAppended + count * qelto::kRgbHistorySize;
    // Each drawn sample appends the whole history to the strip chart: stop after `count`.
    rig.ui.onEvents = [&] {
        if (strip.stripValuesAppended >= target)
            rig.ctx.state.acquisition = qelto::Acquisition::Stopped;
    };
    rig.ctx.graphs.InitGraphs();
    const std::size_t before = strip.stripValuesAppended;
    const auto start = Clock::now();
    rig.ctx.live.GetData();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    rig.ui.onEvents = nullptr;
    const double samples = double(strip.stripValuesAppended - before) / qelto::kRgbHistorySize;
    if (!rig.ctx.supervisor.usable()) return 0;
    return samples / seconds;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Simulator sim;
    if (sim.port() == 0) {
        std::fprintf(stderr, "bench_acquisition: the simulator did not start\n");
        return 1;
    }

    qelto::QtRig rig;
    rig.ui.SetCtrlVal(qelto::Ctrl::ProtocolSelector, qelto::kTcpIp);
    rig.ui.SetCtrlText(qelto::Ctrl::ServerField, "127.0.0.1");
    rig.ui.SetCtrlText(qelto::Ctrl::PortField, std::to_string(sim.port()));
    rig.ui.answers.push_back(qelto::PopupAnswer::No());
    rig.ctx.connection.TryToConnect();
    if (!rig.ctx.supervisor.usable()) {
        std::fprintf(stderr, "bench_acquisition: could not connect:\n%s\n",
                     rig.ui.ctrl(qelto::Ctrl::InfoBox).text.c_str());
        return 1;
    }

    // The two take turns on the one connection; the figures are the medians of their runs.
    constexpr int kCount = 4000;
    RawTransactionsPerSecond(rig, 500);  // warm-up
    AcquiredSamplesPerSecond(rig, 500);
    const auto pair = qelto::bench::Interleave(
        "acquisition_vs_raw", [&] { return AcquiredSamplesPerSecond(rig, kCount); },
        [&] { return RawTransactionsPerSecond(rig, kCount); });
    if (!pair) return 1;
    if (sim.inProcess()) std::fprintf(stderr, "bench_acquisition: simulator in-process\n");
    qelto::bench::Report("raw_command8_transactions", qelto::bench::Median(pair->b), "per_s", ">",
                         0);
    qelto::bench::Report("acquisition_samples", qelto::bench::Median(pair->a), "per_s", ">", 0);
    qelto::bench::Report("acquisition_vs_raw", pair->Ratio(), "ratio", ">=", 0.8);
    return 0;
}
