// The one way a test waits for something that happens on the event loop: bounded, and a failed
// assertion that names what did not happen when the time is up.
#pragma once

#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <string_view>

namespace qelto::testing {

// Runs the event loop until `done` holds, at most `seconds`:
// EXPECT_TRUE(WaitUntil([&] { ... }, "the client to disconnect", 2));
inline ::testing::AssertionResult WaitUntil(const std::function<bool()>& done,
                                            std::string_view what, double seconds) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > static_cast<qint64>(seconds * 1000)) {
            return ::testing::AssertionFailure()
                   << "waited " << seconds << " s in vain for " << what;
        }
        QEventLoop loop;  // a moment of events: callbacks, sockets and timers go on
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return ::testing::AssertionSuccess();
}

}  // namespace qelto::testing
