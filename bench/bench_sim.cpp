// Command-8 round trips against the qelto-sim program: over loopback TCP unpaced, and over a
// pseudo-terminal paced at 115200 baud next to that line's limit (the median of a few runs).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>

#include "bench_pairs.hpp"
#include "bench_util.hpp"
#include "doubles/memory_ui.hpp"
#include "link/transport.hpp"
#include "platform/qt_event_pump.hpp"
#include "platform/qt_port_enumerator.hpp"
#include "platform/qt_serial_port.hpp"
#include "platform/qt_tcp_client.hpp"
#include "sensor/sensor_session.hpp"

namespace {

using namespace qelto;

struct Host {
    QtEventPump pump;
    MemoryUi ui{&pump};
    QtSerialPort serial;
    QtTcpClient tcp;
    SensorSession sensor{ui, serial, tcp};
};

// Round trips per second over `seconds`; 0 when an exchange fails.
double RoundTrips(Host& host, double seconds) {
    QElapsedTimer t;
    t.start();
    long n = 0;
    while (t.nsecsElapsed() < static_cast<qint64>(seconds * 1e9)) {
        if (!host.sensor.ReadLiveSample()) return 0;
        ++n;
    }
    return n / (t.nsecsElapsed() * 1e-9);
}

std::string ReadLine(QProcess& p) {
    QElapsedTimer t;
    t.start();
    while (!p.canReadLine() && t.elapsed() < 5000)
        p.waitForReadyRead(50);
    return p.readLine().trimmed().toStdString();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    constexpr int kBaud = 115200;
    QProcess sim;
    sim.start(QStringLiteral(QELTO_SIM_PATH),
              {"--tcp", "127.0.0.1:0", "--pty", "--baud", QString::number(kBaud)});
    if (!sim.waitForStarted(5000)) {
        std::fprintf(stderr, "bench_sim: cannot start %s\n", QELTO_SIM_PATH);
        return 1;
    }
    std::string host;
    int port = 0;
    int com = 0;
    for (std::string line; (line = ReadLine(sim)) != "ready";) {
        if (line.empty()) {
            std::fprintf(stderr, "bench_sim: qelto-sim did not start\n");
            return 1;
        }
        std::istringstream in(line);
        std::string word, kind;
        in >> word >> kind;
        if (kind == "tcp") in >> host >> port;
        if (kind == "pty") in >> word >> com;
    }

    auto tcp = std::make_unique<Host>();
    ConnectionSettings overTcp;
    overTcp.Protocol = kTcpIp;
    CopyText(overTcp.IpAddress, host);
    CopyText(overTcp.PortNumber, std::to_string(port));
    const double tcpRate =
        tcp->sensor.Open(overTcp) && RoundTrips(*tcp, 0.1) > 0 ? RoundTrips(*tcp, 2.0) : 0;
    tcp->sensor.CloseTcp();
    tcp.reset();

    auto pty = std::make_unique<Host>();
    ConnectionSettings overPty;
    overPty.Protocol = kRs232;
    overPty.ComPort = static_cast<std::uint16_t>(com);
    overPty.BaudRateIndex = static_cast<std::uint16_t>(*BaudRateIndexFor(kBaud));
    // Runs of their own, compared with the line's limit by their median: a neighbour that
    // holds up one run cannot pull the figure below the limit.
    const auto ptyRates =
        pty->sensor.Open(overPty) && RoundTrips(*pty, 0.1) > 0
            ? bench::Repeat("sim_pty_115200_vs_line_limit", [&] { return RoundTrips(*pty, 0.6); })
            : std::nullopt;
    const double ptyRate = ptyRates ? bench::Median(*ptyRates) : 0;
    pty->sensor.CloseSerialPort(com);
    pty.reset();

    sim.terminate();
    sim.waitForFinished(3000);

    // Request and reply: 8 + 50 bytes of 10 bits each.
    const double lineLimit = kBaud / 10.0 / (kHeaderSize + kHeaderSize + kLiveDataSize);
    bench::Report("sim_tcp_cmd8_round_trips", tcpRate, "per_s", ">=", 2000);
    bench::Report("sim_pty_115200_cmd8_round_trips", ptyRate, "per_s", ">=", 0.9 * lineLimit);
    bench::Report("sim_pty_115200_vs_line_limit", ptyRate / lineLimit, "ratio", ">=", 0.9);
    return 0;
}
