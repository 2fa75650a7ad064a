// In-process stand-ins for the device ports, driven by event passes: fast, deterministic tests
// of the core without sockets.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "link/ports.hpp"

namespace qelto {

using Bytes = std::vector<std::uint8_t>;

// A TCP peer whose replies are computed from each request; replies arrive at the next event
// pass. A responder may return several chunks (each arrives on its own pass).
class FakeTcp : public TcpClient {
  public:
    std::function<std::vector<Bytes>(const Bytes& request)> responder;
    int connectResult = 0;
    int reads = 0;  // calls of ClientTCPRead: each one a system call on a real socket
    std::vector<Bytes> written;
    std::vector<std::pair<std::string, int>> connects;
    int disconnects = 0;

    int ConnectToTCPServerEx(std::uint32_t& handle, int port, const std::string& host, Callback cb,
                             int) override {
        connects.emplace_back(host, port);
        if (connectResult < 0) return connectResult;
        handle = ++lastHandle_;
        callback_ = std::move(cb);
        return connectResult;
    }
    int DisconnectFromTCPServer(std::uint32_t) override {
        ++disconnects;
        callback_ = nullptr;
        return 0;
    }
    int ClientTCPWrite(std::uint32_t, const std::uint8_t* data, int count, int) override {
        Bytes req(data, data + count);
        written.push_back(req);
        if (responder) {
            for (auto& chunk : responder(req))
                chunks_.push_back(std::move(chunk));
        }
        return count;
    }
    int ClientTCPRead(std::uint32_t, std::uint8_t* data, int maxCount, int) override {
        ++reads;
        const int n = std::min<int>(maxCount, static_cast<int>(current_.size()));
        std::copy_n(current_.begin(), n, data);
        current_.erase(current_.begin(), current_.begin() + n);
        return n;
    }
    // Bytes that arrive without a request.
    void Push(Bytes chunk) { chunks_.push_back(std::move(chunk)); }
    // Bytes that have arrived at the port, readable, whose data event has not been delivered.
    void Arrived(const Bytes& bytes) {
        current_.insert(current_.end(), bytes.begin(), bytes.end());
    }
    void ServerCloses() { closePending_ = true; }
    // One event pass: deliver the next chunk, or the close.
    void Deliver() {
        if (!callback_) return;
        if (!chunks_.empty()) {
            current_.insert(current_.end(), chunks_.front().begin(), chunks_.front().end());
            chunks_.pop_front();
            callback_(lastHandle_, kTcpDataReady, 0);
        } else if (closePending_) {
            closePending_ = false;
            callback_(lastHandle_, kTcpDisconnect, 0);
        }
    }

  private:
    Callback callback_;
    std::uint32_t lastHandle_ = 0;
    std::deque<Bytes> chunks_;
    Bytes current_;
    bool closePending_ = false;
};

// A serial line in process. Without a responder nothing ever arrives; with one, its reply to each
// request arrives at the next event pass (Deliver), with the line-error bits that `lineErrors`
// holds then, which GetComStat reports once, as a port does after a parity or framing error.
class FakeSerial : public SerialPort {
  public:
    std::function<Bytes(const Bytes& request)> responder;
    int lineErrors = 0;
    int openResult = 0;
    std::vector<int> closed;
    std::vector<std::pair<int, int>> opened;
    int OpenComConfig(int port, int baud) override {
        opened.emplace_back(port, baud);
        return openResult;
    }
    void CloseCom(int port) override { closed.push_back(port); }
    void SetComTime(int, double) override {}
    void SetCTSMode(int, int) override {}
    void FlushInQ(int) override { in_.clear(); }
    void FlushOutQ(int) override {}
    int ComWrt(int, const std::uint8_t* data, int count) override {
        if (responder) coming_ = responder(Bytes(data, data + count));
        return count;
    }
    int ComRd(int, std::uint8_t* data, int count) override {
        const int n = std::min<int>(count, static_cast<int>(in_.size()));
        std::copy_n(in_.begin(), n, data);
        in_.erase(in_.begin(), in_.begin() + n);
        return n;
    }
    int GetInQLen(int) override { return static_cast<int>(in_.size()); }
    int GetComStat(int) override { return std::exchange(lineErrors, 0); }
    void SetDataArrivedHandler(std::function<void()> handler) override {
        dataArrived_ = std::move(handler);
    }
    // One event pass: the reply that is on its way arrives.
    void Deliver() {
        if (coming_.empty()) return;
        in_.insert(in_.end(), coming_.begin(), coming_.end());
        coming_.clear();
        if (dataArrived_) dataArrived_();
    }

  private:
    std::function<void()> dataArrived_;
    Bytes coming_;
    Bytes in_;
};

class FakePorts : public PortEnumerator {
  public:
    std::vector<SerialPortInfo> ports;
    std::vector<SerialPortInfo> LocateCom() override { return ports; }
};

}  // namespace qelto
