// The core on the real Qt device ports and event loop, with the in-memory operator interface;
// the link alone on them; and a scripted TCP peer that answers requests as a test tells it to.
#pragma once

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>
#include <memory>
#include <vector>

#include "app/context.hpp"
#include "doubles/link_rig.hpp"
#include "doubles/memory_ui.hpp"
#include "doubles/set_working.hpp"
#include "link/transaction.hpp"
#include "link/transport.hpp"
#include "platform/qt_event_pump.hpp"
#include "platform/qt_port_enumerator.hpp"
#include "platform/qt_serial_port.hpp"
#include "platform/qt_tcp_client.hpp"
#include "sensor/sensor_session.hpp"

namespace qelto {

using Bytes = std::vector<std::uint8_t>;

struct QtRig {
    QtEventPump pump;
    MemoryUi ui{&pump};
    QtSerialPort serial;
    QtTcpClient tcp;
    QtPortEnumerator ports;
    std::unique_ptr<SensorSession> sensorPtr = std::make_unique<SensorSession>(ui, serial, tcp);
    SensorSession& sensor = *sensorPtr;
    std::unique_ptr<Context> ctxPtr = std::make_unique<Context>(ui, ui, sensor, ports);
    Context& ctx = *ctxPtr;

    QtRig();
    // Opens the session's link to a TCP server, as the connection page would.
    Status OpenSession(const std::string& host, int port);
    // Runs the event loop for a while (lets peers act).
    static void Spin(double seconds);
};

// The link alone on the real Qt device ports and event loop, for the tests of the link itself:
// no session and no presenters; what it reports goes into the owner's log.
struct QtLinkRig {
    QtEventPump pump;
    TestLoop loop{&pump};
    QtSerialPort serial;
    QtTcpClient tcp;
    LoggingOwner owner;
    LinkContext link{loop, owner, serial, tcp};

    // Opens the link to a TCP server.
    void ConnectTcp(const std::string& host, int port);
    // Runs the event loop for a while (lets peers act).
    static void Spin(double seconds) { QtRig::Spin(seconds); }
};

// One piece of a reply: bytes sent after a delay (milliseconds, counted from the previous piece).
struct Chunk {
    Bytes bytes;
    int delayMs = 0;
    bool close = false;  // close the connection instead of sending
};

// A TCP server on 127.0.0.1 that collects complete request frames and answers each through
// the responder.
class ScriptedPeer : public QObject {
  public:
    ScriptedPeer();
    int port() const { return server_.serverPort(); }
    std::function<std::vector<Chunk>(const Bytes& request)> responder;
    std::vector<Bytes> requests;
    void Send(Bytes bytes);
    void CloseClient();

  private:
    void OnData();
    QTcpServer server_;
    QPointer<QTcpSocket> client_;
    Bytes pending_;
};

// A reply frame: start byte, header CRC and data CRC as a sensor makes them.
Bytes ReplyFrame(std::uint8_t command, std::uint16_t argument, const Bytes& data = {});

}  // namespace qelto
