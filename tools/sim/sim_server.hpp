// Serves a SensorModel on a TCP port and/or a pseudo-terminal. Everything is event-driven on
// the calling thread's Qt event loop, so a test can run the server and the host's transaction
// code side by side in one thread.
#pragma once

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "faults.hpp"
#include "request_framer.hpp"
#include "sensor_model.hpp"

class QSocketNotifier;
class QTcpServer;
class QTcpSocket;

namespace qelto::sim {

enum class Link { Tcp, Pty };

class SimServer : public QObject {
  public:
    explicit SimServer(SensorModel& model, QObject* parent = nullptr);
    ~SimServer() override;
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    // TCP: one client at a time; the next waiting client is taken when it leaves. Port 0 picks
    // a free port (see tcpPort()).
    bool ListenTcp(const QHostAddress& address = QHostAddress::LocalHost, quint16 port = 0);
    quint16 tcpPort() const;
    bool tcpClientConnected() const;

    // A pseudo-terminal whose other end the host opens as a serial port.
    bool OpenPty();
    // Takes the pseudo-terminal away, as an unplugged adapter would: the host's end hangs up
    // and its device file goes. OpenPty makes a new one.
    void ClosePty();
    QString ptyPath() const { return ptyPath_; }
    std::optional<int> ptyComNumber() const;

    QString errorString() const { return error_; }

    // Output pacing: bytes leave at most at baud / 10 per second (8N1). 0 (the start state):
    // unpaced.
    void SetBaudRate(Link link, int baud);
    int baudRate(Link link) const;

    // Faults in the replies.
    void AddFault(const FaultRule& rule) { faults_.Add(rule); }
    void ClearFaults() { faults_.Clear(); }
    const FaultSchedule& faults() const { return faults_; }

    // The scene changes to the next standard patch every `seconds`; 0 stops it.
    void SetSceneCycle(double seconds);

    SensorModel& model() { return model_; }

    // One line per request and per reply.
    std::function<void(const std::string&)> log;

    std::uint64_t faultsApplied() const { return faultsApplied_; }
    std::uint64_t tcpClientsServed() const { return clients_; }

  private:
    struct Output;
    void OnTcpConnection();
    void TakeNextTcpClient();
    void OnTcpData();
    void OnPtyReadable();
    void OnPtyWritable();
    void Received(Link link, const std::uint8_t* data, std::size_t n);
    void Answer(Link link, const std::vector<std::uint8_t>& request);
    void Send(Link link, std::uint64_t session, std::vector<std::uint8_t> bytes);
    void Pump(Link link);
    void WriteNow(Link link, const std::uint8_t* data, std::size_t n);
    void CloseTcpClient();
    Output& out(Link link);
    RequestFramer& framer(Link link);
    QTimer& idle(Link link);
    void Log(const std::string& line) {
        if (log) log(line);
    }

    SensorModel& model_;
    FaultSchedule faults_;
    QString error_;

    QTcpServer* tcpServer_ = nullptr;
    QPointer<QTcpSocket> tcpClient_;
    RequestFramer tcpFramer_;
    QTimer tcpIdle_;

    int ptyMaster_ = -1;
    int ptySlave_ = -1;  // held open so the master never sees a hang-up between clients
    QString ptyPath_;
    QSocketNotifier* ptyReadNotifier_ = nullptr;
    QSocketNotifier* ptyWriteNotifier_ = nullptr;
    std::vector<std::uint8_t> ptyBacklog_;  // written when the terminal takes more
    RequestFramer ptyFramer_;
    QTimer ptyIdle_;

    std::unique_ptr<Output> tcpOut_;
    std::unique_ptr<Output> ptyOut_;
    QElapsedTimer clock_;
    QTimer sceneTimer_;

    std::uint64_t faultsApplied_ = 0;
    std::uint64_t clients_ = 0;
};

}  // namespace qelto::sim
