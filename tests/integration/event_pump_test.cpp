// The Qt event pump: waits end at their deadline or when woken, deliver events meanwhile, and
// cost next to no processor time.
#include <gtest/gtest.h>

#include <QTimer>
#include <ctime>

#include "platform/qt_event_pump.hpp"

namespace qelto {
namespace {

double CpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

TEST(QtEventPump, WaitEndsAtTheDeadlineWithoutBurningTheProcessor) {
    QtEventPump pump;
    const double cpu = CpuSeconds();
    const double start = pump.Timer();
    pump.WaitForEvents(start + 0.5);
    const double took = pump.Timer() - start;
    EXPECT_GE(took, 0.5);
    EXPECT_LT(took, 1.5);
    EXPECT_LT(CpuSeconds() - cpu, 0.25);
}

TEST(QtEventPump, EventsRunDuringTheWaitAndAWakeEndsIt) {
    QtEventPump pump;
    bool clicked = false;
    QTimer::singleShot(50, [&] {
        clicked = true;  // like STOP pressed while waiting
        pump.WakeWait();
    });
    const double start = pump.Timer();
    pump.WaitForEvents(start + 3.0);
    EXPECT_TRUE(clicked);
    EXPECT_LT(pump.Timer() - start, 1.0);
}

TEST(QtEventPump, AWakeBeforeTheWaitIsNotLostAndEndsOneWaitOnly) {
    QtEventPump pump;
    pump.WakeWait();
    const double start = pump.Timer();
    pump.WaitForEvents(start + 3.0);
    EXPECT_LT(pump.Timer() - start, 0.5);
    const double second = pump.Timer();
    pump.WaitForEvents(second + 0.1);
    EXPECT_GE(pump.Timer() - second, 0.1);
}

TEST(QtEventPump, ANestedWaitHandsTheDeadlineBack) {
    QtEventPump pump;
    double innerTook = -1;
    QTimer::singleShot(20, [&] {
        const double s = pump.Timer();
        pump.WaitForEvents(s + 0.1);
        innerTook = pump.Timer() - s;
    });
    const double start = pump.Timer();
    pump.WaitForEvents(start + 0.4);
    // The inner wait may end the outer loop early; the caller's loop waits again until its
    // deadline, as the transaction does.
    while (pump.Timer() - start < 0.4)
        pump.WaitForEvents(start + 0.4);
    EXPECT_GE(innerTook, 0.1);
    EXPECT_LT(pump.Timer() - start, 1.0);
}

TEST(QtEventPump, AnOuterWaitKeepsItsDeadlineAfterALongerNestedOne) {
    QtEventPump pump;
    // A wait that a wake ends early leaves the timer running for its deadline (50 ms).
    QTimer::singleShot(0, [&] { pump.WakeWait(); });
    pump.WaitForEvents(pump.Timer() + 0.05);
    // A callback of the outer wait waits for longer than the outer wait may, takes the timer
    // over once the stale deadline has passed, and is woken early.
    QTimer::singleShot(20, [&] {
        QTimer::singleShot(60, [&] { pump.WakeWait(); });
        pump.WaitForEvents(pump.Timer() + 2.0);
    });
    const double start = pump.Timer();
    pump.WaitForEvents(start + 0.3);
    const double took = pump.Timer() - start;
    EXPECT_GE(took, 0.3);
    EXPECT_LT(took, 1.5);  // not the nested wait's 2 s
}

}  // namespace
}  // namespace qelto
