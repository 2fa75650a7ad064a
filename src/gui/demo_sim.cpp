#include "demo_sim.hpp"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#include <csignal>
#endif

namespace qelto::gui {
namespace {

constexpr int kStartTimeoutMs = 5000;

}  // namespace

QStringList kDemoSimulatorArguments() {
    // Five colours already taught, so that Get shows their circles at once; the surfaces vary
    // a little, as real ones do, so that the evidence of each colour is a cloud, not a point.
    return {QStringLiteral("--cycle"), QStringLiteral("2"),        QStringLiteral("--taught"),
            QStringLiteral("5"),       QStringLiteral("--spread"), QStringLiteral("2")};
}

DemoSimulator::~DemoSimulator() {
    Stop();
}

QString DemoSimulator::Find(const QString& programDirectory) {
#ifdef Q_OS_WIN
    const QString program = QStringLiteral("qelto-sim.exe");
#else
    const QString program = QStringLiteral("qelto-sim");
#endif
    const QString beside = QDir(programDirectory).filePath(program);
    if (QFileInfo(beside).isExecutable()) return beside;
#ifdef QELTO_SIM_BUILD_PATH
    const QString built = QStringLiteral(QELTO_SIM_BUILD_PATH);
    if (QFileInfo(built).isExecutable()) return built;
#endif
    return QStandardPaths::findExecutable(QStringLiteral("qelto-sim"));
}

bool DemoSimulator::Start(const QString& program, const QStringList& extraArguments) {
    if (program.isEmpty()) {
        error_ = QStringLiteral(
            "qelto-sim, the simulated sensor, was not found beside qelto, in the build tree or "
            "on PATH");
        return false;
    }
#ifdef Q_OS_LINUX
    // Should the window die without its shutdown, the simulator goes with it.
    process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
#endif
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(program,
                   QStringList{QStringLiteral("--tcp"), QStringLiteral("0")} + extraArguments);
    if (!process_.waitForStarted(kStartTimeoutMs)) {
        error_ = QStringLiteral("the simulated sensor %1 could not be started: %2")
                     .arg(program, process_.errorString());
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    while (port_ == 0 && clock.elapsed() < kStartTimeoutMs) {
        if (!process_.canReadLine() &&
            !process_.waitForReadyRead(static_cast<int>(kStartTimeoutMs - clock.elapsed()))) {
            break;
        }
        while (process_.canReadLine()) {
            // "listening tcp HOST PORT"
            const QStringList words =
                QString::fromUtf8(process_.readLine()).simplified().split(QLatin1Char(' '));
            if (words.size() == 4 && words[0] == QLatin1String("listening") &&
                words[1] == QLatin1String("tcp")) {
                host_ = words[2];
                port_ = words[3].toInt();
            }
        }
    }
    if (port_ <= 0) {
        error_ =
            process_.state() == QProcess::Running
                ? QStringLiteral("the simulated sensor %1 did not report its TCP port").arg(program)
                : QStringLiteral("the simulated sensor %1 ended at start (exit code %2)")
                      .arg(program)
                      .arg(process_.exitCode());
        Stop();
        return false;
    }
    return true;
}

void DemoSimulator::Control(const QString& line) {
    process_.write((line + QLatin1Char('\n')).toUtf8());
    process_.waitForBytesWritten(1000);
}

void DemoSimulator::Stop() {
    if (process_.state() == QProcess::NotRunning) return;
#ifdef Q_OS_WIN
    // terminate() asks a program's windows to close, and the simulator has none: it takes the
    // control line instead.
    Control(QStringLiteral("quit"));
#else
    process_.terminate();
#endif
    if (!process_.waitForFinished(2000)) {
        process_.kill();
        process_.waitForFinished(2000);
    }
}

}  // namespace qelto::gui
