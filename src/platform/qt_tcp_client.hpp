// TCP conversations on QTcpSocket. Data arrival and the server's close reach the callback from
// the event loop, as the link expects.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTcpSocket>
#include <map>

#include "link/ports.hpp"

namespace qelto {

class QtTcpClient : public QObject, public TcpClient {
    Q_OBJECT
  public:
    ~QtTcpClient() override;
    int ConnectToTCPServerEx(std::uint32_t& handle, int port, const std::string& host,
                             Callback callback, int timeoutMs) override;
    int DisconnectFromTCPServer(std::uint32_t handle) override;
    int ClientTCPWrite(std::uint32_t handle, const std::uint8_t* data, int count,
                       int timeoutMs) override;
    int ClientTCPRead(std::uint32_t handle, std::uint8_t* data, int maxCount,
                      int timeoutMs) override;
    std::string LastConnectError() const override { return lastConnectError_; }

  private:
    QTcpSocket* socket(std::uint32_t handle) const;
    // The server has closed the conversation: forget it and tell the link, once.
    void Closed(std::uint32_t handle, const Callback& callback);
    std::map<std::uint32_t, QPointer<QTcpSocket>> sockets_;
    std::map<std::uint32_t, Callback> callbacks_;
    std::uint32_t nextHandle_ = 1;
    std::string lastConnectError_;
};

}  // namespace qelto
