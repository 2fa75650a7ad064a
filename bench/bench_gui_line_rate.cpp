// The window's processor time at the serial line's own pace, next to `qelto-cli live` at the
// same pace: both against one `qelto-sim --pty --baud 115200`, taking turns, in one run. The
// window runs in this process (offscreen, painting as on a screen) and is charged the
// process's user and system time while GO runs; qelto-cli runs as a child and is charged
// the difference between a long and a short run, so that its start-up drops out. The line
// paces both to the same samples per second, so time per sample compares time per second.
// The ratio is the median of the ratios of runs made next to each other.
//
// The window is compared twice: as it starts, and with the parameter editor open beside the
// live view.
//
// `bench_gui_line_rate --window SECONDS [--editor]` runs only the window's part, once (for a
// profiler).
#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/control_table.hpp"
#include "bench_pairs.hpp"
#include "bench_process.hpp"
#include "bench_util.hpp"
#include "gui_app.hpp"
#include "gui_driver.hpp"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace qelto;
using Clock = std::chrono::steady_clock;

constexpr int kBaud = 115200;
constexpr int kWindowSeconds = 3;
constexpr int kCliShort = 150;
constexpr int kCliLong = 750;  // about three seconds more at the line's pace

#if defined(QELTO_SIM_PATH) && defined(QELTO_CLI_PATH)

double OwnCpu() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return bench::CpuSeconds(usage);
}

// The simulated sensor on a paced pseudo-terminal, five colours taught and moving between
// patches, so that the graphs rescale and the cursors travel as in the demo.
class PtySimulator {
  public:
    PtySimulator() {
        char path[256] = {};
        unsigned com = 0;
        const std::string& said = process_.greeting();
        if (const auto at = said.find("listening pty ");
            at != std::string::npos &&
            std::sscanf(said.c_str() + at, "listening pty %255s %u", path, &com) == 2) {
            path_ = path;
            com_ = static_cast<int>(com);
        }
    }
    const std::string& path() const { return path_; }
    int com() const { return com_; }

  private:
    bench::SimulatorProcess process_{{QELTO_SIM_PATH, "--pty", "--baud", std::to_string(kBaud),
                                      "--taught", "5", "--cycle", "1"}};
    std::string path_;
    int com_ = 0;
};

struct Cost {
    double cpu = 0;  // seconds
    long samples = 0;
    double wall = 0;  // seconds
    double PerSample() const { return samples > 0 ? cpu / static_cast<double>(samples) : 0; }
};

// The window: start-up with the serial link, GO for a while, STOP; the time while GO ran.
// `editor`: the parameter editor open beside the live view while GO runs.
std::optional<Cost> WindowCost(int com, int seconds, bool editor) {
    QTemporaryDir dir;
    StartupOptions o;
    o.programDirectory = dir.path().toStdString();
    o.userConfigDirectory = dir.path().toStdString();
    o.connectionOverride = LinkDescription::Serial(com, kBaud);
    gui::testing::PopupAnswerer popups;
    popups.ThenClick("No");
    gui::GuiApp app;
    app.Start(o);
    if (!app.ctx().supervisor.usable()) return std::nullopt;
    auto* strip = qobject_cast<gui::StripChart*>(app.ui().widget(Ctrl::RgbStripChart));
    if (editor) {
        app.ui().SetActiveTabPage(kParameterPage);
        DispatchControlEvent(app.ctx(), Ctrl::EditModeButton, Event::Commit);
    }
    gui::testing::Spin(300);  // start-up paints settle
    const long first = strip->appends();
    QTimer::singleShot(seconds * 1000, [&] { app.ctx().state.acquisition = Acquisition::Stopped; });
    const double cpu0 = OwnCpu();
    const auto start = Clock::now();
    DispatchControlEvent(app.ctx(), Ctrl::GoButton, Event::Commit);
    Cost c;
    c.cpu = OwnCpu() - cpu0;
    c.wall = std::chrono::duration<double>(Clock::now() - start).count();
    c.samples = strip->appends() - first;
    return c;
}

// qelto-cli live -n count on the pseudo-terminal: its user + system seconds and wall time.
std::optional<Cost> CliRun(const std::string& path, int count) {
    const auto start = Clock::now();
    const int out = ::open("/dev/null", O_WRONLY);
    const pid_t pid = bench::Spawn({QELTO_CLI_PATH, "--serial", path, "--baud",
                                    std::to_string(kBaud), "live", "-n", std::to_string(count)},
                                   out);
    ::close(out);
    if (pid <= 0) return std::nullopt;
    const auto cpu = bench::ReapCpu(pid);
    if (!cpu) return std::nullopt;
    Cost c;
    c.cpu = *cpu;
    c.wall = std::chrono::duration<double>(Clock::now() - start).count();
    c.samples = count;
    return c;
}

std::optional<Cost> CliCost(const std::string& path) {
    const auto a = CliRun(path, kCliShort);
    const auto b = CliRun(path, kCliLong);
    if (!a || !b) return std::nullopt;
    return Cost{b->cpu - a->cpu, kCliLong - kCliShort, b->wall - a->wall};
}

#endif

}  // namespace

int main(int argc, char** argv) {
#if defined(QELTO_SIM_PATH) && defined(QELTO_CLI_PATH)
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    PtySimulator sim;
    if (sim.com() == 0) {
        std::fprintf(stderr, "bench_gui_line_rate: the simulator did not start\n");
        return 1;
    }
    if (argc > 2 && std::string(argv[1]) == "--window") {
        const bool editor = argc > 3 && std::string(argv[3]) == "--editor";
        const auto w = WindowCost(sim.com(), std::atoi(argv[2]), editor);
        if (!w) return 1;
        std::printf("bench_gui_line_rate: window %ld samples in %.1f s, %.3f s processor time\n",
                    w->samples, w->wall, w->cpu);
        return 0;
    }
    double rate = 0;
    const auto window = [&](bool editor) {
        return [&, editor]() -> std::optional<double> {
            const auto w = WindowCost(sim.com(), kWindowSeconds, editor);
            if (!w || w->samples <= 0) return std::nullopt;
            rate = static_cast<double>(w->samples) / w->wall;
            return w->PerSample();
        };
    };
    const auto cli = [&]() -> std::optional<double> {
        const auto c = CliCost(sim.path());
        if (!c) return std::nullopt;
        return c->PerSample();
    };
    const auto cpu = bench::Interleave("gui_line_rate_cpu_vs_cli", window(false), cli);
    if (!cpu) return 1;
    std::printf(
        "bench_gui_line_rate: %.0f samples/s at %d baud; window %.1f %% of a core, "
        "qelto-cli live %.1f %%\n",
        rate, kBaud, bench::Median(cpu->a) * rate * 100, bench::Median(cpu->b) * rate * 100);
    bench::Report("gui_line_rate_cpu_vs_cli", cpu->Ratio(), "ratio", "<=", 1.3);
    const auto editor = bench::Interleave("gui_line_rate_editor_cpu_vs_cli", window(true), cli);
    if (!editor) return 1;
    bench::Report("gui_line_rate_editor_cpu_vs_cli", editor->Ratio(), "ratio", "<=", 1.5);
    return 0;
#else
    (void)argc;
    (void)argv;
    std::fprintf(stderr, "bench_gui_line_rate: needs qelto-sim and qelto-cli\n");
    return 1;
#endif
}
