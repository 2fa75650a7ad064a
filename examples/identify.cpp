// Connects to a sensor over TCP/IP and prints who it is and its gain:
//     qelto-example-identify 127.0.0.1 5000
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

#include "platform/qt_link.hpp"
#include "sensor/connect.hpp"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s HOST PORT\n", argv[0]);
        return 2;
    }
    qelto::QtLink link;
    qelto::SensorSession sensor(link.loop, link.serial, link.tcp);
    const auto c = qelto::Connect(sensor, qelto::LinkDescription::Tcp(argv[1], std::atoi(argv[2])));
    if (!c.ok()) {
        std::fprintf(stderr, "%s (%s)\n", c.error->message.c_str(), c.error->reason.c_str());
        return 1;
    }
    std::printf("%s\n%s, serial number %u\ngain %u\n", c.identity.firmwareLine().c_str(),
                c.identity.name.c_str(), unsigned{c.identity.serialNumber},
                unsigned{c.read.config.para.Gain});
}
