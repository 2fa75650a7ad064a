// The window against qelto-sim over loopback TCP, offscreen: its acquisition rate next to the
// core's loop with the in-memory interface (side by side, taking turns on the same simulator),
// how often it repaints while samples pour in, and what 100,000 samples do to its memory.
#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <vector>

#include "app/connection.hpp"
#include "app/control_table.hpp"
#include "app/graphs.hpp"
#include "app/live.hpp"
#include "bench_pairs.hpp"
#include "bench_util.hpp"
#include "demo_sim.hpp"
#include "gui_app.hpp"
#include "gui_driver.hpp"
#include "qt_rig.hpp"

#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using namespace qelto;

constexpr int kRunMs = 1500;
constexpr long kWarmUpSamples = 5000;
constexpr long kRssSamples = 100000;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

double ResidentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / 1048576.0;
}

StartupOptions Startup(const QTemporaryDir& dir, int port) {
    StartupOptions o;
    o.programDirectory = dir.path().toStdString();
    o.userConfigDirectory = dir.path().toStdString();
    o.connectionOverride = LinkDescription::Tcp("127.0.0.1", port);
    return o;
}

// Samples per second of the core's own loop with the in-memory interface.
double CoreRate(int port) {
    QtRig rig;
    rig.ui.SetCtrlVal(Ctrl::ProtocolSelector, kTcpIp);
    rig.ui.SetCtrlText(Ctrl::ServerField, "127.0.0.1");
    rig.ui.SetCtrlText(Ctrl::PortField, std::to_string(port));
    rig.ui.answers.push_back(PopupAnswer::No());
    rig.ctx.connection.TryToConnect();
    if (!rig.ctx.supervisor.usable()) return 0;
    auto& strip = rig.ui.graph(Ctrl::RgbStripChart);
    const std::size_t before = strip.stripValuesAppended;
    QTimer::singleShot(kRunMs, [&] { rig.ctx.state.acquisition = Acquisition::Stopped; });
    rig.ctx.graphs.InitGraphs();
    const auto start = Clock::now();
    rig.ctx.live.GetData();
    const double seconds = Seconds(start);
    rig.sensor.CloseTcp();
    return static_cast<double>(strip.stripValuesAppended - before) / kRgbHistorySize / seconds;
}

struct GuiRun {
    double samplesPerSecond = 0;
    double replotsPerSecond = 0;
};

// The window's acquisition: GO, a fixed time, STOP.
GuiRun WindowRate(int port) {
    QTemporaryDir dir;
    gui::testing::PopupAnswerer popups;
    popups.ThenClick("No");
    gui::GuiApp app;
    app.Start(Startup(dir, port));
    GuiRun run;
    if (!app.ctx().supervisor.usable()) return run;
    auto* strip = qobject_cast<gui::StripChart*>(app.ui().widget(Ctrl::RgbStripChart));
    gui::testing::Spin(200);  // start-up paints settle
    const long samples = strip->appends();
    const long frames = strip->frames();
    QTimer::singleShot(kRunMs, [&] { app.ctx().state.acquisition = Acquisition::Stopped; });
    const auto start = Clock::now();
    DispatchControlEvent(app.ctx(), Ctrl::GoButton, Event::Commit);
    const double seconds = Seconds(start);
    run.samplesPerSecond = static_cast<double>(strip->appends() - samples) / seconds;
    run.replotsPerSecond = static_cast<double>(strip->frames() - frames) / seconds;
    return run;
}

// Resident memory over 100,000 samples in the window, after a warm-up.
double RssGrowth(int port) {
    QTemporaryDir dir;
    gui::testing::PopupAnswerer popups;
    popups.ThenClick("No");
    gui::GuiApp app;
    app.Start(Startup(dir, port));
    if (!app.ctx().supervisor.usable()) return -1;
    auto* strip = qobject_cast<gui::StripChart*>(app.ui().widget(Ctrl::RgbStripChart));
    const long first = strip->appends();
    double before = -1, after = -1;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const long n = strip->appends() - first;
        if (before < 0 && n >= kWarmUpSamples) before = ResidentMegabytes();
        if (before >= 0 && n >= kWarmUpSamples + kRssSamples) {
            after = ResidentMegabytes();
            app.ctx().state.acquisition = Acquisition::Stopped;
        }
    });
    poll.start();
    DispatchControlEvent(app.ctx(), Ctrl::GoButton, Event::Commit);
    return after - before;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    gui::DemoSimulator sim;
    if (!sim.Start(gui::DemoSimulator::Find(QApplication::applicationDirPath()),
                   {QStringLiteral("--cycle"), QStringLiteral("0.2")})) {
        std::fprintf(stderr, "bench_gui: %s\n", qPrintable(sim.error()));
        return 1;
    }
    std::vector<double> replots;
    const auto rates = bench::Interleave(
        "gui_acquisition_vs_core",
        [&] {
            const GuiRun run = WindowRate(sim.port());
            replots.push_back(run.replotsPerSecond);
            return run.samplesPerSecond;
        },
        [&] { return CoreRate(sim.port()); });
    if (!rates) return 1;
    std::printf("bench_gui: core %.0f samples/s, window %.0f samples/s\n", bench::Median(rates->b),
                bench::Median(rates->a));
    bench::Report("gui_acquisition_vs_core", rates->Ratio(), "ratio", ">=", 0.7);
    bench::Report("gui_replots_per_s", bench::Median(replots), "replots/s", "<=", 65);
    bench::Report("gui_rss_growth_100k_samples", RssGrowth(sim.port()), "MB", "<", 2);
    return 0;
}
