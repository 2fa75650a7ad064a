// Device ports: what the link needs of the serial line, the TCP client and the port list.
// The platform layer implements them (Qt); the tests may substitute their own.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qelto {

// The error codes of the device ports. The message tables (transport.cpp) are indexed by the
// same numbers, so a port and the text the operator reads always agree.
enum Rs232Error : int {
    kRs232UnknownSystemError = -1,
    kRs232InvalidPortNumber = -2,
    kRs232PortNotOpen = -3,
    kRs232UnknownIoError = -4,
    kRs232NoSerialPortFound = -6,
    kRs232CannotOpenPort = -7,
    kRs232InvalidBaudrate = -14,
    kRs232Timeout = -99,
};

enum TcpError : int {
    kTcpUnableToRegisterService = -1,
    kTcpUnableToEstablishConnection = -2,
    kTcpExistingServer = -3,
    kTcpFailedToConnect = -4,
    kTcpServerNotRegistered = -5,
    kTcpTooManyConversations = -6,
    kTcpReadFailed = -7,
    kTcpWriteFailed = -8,
    kTcpInvalidParameter = -9,
    kTcpOutOfMemory = -10,
    kTcpTimeOutError = -11,
    kTcpNoConnectionEstablished = -12,
    kTcpGeneralIOErr = -13,
    kTcpConnectionClosed = -14,
    kTcpInfoNotAvailable = -20,
};

// What the system says about a serial device that would not open: enough to tell a user who
// lacks the permission which group to join.
struct SerialDeviceAccess {
    std::string device;              // its path
    bool exists = false;             // a device that is not there needs no permission advice
    bool permissionDenied = false;   // this user may not read and write it
    std::string group;               // the group that owns it
    bool groupMayReadWrite = false;  // joining that group would give the access
    std::string systemError;         // the system's own words, when it gave any
};

// A serial port service addressed by COM number. Results follow the platform conventions the
// link is written against: 0 or more succeeds, negative codes are the RS-232 table's codes.
class SerialPort {
  public:
    virtual ~SerialPort() = default;
    virtual int OpenComConfig(int port, int baud) = 0;  // 8N1, 1024-byte queues
    virtual void CloseCom(int port) = 0;                // harmless when not open
    virtual void SetComTime(int port, double seconds) = 0;
    virtual void SetCTSMode(int port, int mode) = 0;
    virtual void FlushInQ(int port) = 0;
    virtual void FlushOutQ(int port) = 0;
    virtual int ComWrt(int port, const std::uint8_t* data, int count) = 0;
    // Reads up to count bytes, waiting at most the port's time limit; returns bytes read.
    virtual int ComRd(int port, std::uint8_t* data, int count) = 0;
    virtual int GetInQLen(int port) = 0;
    // Line-error bits collected since the last call; greater than 0 when any error occurred.
    virtual int GetComStat(int port) = 0;
    // Why the last OpenComConfig on `port` failed, as far as the platform can tell. A port
    // that cannot tell says nothing, and no advice follows the failure.
    virtual SerialDeviceAccess OpenFailureAccess(int /*port*/) { return {}; }
    // Why `port` stopped serving since it was opened: the device went away (unplugged, hung
    // up) or failed for good, with its path, in words a person reads ("/dev/ttyUSB0: the
    // device was removed"). Empty while it serves, and once the program has closed it. The
    // platform closes such a port itself (a vanished device reports errors without end) and
    // calls the data-arrived handler, so that a waiting exchange learns it at once.
    virtual std::string ComLostReason(int /*port*/) { return {}; }
    // Called (from event processing) whenever bytes arrive on any open port, and when a port
    // is lost.
    virtual void SetDataArrivedHandler(std::function<void()> handler) = 0;
};

// TCP events delivered to the conversation's callback.
inline constexpr int kTcpDisconnect = 2;
inline constexpr int kTcpDataReady = 3;

class TcpClient {
  public:
    using Callback = std::function<void(std::uint32_t handle, int event, int error)>;
    virtual ~TcpClient() = default;
    // 0 or more on success (handle stored), a TCP table code otherwise. The callback runs
    // while events are processed.
    virtual int ConnectToTCPServerEx(std::uint32_t& handle, int port, const std::string& host,
                                     Callback callback, int timeoutMs) = 0;
    virtual int DisconnectFromTCPServer(std::uint32_t handle) = 0;
    virtual int ClientTCPWrite(std::uint32_t handle, const std::uint8_t* data, int count,
                               int timeoutMs) = 0;
    // Bytes read, negative on error.
    virtual int ClientTCPRead(std::uint32_t handle, std::uint8_t* data, int maxCount,
                              int timeoutMs) = 0;
    // The system's words for why the last ConnectToTCPServerEx failed ("Connection refused").
    virtual std::string LastConnectError() const { return {}; }
};

struct SerialPortInfo {
    int number = 0;    // COM number by the fixed mapping rule
    std::string path;  // device path
};

class PortEnumerator {
  public:
    virtual ~PortEnumerator() = default;
    virtual std::vector<SerialPortInfo> LocateCom() = 0;
};

}  // namespace qelto
