// Serial ports on QSerialPort, addressed by COM number through the fixed device mapping.
#pragma once

#include <QObject>
#include <QPointer>
#include <QSerialPort>
#include <map>

#include "link/ports.hpp"

namespace qelto {

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

  private:
    struct Port {
        QPointer<QSerialPort> serial;
        double timeLimit = 2.0;
        int errorBits = 0;
    };
    Port* find(int port);
    std::map<int, Port> ports_;
    std::map<int, SerialDeviceAccess> openFailures_;
    std::function<void()> dataArrived_;
};

}  // namespace qelto
