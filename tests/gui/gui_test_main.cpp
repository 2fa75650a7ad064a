// main() of the widget tests: a QApplication on the offscreen platform around GoogleTest; every
// test under the watchdog (a popup nobody answers would otherwise wait for ever).
#include <gtest/gtest.h>
#include <QApplication>

#include "support/watchdog.hpp"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    qelto::testing::WatchEveryTest(std::chrono::seconds(20));
    return RUN_ALL_TESTS();
}
