// What a program without a window needs to talk to a sensor on Qt, in one object: the event
// pump and an event loop on it, the serial port, the TCP client and the port list. A
// QCoreApplication must exist for as long as it does.
//
//     qelto::QtLink link;
//     qelto::SensorSession sensor(link.loop, link.serial, link.tcp);
#pragma once

#include "link/event_loop.hpp"
#include "platform/qt_event_pump.hpp"
#include "platform/qt_port_enumerator.hpp"
#include "platform/qt_serial_port.hpp"
#include "platform/qt_tcp_client.hpp"

namespace qelto {

struct QtLink {
    QtEventPump pump;
    PumpEventLoop loop{pump};
    QtSerialPort serial;
    QtTcpClient tcp;
    QtPortEnumerator ports;
};

}  // namespace qelto
