// main() of the integration tests: a Qt core application around GoogleTest, so that sockets
// and serial ports have an event loop to deliver into.
#include <gtest/gtest.h>
#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
