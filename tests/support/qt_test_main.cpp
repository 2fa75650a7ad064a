// main() of the integration tests: a Qt core application around GoogleTest, so that sockets
// and serial ports have an event loop to deliver into; every test under the watchdog. The
// longest wait for a sensor, its reply time-out, is 3 s: no test needs more than a few.
#include <gtest/gtest.h>
#include <QCoreApplication>

#include "watchdog.hpp"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    qelto::testing::WatchEveryTest(std::chrono::seconds(20));
    return RUN_ALL_TESTS();
}
