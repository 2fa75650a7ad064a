// Device ports with nothing behind them, for runs that never touch a sensor (file tools,
// benchmarks of the files, fuzzing): every open fails as a missing device would.
#pragma once

#include "link/ports.hpp"

namespace qelto {

class NoSerialPort : public SerialPort {
  public:
    int OpenComConfig(int, int) override { return kRs232CannotOpenPort; }
    void CloseCom(int) override {}
    void SetComTime(int, double) override {}
    void SetCTSMode(int, int) override {}
    void FlushInQ(int) override {}
    void FlushOutQ(int) override {}
    int ComWrt(int, const std::uint8_t*, int) override { return kRs232PortNotOpen; }
    int ComRd(int, std::uint8_t*, int) override { return kRs232PortNotOpen; }
    int GetInQLen(int) override { return 0; }
    int GetComStat(int) override { return 0; }
    void SetDataArrivedHandler(std::function<void()>) override {}
};

class NoTcpClient : public TcpClient {
  public:
    int ConnectToTCPServerEx(std::uint32_t&, int, const std::string&, Callback, int) override {
        return kTcpFailedToConnect;
    }
    int DisconnectFromTCPServer(std::uint32_t) override { return 0; }
    int ClientTCPWrite(std::uint32_t, const std::uint8_t*, int, int) override {
        return kTcpNoConnectionEstablished;
    }
    int ClientTCPRead(std::uint32_t, std::uint8_t*, int, int) override {
        return kTcpNoConnectionEstablished;
    }
};

class NoPortEnumerator : public PortEnumerator {
  public:
    std::vector<SerialPortInfo> LocateCom() override { return {}; }
};

}  // namespace qelto
