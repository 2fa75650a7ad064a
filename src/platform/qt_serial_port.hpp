// Serial ports on QSerialPort, addressed by COM number through the fixed device mapping.
#pragma once

#include <QObject>
#include <QPointer>
#include <QSerialPort>
#include <map>

#include "link/ports.hpp"

namespace qelto {

// The line-error bits GetComStat reports; any of them makes the status positive.
inline constexpr int kLineErrorBit = 0x01;    // the port reported an error (Qt)
inline constexpr int kParityErrorBit = 0x02;  // as the driver counted them (Linux)
inline constexpr int kFramingErrorBit = 0x04;
inline constexpr int kOverrunErrorBit = 0x08;  // the UART's receive register
inline constexpr int kBreakBit = 0x10;
inline constexpr int kBufferOverrunBit = 0x20;  // the driver's receive buffer

// A serial driver's error counters (Linux TIOCGICOUNT), where the driver keeps them.
struct LineErrorCounts {
    int parity = 0;
    int frame = 0;
    int overrun = 0;
    int brk = 0;
    int bufOverrun = 0;
};
// The bits of the counters that moved between two readings; 0 when none did.
int LineErrorBits(const LineErrorCounts& before, const LineErrorCounts& now);

// Asks the system whether this user may read and write the device at `path`, and which group
// owns it.
SerialDeviceAccess ProbeSerialDeviceAccess(const std::string& path);

class QtSerialPort : public QObject, public SerialPort {
    Q_OBJECT
  public:
    ~QtSerialPort() override;
    int OpenComConfig(int port, int baud) override;
    void CloseCom(int port) override;
    void SetComTime(int port, double seconds) override;
    void SetCTSMode(int port, int mode) override;
    void FlushInQ(int port) override;
    void FlushOutQ(int port) override;
    int ComWrt(int port, const std::uint8_t* data, int count) override;
    int ComRd(int port, std::uint8_t* data, int count) override;
    int GetInQLen(int port) override;
    int GetComStat(int port) override;
    void SetDataArrivedHandler(std::function<void()> handler) override;
    SerialDeviceAccess OpenFailureAccess(int port) override;
    std::string ComLostReason(int port) override;

  private:
    struct Port {
        QPointer<QSerialPort> serial;
        double timeLimit = 2.0;
        int errorBits = 0;
        // Qt 6 reports no parity, framing, overrun or break errors; the driver's counters do,
        // where it keeps them.
        bool counted = false;
        LineErrorCounts counts;
        // Why the device went away; the port has been closed for it.
        std::string lost;
    };
    void OnError(int port, QSerialPort::SerialPortError error);
    Port* find(int port);
    std::map<int, Port> ports_;
    std::map<int, SerialDeviceAccess> openFailures_;
    std::function<void()> dataArrived_;
};

}  // namespace qelto
